#include "sim/ports/sim_trace_format.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shared/u16.h"

namespace tav::sim {

namespace {

// The provider's flag and the level names a decoding file may use.
const std::map<std::string, uint32_t> kFlagNames = {{"TRACE_FLAG_GENERAL", 1}};
const std::map<std::string, uint8_t> kLevelNames = {{"TRACE_LEVEL_CRITICAL", 1},
                                                    {"TRACE_LEVEL_ERROR", 2},
                                                    {"TRACE_LEVEL_WARNING", 3},
                                                    {"TRACE_LEVEL_INFORMATION", 4},
                                                    {"TRACE_LEVEL_VERBOSE", 5}};
const std::map<std::string, TmfItemType> kItemTypes = {{"ItemLong", TmfItemType::kLong},
                                                       {"ItemWString", TmfItemType::kWString},
                                                       {"ItemString", TmfItemType::kString}};

bool IsGuidText(const std::string& token) {
    if (token.size() != 36)
        return false;
    for (size_t i = 0; i < token.size(); ++i) {
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? token[i] != '-' : !std::isxdigit(static_cast<unsigned char>(token[i])))
            return false;
    }
    return true;
}

std::string Lower(std::string text) {
    for (auto& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The value of "KEY=value" in a #typev line's comment, or "".
std::string CommentValue(const std::string& line, const std::string& key) {
    size_t at = line.find(" " + key + "=");
    if (at == std::string::npos)
        return "";
    size_t start = at + key.size() + 2;
    size_t end = line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// #typev <name> <number> "<format>" //   LEVEL=... FLAGS=... FUNC=...
bool ParseTypev(const std::string& line, TmfMessage& message) {
    std::istringstream in(line);
    std::string keyword, name;
    unsigned number = 0;
    if (!(in >> keyword >> name >> number) || keyword != "#typev" || number > 0xFFFF)
        return false;
    size_t open = line.find('"');
    size_t close = line.rfind("\" //");
    if (open == std::string::npos || close == std::string::npos || close <= open)
        return false;
    auto level = kLevelNames.find(CommentValue(line, "LEVEL"));
    auto flag = kFlagNames.find(CommentValue(line, "FLAGS"));
    if (level == kLevelNames.end() || flag == kFlagNames.end())
        return false;
    message.number = static_cast<uint16_t>(number);
    message.format = line.substr(open + 1, close - open - 1);
    message.level = level->second;
    message.flags = flag->second;
    return true;
}

// <name>, <ItemType> -- <index>; indices run 10, 11, ... in order.
bool ParseItem(const std::string& line, TmfMessage& message) {
    size_t comma = line.find(", ");
    size_t dashes = line.find(" -- ");
    if (comma == std::string::npos || dashes == std::string::npos || dashes < comma)
        return false;
    auto type = kItemTypes.find(line.substr(comma + 2, dashes - comma - 2));
    if (type == kItemTypes.end() ||
        line.substr(dashes + 4) != std::to_string(10 + message.items.size()))
        return false;
    message.items.push_back(type->second);
    return true;
}

bool ValidArg(TmfItemType type, const std::vector<uint8_t>& bytes) {
    size_t n = bytes.size();
    switch (type) {
        case TmfItemType::kLong:
            return n == 4;
        case TmfItemType::kString:
            for (size_t i = 0; i < n; ++i) {
                if (bytes[i] == 0)
                    return i == n - 1;
            }
            return false;
        case TmfItemType::kWString:
            if (n < 2 || n % 2 != 0)
                return false;
            for (size_t i = 0; i < n; i += 2) {
                if (bytes[i] == 0 && bytes[i + 1] == 0)
                    return i == n - 2;
            }
            return false;
    }
    return false;
}

std::string ArgText(TmfItemType type, const std::vector<uint8_t>& bytes) {
    if (type == TmfItemType::kLong)
        return std::to_string(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                              static_cast<uint32_t>(bytes[3]) << 24);
    if (type == TmfItemType::kString)
        return std::string(bytes.begin(), bytes.end() - 1);
    std::u16string text;
    for (size_t i = 0; i + 2 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    return ToUtf8(text);
}

// Replaces %0 (the prefix, empty here) and %N!f! with the arguments' texts.
std::optional<std::string> Render(const TmfMessage& message,
                                  const std::vector<std::vector<uint8_t>>& args) {
    const std::string& f = message.format;
    std::string out;
    for (size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%' || i + 1 >= f.size() ||
            !std::isdigit(static_cast<unsigned char>(f[i + 1]))) {
            out += f[i] == '\\' && i + 1 < f.size() ? f[++i] : f[i];
            continue;
        }
        size_t end = i + 1;
        while (end < f.size() && std::isdigit(static_cast<unsigned char>(f[end])))
            ++end;
        size_t index = std::stoul(f.substr(i + 1, end - i - 1));
        if (end < f.size() && f[end] == '!')
            end = f.find('!', end + 1);
        if (end == std::string::npos)
            return std::nullopt;
        if (index != 0) {
            if (index < 10 || index - 10 >= args.size())
                return std::nullopt;
            out += ArgText(message.items[index - 10], args[index - 10]);
        }
        i = f[end] == '!' ? end : end - 1;
    }
    return out;
}

}  // namespace

std::optional<TraceMessageFormat> TraceMessageFormat::Parse(const std::string& text) {
    TraceMessageFormat tmf;
    std::istringstream in(text);
    std::string line, guid;
    TmfMessage message;
    bool inItems = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.rfind("//", 0) == 0)
            continue;
        if (inItems && line == "}") {
            if (!tmf.m_messages.emplace(std::make_pair(guid, message.number), message).second)
                return std::nullopt;  // a number given twice
            inItems = false;
        } else if (inItems) {
            if (!ParseItem(line, message))
                return std::nullopt;
        } else if (line.rfind("#typev ", 0) == 0) {
            message = TmfMessage{};
            if (guid.empty() || !ParseTypev(line, message))
                return std::nullopt;
        } else if (line == "{") {
            inItems = true;
        } else if (IsGuidText(line.substr(0, 36))) {
            guid = Lower(line.substr(0, 36));
        } else {
            return std::nullopt;
        }
    }
    if (inItems)
        return std::nullopt;
    return tmf;
}

std::optional<TraceMessageFormat> TraceMessageFormat::LoadSearchFolder(const std::string& folder) {
    TraceMessageFormat all;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".tmf")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        auto parsed = Parse(text.str());
        if (!parsed)
            return std::nullopt;
        // A decoder opens this file only for the message GUID of its name.
        const std::string fileGuid = Lower(entry.path().stem().string());
        for (const auto& [key, message] : parsed->m_messages) {
            if (key.first == fileGuid)
                all.m_messages.emplace(key, message);
        }
    }
    if (error)
        return std::nullopt;
    return all;
}

