// tavports' command line from arbitrary arguments (the bytes split at NUL): the parser
// never crashes, and whatever it accepts is a command the program can run.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tavports/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    tav::tavports::CommandLine command;
    std::string error;
    bool ok = tav::tavports::ParseCommandLine(args, &command, &error);
    if (!ok && error.empty())
        std::abort();  // a refusal always says why
    if (ok && command.command == tav::tavports::Command::kUnlink && command.target.empty())
        std::abort();
    if (ok && command.command == tav::tavports::Command::kAssign &&
        (command.target.empty() || command.printer.empty()))
        std::abort();
    if (ok && command.whatIf && command.command != tav::tavports::Command::kPrune &&
        command.command != tav::tavports::Command::kHelp &&
        command.command != tav::tavports::Command::kVersion)
        std::abort();
    if (ok && command.json && command.command != tav::tavports::Command::kList &&
        command.command != tav::tavports::Command::kHelp &&
        command.command != tav::tavports::Command::kVersion)
        std::abort();
    return 0;
}
