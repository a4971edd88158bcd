#pragma once
// Paths composed into fixed 520-unit buffers: a longer result is cut at 519 characters
// and used cut (the later existence test or query then fails on it).

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tav::setup {

inline constexpr size_t kPathBufferUnits = 520;

std::u16string BoundedPath(std::initializer_list<std::u16string_view> parts);

}  // namespace tav::setup
