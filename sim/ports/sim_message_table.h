#pragma once
// A message table as the Event Log's viewer reads it, parsed from the service's .mc source
// (the text windmc compiles into Tavportsvc.exe): each message's full ID (severity bits and
// number), its texts by language name, and how many insertion strings it takes. Written
// against the .mc format, not against the service's event table, so the two can disagree.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tav::sim {

struct SimMessage {
    uint32_t id = 0;
    std::string symbolicName;
    std::map<std::string, std::string> texts;  // "English", "Japanese": UTF-8, line end cut
    // The highest %n of the English text: the strings an entry must bring.
    int insertions = 0;
};

class SimMessageTable {
  public:
    // None when the text is not a message table this parser understands.
    static std::optional<SimMessageTable> Parse(const std::string& mcText);
    // The service's own table, from the .mc the build compiles.
    static const SimMessageTable& Service();

    const SimMessage* Find(uint32_t id) const;
    const std::vector<SimMessage>& Messages() const { return m_messages; }
    // The message's text with %1.. replaced by `strings` (UTF-8).
    std::string Render(const SimMessage& message, const std::vector<std::string>& strings,
                       const std::string& language = "English") const;

  private:
    std::vector<SimMessage> m_messages;
};

// The highest %n in a message text (0 when it takes none).
int HighestInsertion(const std::string& text);

}  // namespace tav::sim
