// The device ID acceptance rule on any reply: it never reads outside the 256-byte buffer
// (an exactly sized heap block, so the sanitizer sees any step beyond it), and its outcome
// is always one of the two allowed states.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "printer/link/printer_link.h"

namespace {

using DeviceIdBuffer = char[256];

void Require(bool condition) {
    if (!condition)
        std::abort();
}

bool Inside(const DeviceIdBuffer& id, const char* p, size_t length) {
    return p >= id && p + length < id + sizeof id;  // the value and its NUL
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void CheckAccepted(const DeviceIdBuffer& id, uint32_t count, const char* mfg, const char* mdl) {
    Require(count >= 17);
    Require(Inside(id, mfg, 3) && std::strcmp(mfg, "TAV") == 0);
    const size_t mdlLength = strnlen(mdl, static_cast<size_t>(id + sizeof id - mdl));
    Require(Inside(id, mdl, mdlLength) && mdl > mfg);
    const char excluded[] = "hx-q42";
    size_t same = 0;
    while (same < 6 && mdl[same] != 0 && Fold(mdl[same]) == excluded[same])
        ++same;
    Require(same < 6);
}

void CheckRejected(const DeviceIdBuffer& id, const char* mfg, const char* mdl) {
    for (char c : id)
        Require(c == 0);
    Require(mfg == id && mdl == id);
}

}  // namespace

// Input: two bytes of reported count (up to 300, past the buffer too), one filler byte for the
// bytes behind the reply, then the reply.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const uint32_t count = static_cast<uint32_t>(data[0] | (data[1] << 8)) % 301;
    auto id = std::make_unique<DeviceIdBuffer[]>(1);
    std::memset(id[0], data[2], sizeof id[0]);
    std::memcpy(id[0], data + 3, std::min<size_t>(size - 3, sizeof id[0]));
    const char* mfg = nullptr;
    const char* mdl = nullptr;
    if (tav::setup::AcceptDeviceId(id[0], count, &mfg, &mdl))
        CheckAccepted(id[0], count, mfg, mdl);
    else
        CheckRejected(id[0], mfg, mdl);
    return 0;
}
