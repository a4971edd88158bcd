#include "tools/demo_sim/window_recorder.h"

#include <dbt.h>

#include <string>

#include "shared/callback_boundary.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/shell/window_messages.h"
#include "tools/demo_sim/timeline_file.h"

namespace tav::demo {
using namespace tav::setup;
namespace {

WindowRecorder* g_pRecorder = nullptr;

// The page a window belongs to, told by a control only that page has.
const char* PageName(HWND page) {
    if (::GetDlgItem(page, 1024))
        return "driver-type";
    if (::GetDlgItem(page, 1018))
        return "response";
    if (::GetDlgItem(page, 1001))
        return "serial";
    return nullptr;
}

bool IsTopLevel(HWND window) {
    return window && !(::GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
}

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

std::string ControlName(HWND control) {
    return std::to_string(::GetDlgCtrlID(control));
}

}  // namespace

WindowRecorder::WindowRecorder(Timeline& timeline)
    : m_timeline(timeline),
      m_getMessage(
          ::SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, ::GetCurrentThreadId())),
      m_callWndProcRet(::SetWindowsHookExW(WH_CALLWNDPROCRET, OnCallWndProcRet, nullptr,
                                           ::GetCurrentThreadId())) {
    g_pRecorder = this;
}

WindowRecorder::~WindowRecorder() {
    if (m_getMessage)
        ::UnhookWindowsHookEx(m_getMessage);
    if (m_callWndProcRet)
        ::UnhookWindowsHookEx(m_callWndProcRet);
    g_pRecorder = nullptr;
}

// A note that fails is left out of the timeline; the message goes on either way.
LRESULT CALLBACK WindowRecorder::OnGetMessage(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && wParam == PM_REMOVE && g_pRecorder)
        AtCallbackBoundary([&] { g_pRecorder->NotePosted(*reinterpret_cast<const MSG*>(lParam)); },
                           [] {});
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WindowRecorder::OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && g_pRecorder)
        AtCallbackBoundary(
            [&] { g_pRecorder->NoteSent(*reinterpret_cast<const CWPRETSTRUCT*>(lParam)); }, [] {});
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void WindowRecorder::NotePosted(const MSG& msg) {
    if (msg.message == WM_PRINTER_STATUS && !IsTopLevel(msg.hwnd)) {
        if (const char* page = PageName(msg.hwnd))
            m_timeline.Note("status", std::string(page) + " " + std::to_string(msg.wParam));
    } else if (msg.message == WM_DEVICECHANGE && IsTopLevel(msg.hwnd) &&
               msg.wParam == DBT_DEVNODES_CHANGED && PageName(msg.hwnd) == nullptr &&
               ::GetDlgItem(msg.hwnd, 1000)) {
        m_timeline.Note("device", "WM_DEVICECHANGE DBT_DEVNODES_CHANGED to the main window");
    } else if (msg.message == WM_REDETECT) {
        m_timeline.Note("refresh", "a page asks for a new detection");
    }
}

void WindowRecorder::NoteSent(const CWPRETSTRUCT& call) {
    if (call.message == WM_BEGIN_WATCH && IsTopLevel(call.hwnd)) {
        m_timeline.Note("watch", "a page opens the watch window");
        return;
    }
    // A message box or the about box, once its texts are in place.
    if (call.message == WM_INITDIALOG && IsTopLevel(call.hwnd) && !::GetDlgItem(call.hwnd, 1000)) {
        HWND text = ::GetDlgItem(call.hwnd, 0xFFFF);
        m_timeline.Note("box", "\"" + TimelineText(WindowText(call.hwnd)) + "\": \"" +
                                   TimelineText(text ? WindowText(text) : L"") + "\"");
        return;
    }
    HWND parent = ::GetParent(call.hwnd);
    const char* page = parent ? PageName(parent) : nullptr;
    if (!page)
        return;
    if (call.message == WM_SETTEXT) {
        m_timeline.Note("text", std::string(page) + " " + ControlName(call.hwnd) + " \"" +
                                    TimelineText(WindowText(call.hwnd)) + "\"");
    } else if (call.message == BM_SETCHECK && call.wParam == BST_CHECKED) {
        m_timeline.Note("select", std::string(page) + " " + ControlName(call.hwnd) + " \"" +
                                      TimelineText(WindowText(call.hwnd)) + "\"");
    }
}

}  // namespace tav::demo
