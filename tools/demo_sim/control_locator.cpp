// A console helper for driving the utility's window with real mouse clicks (xdotool) in the
// Wine tests and the demo: prints the screen position of the centre of a visible control,
// or of a tab control's item, in the top-level window with the given title.
//   tavsetup_sim_locate <title> <control id>      -> "x y"
//   tavsetup_sim_locate <title> tab <item index>  -> "x y"
// Exit code 1 when the window, control or item is not there.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    if (search->title == text && ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ControlSearch {
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<ControlSearch*>(lParam);
    if (::GetDlgCtrlID(child) == search->id && ::IsWindowVisible(child)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

int PrintCentre(HWND window, RECT rect) {
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (window)
        ::ClientToScreen(window, &centre);
    std::printf("%ld %ld\n", static_cast<long>(centre.x), static_cast<long>(centre.y));
    return 0;
}

// The item's rectangle, read through memory in the window's process.
int LocateTabItem(HWND top, int index) {
    HWND tab = ::FindWindowExW(top, nullptr, WC_TABCONTROLW, nullptr);
    if (!tab)
        return 1;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(tab, &processId);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return 1;
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT rect{};
    const bool ok = remote &&
                    ::SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(remote)) &&
                    ::ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    if (remote)
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    return ok ? PrintCentre(tab, rect) : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::printf("usage: tavsetup_sim_locate <title> <control id> | <title> tab <index>\n");
        return 2;
    }
    Search search{argv[1]};
    ::EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return 1;
    if (std::wstring(argv[2]) == L"tab" && argc == 4)
        return LocateTabItem(search.found, _wtoi(argv[3]));
    ControlSearch control{_wtoi(argv[2])};
    ::EnumChildWindows(search.found, MatchControl, reinterpret_cast<LPARAM>(&control));
    if (!control.found)
        return 1;
    RECT rect{};
    ::GetWindowRect(control.found, &rect);
    return PrintCentre(nullptr, rect);
}
