#pragma once
// The exit codes of the administrator's consoles (tavports, tavprinter): one table, so a
// deployment script reads both tools alike.

namespace tav {

inline constexpr int kToolExitOk = 0;              // done, or already so
inline constexpr int kToolExitFailed = 1;          // failed
inline constexpr int kToolExitBadArguments = 2;    // bad arguments; nothing touched
inline constexpr int kToolExitNeedsAdmin = 3;      // needs an elevated administrator
inline constexpr int kToolExitCancelled = 4;       // cancelled (declined, Ctrl+C)
inline constexpr int kToolExitNoMatch = 5;         // no printer, or none that matches
inline constexpr int kToolExitSeveralMatches = 6;  // more than one match
inline constexpr int kToolExitBusy = 7;            // the utility or another tool holds the printer

// The table as both tools' --help print it.
inline constexpr char kToolExitCodeHelp[] =
    "Exit codes:\n"
    "  0  done, or already so          4  cancelled\n"
    "  1  failed                       5  no printer, or no match\n"
    "  2  bad arguments                6  more than one match\n"
    "  3  needs an elevated administrator\n"
    "  7  busy: the setup utility or another tool holds the printer\n";

}  // namespace tav
