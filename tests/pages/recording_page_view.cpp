#include "tests/pages/recording_page_view.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "tavsetup/pages/ansi_text.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/shell/window_messages.h"
#include "tests/pages/english_strings.h"

namespace tav::test {
using namespace tav::setup;

namespace {

std::u16string Widen(const std::string& text) {
    std::u16string wide;
    for (unsigned char c : text)
        wide += static_cast<char16_t>(c);
    return wide;
}

}  // namespace

void RecordingPageView::Click(uint32_t control) {
    if (std::find(m_radios.begin(), m_radios.end(), control) != m_radios.end()) {
        for (uint32_t radio : m_radios)
            controls[radio].checked = radio == control;
    }
    Command(control, 0);
}

void RecordingPageView::Type(uint32_t edit, const std::string& ansiText) {
    std::string kept;
    size_t chars = 0;
    const uint32_t limit = controls[edit].limit;
    for (size_t i = 0; i < ansiText.size(); ++chars) {
        if (limit != 0 && chars == limit)
            break;  // the edit refuses more
        const size_t width = IsLeadByte(static_cast<uint8_t>(ansiText[i])) ? 2 : 1;
        kept += ansiText.substr(i, width);
        i += width;
    }
    editAnsi[edit] = kept;
    controls[edit].text = Widen(kept);
    Command(edit, win::kEnChange);
}

void RecordingPageView::Command(uint32_t control, uint32_t notifyCode) {
    Message(win::kWmCommand, (static_cast<uintptr_t>(notifyCode) << 16) | control);
}

// Through the page's window procedure as the page dialog calls it.
WindowReply RecordingPageView::Message(uint32_t message, uintptr_t wParam) {
    return AnswerPageMessage(*m_page, message, wParam);
}

std::string RecordingPageView::Ansi(uint32_t id) {
    std::string text;
    for (char16_t c : controls[id].text)
        text += static_cast<char>(c);
    return text;
}

std::vector<uint32_t> RecordingPageView::EnabledOf(const std::vector<uint32_t>& ids) {
    std::vector<uint32_t> enabled;
    for (uint32_t id : ids)
        if (controls[id].enabled)
            enabled.push_back(id);
    return enabled;
}

std::u16string RecordingPageView::LoadText(uint32_t id) {
    if (outOfMemory)
        throw std::bad_alloc();
    return EnglishString(id);
}

void RecordingPageView::SetText(uint32_t control, const std::u16string& text) {
    controls[control].text = text;
}

void RecordingPageView::Enable(uint32_t control, bool enable) {
    controls[control].enabled = enable;
}

void RecordingPageView::PostRedetect() {
    ++redetects;
    m_events.push_back("post WM_REDETECT");
    if (onPostRedetect)
        onPostRedetect();
}

void RecordingPageView::SetAnsiText(uint32_t control, const std::string& text) {
    controls[control].text = Widen(text);
}

void RecordingPageView::Show(uint32_t control, bool show) {
    controls[control].shown = show;
}

bool RecordingPageView::IsChecked(uint32_t control) {
    return controls[control].checked;
}

void RecordingPageView::SetChecked(uint32_t control, bool checked) {
    controls[control].checked = checked;
}

uint32_t RecordingPageView::TextLength(uint32_t control) {
    return static_cast<uint32_t>(CharacterCount(editAnsi[control]));
}

std::string RecordingPageView::AnsiText(uint32_t control) {
    return editAnsi[control];
}

void RecordingPageView::LimitText(uint32_t control, uint32_t characters) {
    controls[control].limit = characters;
}

void RecordingPageView::DetachInputMethod(uint32_t control) {
    controls[control].imeDetached = true;
}

bool RecordingPageView::IsLeadByte(uint8_t byte) {
    return leadByte ? leadByte(byte) : IsCodePage932LeadByte(byte);
}

intptr_t RecordingPageView::SendToMain(uint32_t message, uintptr_t, intptr_t) {
    char text[32];
    std::snprintf(text, sizeof text, "send 0x%04X", message);
    m_events.push_back(text);
    if (onSendToMain)
        onSendToMain(message);
    return 0;
}

int RecordingPageView::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                                      uint32_t style) {
    boxes.push_back({text, caption, style});
    m_events.push_back("message box");
    return 1;  // IDOK
}

size_t RecordingPageView::CharacterCount(const std::string& ansi) {
    size_t chars = 0;
    for (size_t i = 0; i < ansi.size(); ++chars)
        i += IsLeadByte(static_cast<uint8_t>(ansi[i])) ? 2 : 1;
    return chars;
}

}  // namespace tav::test
