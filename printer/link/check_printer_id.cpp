// Identification: the printer's IEEE 1284 device ID must name manufacturer "TAV" and a
// model that is not excluded.

#include <algorithm>
#include <cstring>

#include "printer/link/printer_link.h"

namespace tav::setup {
namespace {

constexpr uint32_t kDeviceIdBudgetMs = 500;
constexpr uint32_t kShortestDeviceId = 17;
constexpr char kManufacturer[] = "TAV";
constexpr char kExcludedModel[] = "HX-Q42";  // compared on its 6 characters, case ignored

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The value of the next "key:value;" pair from `from`: its ";" becomes NUL. Null when the
// ":" or the ";" is missing before `end`.
char* CutNextValue(char* from, char* end, char** pAfter) {
    char* colon = std::find(from, end, ':');
    if (colon == end)
        return nullptr;
    char* value = colon + 1;
    char* semicolon = std::find(value, end, ';');
    if (semicolon == end)
        return nullptr;
    *semicolon = '\0';
    *pAfter = semicolon + 1;
    return value;
}

bool IsExcludedModel(const char* model) {
    for (size_t i = 0; i < sizeof kExcludedModel - 1; ++i) {
        if (FoldAscii(model[i]) != FoldAscii(kExcludedModel[i]))
            return false;  // also ends a shorter model at its NUL
    }
    return true;
}

bool ParseDeviceId(char (&deviceId)[256], uint32_t count, const char** ppMfg, const char** ppMdl) {
    if (count < kShortestDeviceId)
        return false;
    // The text is what the device returned, up to its first NUL, never beyond the buffer.
    const size_t length = std::min<size_t>(count, sizeof deviceId);
    char* const text = deviceId;
    char* end = static_cast<char*>(std::memchr(text, 0, length));
    if (!end)
        end = text + length;
    char* after = nullptr;
    char* mfg = CutNextValue(text, end, &after);
    if (!mfg || std::strcmp(mfg, kManufacturer) != 0)
        return false;
    char* mdl = CutNextValue(after, end, &after);
    if (!mdl || IsExcludedModel(mdl))
        return false;
    *ppMfg = mfg;
    *ppMdl = mdl;
    return true;
}

}  // namespace

int AcceptDeviceId(char (&deviceId)[256], uint32_t count, const char** ppMfg, const char** ppMdl) {
    if (ParseDeviceId(deviceId, count, ppMfg, ppMdl))
        return 1;
    std::memset(deviceId, 0, sizeof deviceId);
    *ppMfg = deviceId;
    *ppMdl = deviceId;
    return 0;
}

int CheckPrinterId(PrinterPlatform& sys, PrinterLink& link) {
    link.szDeviceId[0] = '\0';
    uint32_t count = 0;
    const int ok =
        PrinterTransact(sys, link, win::kIoctlUsbprintGet1284Id, nullptr, 0, link.szDeviceId,
                        sizeof link.szDeviceId, &count, kDeviceIdBudgetMs);
    return AcceptDeviceId(link.szDeviceId, ok ? count : 0, &link.pszMfg, &link.pszMdl);
}

}  // namespace tav::setup
