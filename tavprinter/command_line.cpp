#include "tavprinter/command_line.h"

#include "shared/tool_options.h"

namespace tav::tavprinter {

namespace {

bool CommandOf(const std::string& word, Command* command) {
    const std::string lower = LowerAscii(word);
    if (lower == "list")
        *command = Command::kList;
    else if (lower == "show")
        *command = Command::kShow;
    else if (lower == "set")
        *command = Command::kSet;
    else if (lower == "help")
        *command = Command::kHelp;
    else
        return false;
    return true;
}

// Which commands take which option; a value-taking option is listed with its values.
bool Allowed(Command command, const std::string& name) {
    if (name == "json")
        return command == Command::kList || command == Command::kShow;
    if (name == "printer")
        return command == Command::kShow || command == Command::kSet;
    return command == Command::kSet &&
           (name == "driver-type" || name == "response" || name == "serial" || name == "what-if" ||
            name == "log" || name == "quiet");
}

bool TakesValue(const std::string& name) {
    return name == "printer" || name == "driver-type" || name == "response" || name == "serial" ||
           name == "log";
}

bool SetValue(const std::string& name, const std::string& value, CommandLine* out,
              std::string* error) {
    const std::string lower = LowerAscii(value);
    if (name == "printer") {
        if (out->printer) {
            *error = "only one --printer";
            return false;
        }
        out->printer = value;
    } else if (name == "driver-type" && (lower == "serial" || lower == "printer")) {
        out->set.serialDriver = lower == "serial";
    } else if (name == "response" && (lower == "receive" || lower == "not-receive")) {
        out->set.receive = lower == "receive";
    } else if (name == "serial") {
        if (out->set.serialAuto || out->set.serialText) {
            *error = "only one --serial";
            return false;
        }
        if (lower == "auto")
            out->set.serialAuto = true;
        else
            out->set.serialText = value;
    } else if (name == "log") {
        out->logFile = value;
    } else {
        *error = "--" + name + " does not take '" + value + "'";
        return false;
    }
    return true;
}

bool ApplyFlag(const std::string& name, CommandLine* out) {
    if (name == "json")
        out->json = true;
    else if (name == "what-if")
        out->whatIf = true;
    else if (name == "quiet")
        out->quiet = true;
    else
        return false;
    return true;
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
        i = 1;
    }
    for (; i < args.size(); ++i) {
        const std::optional<ToolOption> option = ParseToolOption(args[i]);
        if (!option) {
            *error = "unexpected argument '" + args[i] + "'";
            return false;
        }
        if (IsHelpOption(*option) || option->name == "version") {
            out->command = IsHelpOption(*option) ? Command::kHelp : Command::kVersion;
            return true;
        }
        if (out->command == Command::kHelp)
            continue;
        if (!Allowed(out->command, option->name)) {
            *error = "unknown option '" + args[i] + "'";
            return false;
        }
        if (!TakesValue(option->name)) {
            if (option->value) {
                *error = "--" + option->name + " takes no value";
                return false;
            }
            ApplyFlag(option->name, out);
            continue;
        }
        std::optional<std::string> value = option->value;
        if (!value) {
            if (i + 1 >= args.size()) {
                *error = "--" + option->name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (!SetValue(option->name, *value, out, error))
            return false;
    }
    if (out->command == Command::kSet && out->set.Empty()) {
        *error = "set needs --driver-type, --response or --serial";
        return false;
    }
    if (out->set.serialAuto && out->set.serialText) {
        *error = "only one --serial";
        return false;
    }
    return true;
}

}  // namespace tav::tavprinter
