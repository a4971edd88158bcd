#include "tests/pages/fake_printer_channel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tav::test {

namespace {
constexpr uint32_t kVendorGetCommand = 0x22003C;

bool StartsWith(const std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> prefix) {
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}
}  // namespace

std::string WriteEvent(const std::vector<uint8_t>& bytes) {
    std::string text = "write";
    for (uint8_t b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", b);
        text += hex;
    }
    return text;
}

int FakePrinterChannel::Transact(uint32_t ioctlCode, const void* inBuffer, uint32_t inSize,
                                 void* outBuffer, uint32_t outSize, uint32_t* pCount,
                                 uint32_t budgetMs) {
    if (ioctlCode == kVendorGetCommand)
        return VendorRead(outBuffer, outSize, pCount);
    if (inBuffer != nullptr) {
        const auto* bytes = static_cast<const uint8_t*>(inBuffer);
        if (!Write(std::vector<uint8_t>(bytes, bytes + inSize)))
            return 0;
        if (outBuffer == nullptr)
            return 1;
    }
    return Read(outBuffer, outSize, pCount, budgetMs);
}

int FakePrinterChannel::VendorRead(void* outBuffer, uint32_t outSize, uint32_t* pCount) {
    ++vendorReads;
    m_events.push_back("vendor read");
    if (!settingsTransacts)
        return 0;
    std::vector<uint8_t> block(settingsSize, 0x30);
    if (settingsSize > 10) {
        block[9] = settingsByte9;
        block[10] = settingsByte10;
    }
    std::memcpy(outBuffer, block.data(), std::min<size_t>(outSize, block.size()));
    *pCount = settingsSize;  // a transport that reports what the printer sent
    return 1;
}

int FakePrinterChannel::Write(const std::vector<uint8_t>& bytes) {
    m_events.push_back(WriteEvent(bytes));
    if (StartsWith(bytes, {0x12, 0x75, 0x02})) {
        ++textQueries;
        QueueText(usbSerial);
    } else if (StartsWith(bytes, {0x11, 0x40})) {
        ++textQueries;
        QueueText(unitSerial);
    } else if (StartsWith(bytes, {0x12, 0x6C, 0xFF})) {
        ++switchQueries;
        if (switchAnswers) {
            std::vector<uint8_t> block(switchSize, 0x00);
            if (switchSize > 110) {
                block[109] = static_cast<uint8_t>(0x30 | (usbClassSwitch & 0x0F));
                block[110] = static_cast<uint8_t>(0x20 | (usbClassSwitch >> 4));
            }
            m_replies.push_back(block);
        }
    } else {
        if (setRequestsFail)
            return 0;
        setRequests.push_back(bytes);
    }
    return 1;
}

int FakePrinterChannel::Read(void* outBuffer, uint32_t outSize, uint32_t* pCount,
                             uint32_t budgetMs) {
    if (m_replies.empty()) {
        clock.Advance(budgetMs);  // nothing comes within the budget
        return 0;
    }
    std::vector<uint8_t> reply = std::move(m_replies.front());
    m_replies.pop_front();
    const size_t n = std::min<size_t>(outSize, reply.size());
    std::memcpy(outBuffer, reply.data(), n);
    *pCount = static_cast<uint32_t>(n);
    return 1;
}

void FakePrinterChannel::QueueText(const std::optional<std::string>& text) {
    if (!text)
        return;
    std::vector<uint8_t> reply = {0x02};
    reply.insert(reply.end(), text->begin(), text->end());
    reply.push_back(0x00);
    m_replies.push_back(reply);
}

}  // namespace tav::test
