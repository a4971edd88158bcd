#include "tavprinter/tool_run.h"

#include <cstdio>

namespace tav::tavprinter {

std::string ToolRun::Format(Text id, ...) const {
    char buffer[512];
    va_list args;
    va_start(args, id);
    std::vsnprintf(buffer, sizeof buffer, TextFor(id, japanese), args);
    va_end(args);
    return buffer;
}

void ToolRun::Result(const std::string& line) {
    tool.output.Out(line + "\n");
    Log(line);
}

void ToolRun::Progress(const std::string& line) {
    if (!command.quiet)
        tool.output.Err("tavprinter: " + line + "\n");
    Log(line);
}

int ToolRun::Error(const std::string& line, int exitCode) {
    tool.output.Err("tavprinter: " + line + "\n");
    Log("error: " + line + " (exit " + std::to_string(exitCode) + ")");
    return exitCode;
}

int ToolRun::Failed(const std::string& operation, uint32_t error, int exitCode) {
    return Error(Format(Text::kCommunicationError, operation.c_str(), static_cast<unsigned>(error),
                        tool.kernel.ErrorText(error).c_str()),
                 exitCode);
}

void ToolRun::Log(const std::string& line) {
    if (!command.logFile || m_logBroken)
        return;
    if (!tool.output.AppendLog(*command.logFile,
                               tool.kernel.LocalTimeText() + " tavprinter: " + line + "\n")) {
        // Said once; the run goes on, its console output is whole.
        m_logBroken = true;
        tool.output.Err("tavprinter: cannot write the log file " + *command.logFile + "\n");
    }
}

}  // namespace tav::tavprinter
