#include "tavports/command_line.h"

#include "shared/tool_options.h"

namespace tav::tavports {

namespace {

bool CommandOf(const std::string& word, Command* command) {
    const std::string lower = LowerAscii(word);
    if (lower == "list")
        *command = Command::kList;
    else if (lower == "explain")
        *command = Command::kExplain;
    else if (lower == "unlink")
        *command = Command::kUnlink;
    else if (lower == "help")
        *command = Command::kHelp;
    else
        return false;
    return true;
}

bool ApplyOption(const std::string& arg, const ToolOption& option, CommandLine* out,
                 std::string* error) {
    if (!option.value && option.name == "json" && out->command == Command::kList) {
        out->json = true;
        return true;
    }
    if (!option.value && option.name == "yes" && out->command == Command::kUnlink) {
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
    if (!args.empty() && !ParseToolOption(args[0])) {
        if (!CommandOf(args[0], &out->command)) {
            *error = "unknown command '" + args[0] + "'";
            return false;
        }
        if (out->command == Command::kHelp)
            return true;
        i = 1;
    }
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const std::optional<ToolOption> option = ParseToolOption(arg);
        if (option && (IsHelpOption(*option) || option->name == "version")) {
            // Alone they name the command; after a command they are still answered.
            out->command = IsHelpOption(*option) ? Command::kHelp : Command::kVersion;
            return true;
        }
        if (option) {
            if (!ApplyOption(arg, *option, out, error))
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
