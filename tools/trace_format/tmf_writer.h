#pragma once
// Writes the trace message format files from the service's trace event table, so that
// tracefmt and tracerpt turn a captured .etl into the table's texts. The decoders find a
// message's format in the file named after its message GUID ("<guid>.tmf", lower case,
// without braces) in the folder they are given (tracerpt -tp, tracefmt -p).

#include <string>
#include <vector>

namespace tav {

struct TraceFormatFile {
    std::string name;  // "<message GUID>.tmf"
    std::string text;
};

// One file per message GUID of the provider.
std::vector<TraceFormatFile> WriteTraceMessageFormatFiles();

}  // namespace tav
