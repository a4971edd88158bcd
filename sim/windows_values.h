#pragma once
// The simulated world's own copies of the values Windows and the outside world define:
// interface classes, control codes, access rights and flags. Kept apart from the product's
// headers so that a wrong constant in the product cannot move the simulated world with it.

#include <cstdint>

#include "shared/guid.h"

namespace tav::sim::sdk {

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
inline constexpr uint32_t kCrInvalidPointer = 0x03;
inline constexpr uint32_t kCrInvalidFlag = 0x04;
inline constexpr uint32_t kCrInvalidDevnode = 0x05;
inline constexpr uint32_t kCrNoSuchDevnode = 0x0D;
inline constexpr uint32_t kCrBufferSmall = 0x1A;

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

// Driver store: difxapi's DriverPackageGetPathW and SetupAPI's SetupGetInfDriverStoreLocationW.
inline constexpr uint32_t kMaxPath = 260;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorModNotFound = 126;
inline constexpr uint32_t kErrorCantAccessFile = 1920;
inline constexpr uint32_t kErrorDriverPackageNotInStore = 0xE0000302;

// Spooler.
// Every EnumPrintersW flag Windows names, PRINTER_ENUM_DEFAULT .. PRINTER_ENUM_ICON8.
inline constexpr uint32_t kPrinterEnumBits = 0x00FFC07F;
inline constexpr uint32_t kErrorInvalidLevel = 124;
inline constexpr uint32_t kErrorInvalidEnvironment = 1805;

// Registry and service control manager rights, options and types.

// Standard rights.
inline constexpr uint32_t kDelete = 0x00010000;
inline constexpr uint32_t kReadControl = 0x00020000;
inline constexpr uint32_t kWriteDac = 0x00040000;
inline constexpr uint32_t kWriteOwner = 0x00080000;

// Registry key rights.
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr uint32_t kKeyNotify = 0x0010;
inline constexpr uint32_t kKeyCreateLink = 0x0020;
inline constexpr uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr uint32_t kKeyRead = 0x00020019;
inline constexpr uint32_t kKeyWrite = 0x00020006;
inline constexpr uint32_t kKeyAllAccess = 0x000F003F;

// RegCreateKeyExW options.
inline constexpr uint32_t kRegOptionNonVolatile = 0x0;
inline constexpr uint32_t kRegOptionVolatile = 0x1;

// Registry value types and RegGetValueW flags.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;
inline constexpr uint32_t kRrfRtRegNone = 0x00000001;
inline constexpr uint32_t kRrfRtRegSz = 0x00000002;
inline constexpr uint32_t kRrfRtRegExpandSz = 0x00000004;
inline constexpr uint32_t kRrfRtRegBinary = 0x00000008;
inline constexpr uint32_t kRrfRtRegDword = 0x00000010;
inline constexpr uint32_t kRrfRtRegMultiSz = 0x00000020;
inline constexpr uint32_t kRrfRtRegQword = 0x00000040;
inline constexpr uint32_t kRrfRtAny = 0x0000FFFF;
inline constexpr uint32_t kRrfSubkeyWow6464Key = 0x00010000;
inline constexpr uint32_t kRrfSubkeyWow6432Key = 0x00020000;
inline constexpr uint32_t kRrfNoExpand = 0x10000000;
inline constexpr uint32_t kRrfZeroOnFailure = 0x20000000;

// Service control manager rights.
inline constexpr uint32_t kScManagerConnect = 0x0001;
inline constexpr uint32_t kScManagerCreateService = 0x0002;
inline constexpr uint32_t kScManagerEnumerateService = 0x0004;
inline constexpr uint32_t kScManagerLock = 0x0008;
inline constexpr uint32_t kScManagerQueryLockStatus = 0x0010;
inline constexpr uint32_t kScManagerModifyBootConfig = 0x0020;
inline constexpr uint32_t kScManagerAllAccess = 0x000F003F;

// Service rights.
inline constexpr uint32_t kServiceQueryConfig = 0x0001;
inline constexpr uint32_t kServiceChangeConfig = 0x0002;
inline constexpr uint32_t kServiceQueryStatus = 0x0004;
inline constexpr uint32_t kServiceEnumerateDependents = 0x0008;
inline constexpr uint32_t kServiceStart = 0x0010;
inline constexpr uint32_t kServiceStop = 0x0020;
inline constexpr uint32_t kServicePauseContinue = 0x0040;
inline constexpr uint32_t kServiceInterrogate = 0x0080;
inline constexpr uint32_t kServiceUserDefinedControl = 0x0100;
inline constexpr uint32_t kServiceAllAccess = 0x000F01FF;

// Service states and the stop control.
inline constexpr uint32_t kServiceStopped = 1;
inline constexpr uint32_t kServiceStartPending = 2;
inline constexpr uint32_t kServiceStopPending = 3;
inline constexpr uint32_t kServiceRunning = 4;
inline constexpr uint32_t kServiceControlStop = 1;
inline constexpr uint32_t kServiceWin32OwnProcess = 0x10;

// SetupDiOpenDevRegKey scopes and key types.
inline constexpr uint32_t kDicsFlagGlobal = 0x1;
inline constexpr uint32_t kDicsFlagConfigSpecific = 0x2;
inline constexpr uint32_t kDiregDev = 0x1;
inline constexpr uint32_t kDiregDrv = 0x2;

// Error codes the checks give.
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorChildMustBeVolatile = 1021;
inline constexpr uint32_t kErrorDatabaseDoesNotExist = 1065;
inline constexpr uint32_t kErrorServiceMarkedForDelete = 1072;
inline constexpr uint32_t kErrorUnsupportedType = 1630;

}  // namespace tav::sim::sdk
