#pragma once
// The two-scan command line of the service: a token starts after every '-' or '/', the
// program path included, and matches a switch in any letter case up to the token's end.

#include <functional>
#include <string_view>

namespace tav::portsvc::host {

enum class CommandSwitch {
    None,
    UnregServer,
    RegServer,
    UnregServerPerUser,
    RegServerPerUser,
    Service
};

using UpperCaseFn = std::function<char16_t(char16_t)>;

// True when the token at `token` equals `name` after upper-casing both, and the token ends
// (NUL, space, tab or end of text) exactly where `name` ends.
[[nodiscard]] bool TokenMatches(std::u16string_view token, std::u16string_view name,
                                const UpperCaseFn& upper);

// First scan: the registration switches; second scan, only when the first found nothing:
// "Service". None when neither matched.
[[nodiscard]] CommandSwitch ScanCommandLine(std::u16string_view commandLine,
                                            const UpperCaseFn& upper);

}  // namespace tav::portsvc::host
