#pragma once
// A page's window as the tests see it: every control's text, enabled, shown and checked
// state, the edit's text and limit, plus what went to the main window and the message
// boxes shown. Clicks and typing behave as the system's auto radio buttons and edit do and
// reach the page through its window procedure.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tavsetup/pages/page_common.h"

namespace tav::test {

struct ControlState {
    std::u16string text;  // wide text, or the 8-bit text widened byte by byte
    bool enabled = false;
    bool shown = true;
    bool checked = false;
    uint32_t limit = 0;  // 0: none
    bool imeDetached = false;
};

struct ShownBox {
    std::u16string text;
    std::u16string caption;
    uint32_t style;
};

class RecordingPageView : public setup::PageView {
  public:
    // `events` collects what the page sends the main window, in order with other parts'
    // events (the tests' channel appends the printer requests there).
    explicit RecordingPageView(std::vector<std::string>& events) : m_events(events) {}

    void Attach(setup::PageLogic& page, const setup::PageLayout& layout) {
        m_page = &page;
        m_radios = layout.radios;
    }

    // --- the user ---
    // A button click; an auto radio button selects itself and clears the others first.
    void Click(uint32_t control);
    // Typing into the edit: the edit keeps at most `limit` characters, then EN_CHANGE.
    void Type(uint32_t edit, const std::string& ansiText);
    void Command(uint32_t control, uint32_t notifyCode);
    setup::WindowReply Message(uint32_t message, uintptr_t wParam = 0);

    // --- what the tests look at ---
    ControlState& Control(uint32_t id) { return controls[id]; }
    std::string Ansi(uint32_t id);  // a control's text as 8-bit text
    std::vector<uint32_t> EnabledOf(const std::vector<uint32_t>& ids);

    std::map<uint32_t, ControlState> controls;
    std::map<uint32_t, std::string> editAnsi;  // the edit's text as ANSI bytes
    std::vector<ShownBox> boxes;
    int redetects = 0;
    int endedWith = -1;
    bool themeActive = true;
    bool outOfMemory = false;               // every string load fails as it does without memory
    std::function<bool(uint8_t)> leadByte;  // default: code page 932
    std::function<void(uint32_t)> onSendToMain;
    std::function<void()> onPostRedetect;

    // --- PageView ---
    std::u16string LoadText(uint32_t id) override;
    void SetText(uint32_t control, const std::u16string& text) override;
    void Enable(uint32_t control, bool enable) override;
    void PostRedetect() override;
    void SetAnsiText(uint32_t control, const std::string& text) override;
    void Show(uint32_t control, bool show) override;
    bool IsChecked(uint32_t control) override;
    void SetChecked(uint32_t control, bool checked) override;
    uint32_t TextLength(uint32_t control) override;
    std::string AnsiText(uint32_t control) override;
    void LimitText(uint32_t control, uint32_t characters) override;
    void DetachInputMethod(uint32_t control) override;
    bool IsLeadByte(uint8_t byte) override;
    intptr_t SendToMain(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    int ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                       uint32_t style) override;
    bool IsThemeActive() override { return themeActive; }
    void EndPage(int result) override { endedWith = result; }

  private:
    size_t CharacterCount(const std::string& ansi);

    std::vector<std::string>& m_events;
    setup::PageLogic* m_page = nullptr;
    std::vector<uint32_t> m_radios;
};

}  // namespace tav::test
