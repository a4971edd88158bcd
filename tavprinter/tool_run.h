#pragma once
// One run of tavprinter: its platform and command line, and where its words go: results
// to stdout, errors and progress to stderr (progress only without --quiet), and every step
// as a timestamped line to the --log file.

#include <cstdarg>
#include <string>

#include "tavprinter/command_line.h"
#include "tavprinter/tool_platform.h"
#include "tavprinter/tool_texts.h"

namespace tav::tavprinter {

class ToolRun {
  public:
    ToolRun(ToolPlatform& platform, const CommandLine& line)
        : tool(platform), command(line), japanese(platform.kernel.JapaneseInterface()) {}

    // A text of the table with printf arguments.
    std::string Format(Text id, ...) const;
    // A result line for people (stdout), logged.
    void Result(const std::string& line);
    // A progress line (stderr unless --quiet), logged.
    void Progress(const std::string& line);
    // An error line (stderr, always), logged; returns `exitCode`.
    int Error(const std::string& line, int exitCode);
    // "<operation> failed: error N: <text>".
    int Failed(const std::string& operation, uint32_t error, int exitCode);
    void Log(const std::string& line);

    ToolPlatform& tool;
    const CommandLine& command;
    const bool japanese;

  private:
    bool m_logBroken = false;
};

}  // namespace tav::tavprinter
