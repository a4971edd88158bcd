#include "sim/host/sim_com.h"

#include <chrono>
#include <cstdio>

#include "shared/u16.h"
#include "sim/host/sim_thread_ids.h"

namespace tav::sim {
namespace {

std::u16string Fold(const std::u16string& text) {
    std::u16string folded;
    for (char16_t c : text)
        folded += FoldCase(c);
    return folded;
}

}  // namespace

win::HResult SimComRuntime::Initialize() {
    if (auto fault = m_trace.Enter("CoInitialize"))
        return static_cast<win::HResult>(*fault);
    ++m_depth;
    return win::kSOk;
}

void SimComRuntime::Uninitialize() {
    m_trace.Enter("CoUninitialize");
    --m_depth;
}

win::HResult SimComRuntime::ResumeClassObjects() {
    if (auto fault = m_trace.Enter("CoResumeClassObjects"))
        return static_cast<win::HResult>(*fault);
    return win::kSOk;
}

bool SimComRuntime::IsModuleLoaded(const std::u16string& name) {
    m_trace.Enter("GetModuleHandleW", ToUtf8(name));
    return m_mscoreeLoaded && Fold(name) == Fold(u"Mscoree.dll");
}

int SimThreadMessages::NextMessage() {
    if (m_trace.Enter("GetMessageW"))
        return -1;
    const uint32_t self = SimCurrentThreadId();
    std::unique_lock<std::mutex> lock(m_mutex);
    auto& queue = m_queues[self];
    // Bounded in real time so that a test whose stop never comes fails instead of hanging.
    if (!m_cv.wait_for(lock, std::chrono::seconds(20), [&] { return !queue.empty(); }))
        return -1;
    bool quit = queue.front();
    queue.pop_front();
    return quit ? 0 : 1;
}

void SimThreadMessages::TranslateAndDispatch() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_dispatched;
}

bool SimThreadMessages::PostQuit(uint32_t threadId) {
    if (m_trace.Enter("PostThreadMessageW", "WM_QUIT " + std::to_string(threadId)))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queues[threadId].push_back(true);
    m_cv.notify_all();
    return true;
}

void SimThreadMessages::PostOther(uint32_t threadId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queues[threadId].push_back(false);
    m_cv.notify_all();
}

size_t SimThreadMessages::Dispatched() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dispatched;
}

std::string SimTypeLibraries::Key(const portsvc::host::TypeLibAttributes& attributes,
                                  bool forUser) {
    std::string key;
    char byte[3];
    for (uint8_t b : attributes.libid) {
        std::snprintf(byte, sizeof byte, "%02X", b);
        key += byte;
    }
    return key + " " + std::to_string(attributes.majorVersion) + "." +
           std::to_string(attributes.minorVersion) + (forUser ? " user" : " machine");
}

win::HResult SimTypeLibraries::Load(const std::u16string& path, portsvc::host::TypeLib& lib) {
    lib = 0;
    if (auto fault = m_trace.Enter("LoadTypeLib", ToUtf8(path)))
        return static_cast<win::HResult>(*fault);
    if (!m_files.count(Fold(path)))
        return kTypeECantLoadLibrary;
    lib = m_next++;
    m_open[lib] = Fold(path);
    return win::kSOk;
}

win::HResult SimTypeLibraries::HelpFile(portsvc::host::TypeLib lib, std::u16string& helpFile) {
    auto it = m_open.find(lib);
    if (it == m_open.end())
        return win::kEFail;
    helpFile = m_files[it->second].helpFile;
    return win::kSOk;
}

win::HResult SimTypeLibraries::Attributes(portsvc::host::TypeLib lib,
                                          portsvc::host::TypeLibAttributes& attributes) {
    if (auto fault = m_trace.Enter("GetLibAttr"))
        return static_cast<win::HResult>(*fault);
    auto it = m_open.find(lib);
    if (it == m_open.end())
        return win::kEFail;
    attributes = m_files[it->second].attributes;
    return win::kSOk;
}

void SimTypeLibraries::Release(portsvc::host::TypeLib lib) {
    m_open.erase(lib);
}

bool SimTypeLibraries::HasOleAutExport(const char* name) {
    m_trace.Enter("GetProcAddress", name);
    return m_perUserExports;
}

win::HResult SimTypeLibraries::Register(portsvc::host::TypeLib lib, const std::u16string& path,
                                        const std::u16string* helpDir, bool forUser) {
    if (auto fault =
            m_trace.Enter(forUser ? "RegisterTypeLibForUser" : "RegisterTypeLib", ToUtf8(path)))
        return static_cast<win::HResult>(*fault);
    auto it = m_open.find(lib);
    if (it == m_open.end())
        return win::kEFail;
    if (!forUser && m_caller == SimCaller::kStandardUser)
        return kTypeERegistryAccess;
    m_registered[Key(m_files[it->second].attributes, forUser)] = {
        path, helpDir ? *helpDir : std::u16string(), helpDir != nullptr, forUser};
    return win::kSOk;
}

win::HResult SimTypeLibraries::Unregister(const portsvc::host::TypeLibAttributes& attributes,
                                          bool forUser) {
    if (auto fault = m_trace.Enter(forUser ? "UnRegisterTypeLibForUser" : "UnRegisterTypeLib"))
        return static_cast<win::HResult>(*fault);
    if (!forUser && m_caller == SimCaller::kStandardUser)
        return kTypeERegistryAccess;
    return m_registered.erase(Key(attributes, forUser)) ? win::kSOk : kTypeERegistryAccess;
}

void SimTypeLibraries::AddFile(const std::u16string& path,
                               const portsvc::host::TypeLibAttributes& attributes,
                               const std::u16string& helpFile) {
    m_files[Fold(path)] = {attributes, helpFile};
}

bool SimTypeLibraries::IsRegistered(const portsvc::host::TypeLibAttributes& attributes,
                                    bool forUser) const {
    return m_registered.count(Key(attributes, forUser)) != 0;
}

std::vector<SimTypeLibraries::Registration> SimTypeLibraries::Registrations() const {
    std::vector<Registration> all;
    for (const auto& entry : m_registered)
        all.push_back(entry.second);
    return all;
}

uint32_t SimModuleImage::FileName(uint32_t capacity, std::u16string& path, uint32_t& error) {
    error = 0;
    if (auto fault = m_trace.Enter("GetModuleFileNameW")) {
        error = *fault;
        return 0;
    }
    // As Windows does: a path that does not fit is cut to the buffer and the full size returned.
    if (m_path.size() >= capacity) {
        path = m_path.substr(0, capacity - 1);
        error = win::kErrorInsufficientBuffer;
        return capacity;
    }
    path = m_path;
    return static_cast<uint32_t>(m_path.size());
}

std::u16string SimModuleImage::LoadStringResource(uint32_t id) {
    auto it = m_strings.find(id);
    return it == m_strings.end() ? std::u16string() : it->second;
}

bool SimModuleImage::LoadResource(const std::u16string& type, uint32_t id,
                                  std::vector<uint8_t>& bytes) {
    if (m_trace.Enter("LoadResource", ToUtf8(type) + " " + std::to_string(id)))
        return false;
    auto it = m_resources.find({type, id});
    if (it == m_resources.end())
        return false;
    bytes = it->second;
    return true;
}

char16_t SimModuleImage::UpperCase(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - u'a' + u'A');
    return c;
}

}  // namespace tav::sim
