#pragma once
// A simulated world with one printer answered by a scripted firmware, and the one link.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "printer/link/printer_link.h"
#include "shared/last_error.h"
#include "shared/u16.h"
#include "shared/win/errors.h"
#include "sim/printer/printer_world.h"
#include "sim/printer/scripted_firmware.h"

namespace tav::test {

inline std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

inline sim::FirmwareReply Reply(const std::string& data, uint32_t delayMs = 0) {
    sim::FirmwareReply r;
    r.data = Bytes(data);
    r.delayMs = delayMs;
    return r;
}

inline sim::FirmwareReply Accept(uint32_t bytes, uint32_t delayMs = 0) {
    sim::FirmwareReply r;
    r.accepted = bytes;
    r.delayMs = delayMs;
    return r;
}

inline sim::FirmwareReply Pending() {
    sim::FirmwareReply r;
    r.never = true;
    return r;
}

// The thread's last error before the operation under test: a simulated call that succeeds
// leaves it alone, so an error a test reads is one the product or a failing call set.
inline constexpr uint32_t kLastErrorSentinel = 0xDEADBEEF;

class PrinterFixture : public ::testing::Test {
  protected:
    PrinterFixture() { SetLastErrorCode(kLastErrorSentinel); }
    // A printer in the given mode; the link knows its path and mode as a discovery leaves them.
    void Plug(sim::PrinterMode mode = sim::PrinterMode::PrinterDriver) {
        sim::PrinterPlug plug;
        plug.mode = mode;
        printer = world.AddPrinter(plug, firmware);
        link.pszDevicePath = printer.path;
        link.bSerialMode = mode == sim::PrinterMode::VirtualSerial ? 1 : 0;
    }
    uint32_t Now() { return world.clock.TickCount(); }
    size_t Calls(const std::string& prefix) const { return world.trace.log.Count(prefix); }
    std::vector<std::string> CallsOf(const std::vector<std::string>& prefixes) const {
        std::vector<std::string> out;
        for (const auto& e : world.trace.log.Entries()) {
            for (const auto& p : prefixes) {
                if (e.compare(0, p.size(), p) == 0) {
                    out.push_back(e);
                    break;
                }
            }
        }
        return out;
    }

    sim::PrinterWorld world;
    std::shared_ptr<sim::ScriptedFirmware> firmware = std::make_shared<sim::ScriptedFirmware>();
    sim::SimPrinter printer;
    setup::PrinterLink link;
};

}  // namespace tav::test
