#pragma once
// The boundary at a Windows callback (dialog, subclass and window procedures, timer, hook
// and control callbacks): no exception may unwind into the system's frames, which cannot
// carry one. Anything unexpected becomes the callback's defined answer instead.

#include <type_traits>
#include <utility>

namespace tav {

// Runs `body` and returns its result. When it throws anything, the result is `onFailure`:
// a value (FALSE, 0), or a callable that computes it (the default processing).
template <typename Body, typename OnFailure>
auto AtCallbackBoundary(Body&& body, OnFailure&& onFailure) noexcept -> decltype(body()) {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        if constexpr (std::is_invocable_v<OnFailure>)
            return std::forward<OnFailure>(onFailure)();
        else
            return std::forward<OnFailure>(onFailure);
    }
}

}  // namespace tav
