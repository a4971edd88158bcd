#pragma once
// A named pipe that plays the printer for one transaction: the pipe instance is created
// before the client opens it; a server thread accepts the connection, runs the case's
// script (read the request, answer, stay silent, ...), then reads whatever else arrives
// until the client closes its end, which every transaction must do.

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tav::pipetest {

struct PipeShape {
    DWORD pipeType = PIPE_TYPE_BYTE;  // PIPE_TYPE_MESSAGE for zero-length messages
    DWORD bufferSize = 65536;         // in and out buffer quota of the server's end
};

class PipePrinter {
  public:
    // The script gets the server's end of the connected pipe.
    using Script = std::function<void(HANDLE pipe)>;

    PipePrinter(const std::wstring& name, PipeShape shape, Script script);
    ~PipePrinter();
    PipePrinter(const PipePrinter&) = delete;
    PipePrinter& operator=(const PipePrinter&) = delete;

    bool Created() const { return m_pipe != INVALID_HANDLE_VALUE; }
    // Waits for the server thread; true when the client closed its end.
    bool Finish();
    // Bytes read after the script, until the client closed.
    const std::vector<unsigned char>& Rest() const { return m_rest; }

  private:
    void Serve(const Script& script);

    HANDLE m_pipe;
    std::vector<unsigned char> m_rest;
    bool m_clientClosed = false;
    std::thread m_thread;
};

// Blocking helpers for scripts.
std::vector<unsigned char> ReadExactly(HANDLE pipe, DWORD size);
bool WriteAll(HANDLE pipe, const void* data, DWORD size);

}  // namespace tav::pipetest
