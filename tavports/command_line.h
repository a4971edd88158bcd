#pragma once
// The command line of tavports: a command (list by default) and its options.

#include <string>
#include <vector>

namespace tav::tavports {

enum class Command { kList, kExplain, kUnlink, kAssign, kPrune, kHelp, kVersion };

struct CommandLine {
    Command command = Command::kList;
    bool json = false;       // list --json
    bool yes = false;        // unlink, assign, prune --yes
    bool whatIf = false;     // prune --what-if
    std::string target;      // unlink: COM name or instance ID; assign: the port
    std::string printer;     // assign --printer: instance ID, iSerialNumber or COM name
    std::string outputFile;  // list, explain --output: the report goes to this file
};

// Parses the arguments after the program name (UTF-8). False with `*error` set for an
// argument the program cannot use.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error);

}  // namespace tav::tavports
