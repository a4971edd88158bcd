// The printer link's real transport (Win32 DeviceIo adapter and PrinterTransact) against a
// named pipe opened with the transport's own CreateFileW arguments, a server thread playing
// the printer. Prints one line per check and exits with the number of failed checks.
//   pipe_transport_test

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "operation_log.h"
#include "pipe_printer.h"
#include "printer/link/printer_link.h"
#include "printer/link/win32/win32_printer_platform.h"
#include "shared/last_error.h"

namespace {

using tav::pipetest::OperationLog;
using tav::pipetest::PipePrinter;
using tav::pipetest::PipeShape;

int g_failures = 0;
OperationLog* g_pOperations = nullptr;

void Check(bool ok, const char* what, const std::string& detail = {}) {
    std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", what, detail.empty() ? "" : ": ",
                detail.c_str());
    if (!ok)
        ++g_failures;
}

std::wstring PipeName(const char* caseName) {
    const std::string name =
        std::string("tav-transport-") + caseName + "-" + std::to_string(::GetCurrentProcessId());
    return L"\\\\.\\pipe\\" + std::wstring(name.begin(), name.end());
}

// A link whose device path is the pipe, so the transaction opens it without a discovery.
void PointAt(tav::setup::PrinterLink& link, const std::wstring& name) {
    link.pszDevicePath = std::u16string(name.begin(), name.end());
    link.bSerialMode = 0;
}

std::string Joined(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries)
        text += (text.empty() ? "" : ", ") + entry;
    return text;
}

// The operations the transaction issued, as "write 13 -> 13, read 128 -> 20".
void CheckOperations(const char* what, const std::string& expected) {
    const std::string issued = Joined(g_pOperations->Take());
    Check(issued == expected, what, issued);
}

std::string Counts(int result, uint32_t count, DWORD elapsed) {
    return "result " + std::to_string(result) + ", count " + std::to_string(count) + ", " +
           std::to_string(elapsed) + " ms";
}

// A 13-byte query answered after the write by a 20-byte reply: the transaction reads it.
void WriteThenRead(tav::setup::PrinterPlatform& sys) {
    static const unsigned char query[13] = {0x12, 0x6C, 0xFF, 'T', 'A', 'V', 'S',
                                            'W',  'I',  'T',  'C', 'H', 'Q'};
    std::vector<unsigned char> received;
    const std::wstring name = PipeName("write-read");
    PipePrinter printer(name, {}, [&](HANDLE pipe) {
        received = tav::pipetest::ReadExactly(pipe, sizeof query);
        std::vector<unsigned char> reply(20);
        for (size_t i = 0; i < reply.size(); ++i)
            reply[i] = static_cast<unsigned char>(0x40 + i);
        tav::pipetest::WriteAll(pipe, reply.data(), static_cast<DWORD>(reply.size()));
    });
    tav::setup::PrinterLink link;
    PointAt(link, name);
    unsigned char reply[128] = {};
    uint32_t count = 0xFFFF;
    const DWORD start = ::GetTickCount();
    const int result = tav::setup::PrinterTransact(sys, link, 0, query, sizeof query, reply,
                                                   sizeof reply, &count, 1000);
    const DWORD elapsed = ::GetTickCount() - start;
    const bool closed = printer.Finish();
    Check(result && count == 20 && reply[0] == 0x40 && reply[19] == 0x53,
          "write answered by a reply: the read after the write returns it",
          Counts(result, count, elapsed));
    Check(received.size() == sizeof query && std::memcmp(received.data(), query, sizeof query) == 0,
          "write answered by a reply: the printer received the 13 query bytes");
    CheckOperations("write answered by a reply: the write, then a read",
                    "write 13 -> 13, read 128 -> 20");
    Check(closed && link.hDevice == tav::win::kNoHandle,
          "write answered by a reply: device closed");
}

