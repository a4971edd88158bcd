#pragma once
// The simulated world's own copies of the values Windows and the outside world define:
// interface classes, control codes, access rights and flags. Kept apart from the product's
// headers so that a wrong constant in the product cannot move the simulated world with it.

#include <cstdint>

#include "shared/guid.h"

namespace tav::sim::win {

// Device interface classes.
inline constexpr Guid kUsbPrintInterface = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
inline constexpr Guid kComPortInterface = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};
// The interface class the printer's driver registers in virtual-serial mode.
inline constexpr Guid kPrinterDriverInterface = {
    0xA4C7E912, 0x3F58, 0x4B06, {0x9D, 0x2E, 0x61, 0xB0, 0xF7, 0xC3, 0xD8, 0x45}};

// Device setup classes.
inline constexpr Guid kUsbSetupClass = {
    0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr Guid kPortsSetupClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// USB printing class control codes.
inline constexpr uint32_t kIoctlGet1284Id = 0x220034;
inline constexpr uint32_t kIoctlVendorGetCommand = 0x22003C;

// Access rights.
inline constexpr uint32_t kGenericRead = 0x80000000;
inline constexpr uint32_t kGenericWrite = 0x40000000;
inline constexpr uint32_t kGenericExecute = 0x20000000;
inline constexpr uint32_t kGenericAll = 0x10000000;
inline constexpr uint32_t kMaximumAllowed = 0x02000000;
inline constexpr uint32_t kStandardRightsRequired = 0x000F0000;
inline constexpr uint32_t kSynchronize = 0x00100000;
inline constexpr uint32_t kMutexModifyState = 0x0001;
inline constexpr uint32_t kMutexAllAccess = kStandardRightsRequired | kSynchronize | 0x1;
inline constexpr uint32_t kEventModifyState = 0x0002;
inline constexpr uint32_t kEventAllAccess = kStandardRightsRequired | kSynchronize | 0x3;

// CreateFileW share modes and flags.
inline constexpr uint32_t kFileShareRead = 0x1;
inline constexpr uint32_t kFileShareWrite = 0x2;
inline constexpr uint32_t kFileShareDelete = 0x4;
inline constexpr uint32_t kFileFlagOverlapped = 0x40000000;

// SetupDiGetClassDevsW flags.
inline constexpr uint32_t kDigcfDefault = 0x01;
inline constexpr uint32_t kDigcfPresent = 0x02;
inline constexpr uint32_t kDigcfAllClasses = 0x04;
inline constexpr uint32_t kDigcfProfile = 0x08;
inline constexpr uint32_t kDigcfDeviceInterface = 0x10;
inline constexpr uint32_t kErrorInvalidFlags = 1004;

// Configuration manager flags and results.
inline constexpr uint32_t kCmLocateDevnodeNormal = 0x0;
inline constexpr uint32_t kCmLocateDevnodePhantom = 0x1;
inline constexpr uint32_t kCmLocateDevnodeBits = 0x7;
inline constexpr uint32_t kCmReenumerateNormal = 0x0;
inline constexpr uint32_t kCmReenumerateAsynchronous = 0x4;
inline constexpr uint32_t kCmReenumerateBits = 0x7;
inline constexpr uint32_t kCrInvalidFlag = 0x1F;

// Device installation.
inline constexpr uint32_t kDicdGenerateId = 0x1;
inline constexpr uint32_t kDicdInheritClassDrvs = 0x2;
inline constexpr uint32_t kDifRegisterDevice = 0x19;
inline constexpr uint32_t kSpdrpHardwareId = 0x1;
inline constexpr uint32_t kSpdrpMaximumProperty = 0x25;
inline constexpr uint32_t kInstallFlagForce = 0x1;
inline constexpr uint32_t kInstallFlagReadOnly = 0x2;
inline constexpr uint32_t kInstallFlagNonInteractive = 0x4;
inline constexpr uint32_t kErrorInvalidDevinstName = 0xE0000205;
inline constexpr uint32_t kErrorInvalidRegProperty = 0xE0000209;
inline constexpr uint32_t kErrorNoSuchDevinst = 0xE000020B;

// Spooler.
inline constexpr uint32_t kPrinterEnumBits = 0x00FFFF7F;  // PRINTER_ENUM_DEFAULT .. ICON8
inline constexpr uint32_t kErrorInvalidLevel = 124;
inline constexpr uint32_t kErrorInvalidEnvironment = 1805;

}  // namespace tav::sim::win
