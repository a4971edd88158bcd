#include "tests/pages/english_strings.h"

#include <fstream>
#include <regex>
#include <stdexcept>

#include "shared/u16.h"

namespace tav::test {

namespace {

std::string Unescape(const std::string& quoted) {
    std::string text;
    for (size_t i = 0; i < quoted.size(); ++i) {
        const char c = quoted[i];
        if (c == '\\' && i + 1 < quoted.size()) {
            const char next = quoted[++i];
            text += next == 't' ? '\t' : next == 'n' ? '\n' : next;
        } else if (c == '"' && i + 1 < quoted.size() && quoted[i + 1] == '"') {
            text += '"';
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

std::map<uint32_t, std::u16string> Load() {
    std::ifstream file(TAV_SOURCE_DIR "/tavsetup/res/strings_en.rc");
    if (!file)
        throw std::runtime_error("strings_en.rc not found");
    const std::regex entry(R"re(^\s*(\d+),\s*"(.*)"\s*$)re");
    std::map<uint32_t, std::u16string> strings;
    std::string line;
    while (std::getline(file, line)) {
        std::smatch m;
        if (std::regex_match(line, m, entry))
            strings[static_cast<uint32_t>(std::stoul(m[1]))] = FromUtf8(Unescape(m[2]));
    }
    return strings;
}

}  // namespace

const std::map<uint32_t, std::u16string>& EnglishStrings() {
    static const std::map<uint32_t, std::u16string> strings = Load();
    return strings;
}

std::u16string EnglishString(uint32_t id) {
    const auto& strings = EnglishStrings();
    const auto found = strings.find(id);
    return found == strings.end() ? std::u16string() : found->second;
}

}  // namespace tav::test
