#include "sim/ports/sim_message_table.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tav::sim {

namespace {

const std::map<std::string, uint32_t> kSeverities = {
    {"Success", 0}, {"Informational", 1}, {"Warning", 2}, {"Error", 3}};

std::string Trimmed(const std::string& line) {
    size_t end = line.find_last_not_of(" \r\t");
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

// "Key=value" with the key given; the value, or none.
std::optional<std::string> ValueOf(const std::string& line, const std::string& key) {
    if (line.compare(0, key.size() + 1, key + "=") != 0)
        return std::nullopt;
    return line.substr(key.size() + 1);
}

struct Header {
    std::optional<uint32_t> number;
    uint32_t severity = 0;
    std::string name;
};

bool ApplyHeaderLine(const std::string& line, Header& header) {
    if (auto v = ValueOf(line, "MessageId")) {
        header.number = static_cast<uint32_t>(std::stoul(*v, nullptr, 0));
    } else if (auto s = ValueOf(line, "Severity")) {
        auto it = kSeverities.find(*s);
        if (it == kSeverities.end())
            return false;
        header.severity = it->second;
    } else if (auto n = ValueOf(line, "SymbolicName")) {
        header.name = *n;
    } else if (!ValueOf(line, "LanguageNames") && !line.empty() && line[0] != ';') {
        return false;
    }
    return true;
}

}  // namespace

int HighestInsertion(const std::string& text) {
    int highest = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
            highest = std::max(highest, text[i + 1] - '0');
    }
    return highest;
}

std::optional<SimMessageTable> SimMessageTable::Parse(const std::string& mcText) {
    SimMessageTable table;
    std::istringstream in(mcText);
    std::string raw;
    Header header;
    SimMessage* current = nullptr;
    while (std::getline(in, raw)) {
        std::string line = Trimmed(raw);
        if (auto language = ValueOf(line, "Language")) {
            if (!current && !header.number)
                return std::nullopt;
            if (!current) {
                table.m_messages.push_back(
                    {(header.severity << 30) | *header.number, header.name, {}, 0});
                current = &table.m_messages.back();
            }
            std::string text;
            while (std::getline(in, raw) && Trimmed(raw) != ".")
                text += (text.empty() ? "" : "\n") + Trimmed(raw);
            current->texts[*language] = text;
            continue;
        }
        if (!line.empty() && line[0] != ';' && ValueOf(line, "MessageId")) {
            header = Header{};
            current = nullptr;
        }
        if (!ApplyHeaderLine(line, header))
            return std::nullopt;
    }
    for (SimMessage& m : table.m_messages)
        m.insertions = HighestInsertion(m.texts["English"]);
    return table;
}

const SimMessageTable& SimMessageTable::Service() {
    static const SimMessageTable table = [] {
        std::ifstream file(TAV_EVENT_MESSAGES_FILE, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return Parse(text.str()).value_or(SimMessageTable{});
    }();
    return table;
}

const SimMessage* SimMessageTable::Find(uint32_t id) const {
    for (const SimMessage& m : m_messages) {
        if (m.id == id)
            return &m;
    }
    return nullptr;
}

std::string SimMessageTable::Render(const SimMessage& message,
                                    const std::vector<std::string>& strings,
                                    const std::string& language) const {
    auto it = message.texts.find(language);
    const std::string& text = it == message.texts.end() ? std::string() : it->second;
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            size_t index = static_cast<size_t>(text[i + 1] - '1');
            out += index < strings.size() ? strings[index] : text.substr(i, 2);
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace tav::sim
