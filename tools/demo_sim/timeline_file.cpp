#include "tools/demo_sim/timeline_file.h"

#include <algorithm>
#include <cstdio>

namespace tav::demo {
namespace {

std::wstring TimelinePath() {
    wchar_t module[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path(module, length);
    const size_t dot = path.rfind(L'.');
    if (dot != std::wstring::npos && path.find(L'\\', dot) == std::wstring::npos)
        path.resize(dot);
    return path + L"-timeline.txt";
}

}  // namespace

TimelineFile::TimelineFile()
    : m_file(::CreateFileW(TimelinePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)),
      m_start(::GetTickCount()) {}

TimelineFile::~TimelineFile() {
    if (m_file != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_file);
}

void TimelineFile::Note(const std::string& kind, const std::string& detail) {
    if (m_file == INVALID_HANDLE_VALUE)
        return;
    // The callers are in the middle of Windows calls whose last error must survive a note.
    const DWORD lastError = ::GetLastError();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%7lu ms  ",
                  static_cast<unsigned long>(::GetTickCount() - m_start));
    std::string line = stamp + kind;
    line.resize(std::max<size_t>(line.size(), 20), ' ');
    line += ' ' + detail + '\n';
    DWORD written = 0;
    ::WriteFile(m_file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::SetLastError(lastError);
}

std::string TimelineText(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        if (c == L'\t')
            escaped += L"\\t";
        else if (c == L'\n')
            escaped += L"\\n";
        else if (c != L'\r')
            escaped += c;
    }
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), static_cast<int>(escaped.size()),
                              nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, escaped.c_str(), static_cast<int>(escaped.size()),
                              &bytes[0], size, nullptr, nullptr);
    return bytes;
}

}  // namespace tav::demo
