#pragma once
// A tape of the printer platform's calls for baselines: put between the product and the
// simulated world for one run, it passes each call on and keeps it; Replay() then makes the
// same calls in the same order, with the same arguments, on the same world without the
// product. The handles the world returned and the product's OVERLAPPED blocks, interface
// records and output buffers are stood in for by the tape's own, so a replay pairs calls
// and objects as the run did. A replay's own bookkeeping (one indirect call per call) counts
// as the world's.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "printer/link/device_io.h"
#include "printer/link/device_setup.h"
#include "printer/link/platform.h"
#include "printer/link/print_spooler.h"
#include "printer/link/service_manager.h"
#include "printer/settings/pnp_manager.h"
#include "shared/clock.h"

namespace tav::bench {

class PrinterCallTape final : public Clock,
                              public setup::DeviceIo,
                              public setup::DeviceSetup,
                              public setup::ServiceManager,
                              public setup::PrintSpooler,
                              public setup::PnpManager {
  public:
    PrinterCallTape(setup::PrinterPlatform& world, setup::PnpManager& pnp);
    PrinterCallTape(const PrinterCallTape&) = delete;
    PrinterCallTape& operator=(const PrinterCallTape&) = delete;

    // What the product is given for the run to keep.
    setup::PrinterPlatform& Platform() { return m_platform; }
    setup::PnpManager& Pnp() { return *this; }

    void Replay();
    size_t Calls() const { return m_calls.size(); }
    // The first call passed on without being kept (none the runs measured here make); a
    // replay is then no baseline.
    const std::optional<std::string>& Unkept() const { return m_unkept; }

    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override;

    setup::Handle OpenDevice(const std::u16string& path,
                             const setup::DeviceOpenMode& mode) override;
    int CloseHandle(setup::Handle handle) override;
    int DeviceIoControl(setup::Handle device, uint32_t code, const void* inBuffer, uint32_t inSize,
                        void* outBuffer, uint32_t outSize, uint32_t* pCount,
                        setup::Overlapped& ov) override;
    int WriteFile(setup::Handle device, const void* buffer, uint32_t size, uint32_t* pCount,
                  setup::Overlapped& ov) override;
    int ReadFile(setup::Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                 setup::Overlapped& ov) override;
    int CancelIo(setup::Handle device) override;
    int GetOverlappedResult(setup::Handle device, setup::Overlapped& ov, uint32_t* pCount,
                            int bWait) override;
    setup::Handle CreateAutoResetEvent() override;
    int ResetEvent(setup::Handle event) override;
    uint32_t WaitForMultipleObjects(uint32_t count, const setup::Handle* handles, int bWaitAll,
                                    uint32_t timeoutMs) override;

    int ClassGuidsFromName(const char16_t* className, Guid* guids, uint32_t capacity,
                           uint32_t* pRequired) override;
    setup::Handle GetClassDevs(const Guid& classGuid, uint32_t flags) override;
    int EnumDeviceInfo(setup::Handle set, uint32_t index, win::DevInfoData& device) override;
    int EnumDeviceInterfaces(setup::Handle set, const Guid& classGuid, uint32_t index,
                             win::DeviceInterfaceData& data) override;
    int GetDeviceInterfaceDetail(setup::Handle set, const win::DeviceInterfaceData& data,
                                 uint8_t* detail, uint32_t detailSize, uint32_t* pRequiredSize,
                                 win::DevInfoData* pDevice) override;
    int SetClassInstallParams(setup::Handle set, win::DevInfoData& device,
                              const win::PropChangeParams& params, uint32_t size) override;
    int CallClassInstaller(uint32_t installFunction, setup::Handle set,
                           win::DevInfoData& device) override;
    int DestroyDeviceInfoList(setup::Handle set) override;

    setup::Handle OpenManager(const char16_t* machineName, const char16_t* databaseName,
                              uint32_t access) override;
    setup::Handle OpenNamedService(setup::Handle manager, const char16_t* serviceName,
                                   uint32_t access) override;
    int QueryServiceStatus(setup::Handle service, win::ServiceStatus& status) override;
    int StartNamedService(setup::Handle service) override;
    int ControlService(setup::Handle service, uint32_t control,
                       win::ServiceStatus& status) override;
    int CloseServiceHandle(setup::Handle handle) override;

    int EnumPrinterList(uint32_t flags, const char16_t* name, uint32_t level, uint8_t* buffer,
                        uint32_t size, uint32_t* pNeeded, uint32_t* pReturned) override;
    int GetDriverDirectory(const char16_t* serverName, const char16_t* environment, uint32_t level,
                           uint8_t* buffer, uint32_t size, uint32_t* pNeeded) override;

    uint32_t GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) override;
    uint32_t GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                         uint32_t flags) override;
    uint32_t LocateDevNode(uint32_t* devInst, const char16_t* deviceId, uint32_t flags) override;
    uint32_t ReenumerateDevNode(uint32_t devInst, uint32_t flags) override;

  private:
    static constexpr size_t kNoSlot = ~size_t{0};

    // A handle argument: one the world returned during the run (its slot), or a value the
    // product had of its own.
    struct HandleRef {
        size_t slot = kNoSlot;
        setup::Handle value = 0;
    };

    // One family's handles (device I/O, SetupAPI, services number theirs apart).
    class Handles {
      public:
        size_t Keep(setup::Handle returned);
        HandleRef Ref(setup::Handle handle) const;
        setup::Handle Now(const HandleRef& ref) const {
            return ref.slot == kNoSlot ? ref.value : m_now[ref.slot];
        }
        void Set(size_t slot, setup::Handle value) {
            if (slot != kNoSlot)
                m_now[slot] = value;
        }

      private:
        std::map<setup::Handle, size_t> m_slotOf;  // during the run
        std::vector<setup::Handle> m_now;          // during a replay
    };

    // The product's objects of one kind, by address: each address the run used has one
    // stand-in.
    template <typename T>
    class StandIns {
      public:
        size_t Slot(const void* address) {
            auto [it, added] = m_slotOf.emplace(address, m_items.size());
            if (added)
                m_items.emplace_back();
            return it->second;
        }
        T& operator[](size_t slot) { return m_items[slot]; }

      private:
        std::map<const void*, size_t> m_slotOf;
        std::vector<T> m_items;
    };

    // An output buffer's stand-in of at least `size` bytes; none for no buffer.
    uint8_t* Buffer(size_t slot) { return slot == kNoSlot ? nullptr : m_buffers[slot].data(); }
    size_t BufferSlot(const void* address, size_t size);
    // An operation's start: on a replay the block's stand-in is the product's block as it
    // was passed (an attempt starts on a fresh one), with the event's stand-in.
    struct StartedBlock {
        size_t slot;
        setup::Overlapped asPassed;
        HandleRef event;
    };
    StartedBlock KeepStart(const setup::Overlapped& ov);
    setup::Overlapped& Started(const StartedBlock& block);
    void Unkept(const char* call);

    Clock& m_clock;
    setup::DeviceIo& m_io;
    setup::DeviceSetup& m_setup;
    setup::ServiceManager& m_services;
    setup::PrintSpooler& m_spooler;
    setup::PnpManager& m_pnp;
    setup::PrinterPlatform m_platform;

    std::vector<std::function<void()>> m_calls;
    std::optional<std::string> m_unkept;
    Handles m_ioHandles;
    Handles m_sets;
    Handles m_serviceHandles;
    StandIns<setup::Overlapped> m_overlapped;
    StandIns<win::DeviceInterfaceData> m_interfaces;
    StandIns<std::vector<uint8_t>> m_buffers;
    std::vector<setup::Handle> m_waitHandles;
};

}  // namespace tav::bench
