#include "printer/settings/setting_operations.h"

#include "printer/settings/settings_protocol.h"

namespace tav::setup {

namespace {

void Notify(const BeforeSetRequest& beforeWrite) {
    if (beforeWrite)
        beforeWrite();
}

}  // namespace

SettingRead ReadResponseSetting(PrinterChannel& channel, ResponseSetting* setting) {
    SettingsBlock block;
    if (!ReadSettingsBlock(channel, block))
        return block.transacted ? SettingRead::kInvalidReply : SettingRead::kNoReply;
    setting->switchByte = block.ResponseSwitch();
    setting->receive = (setting->switchByte & RESPONSE_RECEIVE_BIT) != 0;
    return SettingRead::kRead;
}

int WriteResponseSetting(PrinterChannel& channel, uint8_t switchByte, bool receive,
                         const BeforeSetRequest& beforeWrite) {
    const uint8_t wanted = WithPrinterResponse(switchByte, receive);
    Notify(beforeWrite);
    return SetPrinterResponse(channel, wanted);
}

int WriteDriverTypeSwitch(PrinterChannel& channel, int32_t bSerialMode,
                          const BeforeSetRequest& beforeWrite) {
    SwitchBlock block;
    if (!ReadSwitchBlock(channel, block))
        return 0;
    // Bit 0 equal to the current mode turns the printer to the other type.
    const uint8_t usbClass = WithUsbClassForMode(block.UsbClassSwitch(), bSerialMode);
    Notify(beforeWrite);
    return SetUsbClass(channel, usbClass);
}

int WriteUsbSerial(PrinterChannel& channel, SerialMode mode, const std::string& ansiText,
                   const BeforeSetRequest& beforeWrite) {
    Notify(beforeWrite);
    return SetUsbSerial(channel, mode, ansiText.data(), ansiText.size());
}

bool ReadUsbSerial(PrinterChannel& channel, PrinterTextField& text) {
    return QueryUsbSerial(channel, text) != 0;
}

}  // namespace tav::setup
