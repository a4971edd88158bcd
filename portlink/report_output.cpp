#include "portlink/report_output.h"

#include "shared/u16.h"

namespace tav::portlink {

uint32_t DeliverReport(ToolHostApi& host, ToolConsole& console, const std::string& outputFile,
                       const std::string& utf8) {
    if (outputFile.empty()) {
        console.Out(utf8);
        return 0;
    }
    return host.WriteNewFile(FromUtf8(outputFile), utf8);
}

}  // namespace tav::portlink
