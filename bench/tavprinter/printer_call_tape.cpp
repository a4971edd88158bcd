#include "bench/tavprinter/printer_call_tape.h"

#include <utility>

namespace tav::bench {

namespace {

using Text = std::optional<std::u16string>;

Text TextOf(const char16_t* text) {
    return text ? Text(text) : std::nullopt;
}

const char16_t* PointerOf(const Text& text) {
    return text ? text->c_str() : nullptr;
}

using Bytes = std::optional<std::vector<uint8_t>>;

Bytes BytesOf(const void* data, uint32_t size) {
    if (!data)
        return std::nullopt;
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

const void* PointerOf(const Bytes& bytes) {
    return bytes ? bytes->data() : nullptr;
}

}  // namespace

size_t PrinterCallTape::Handles::Keep(setup::Handle returned) {
    if (returned == win::kNoHandle)
        return kNoSlot;
    m_slotOf[returned] = m_now.size();
    m_now.push_back(returned);
    return m_now.size() - 1;
}

PrinterCallTape::HandleRef PrinterCallTape::Handles::Ref(setup::Handle handle) const {
    const auto it = m_slotOf.find(handle);
    return it == m_slotOf.end() ? HandleRef{kNoSlot, handle} : HandleRef{it->second, 0};
}

PrinterCallTape::PrinterCallTape(setup::PrinterPlatform& world, setup::PnpManager& pnp)
    : m_clock(world.clock),
      m_io(world.io),
      m_setup(world.setup),
      m_services(world.services),
      m_spooler(world.spooler),
      m_pnp(pnp),
      m_platform{*this, *this, *this, *this, *this} {}

void PrinterCallTape::Replay() {
    for (const auto& call : m_calls)
        call();
}

size_t PrinterCallTape::BufferSlot(const void* address, size_t size) {
    if (!address)
        return kNoSlot;
    const size_t slot = m_buffers.Slot(address);
    if (m_buffers[slot].size() < size)
        m_buffers[slot].resize(size);
    return slot;
}

PrinterCallTape::StartedBlock PrinterCallTape::KeepStart(const setup::Overlapped& ov) {
    return StartedBlock{m_overlapped.Slot(&ov), ov, m_ioHandles.Ref(ov.hEvent)};
}

setup::Overlapped& PrinterCallTape::Started(const StartedBlock& block) {
    setup::Overlapped& standIn = m_overlapped[block.slot];
    standIn = block.asPassed;
    standIn.hEvent = m_ioHandles.Now(block.event);
    return standIn;
}

void PrinterCallTape::Unkept(const char* call) {
    if (!m_unkept)
        m_unkept = call;
}

uint32_t PrinterCallTape::TickCount() {
    m_calls.emplace_back([this] { static_cast<void>(m_clock.TickCount()); });
    return m_clock.TickCount();
}

void PrinterCallTape::Sleep(uint32_t ms) {
    m_calls.emplace_back([this, ms] { m_clock.Sleep(ms); });
    m_clock.Sleep(ms);
}

// --- device I/O ---

setup::Handle PrinterCallTape::OpenDevice(const std::u16string& path,
                                          const setup::DeviceOpenMode& mode) {
    const setup::Handle device = m_io.OpenDevice(path, mode);
    const size_t slot = m_ioHandles.Keep(device);
    m_calls.emplace_back(
        [this, path, mode, slot] { m_ioHandles.Set(slot, m_io.OpenDevice(path, mode)); });
    return device;
}

int PrinterCallTape::CloseHandle(setup::Handle handle) {
    const HandleRef ref = m_ioHandles.Ref(handle);
    m_calls.emplace_back(
        [this, ref] { static_cast<void>(m_io.CloseHandle(m_ioHandles.Now(ref))); });
    return m_io.CloseHandle(handle);
}

int PrinterCallTape::DeviceIoControl(setup::Handle device, uint32_t code, const void* inBuffer,
                                     uint32_t inSize, void* outBuffer, uint32_t outSize,
                                     uint32_t* pCount, setup::Overlapped& ov) {
    const HandleRef ref = m_ioHandles.Ref(device);
    const StartedBlock block = KeepStart(ov);
    const Bytes request = BytesOf(inBuffer, inSize);
    const size_t reply = BufferSlot(outBuffer, outSize);
    const bool counted = pCount != nullptr;
    m_calls.emplace_back([this, ref, block, code, request, inSize, reply, outSize, counted] {
        uint32_t count = 0;
        static_cast<void>(m_io.DeviceIoControl(m_ioHandles.Now(ref), code, PointerOf(request),
                                               inSize, Buffer(reply), outSize,
                                               counted ? &count : nullptr, Started(block)));
    });
    return m_io.DeviceIoControl(device, code, inBuffer, inSize, outBuffer, outSize, pCount, ov);
}

int PrinterCallTape::WriteFile(setup::Handle device, const void* buffer, uint32_t size,
                               uint32_t* pCount, setup::Overlapped& ov) {
    const HandleRef ref = m_ioHandles.Ref(device);
    const StartedBlock block = KeepStart(ov);
    const Bytes request = BytesOf(buffer, size);
    const bool counted = pCount != nullptr;
    m_calls.emplace_back([this, ref, block, request, size, counted] {
        uint32_t count = 0;
        static_cast<void>(m_io.WriteFile(m_ioHandles.Now(ref), PointerOf(request), size,
                                         counted ? &count : nullptr, Started(block)));
    });
    return m_io.WriteFile(device, buffer, size, pCount, ov);
}

int PrinterCallTape::ReadFile(setup::Handle device, void* buffer, uint32_t size, uint32_t* pCount,
                              setup::Overlapped& ov) {
    const HandleRef ref = m_ioHandles.Ref(device);
    const StartedBlock block = KeepStart(ov);
    const size_t reply = BufferSlot(buffer, size);
    const bool counted = pCount != nullptr;
    m_calls.emplace_back([this, ref, block, reply, size, counted] {
        uint32_t count = 0;
        static_cast<void>(m_io.ReadFile(m_ioHandles.Now(ref), Buffer(reply), size,
                                        counted ? &count : nullptr, Started(block)));
    });
    return m_io.ReadFile(device, buffer, size, pCount, ov);
}

int PrinterCallTape::CancelIo(setup::Handle device) {
    const HandleRef ref = m_ioHandles.Ref(device);
    m_calls.emplace_back([this, ref] { static_cast<void>(m_io.CancelIo(m_ioHandles.Now(ref))); });
    return m_io.CancelIo(device);
}

int PrinterCallTape::GetOverlappedResult(setup::Handle device, setup::Overlapped& ov,
                                         uint32_t* pCount, int bWait) {
    const HandleRef ref = m_ioHandles.Ref(device);
    const size_t slot = m_overlapped.Slot(&ov);
    const bool counted = pCount != nullptr;
    m_calls.emplace_back([this, ref, slot, counted, bWait] {
        uint32_t count = 0;
        static_cast<void>(m_io.GetOverlappedResult(m_ioHandles.Now(ref), m_overlapped[slot],
                                                   counted ? &count : nullptr, bWait));
    });
    return m_io.GetOverlappedResult(device, ov, pCount, bWait);
}

setup::Handle PrinterCallTape::CreateAutoResetEvent() {
    const setup::Handle event = m_io.CreateAutoResetEvent();
    const size_t slot = m_ioHandles.Keep(event);
    m_calls.emplace_back([this, slot] { m_ioHandles.Set(slot, m_io.CreateAutoResetEvent()); });
    return event;
}

int PrinterCallTape::ResetEvent(setup::Handle event) {
    const HandleRef ref = m_ioHandles.Ref(event);
    m_calls.emplace_back([this, ref] { static_cast<void>(m_io.ResetEvent(m_ioHandles.Now(ref))); });
    return m_io.ResetEvent(event);
}

uint32_t PrinterCallTape::WaitForMultipleObjects(uint32_t count, const setup::Handle* handles,
                                                 int bWaitAll, uint32_t timeoutMs) {
    std::vector<HandleRef> refs;
    for (uint32_t i = 0; i < count; ++i)
        refs.push_back(m_ioHandles.Ref(handles[i]));
    if (m_waitHandles.size() < count)
        m_waitHandles.resize(count);
    m_calls.emplace_back([this, refs, bWaitAll, timeoutMs] {
        for (size_t i = 0; i < refs.size(); ++i)
            m_waitHandles[i] = m_ioHandles.Now(refs[i]);
        static_cast<void>(m_io.WaitForMultipleObjects(static_cast<uint32_t>(refs.size()),
                                                      m_waitHandles.data(), bWaitAll, timeoutMs));
    });
    return m_io.WaitForMultipleObjects(count, handles, bWaitAll, timeoutMs);
}

// --- SetupAPI ---

int PrinterCallTape::ClassGuidsFromName(const char16_t* className, Guid* guids, uint32_t capacity,
                                        uint32_t* pRequired) {
    Unkept("SetupDiClassGuidsFromNameW");
    return m_setup.ClassGuidsFromName(className, guids, capacity, pRequired);
}

setup::Handle PrinterCallTape::GetClassDevs(const Guid& classGuid, uint32_t flags) {
    const setup::Handle set = m_setup.GetClassDevs(classGuid, flags);
    const size_t slot = m_sets.Keep(set);
    m_calls.emplace_back([this, classGuid, flags, slot] {
        m_sets.Set(slot, m_setup.GetClassDevs(classGuid, flags));
    });
    return set;
}

int PrinterCallTape::EnumDeviceInfo(setup::Handle set, uint32_t index, win::DevInfoData& device) {
    Unkept("SetupDiEnumDeviceInfo");
    return m_setup.EnumDeviceInfo(set, index, device);
}

int PrinterCallTape::EnumDeviceInterfaces(setup::Handle set, const Guid& classGuid, uint32_t index,
                                          win::DeviceInterfaceData& data) {
    const HandleRef ref = m_sets.Ref(set);
    const size_t slot = m_interfaces.Slot(&data);
    const win::DeviceInterfaceData asPassed = data;
    m_calls.emplace_back([this, ref, classGuid, index, slot, asPassed] {
        m_interfaces[slot] = asPassed;
        static_cast<void>(
            m_setup.EnumDeviceInterfaces(m_sets.Now(ref), classGuid, index, m_interfaces[slot]));
    });
    return m_setup.EnumDeviceInterfaces(set, classGuid, index, data);
}

int PrinterCallTape::GetDeviceInterfaceDetail(setup::Handle set,
                                              const win::DeviceInterfaceData& data, uint8_t* detail,
                                              uint32_t detailSize, uint32_t* pRequiredSize,
                                              win::DevInfoData* pDevice) {
    const HandleRef ref = m_sets.Ref(set);
    const size_t slot = m_interfaces.Slot(&data);
    const size_t record = BufferSlot(detail, detailSize);
    const bool sized = pRequiredSize != nullptr;
    const bool owner = pDevice != nullptr;
    m_calls.emplace_back([this, ref, slot, record, detailSize, sized, owner] {
        uint32_t required = 0;
        win::DevInfoData device;
        static_cast<void>(m_setup.GetDeviceInterfaceDetail(
            m_sets.Now(ref), m_interfaces[slot], Buffer(record), detailSize,
            sized ? &required : nullptr, owner ? &device : nullptr));
    });
    return m_setup.GetDeviceInterfaceDetail(set, data, detail, detailSize, pRequiredSize, pDevice);
}

int PrinterCallTape::SetClassInstallParams(setup::Handle set, win::DevInfoData& device,
                                           const win::PropChangeParams& params, uint32_t size) {
    Unkept("SetupDiSetClassInstallParamsW");
    return m_setup.SetClassInstallParams(set, device, params, size);
}

int PrinterCallTape::CallClassInstaller(uint32_t installFunction, setup::Handle set,
                                        win::DevInfoData& device) {
    Unkept("SetupDiCallClassInstaller");
    return m_setup.CallClassInstaller(installFunction, set, device);
}

int PrinterCallTape::DestroyDeviceInfoList(setup::Handle set) {
    const HandleRef ref = m_sets.Ref(set);
    m_calls.emplace_back(
        [this, ref] { static_cast<void>(m_setup.DestroyDeviceInfoList(m_sets.Now(ref))); });
    return m_setup.DestroyDeviceInfoList(set);
}

// --- service control manager ---

setup::Handle PrinterCallTape::OpenManager(const char16_t* machineName,
                                           const char16_t* databaseName, uint32_t access) {
    const setup::Handle manager = m_services.OpenManager(machineName, databaseName, access);
    const size_t slot = m_serviceHandles.Keep(manager);
    m_calls.emplace_back(
        [this, machine = TextOf(machineName), database = TextOf(databaseName), access, slot] {
            m_serviceHandles.Set(
                slot, m_services.OpenManager(PointerOf(machine), PointerOf(database), access));
        });
    return manager;
}

setup::Handle PrinterCallTape::OpenNamedService(setup::Handle manager, const char16_t* serviceName,
                                                uint32_t access) {
    const HandleRef ref = m_serviceHandles.Ref(manager);
    const setup::Handle service = m_services.OpenNamedService(manager, serviceName, access);
    const size_t slot = m_serviceHandles.Keep(service);
    m_calls.emplace_back([this, ref, name = TextOf(serviceName), access, slot] {
        m_serviceHandles.Set(
            slot, m_services.OpenNamedService(m_serviceHandles.Now(ref), PointerOf(name), access));
    });
    return service;
}

int PrinterCallTape::QueryServiceStatus(setup::Handle service, win::ServiceStatus& status) {
    const HandleRef ref = m_serviceHandles.Ref(service);
    m_calls.emplace_back([this, ref] {
        win::ServiceStatus ignored;
        static_cast<void>(m_services.QueryServiceStatus(m_serviceHandles.Now(ref), ignored));
    });
    return m_services.QueryServiceStatus(service, status);
}

int PrinterCallTape::StartNamedService(setup::Handle service) {
    const HandleRef ref = m_serviceHandles.Ref(service);
    m_calls.emplace_back([this, ref] {
        static_cast<void>(m_services.StartNamedService(m_serviceHandles.Now(ref)));
    });
    return m_services.StartNamedService(service);
}

int PrinterCallTape::ControlService(setup::Handle service, uint32_t control,
                                    win::ServiceStatus& status) {
    const HandleRef ref = m_serviceHandles.Ref(service);
    m_calls.emplace_back([this, ref, control] {
        win::ServiceStatus ignored;
        static_cast<void>(m_services.ControlService(m_serviceHandles.Now(ref), control, ignored));
    });
    return m_services.ControlService(service, control, status);
}

int PrinterCallTape::CloseServiceHandle(setup::Handle handle) {
    const HandleRef ref = m_serviceHandles.Ref(handle);
    m_calls.emplace_back([this, ref] {
        static_cast<void>(m_services.CloseServiceHandle(m_serviceHandles.Now(ref)));
    });
    return m_services.CloseServiceHandle(handle);
}

// --- spooler ---

int PrinterCallTape::EnumPrinterList(uint32_t flags, const char16_t* name, uint32_t level,
                                     uint8_t* buffer, uint32_t size, uint32_t* pNeeded,
                                     uint32_t* pReturned) {
    const size_t slot = BufferSlot(buffer, size);
    const bool needed = pNeeded != nullptr;
    const bool returned = pReturned != nullptr;
    m_calls.emplace_back([this, flags, text = TextOf(name), level, slot, size, needed, returned] {
        uint32_t n = 0;
        uint32_t r = 0;
        static_cast<void>(m_spooler.EnumPrinterList(flags, PointerOf(text), level, Buffer(slot),
                                                    size, needed ? &n : nullptr,
                                                    returned ? &r : nullptr));
    });
    return m_spooler.EnumPrinterList(flags, name, level, buffer, size, pNeeded, pReturned);
}

int PrinterCallTape::GetDriverDirectory(const char16_t* serverName, const char16_t* environment,
                                        uint32_t level, uint8_t* buffer, uint32_t size,
                                        uint32_t* pNeeded) {
    const size_t slot = BufferSlot(buffer, size);
    const bool needed = pNeeded != nullptr;
    m_calls.emplace_back([this, server = TextOf(serverName), env = TextOf(environment), level, slot,
                          size, needed] {
        uint32_t n = 0;
        static_cast<void>(m_spooler.GetDriverDirectory(PointerOf(server), PointerOf(env), level,
                                                       Buffer(slot), size, needed ? &n : nullptr));
    });
    return m_spooler.GetDriverDirectory(serverName, environment, level, buffer, size, pNeeded);
}

// --- configuration manager ---

uint32_t PrinterCallTape::GetParent(uint32_t* parent, uint32_t devInst, uint32_t flags) {
    Unkept("CM_Get_Parent");
    return m_pnp.GetParent(parent, devInst, flags);
}

uint32_t PrinterCallTape::GetDeviceId(uint32_t devInst, char16_t* buffer, uint32_t length,
                                      uint32_t flags) {
    const size_t slot = BufferSlot(buffer, (size_t{length} + 1) * sizeof(char16_t));
    m_calls.emplace_back([this, devInst, slot, length, flags] {
        static_cast<void>(
            m_pnp.GetDeviceId(devInst, reinterpret_cast<char16_t*>(Buffer(slot)), length, flags));
    });
    return m_pnp.GetDeviceId(devInst, buffer, length, flags);
}

uint32_t PrinterCallTape::LocateDevNode(uint32_t* devInst, const char16_t* deviceId,
                                        uint32_t flags) {
    Unkept("CM_Locate_DevNodeW");
    return m_pnp.LocateDevNode(devInst, deviceId, flags);
}

uint32_t PrinterCallTape::ReenumerateDevNode(uint32_t devInst, uint32_t flags) {
    Unkept("CM_Reenumerate_DevNode");
    return m_pnp.ReenumerateDevNode(devInst, flags);
}

}  // namespace tav::bench
