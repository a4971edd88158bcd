#include "tavprinter/printer_report.h"

#include "shared/tool_options.h"
#include "shared/u16.h"
#include "tavprinter/tool_texts.h"

namespace tav::tavprinter {

namespace {

void Line(std::string& out, Text label, const std::string& value, bool japanese) {
    std::string name = TextFor(label, japanese);
    name += ":";
    if (name.size() < 18)
        name.resize(18, ' ');
    out += "  " + name + " " + value + "\n";
}

std::string ResponseValue(const PrinterSettings& s, bool japanese) {
    if (s.responseRead != setup::SettingRead::kRead)
        return TextFor(Text::kUnreadable, japanese);
    return ResponseText(s.response.receive, japanese);
}

std::string JsonError(uint32_t code, const ErrorTextFn& errorText) {
    return "{\"code\": " + std::to_string(code) + ", \"message\": " + JsonString(errorText(code)) +
           "}";
}

std::string JsonOrNull(const std::optional<std::string>& value) {
    return value ? JsonString(*value) : "null";
}

}  // namespace

std::string DriverTypeText(bool serialMode, bool japanese) {
    return TextFor(serialMode ? Text::kVirtualSerial : Text::kPrinterDriver, japanese);
}

std::string ResponseText(bool receive, bool japanese) {
    return TextFor(receive ? Text::kReceive : Text::kNotReceive, japanese);
}

std::string SerialText(const std::optional<std::string>& serial, bool japanese) {
    if (!serial)
        return TextFor(Text::kUnreadable, japanese);
    return serial->empty() ? TextFor(Text::kNone, japanese) : *serial;
}

std::string FormatPrinterText(const std::vector<PrinterRow>& rows, bool japanese) {
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const PrinterRow& row = rows[i];
        out += std::string(TextFor(Text::kPrinterHeading, japanese)) + " " + std::to_string(i + 1) +
               "\n";
        Line(out, Text::kInstanceId, ToUtf8(row.printer.instanceId), japanese);
        Line(out, Text::kModel,
             row.settings.model.empty() ? TextFor(Text::kUnreadable, japanese) : row.settings.model,
             japanese);
        Line(out, Text::kDriverType, DriverTypeText(row.printer.serialMode, japanese), japanese);
        Line(out, Text::kResponse, ResponseValue(row.settings, japanese), japanese);
        Line(out, Text::kSerialNumber, SerialText(row.settings.usbSerial, japanese), japanese);
        if (row.printer.serialMode)
            Line(out, Text::kComPort,
                 row.settings.comPort ? ToUtf8(*row.settings.comPort)
                                      : TextFor(Text::kNotLinked, japanese),
                 japanese);
    }
    return out;
}

std::string FormatPrinterJson(const std::vector<PrinterRow>& rows, uint32_t enumerationError,
                              const ErrorTextFn& errorText) {
    std::string out = "{\n  \"schema\": 1,\n  \"printers\": [";
    for (size_t i = 0; i < rows.size(); ++i) {
        const PrinterRow& row = rows[i];
        const PrinterSettings& s = row.settings;
        std::string errors;
        for (uint32_t code : {s.idError, s.responseError, s.serialError})
            if (code != 0)
                errors += (errors.empty() ? "" : ", ") + JsonError(code, errorText);
        out += std::string(i == 0 ? "" : ",") + "\n    {";
        out += "\"instanceId\": " + JsonString(ToUtf8(row.printer.instanceId));
        out += ", \"model\": " + (s.model.empty() ? "null" : JsonString(s.model));
        out += std::string(", \"driverType\": ") +
               (row.printer.serialMode ? "\"serial\"" : "\"printer\"");
        out += ", \"response\": ";
        out += s.responseRead != setup::SettingRead::kRead
                   ? "null"
                   : (s.response.receive ? "\"receive\"" : "\"not-receive\"");
        out += ", \"serialNumber\": " + JsonOrNull(s.usbSerial);
        out +=
            ", \"comPort\": " + (s.comPort ? JsonString(ToUtf8(*s.comPort)) : std::string("null"));
        out += ", \"errors\": [" + errors + "]}";
    }
    out += rows.empty() ? "],\n" : "\n  ],\n";
    out += "  \"errors\": [" +
           (enumerationError != 0 ? JsonError(enumerationError, errorText) : std::string()) +
           "]\n}\n";
    return out;
}

}  // namespace tav::tavprinter
