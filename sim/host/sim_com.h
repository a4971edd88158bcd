#pragma once
// Simulated COM runtime, thread message queues, type-library functions and executable
// image for the service host.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "sim/access_rights.h"
#include "sim/call_log.h"
#include "tavportsvc/host/host_platform.h"

namespace tav::sim {

// CoInitialize and friends; a fault on "CoInitialize" gives that value as the HRESULT.
class SimComRuntime : public portsvc::host::ComRuntime {
  public:
    explicit SimComRuntime(SimTrace& trace) : m_trace(trace) {}
    win::HResult Initialize() override;
    void Uninitialize() override;
    win::HResult ResumeClassObjects() override;
    bool IsModuleLoaded(const std::u16string& name) override;

    void SetMscoreeLoaded(bool loaded) { m_mscoreeLoaded = loaded; }
    int InitializeDepth() const { return m_depth; }

  private:
    SimTrace& m_trace;
    bool m_mscoreeLoaded = false;
    int m_depth = 0;
};

// Per-thread queues. A fault on "GetMessageW" makes it return -1.
class SimThreadMessages : public portsvc::host::ThreadMessages {
  public:
    explicit SimThreadMessages(SimTrace& trace) : m_trace(trace) {}
    int NextMessage() override;
    void TranslateAndDispatch() override;
    bool PostQuit(uint32_t threadId) override;

    // Posts an ordinary message to a thread.
    void PostOther(uint32_t threadId);
    size_t Dispatched() const;

  private:
    SimTrace& m_trace;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::map<uint32_t, std::deque<bool>> m_queues;  // true: WM_QUIT
    size_t m_dispatched = 0;
};

inline constexpr win::HResult kTypeECantLoadLibrary = static_cast<win::HResult>(0x80029C4A);
inline constexpr win::HResult kTypeERegistryAccess = static_cast<win::HResult>(0x8002801C);

// Type libraries found at paths, and what is registered (by LIBID text).
class SimTypeLibraries : public portsvc::host::TypeLibraries {
  public:
    struct Registration {
        std::u16string path;
        std::u16string helpDir;
        bool hasHelpDir;
        bool forUser;
    };

    explicit SimTypeLibraries(SimTrace& trace) : m_trace(trace) {}
    win::HResult Load(const std::u16string& path, portsvc::host::TypeLib& lib) override;
    win::HResult HelpFile(portsvc::host::TypeLib lib, std::u16string& helpFile) override;
    win::HResult Attributes(portsvc::host::TypeLib lib,
                            portsvc::host::TypeLibAttributes& attributes) override;
    void Release(portsvc::host::TypeLib lib) override;
    bool HasOleAutExport(const char* name) override;
    win::HResult Register(portsvc::host::TypeLib lib, const std::u16string& path,
                          const std::u16string* helpDir, bool forUser) override;
    win::HResult Unregister(const portsvc::host::TypeLibAttributes& attributes,
                            bool forUser) override;

    void AddFile(const std::u16string& path, const portsvc::host::TypeLibAttributes& attributes,
                 const std::u16string& helpFile = {});
    void SetPerUserExports(bool present) { m_perUserExports = present; }
    // Machine-wide registration writes HKCR\TypeLib, which a standard user cannot.
    void SetCaller(SimCaller caller) { m_caller = caller; }
    bool IsRegistered(const portsvc::host::TypeLibAttributes& attributes, bool forUser) const;
    std::vector<Registration> Registrations() const;
    int OpenLibraries() const { return static_cast<int>(m_open.size()); }

  private:
    struct File {
        portsvc::host::TypeLibAttributes attributes;
        std::u16string helpFile;
    };
    static std::string Key(const portsvc::host::TypeLibAttributes& attributes, bool forUser);

    SimTrace& m_trace;
    std::map<std::u16string, File> m_files;  // by folded path
    std::map<portsvc::host::TypeLib, std::u16string> m_open;
    std::map<std::string, Registration> m_registered;
    portsvc::host::TypeLib m_next = 0x3000;
    bool m_perUserExports = true;
    SimCaller m_caller = SimCaller::kAdministrator;
};

// The executable: its path, string table, resources and CharUpperW.
class SimModuleImage : public portsvc::host::ModuleImage {
  public:
    explicit SimModuleImage(SimTrace& trace) : m_trace(trace) {}
    uint32_t FileName(uint32_t capacity, std::u16string& path, uint32_t& error) override;
    std::u16string LoadStringResource(uint32_t id) override;
    bool LoadResource(const std::u16string& type, uint32_t id,
                      std::vector<uint8_t>& bytes) override;
    char16_t UpperCase(char16_t c) override;

    void SetPath(const std::u16string& path) { m_path = path; }
    void SetString(uint32_t id, const std::u16string& text) { m_strings[id] = text; }
    void SetResource(const std::u16string& type, uint32_t id, std::vector<uint8_t> bytes) {
        m_resources[{type, id}] = std::move(bytes);
    }
    void RemoveResource(const std::u16string& type, uint32_t id) { m_resources.erase({type, id}); }

  private:
    SimTrace& m_trace;
    std::u16string m_path;
    std::map<uint32_t, std::u16string> m_strings;
    std::map<std::pair<std::u16string, uint32_t>, std::vector<uint8_t>> m_resources;
};

}  // namespace tav::sim
