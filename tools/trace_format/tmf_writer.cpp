#include "tools/trace_format/tmf_writer.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "portlink/core/trace_events.h"

namespace tav {
using namespace tav::portsvc;

namespace {

// "2b9e4f71-d8c5-4a02-8e63-c15f0a7b94d2": a message GUID as the decoding file writes it.
std::string GuidText(const Guid& g) {
    char text[40];
    std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", g.data1,
                  g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4],
                  g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

const char* LevelName(uint8_t level) {
    switch (level) {
        case 1:
            return "TRACE_LEVEL_CRITICAL";
        case 2:
            return "TRACE_LEVEL_ERROR";
        case 3:
            return "TRACE_LEVEL_WARNING";
        case 4:
            return "TRACE_LEVEL_INFORMATION";
        default:
            return "TRACE_LEVEL_VERBOSE";
    }
}

const char* ItemType(TraceArgKind kind) {
    switch (kind) {
        case TraceArgKind::kU32:
            return "ItemLong";
        case TraceArgKind::kU16Text:
            return "ItemWString";
        case TraceArgKind::kNarrowText:
            return "ItemString";
    }
    return "";
}

const char* ItemFormat(TraceArgKind kind) {
    return kind == TraceArgKind::kU32 ? "u" : "s";
}

// The table's "%1".."%9" become the decoder's "%10!u!".."%18!s!" (items start at 10).
std::string FormatString(const TraceEventDef& e) {
    std::string out = "%0";
    for (const char* p = e.text; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            size_t index = static_cast<size_t>(p[1] - '1');
            out += "%" + std::to_string(10 + index) + "!" +
                   (index < e.argCount ? ItemFormat(e.args[index].kind) : "?") + "!";
            ++p;
        } else if (*p == '"') {
            out += "\\\"";
        } else {
            out += *p;
        }
    }
    return out;
}

std::string MessageEntry(const TraceEventDef& e, const char* moduleName) {
    std::string out = "#typev Tavportsvc_" + std::string(moduleName) + "_" +
                      std::to_string(e.number) + " " + std::to_string(e.number) + " \"" +
                      FormatString(e) + "\" //   LEVEL=" + LevelName(e.level) +
                      " FLAGS=TRACE_FLAG_GENERAL FUNC=" + e.function + "\n{\n";
    for (size_t i = 0; i < e.argCount; ++i)
        out += std::string(e.args[i].name) + ", " + ItemType(e.args[i].kind) + " -- " +
               std::to_string(10 + i) + "\n";
    return out + "}\n";
}

std::string ModuleSection(TraceModule module, const char* moduleName) {
    std::string out =
        GuidText(MessageGuidOf(module)) + " Tavportsvc // SRC=" + moduleName + " MJ= MN=\n";
    for (const TraceEventDef* e : kTraceEvents) {
        if (e->module == module)
            out += MessageEntry(*e, moduleName);
    }
    return out;
}

// The header every file carries; the package build reads the control GUID from it.
std::string FileHeader() {
    std::string control = GuidText(kTraceControlGuid);
    for (auto& c : control)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "// Tavportsvc trace message format of one message GUID of the provider, whose\n"
           "// flag TRACE_FLAG_GENERAL is 1. Generated from the service's trace event table.\n"
           "// Control GUID: {" +
           control + "}\n";
}

TraceFormatFile ModuleFile(TraceModule module, const char* moduleName) {
    return {GuidText(MessageGuidOf(module)) + ".tmf",
            FileHeader() + ModuleSection(module, moduleName)};
}

}  // namespace

std::vector<TraceFormatFile> WriteTraceMessageFormatFiles() {
    return {ModuleFile(TraceModule::kService, "service"),
            ModuleFile(TraceModule::kDevice, "device")};
}

}  // namespace tav
