#pragma once
// The simulated tracing system's decoder: reads trace message format files (.tmf) as
// tracefmt does and turns a message (message GUID, number, argument bytes) into its text.
// It keeps its own copies of the provider's GUIDs and flag names, so that a wrong value in
// the service cannot move the decoder with it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tav::sim {

// The provider's identities as an administrator's tools know them.
inline constexpr char kSimTraceControlGuid[] = "6f2d8b14-c3a7-4e95-b0d2-7a41e9c6f538";
inline constexpr char kSimServiceMessageGuid[] = "2b9e4f71-d8c5-4a02-8e63-c15f0a7b94d2";
inline constexpr char kSimDeviceMessageGuid[] = "9a7c31e6-e4b8-4d57-a1f9-3c62d08e5b17";

enum class TmfItemType { kLong, kWString, kString };

struct TmfMessage {
    uint16_t number = 0;
    std::string format;  // "%0..." with %10!u! style items
    uint8_t level = 0;
    uint32_t flags = 0;
    std::vector<TmfItemType> items;
};

struct DecodedMessage {
    uint8_t level = 0;
    uint32_t flags = 0;
    std::string text;
};

class TraceMessageFormat {
  public:
    // Parses .tmf text; an entry the decoder cannot read makes the whole file refused
    // (nullopt), as a decoder would report the file as bad.
    static std::optional<TraceMessageFormat> Parse(const std::string& text);
    // A folder of .tmf files as the decoders search it (tracerpt -tp, tracefmt -p): a message
    // GUID's formats come only from the file named "<message GUID>.tmf"; nullopt when a file
    // there cannot be read.
    static std::optional<TraceMessageFormat> LoadSearchFolder(const std::string& folder);
    // The folder of this build's files (generated from the service's table).
    static const TraceMessageFormat& BuildDecodingFiles();

    const TmfMessage* Find(const std::string& messageGuid, uint16_t number) const;
    // The message's text, or an error describing why the bytes cannot be decoded.
    std::optional<DecodedMessage> Decode(const std::string& messageGuid, uint16_t number,
                                         const std::vector<std::vector<uint8_t>>& args,
                                         std::string* error) const;
    std::vector<std::pair<std::string, TmfMessage>> Messages() const;

  private:
    std::map<std::pair<std::string, uint16_t>, TmfMessage> m_messages;
};

}  // namespace tav::sim
