#pragma once
// The utility's English string table, read from its resource script, so tests compare the
// pages' texts with what the program really shows.

#include <cstdint>
#include <map>
#include <string>

namespace tav::test {

// Id -> text of tavsetup/res/strings_en.rc (RC escapes \t, \n, \\ and "" resolved).
const std::map<uint32_t, std::u16string>& EnglishStrings();
std::u16string EnglishString(uint32_t id);

}  // namespace tav::test
