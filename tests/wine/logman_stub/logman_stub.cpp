// logman.exe stand-in: appends its arguments ("|"-separated) to logman.log beside it and
// keeps one trace session's state in logman.running there. start, stop and query answer as
// logman does for that session, failing with its negative HRESULT exit codes.

#include <windows.h>

#include <string>

namespace {

constexpr int kSessionNotFound =
    static_cast<int>(0x80300002);                             // "Data Collector Set was not found"
constexpr int kSessionExists = static_cast<int>(0x803000B7);  // "already exists"

std::wstring Beside(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring own(path, length);
    return own.substr(0, own.find_last_of(L'\\') + 1) + name;
}

void AppendLine(const std::wstring& file, const std::wstring& line) {
    HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    const std::wstring text = line + L"\r\n";
    std::string utf8(text.size() * 3, '\0');
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                            static_cast<int>(utf8.size()), nullptr, nullptr);
    DWORD written = 0;
    WriteFile(h, utf8.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring line;
    for (int i = 1; i < argc; ++i)
        line += (i > 1 ? L"|" : L"") + std::wstring(argv[i]);
    AppendLine(Beside(L"logman.log"), line);

    const std::wstring verb = argc > 1 ? argv[1] : L"";
    const std::wstring running = Beside(L"logman.running");
    const bool isRunning = GetFileAttributesW(running.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (verb == L"start") {
        if (isRunning)
            return kSessionExists;
        AppendLine(running, L"");
        return 0;
    }
    if (verb == L"stop") {
        if (!isRunning)
            return kSessionNotFound;
        DeleteFileW(running.c_str());
        return 0;
    }
    if (verb == L"query")
        return isRunning ? 0 : kSessionNotFound;
    return 1;
}
