#pragma once
// The command line of tavports: a command (list by default) and its options.

#include <string>
#include <vector>

namespace tav::tavports {

enum class Command { kList, kExplain, kUnlink, kHelp, kVersion };

struct CommandLine {
    Command command = Command::kList;
    bool json = false;   // list --json
    bool yes = false;    // unlink --yes
    std::string target;  // unlink: COM name or instance ID
};

// Parses the arguments after the program name (UTF-8). False with `*error` set for an
// argument the program cannot use.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error);

}  // namespace tav::tavports
