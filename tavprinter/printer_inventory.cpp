#include "tavprinter/printer_inventory.h"

#include <algorithm>

#include "printer/link/device_setup.h"
#include "printer/link/interface_detail.h"
#include "printer/link/owned_handles.h"
#include "printer/link/printer_link.h"
#include "printer/settings/link_channel.h"
#include "shared/last_error.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav::tavprinter {

namespace {

constexpr uint32_t kMaxInterfacesPerClass = 127;
constexpr uint32_t kDeviceIdChars = 200;  // MAX_DEVICE_ID_LEN

enum class InterfaceKind { kUsbPrint, kComPort, kPrinterClass };

std::u16string InstanceId(setup::PnpManager& pnp, uint32_t devInst) {
    char16_t buffer[kDeviceIdChars + 1] = {};
    if (pnp.GetDeviceId(devInst, buffer, kDeviceIdChars, 0) != 0)
        return {};
    return buffer;
}

void Merge(Inventory& inventory, InterfaceKind kind, const std::u16string& path,
           std::u16string instanceId) {
    auto found = std::find_if(
        inventory.printers.begin(), inventory.printers.end(), [&](const FoundPrinter& p) {
            return !instanceId.empty() && EqualsNoCase(p.instanceId, instanceId);
        });
    if (found == inventory.printers.end()) {
        inventory.printers.push_back(FoundPrinter{std::move(instanceId), {}, {}, false});
        found = inventory.printers.end() - 1;
    }
    switch (kind) {
        case InterfaceKind::kUsbPrint:
            found->ioPath = path;
            break;
        case InterfaceKind::kComPort:
            found->serialMode = true;
            found->ioPath = path;  // the discovery's choice in virtual-serial mode
            break;
        case InterfaceKind::kPrinterClass:
            found->serialMode = true;
            found->linkPath = path;
            if (found->ioPath.empty())
                found->ioPath = path;
            break;
    }
}

void WalkClass(ToolPlatform& tool, const Guid& classGuid, InterfaceKind kind,
               Inventory& inventory) {
    setup::DeviceSetup& setup = tool.printer.setup;
    setup::UniqueDeviceInfoSet set(
        setup, setup.GetClassDevs(classGuid, win::kDigcfPresent | win::kDigcfDeviceInterface));
    if (set.get() == win::kNoHandle) {
        inventory.error = GetLastErrorCode();
        return;
    }
    for (uint32_t index = 0; index < kMaxInterfacesPerClass; ++index) {
        win::DeviceInterfaceData data;
        if (!setup.EnumDeviceInterfaces(set.get(), classGuid, index, data)) {
            if (GetLastErrorCode() != win::kErrorNoMoreItems)
                inventory.error = GetLastErrorCode();
            return;
        }
        std::u16string path;
        win::DevInfoData device;
        if (!setup::ReadInterfaceDetail(setup, set.get(), data, &path, &device)) {
            inventory.error = GetLastErrorCode();
            return;
        }
        if (setup::IsFamilyPrinterPath(path))
            Merge(inventory, kind, path, InstanceId(tool.pnp, device.devInst));
    }
}

std::string ModelOf(const setup::PrinterLink& link) {
    std::string model = link.pszMfg;
    if (link.pszMdl[0] != '\0')
        model += (model.empty() ? "" : " ") + std::string(link.pszMdl);
    return model;
}

}  // namespace

Inventory FindPrinters(ToolPlatform& tool) {
    Inventory inventory;
    WalkClass(tool, kGuidDevinterfaceUsbprint, InterfaceKind::kUsbPrint, inventory);
    WalkClass(tool, kGuidDevinterfaceComport, InterfaceKind::kComPort, inventory);
    WalkClass(tool, kPrinterInterfaceClass, InterfaceKind::kPrinterClass, inventory);
    return inventory;
}

PrinterSettings ReadPrinterSettings(ToolPlatform& tool, const FoundPrinter& printer,
                                    int32_t& lpdStopped) {
    PrinterSettings settings;
    setup::PrinterLink link;
    link.pszDevicePath = printer.ioPath;
    link.bSerialMode = printer.serialMode ? 1 : 0;
    if (setup::CheckPrinterId(tool.printer, link))
        settings.model = ModelOf(link);
    else
        settings.idError = GetLastErrorCode();

    setup::LinkChannel channel(tool.printer, link);
    settings.responseRead = setup::ReadResponseSetting(channel, &settings.response);
    if (settings.responseRead != setup::SettingRead::kRead)
        settings.responseError = GetLastErrorCode();
    setup::PrinterTextField text = {};
    if (setup::ReadUsbSerial(channel, text))
        settings.usbSerial = std::string(text);
    else
        settings.serialError = GetLastErrorCode();
    if (printer.serialMode && !printer.linkPath.empty())
        settings.comPort = tool.ports.LinkedComPort(printer.linkPath);
    lpdStopped |= link.bLpdStopped;
    return settings;
}

}  // namespace tav::tavprinter
