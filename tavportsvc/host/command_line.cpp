#include "tavportsvc/host/command_line.h"

namespace tav::portsvc::host {
namespace {

bool EndsToken(char16_t c) {
    return c == u'\0' || c == u' ' || c == u'\t';
}

// Calls `visit` with the text after each '-' or '/', in order, until it returns true.
template <class Visit>
bool ForEachToken(std::u16string_view line, Visit visit) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == u'\0')
            return false;
        if ((line[i] == u'-' || line[i] == u'/') && visit(line.substr(i + 1)))
            return true;
    }
    return false;
}

}  // namespace

bool TokenMatches(std::u16string_view token, std::u16string_view name, const UpperCaseFn& upper) {
    size_t i = 0;
    for (; i < name.size(); ++i) {
        if (i >= token.size() || EndsToken(token[i]))
            return false;
        if (upper(token[i]) != upper(name[i]))
            return false;
    }
    return i == token.size() || EndsToken(token[i]);
}

CommandSwitch ScanCommandLine(std::u16string_view commandLine, const UpperCaseFn& upper) {
    static const struct {
        std::u16string_view name;
        CommandSwitch value;
    } kRegistrationSwitches[] = {
        {u"UnregServer", CommandSwitch::UnregServer},
        {u"RegServer", CommandSwitch::RegServer},
        {u"UnregServerPerUser", CommandSwitch::UnregServerPerUser},
        {u"RegServerPerUser", CommandSwitch::RegServerPerUser},
    };
    CommandSwitch found = CommandSwitch::None;
    ForEachToken(commandLine, [&](std::u16string_view token) {
        for (const auto& s : kRegistrationSwitches) {
            if (TokenMatches(token, s.name, upper)) {
                found = s.value;
                return true;
            }
        }
        return false;
    });
    if (found != CommandSwitch::None)
        return found;
    if (ForEachToken(commandLine, [&](std::u16string_view token) {
            return TokenMatches(token, u"Service", upper);
        }))
        return CommandSwitch::Service;
    return CommandSwitch::None;
}

}  // namespace tav::portsvc::host
