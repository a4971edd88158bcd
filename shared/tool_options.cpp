#include "shared/tool_options.h"

#include <cctype>
#include <cstdio>

namespace tav {

std::string LowerAscii(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::optional<ToolOption> ParseToolOption(const std::string& arg) {
    size_t start = 0;
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0)
        start = 2;
    else if (arg.size() > 1 && (arg[0] == '-' || arg[0] == '/'))
        start = 1;
    else
        return std::nullopt;
    // "/name:value" is the Windows way of attaching a value; "=" works in every form.
    const size_t cut = arg.find_first_of(arg[0] == '/' ? "=:" : "=", start);
    ToolOption option;
    option.name = LowerAscii(arg.substr(start, cut == std::string::npos ? cut : cut - start));
    if (cut != std::string::npos)
        option.value = arg.substr(cut + 1);
    if (option.name.empty())
        return std::nullopt;
    return option;
}

bool IsHelpOption(const ToolOption& option) {
    return option.name == "help" || option.name == "h" || option.name == "?";
}

}  // namespace tav