// The printer stays silent: the read is pending at the deadline, cancelled, and fails.
void PendingReadCancelled(tav::setup::PrinterPlatform& sys) {
    const std::wstring name = PipeName("silent");
    PipePrinter printer(name, {}, [](HANDLE) {});
    tav::setup::PrinterLink link;
    PointAt(link, name);
    unsigned char reply[64];
    uint32_t count = 0xFFFF;
    const DWORD start = ::GetTickCount();
    const int result =
        tav::setup::PrinterTransact(sys, link, 0, nullptr, 0, reply, sizeof reply, &count, 300);
    const DWORD elapsed = ::GetTickCount() - start;
    const bool closed = printer.Finish();
    Check(!result && count == 0, "silent printer: the pending read fails at the deadline",
          Counts(result, count, elapsed));
    // Not a timing claim: the read must neither end before its budget nor hang.
    Check(elapsed >= 250 && elapsed < 5000, "silent printer: the read waited out its budget",
          std::to_string(elapsed) + " ms");
    CheckOperations("silent printer: one read, aborted", "read 64 -> failed 995");
    Check(closed && link.hDevice == tav::win::kNoHandle,
          "silent printer: device closed after cancel");
}

// A write the printer does not take (its buffer is full) and no reply wanted: cancelled at
// the deadline, it still counts as done.
void PendingWriteCancelled(tav::setup::PrinterPlatform& sys) {
    const std::wstring name = PipeName("full");
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PipePrinter printer(name, PipeShape{PIPE_TYPE_BYTE, 512},
                        [&](HANDLE) { ::WaitForSingleObject(release, 10000); });
    tav::setup::PrinterLink link;
    PointAt(link, name);
    std::vector<unsigned char> data(60000, 0x5A);
    const DWORD start = ::GetTickCount();
    const int result = tav::setup::PrinterTransact(
        sys, link, 0, data.data(), static_cast<uint32_t>(data.size()), nullptr, 0, nullptr, 300);
    const DWORD elapsed = ::GetTickCount() - start;
    ::SetEvent(release);
    const bool closed = printer.Finish();
    ::CloseHandle(release);
    Check(result != 0, "write without reply cancelled at the deadline counts as done",
          Counts(result, 0, elapsed) + ", printer took " + std::to_string(printer.Rest().size()));
    Check(printer.Rest().size() < data.size(), "write without reply: the printer got less");
    CheckOperations("write without reply: one write, aborted", "write 60000 -> failed 995");
    Check(closed && link.hDevice == tav::win::kNoHandle, "write without reply: device closed");
}

// A zero-length message completes the read with 0 bytes before the budget is spent: the
// read is issued again and gets the reply that follows.
void ZeroByteCompletion(tav::setup::PrinterPlatform& sys) {
    const std::wstring name = PipeName("zero");
    PipePrinter printer(name, PipeShape{PIPE_TYPE_MESSAGE, 65536}, [](HANDLE pipe) {
        DWORD written = 0;
        ::WriteFile(pipe, "", 0, &written, nullptr);
        ::Sleep(100);
        tav::pipetest::WriteAll(pipe, "HELLO", 5);
    });
    tav::setup::PrinterLink link;
    PointAt(link, name);
    char reply[64] = {};
    uint32_t count = 0xFFFF;
    const DWORD start = ::GetTickCount();
    const int result =
        tav::setup::PrinterTransact(sys, link, 0, nullptr, 0, reply, sizeof reply, &count, 1000);
    const DWORD elapsed = ::GetTickCount() - start;
    const bool closed = printer.Finish();
    Check(result && count == 5 && std::memcmp(reply, "HELLO", 5) == 0,
          "zero-byte completion: the read is repeated and gets the reply",
          Counts(result, count, elapsed));
    CheckOperations("zero-byte completion: a read of 0 bytes, then a read of 5",
                    "read 64 -> 0, read 64 -> 5");
    Check(closed && link.hDevice == tav::win::kNoHandle, "zero-byte completion: device closed");
}

