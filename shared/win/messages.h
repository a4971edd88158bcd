#pragma once
// Window messages, notifications, keys, dialog results and message box styles.

#include <cstdint>

namespace tav::win {

inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmHelp = 0x0053;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmSysCommand = 0x0112;
inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmCtlColorDlg = 0x0136;
inline constexpr uint32_t kWmCtlColorStatic = 0x0138;
inline constexpr uint32_t kWmDeviceChange = 0x0219;
inline constexpr uint32_t kWmApp = 0x8000;

inline constexpr uint32_t kBnClicked = 0;
inline constexpr uint32_t kEnChange = 0x0300;
inline constexpr uint32_t kDbtDevNodesChanged = 0x0007;

inline constexpr uint32_t kVkReturn = 13;
inline constexpr uint32_t kVkEscape = 27;

inline constexpr uint32_t kIdOk = 1;
inline constexpr uint32_t kIdCancel = 2;

inline constexpr uint32_t kMbOk = 0x00000000;
inline constexpr uint32_t kMbIconError = 0x00000010;
inline constexpr uint32_t kMbIconExclamation = 0x00000030;
inline constexpr uint32_t kMbTopmost = 0x00040000;

}  // namespace tav::win
