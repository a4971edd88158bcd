// A console probe for the Wine tests: finds the top-level windows with a given title and
// prints them, their child controls (class, id, state, text) and the tab control's item
// texts as UTF-8; or minimises or closes them.
// Owned pop-ups (the about box, message boxes) are printed after their owner, and closed
// before it.
//   tavsetup_window_probe dump|minimize|close <title>
//   tavsetup_window_probe syscommand <title> <command id>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size,
                          nullptr, nullptr);
    bytes += '\n';
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
                &written, nullptr);
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

// Escapes tabs and line breaks so that each control stays on one line.
std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\t')
            out += L"\\t";
        else if (c == L'\n')
            out += L"\\n";
        else if (c != L'\r')
            out += c;
    }
    return out;
}

// Tab item texts of a tab control in another process, through memory in that process.
void PrintTabItems(HWND tab) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(tab, &processId);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return;
    const SIZE_T textBytes = 256 * sizeof(wchar_t);
    auto* remote = static_cast<BYTE*>(::VirtualAllocEx(
        process, nullptr, sizeof(TCITEMW) + textBytes, MEM_COMMIT, PAGE_READWRITE));
    const int count = static_cast<int>(::SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; remote && i < count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(TCITEMW));
        item.cchTextMax = 256;
        ::WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        ::SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
        wchar_t text[256] = {};
        ::ReadProcessMemory(process, remote + sizeof(TCITEMW), text, textBytes - sizeof(wchar_t),
                            nullptr);
        Print(L"tab " + std::to_wstring(i) + L" text=" + text);
    }
    if (remote)
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    const std::wstring cls = ClassOf(child);
    Print(L"child id=" + std::to_wstring(::GetDlgCtrlID(child)) + L" class=" + cls + L" visible=" +
          std::to_wstring(::IsWindowVisible(child) ? 1 : 0) + L" enabled=" +
          std::to_wstring(::IsWindowEnabled(child) ? 1 : 0) + L" text=" + Escaped(TextOf(child)));
    if (cls == WC_TABCONTROLW)
        PrintTabItems(child);
    return TRUE;
}

struct Search {
    std::wstring title;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (TextOf(window) == search->title)
        search->found.push_back(window);
    return TRUE;
}

struct Owned {
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchOwner(HWND window, LPARAM lParam) {
    auto* owned = reinterpret_cast<Owned*>(lParam);
    if (::GetWindow(window, GW_OWNER) == owned->owner && ::IsWindowVisible(window))
        owned->found.push_back(window);
    return TRUE;
}

std::vector<HWND> OwnedPopups(HWND owner) {
    Owned owned{owner, {}};
    ::EnumWindows(MatchOwner, reinterpret_cast<LPARAM>(&owned));
    return owned.found;
}

void Dump(HWND window, const wchar_t* what) {
    Print(std::wstring(what) + L" class=" + ClassOf(window) + L" visible=" +
          std::to_wstring(::IsWindowVisible(window) ? 1 : 0) + L" iconic=" +
          std::to_wstring(::IsIconic(window) ? 1 : 0) + L" title=" + TextOf(window));
    ::EnumChildWindows(window, PrintChild, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        Print(L"usage: tavsetup_window_probe dump|minimize|close <title>");
        Print(L"       tavsetup_window_probe syscommand <title> <command id>");
        return 2;
    }
    const std::wstring command = argv[1];
    Search search{argv[2], {}};
    ::EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) {
        if (command == L"minimize") {
            ::ShowWindow(window, SW_MINIMIZE);
        } else if (command == L"close") {
            const std::vector<HWND> popups = OwnedPopups(window);
            for (HWND popup : popups)
                ::PostMessageW(popup, WM_CLOSE, 0, 0);
            if (popups.empty())
                ::PostMessageW(window, WM_CLOSE, 0, 0);
        } else if (command == L"syscommand" && argc == 4) {
            ::PostMessageW(window, WM_SYSCOMMAND, static_cast<WPARAM>(_wtoi(argv[3])), 0);
        } else {
            Dump(window, L"window");
            for (HWND popup : OwnedPopups(window))
                Dump(popup, L"owned");
        }
    }
    return search.found.empty() ? 1 : 0;
}
