#pragma once
// Keeps the thread's last error across a release: a close on a failure path must not
// overwrite the error the caller is about to read.

#include <cstdint>

#include "shared/last_error.h"

namespace tav {

class LastErrorGuard {
  public:
    LastErrorGuard() noexcept : m_error(GetLastErrorCode()) {}
    ~LastErrorGuard() { SetLastErrorCode(m_error); }
    LastErrorGuard(const LastErrorGuard&) = delete;
    LastErrorGuard& operator=(const LastErrorGuard&) = delete;

  private:
    uint32_t m_error;
};

}  // namespace tav
