#pragma once
// The demonstration build's record of what happened, one line per event, in UTF-8:
// milliseconds since start, a kind ("wire", "status", "text", ...) and the detail. Written
// and flushed line by line, so a test can read it while the utility still runs.

#include <cstdint>
#include <string>

namespace tav::demo {

class Timeline {
  public:
    virtual ~Timeline() = default;
    virtual void Note(const std::string& kind, const std::string& detail) = 0;
};

// Bytes as "1B 1D 28 ..." followed by their printable ASCII in quotes.
std::string DescribeBytes(const void* data, uint32_t size);

}  // namespace tav::demo