// A write-then-read whose write the printer takes only in part before the deadline: the
// write is cancelled, the transaction fails with a count of 0 and never reads.
void WriteCutShort(tav::setup::PrinterPlatform& sys) {
    const std::wstring name = PipeName("short");
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<unsigned char> taken;
    PipePrinter printer(name, PipeShape{PIPE_TYPE_BYTE, 512}, [&](HANDLE pipe) {
        taken = tav::pipetest::ReadExactly(pipe, 1000);
        ::WaitForSingleObject(release, 10000);
    });
    tav::setup::PrinterLink link;
    PointAt(link, name);
    std::vector<unsigned char> data(60000, 0xA5);
    unsigned char reply[64];
    uint32_t count = 0xFFFF;
    const DWORD start = ::GetTickCount();
    const int result =
        tav::setup::PrinterTransact(sys, link, 0, data.data(), static_cast<uint32_t>(data.size()),
                                    reply, sizeof reply, &count, 300);
    const DWORD elapsed = ::GetTickCount() - start;
    const DWORD error = ::GetLastError();
    ::SetEvent(release);
    const bool closed = printer.Finish();
    ::CloseHandle(release);
    Check(taken.size() == 1000, "write cut short: the printer took part of the write");
    Check(!result && count == 0, "write cut short: the transaction fails with count 0",
          Counts(result, count, elapsed) + ", error " + std::to_string(error));
    CheckOperations("write cut short: one write, aborted, no read", "write 60000 -> failed 995");
    Check(closed && link.hDevice == tav::win::kNoHandle, "write cut short: device closed");
}

// More than 65535 bytes to write: only the first 65535 go out.
void OversizedWrite(tav::setup::PrinterPlatform& sys) {
    const std::wstring name = PipeName("oversized");
    PipePrinter printer(name, PipeShape{PIPE_TYPE_BYTE, 1 << 20}, [](HANDLE) {});
    tav::setup::PrinterLink link;
    PointAt(link, name);
    std::vector<unsigned char> data(70000, 0x33);
    const int result = tav::setup::PrinterTransact(
        sys, link, 0, data.data(), static_cast<uint32_t>(data.size()), nullptr, 0, nullptr, 1000);
    const bool closed = printer.Finish();
    Check(result && printer.Rest().size() == 65535, "oversized write: 65535 bytes sent",
          "result " + std::to_string(result) + ", sent " + std::to_string(printer.Rest().size()));
    CheckOperations("oversized write: one write of 65535", "write 65535 -> 65535");
    Check(closed, "oversized write: device closed");
}

// No printer behind the path: the open fails with the system's error, nothing stays open.
void MissingPipe(tav::setup::PrinterPlatform& sys) {
    tav::setup::PrinterLink link;
    PointAt(link, PipeName("nobody"));
    uint32_t count = 0xFFFF;
    unsigned char reply[8];
    const int result =
        tav::setup::PrinterTransact(sys, link, 0, nullptr, 0, reply, sizeof reply, &count, 100);
    const uint32_t error = tav::GetLastErrorCode();
    Check(!result && count == 0xFFFF && error == ERROR_FILE_NOT_FOUND &&
              link.hDevice == tav::win::kNoHandle,
          "missing pipe: the open fails with error 2, count untouched",
          "error " + std::to_string(error));
    CheckOperations("missing pipe: no operation", "");
}

}  // namespace

int wmain() {
    tav::setup::Win32PrinterPlatform real;
    OperationLog operations(real.io);
    g_pOperations = &operations;
    tav::setup::PrinterPlatform sys{real.clock, operations, real.setup, real.services,
                                    real.spooler};
    WriteThenRead(sys);
    PendingReadCancelled(sys);
    PendingWriteCancelled(sys);
    ZeroByteCompletion(sys);
    WriteCutShort(sys);
    OversizedWrite(sys);
    MissingPipe(sys);
    std::printf("%d failed\n", g_failures);
    return g_failures;
}
