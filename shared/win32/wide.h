#pragma once
// Boundary conversions between the logic's char16_t and Windows' wchar_t (both UTF-16 there).

#include <string>

namespace tav {

inline const wchar_t* AsWide(const std::u16string& s) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");
    return reinterpret_cast<const wchar_t*>(s.c_str());
}
inline const wchar_t* AsWide(const char16_t* s) {
    return reinterpret_cast<const wchar_t*>(s);
}
inline std::u16string FromWide(const wchar_t* s) {
    return s ? std::u16string(reinterpret_cast<const char16_t*>(s)) : std::u16string();
}

}  // namespace tav
