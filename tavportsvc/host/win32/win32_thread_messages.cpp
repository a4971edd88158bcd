#include <windows.h>

#include "tavportsvc/host/win32/win32_host_adapters.h"

namespace tav::portsvc::host {
namespace {

MSG* AsMsg(unsigned char* storage) {
    static_assert(sizeof(MSG) <= 64, "MSG storage too small");
    return reinterpret_cast<MSG*>(storage);
}

}  // namespace

int Win32ThreadMessages::NextMessage() {
    return static_cast<int>(::GetMessageW(AsMsg(m_msg), nullptr, 0, 0));
}

void Win32ThreadMessages::TranslateAndDispatch() {
    ::TranslateMessage(AsMsg(m_msg));
    ::DispatchMessageW(AsMsg(m_msg));
}

bool Win32ThreadMessages::PostQuit(uint32_t threadId) {
    return ::PostThreadMessageW(threadId, WM_QUIT, 0, 0) != FALSE;
}

}  // namespace tav::portsvc::host
