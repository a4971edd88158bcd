#pragma once
// How a window procedure (the main window's or a page's) answers a message after the
// portable logic has seen it.

#include <cstdint>

namespace tav::setup {

enum class Route {
    Default,      // not handled: the framework's default handling only
    ThenDefault,  // handled, then the default handling
    AnswerZero,   // answered with 0, no default handling
    Answer,       // answered with `result`, no default handling
    WhiteBrush,   // answered with the white stock brush
};

struct WindowReply {
    Route route = Route::Default;
    intptr_t result = 0;
};

}  // namespace tav::setup
