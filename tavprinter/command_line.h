#pragma once
// The command line of tavprinter: list, show or set, and their options.

#include <optional>
#include <string>
#include <vector>

namespace tav::tavprinter {

enum class Command { kList, kShow, kSet, kHelp, kVersion };

// What `set` asks for; a setting left out is not touched.
struct SetRequest {
    std::optional<bool> serialDriver;       // --driver-type serial (true) or printer (false)
    std::optional<bool> receive;            // --response receive (true) or not-receive (false)
    bool serialAuto = false;                // --serial auto
    std::optional<std::string> serialText;  // --serial <text> (UTF-8 as typed)

    bool Empty() const { return !serialDriver && !receive && !serialAuto && !serialText; }
};

struct CommandLine {
    Command command = Command::kList;
    bool json = false;
    std::optional<std::string> printer;  // --printer SEL
    SetRequest set;
    bool whatIf = false;
    bool quiet = false;
    std::optional<std::string> logFile;
};

// Parses the arguments after the program name (UTF-8). False with `*error` set for an
// argument the program cannot use; nothing is touched then.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error);

}  // namespace tav::tavprinter
