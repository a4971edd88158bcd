#pragma once
// tavprinter's texts for people, in English and Japanese; the user's interface language
// picks one. JSON keys and values stay English whatever the language.

#include <string>

namespace tav::tavprinter {

enum class Text {
    kNoPrinter,
    kNoMatch,
    kSeveralMatches,
    kSetNeedsOne,
    kBusy,
    kNeedsAdmin,
    kPrinterHeading,
    kInstanceId,
    kModel,
    kDriverType,
    kResponse,
    kSerialNumber,
    kComPort,
    kPrinterDriver,
    kVirtualSerial,
    kReceive,
    kNotReceive,
    kUnreadable,
    kNone,
    kNotLinked,
    kAlready,
    kWouldChange,
    kChanged,
    kSwitchingDriver,
    kSwitchingResponse,
    kChangingSerial,
    kWaiting,
    kLinkedTo,
    kNoLinkServiceStopped,
    kNoLinkDriverMissing,
    kNoLinkInTime,
    kDriverMissing,
    kNotBack,
    kNotAsWanted,
    kCommunicationError,
    kCancelled,
    kBadSerial,
};

struct TextPair {
    const char* en;
    const char* ja;
};

const char* TextFor(Text id, bool japanese);

}  // namespace tav::tavprinter
