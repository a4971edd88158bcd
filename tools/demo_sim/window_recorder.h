#pragma once
// Notes in the timeline what the utility's windows are told, without touching their code:
// hooks on the user-interface thread see the statuses posted to the pages, the device-change
// broadcasts and watch requests reaching the main window, the texts set on the pages'
// controls and the radio buttons selected, and the message boxes' texts.

#include <windows.h>

#include "tools/demo_sim/timeline.h"

namespace tav::demo {

class WindowRecorder {
  public:
    explicit WindowRecorder(Timeline& timeline);
    ~WindowRecorder();
    WindowRecorder(const WindowRecorder&) = delete;
    WindowRecorder& operator=(const WindowRecorder&) = delete;

  private:
    static LRESULT CALLBACK OnGetMessage(int code, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK OnCallWndProcRet(int code, WPARAM wParam, LPARAM lParam) noexcept;
    void NotePosted(const MSG& msg);
    void NoteSent(const CWPRETSTRUCT& call);

    Timeline& m_timeline;
    HHOOK m_getMessage;
    HHOOK m_callWndProcRet;
};

}  // namespace tav::demo
