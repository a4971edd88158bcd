#pragma once
// The iSerialNumber page's logic (CSerIdDlg, template 129): shows the model, the USB
// iSerialNumber and the unit serial number, and sets the iSerialNumber as Auto (the unit
// serial number), Manual (up to 10 characters) or Undefined (none).

#include <cstdint>

#include "printer/settings/text_reply.h"
#include "tavsetup/pages/page_common.h"

namespace tav::setup {

// The Manual text goes to the printer as at most this many ANSI bytes.
inline constexpr uint32_t kManualSerialMaxBytes = 10;
// The edit refuses more characters than this.
inline constexpr uint32_t kManualSerialMaxChars = 10;
// The value column is formatted into a buffer of this many bytes.
inline constexpr size_t kSerialValueBufferSize = 512;

// Fixed English texts, the same in both languages.
inline constexpr char kSerialLabelText[] = "Model\n\nUSB iSerialNumber\nUnit Serial Number";
inline constexpr char kSerialValueFormat[] = ": %s %s\n\n: %s\n: %s";
inline constexpr char kQueryFailedText[] = "---";
inline constexpr char kNoUnitSerialText[] = "Undefined";
inline constexpr char kNoUsbSerialText[] = "Undefined (Disabled)";

class SerialNumberPage : public PageLogic {
  public:
    SerialNumberPage(PageView& view, PagePrinter printer);

    void OnInitDialog() override;
    [[nodiscard]] int OnPrinterStatus(uint32_t status) override;
    [[nodiscard]] int ApplySetting() override;
    void UpdateApplyState() override;

    PrinterTextField m_szUsbSerial = {};
    PrinterTextField m_szUnitSerial = {};
    int m_bAutoAllowed = 0;

  protected:
    // The edit's text changed.
    void OnOtherCommand(uint32_t control, uint32_t notifyCode) override;

  private:
    // Message string for a status, or 0 when the printer can be read.
    uint32_t MessageFor(uint32_t status) const;
    void ReadUnitSerial();
    [[nodiscard]] int ReadUsbSerial();
    void ShowColumns();
    void EnableInputs();
    [[nodiscard]] int ShowMessagePath(uint32_t id);
    // The Manual edit's text as ANSI bytes, cut to 10 at a character boundary.
    std::string ManualText();
};

}  // namespace tav::setup
