#include "tavports/command_line.h"

#include "shared/tool_options.h"

namespace tav::tavports {

namespace {

bool CommandOf(const std::string& word, Command* command) {
    static const std::pair<const char*, Command> kCommands[] = {
        {"list", Command::kList},     {"explain", Command::kExplain}, {"unlink", Command::kUnlink},
        {"assign", Command::kAssign}, {"prune", Command::kPrune},     {"help", Command::kHelp}};
    const std::string lower = LowerAscii(word);
    for (const auto& [name, value] : kCommands) {
        if (lower == name) {
            *command = value;
            return true;
        }
    }
    return false;
}

bool Changes(Command command) {
    return command == Command::kUnlink || command == Command::kAssign || command == Command::kPrune;
}

bool Reports(Command command) {
    return command == Command::kList || command == Command::kExplain;
}

// The option's value: attached ("--printer=X") or the next argument.
bool TakeValue(const std::vector<std::string>& args, size_t* i, const ToolOption& option,
               std::string* value, std::string* error) {
    if (option.value) {
        *value = *option.value;
    } else if (*i + 1 < args.size()) {
        *value = args[++*i];
    } else {
        *error = "option '" + args[*i] + "' needs a value";
        return false;
    }
    if (value->empty()) {
        *error = "option '" + args[*i] + "' needs a value";
        return false;
    }
    return true;
}

bool ApplyOption(const std::vector<std::string>& args, size_t* i, const ToolOption& option,
                 CommandLine* out, std::string* error) {
    const Command command = out->command;
    // Switches: each belongs to the commands it names.
    bool* flag = nullptr;
    if (option.name == "json" && command == Command::kList)
        flag = &out->json;
    else if (option.name == "yes" && Changes(command))
        flag = &out->yes;
    else if (option.name == "what-if" && command == Command::kPrune)
        flag = &out->whatIf;
    if (flag && !option.value) {
        *flag = true;
        return true;
    }
    if (option.name == "printer" && command == Command::kAssign)
        return TakeValue(args, i, option, &out->printer, error);
    if (option.name == "output" && Reports(command))
        return TakeValue(args, i, option, &out->outputFile, error);
    *error = "unknown option '" + args[*i] + "'";
    return false;
}

bool CheckComplete(const CommandLine& line, std::string* error) {
    if (line.command == Command::kUnlink && line.target.empty())
        *error = "unlink needs a COM name or an instance ID";
    else if (line.command == Command::kAssign && (line.target.empty() || line.printer.empty()))
        *error = "assign needs a port and --printer";
    return error->empty();
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* out, std::string* error) {
    *out = CommandLine{};
    error->clear();
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
            if (!ApplyOption(args, &i, *option, out, error))
                return false;
        } else if ((out->command == Command::kUnlink || out->command == Command::kAssign) &&
                   out->target.empty()) {
            out->target = arg;
        } else {
            *error = "unexpected argument '" + arg + "'";
            return false;
        }
    }
    return CheckComplete(*out, error);
}

}  // namespace tav::tavports