const TraceMessageFormat& TraceMessageFormat::BuildDecodingFiles() {
    static const TraceMessageFormat files =
        LoadSearchFolder(TAV_TRACE_TMF_DIR).value_or(TraceMessageFormat{});
    return files;
}

const TmfMessage* TraceMessageFormat::Find(const std::string& messageGuid, uint16_t number) const {
    auto it = m_messages.find(std::make_pair(Lower(messageGuid), number));
    return it == m_messages.end() ? nullptr : &it->second;
}

std::optional<DecodedMessage> TraceMessageFormat::Decode(
    const std::string& messageGuid, uint16_t number, const std::vector<std::vector<uint8_t>>& args,
    std::string* error) const {
    const TmfMessage* message = Find(messageGuid, number);
    if (!message) {
        *error = "no format for message " + std::to_string(number) + " of " + messageGuid;
        return std::nullopt;
    }
    if (args.size() != message->items.size()) {
        *error = "message " + std::to_string(number) + " has " + std::to_string(args.size()) +
                 " arguments, the format " + std::to_string(message->items.size());
        return std::nullopt;
    }
    for (size_t i = 0; i < args.size(); ++i) {
        if (!ValidArg(message->items[i], args[i])) {
            *error = "message " + std::to_string(number) + " argument " + std::to_string(i + 1) +
                     " does not match its type";
            return std::nullopt;
        }
    }
    auto text = Render(*message, args);
    if (!text) {
        *error = "message " + std::to_string(number) + " has a bad format string";
        return std::nullopt;
    }
    return DecodedMessage{message->level, message->flags, *text};
}

std::vector<std::pair<std::string, TmfMessage>> TraceMessageFormat::Messages() const {
    std::vector<std::pair<std::string, TmfMessage>> out;
    for (const auto& [key, message] : m_messages)
        out.emplace_back(key.first, message);
    return out;
}

}  // namespace tav::sim
