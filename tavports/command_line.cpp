#include "tavports/command_line.h"

namespace tav::tavports {

namespace {

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h" || arg == "/?" || arg == "help";
}

bool CommandOf(const std::string& word, Command* command) {
    if (word == "list")
        *command = Command::kList;
    else if (word == "explain")
        *command = Command::kExplain;
    else if (word == "unlink")
        *command = Command::kUnlink;
    else
        return false;
    return true;
}

bool ApplyOption(const std::string& arg, CommandLine* out, std::string* error) {
    if (arg == "--json" && out->command == Command::kList) {
        out->json = true;
        return true;
    }
    if (arg == "--yes" && out->command == Command::kUnlink) {
        out->yes = true;
        return true;
    }
    *error = "unknown option '" + arg + "'";
    return false;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error) {
    *out = CommandLine{};
    size_t i = 0;
    if (!args.empty() && !args[0].empty() && args[0][0] != '-' && args[0] != "/?" &&
        !IsHelp(args[0])) {
        if (!CommandOf(args[0], &out->command)) {
            *error = "unknown command '" + args[0] + "'";
            return false;
        }
        i = 1;
    }
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelp(arg) || arg == "--version") {
            // Alone they name the command; after a command they are still answered.
            out->command = IsHelp(arg) ? Command::kHelp : Command::kVersion;
            return true;
        }
        if (!arg.empty() && arg[0] == '-') {
            if (!ApplyOption(arg, out, error))
                return false;
        } else if (out->command == Command::kUnlink && out->target.empty()) {
            out->target = arg;
        } else {
            *error = "unexpected argument '" + arg + "'";
            return false;
        }
    }
    if (out->command == Command::kUnlink && out->target.empty()) {
        *error = "unlink needs a COM name or an instance ID";
        return false;
    }
    return true;
}

}  // namespace tav::tavports
