#include "pipe_printer.h"

namespace tav::pipetest {

PipePrinter::PipePrinter(const std::wstring& name, PipeShape shape, Script script)
    : m_pipe(::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX,
                                shape.pipeType | PIPE_READMODE_BYTE | PIPE_WAIT, 1,
                                shape.bufferSize, shape.bufferSize, 0, nullptr)) {
    if (Created())
        m_thread = std::thread([this, script] { Serve(script); });
}

PipePrinter::~PipePrinter() {
    if (m_thread.joinable())
        m_thread.join();
    if (Created())
        ::CloseHandle(m_pipe);
}

bool PipePrinter::Finish() {
    if (m_thread.joinable())
        m_thread.join();
    return m_clientClosed;
}

void PipePrinter::Serve(const Script& script) {
    // A client that has already come and gone (ERROR_NO_DATA) may have left data to read.
    if (!::ConnectNamedPipe(m_pipe, nullptr) && ::GetLastError() != ERROR_PIPE_CONNECTED &&
        ::GetLastError() != ERROR_NO_DATA)
        return;
    script(m_pipe);
    unsigned char buffer[4096];
    for (;;) {
        DWORD count = 0;
        if (!::ReadFile(m_pipe, buffer, sizeof buffer, &count, nullptr)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_MORE_DATA) {
                m_rest.insert(m_rest.end(), buffer, buffer + count);
                continue;
            }
            m_clientClosed = error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
            break;
        }
        m_rest.insert(m_rest.end(), buffer, buffer + count);
    }
    ::DisconnectNamedPipe(m_pipe);
}

std::vector<unsigned char> ReadExactly(HANDLE pipe, DWORD size) {
    std::vector<unsigned char> data(size);
    DWORD total = 0;
    while (total < size) {
        DWORD count = 0;
        if (!::ReadFile(pipe, data.data() + total, size - total, &count, nullptr) &&
            ::GetLastError() != ERROR_MORE_DATA)
            break;
        total += count;
    }
    data.resize(total);
    return data;
}

bool WriteAll(HANDLE pipe, const void* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(pipe, data, size, &written, nullptr) && written == size;
}

}  // namespace tav::pipetest
