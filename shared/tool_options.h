#pragma once
// The option forms both administrator's consoles accept: "--name", "-name" and "/name", in
// any letter case, with a value either in the next argument or attached ("--name=value",
// "/name:value").

#include <optional>
#include <string>

namespace tav {

struct ToolOption {
    std::string name;                  // lower case, without the leading "--", "-" or "/"
    std::optional<std::string> value;  // the attached value, if any
};

// The option an argument names; none for a plain word (a command or a value).
std::optional<ToolOption> ParseToolOption(const std::string& arg);

// "--help", "-h", "/?" in any case.
bool IsHelpOption(const ToolOption& option);

// ASCII letters in lower case, for commands and values that ignore letter case.
std::string LowerAscii(std::string text);

// A JSON string literal of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(const std::string& utf8);

}  // namespace tav
