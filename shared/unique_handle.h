#pragma once
// One owner for every kind of handle our interfaces hand out. The close operation is part of
// the type: `Close` is called as std::invoke(Close, closer, handle), so it may be a member
// of the interface that opened the handle (&DeviceIo::CloseHandle) or a free function taking
// that interface first. Movable, not copyable; an owner of kInvalid closes nothing; a release
// keeps the thread's last error.

#include <functional>
#include <utility>

#include "shared/last_error_guard.h"

namespace tav {

template <typename HandleT, HandleT kInvalid, typename Closer, auto Close>
class UniqueHandle {
  public:
    UniqueHandle() noexcept = default;
    UniqueHandle(Closer& closer, HandleT handle) noexcept : m_closer(&closer), m_handle(handle) {}
    // For a closer without state (CloseWith below).
    explicit UniqueHandle(HandleT handle) noexcept
        : m_closer(&StatelessCloser()), m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept
        : m_closer(other.m_closer), m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_closer = other.m_closer;
            m_handle = other.release();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HandleT get() const noexcept { return m_handle; }
    bool valid() const noexcept { return m_handle != kInvalid; }
    explicit operator bool() const noexcept { return valid(); }

    // Gives up ownership without closing.
    [[nodiscard]] HandleT release() noexcept { return std::exchange(m_handle, kInvalid); }

    // Closes what is held (if anything) and holds `handle` from the same closer.
    void reset(HandleT handle = kInvalid) noexcept {
        const HandleT old = std::exchange(m_handle, handle);
        // A failed close leaves nothing to undo: the handle is given up either way. The close
        // runs on failure paths too, so it must not overwrite the error the caller reads next.
        if (old != kInvalid) {
            LastErrorGuard keep;
            static_cast<void>(std::invoke(Close, *m_closer, old));
        }
    }

  private:
    static Closer& StatelessCloser() noexcept {
        static Closer closer;
        return closer;
    }

    Closer* m_closer = nullptr;
    HandleT m_handle = kInvalid;
};

// The closer of a handle that a free function closes (::FreeLibrary, ::CloseHandle, ...).
template <auto CloseFunction>
struct CloseWith {
    template <typename HandleT>
    static void Close(CloseWith&, HandleT handle) noexcept {
        static_cast<void>(CloseFunction(handle));
    }
};

template <typename HandleT, HandleT kInvalid, auto CloseFunction>
using UniqueFreeHandle = UniqueHandle<HandleT, kInvalid, CloseWith<CloseFunction>,
                                      &CloseWith<CloseFunction>::template Close<HandleT>>;

}  // namespace tav
