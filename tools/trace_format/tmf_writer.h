#pragma once
// Writes the trace message format file (Tavportsvc.tmf) from the service's trace event
// table, so that tracefmt and tracerpt turn a captured .etl into the table's texts.

#include <string>

namespace tav {

std::string WriteTraceMessageFormat();

}  // namespace tav
