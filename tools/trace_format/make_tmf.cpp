// make_tmf <folder>: writes one <message GUID>.tmf per message GUID of the service's trace
// event table into <folder>, and removes any other .tmf there (a GUID no longer used would
// otherwise still be shipped).

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tools/trace_format/tmf_writer.h"

namespace fs = std::filesystem;

namespace {

// ".tmf" in any case: Windows, where the folder is shipped, ignores the case of names.
bool IsTmfName(std::string name) {
    for (auto& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".tmf") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tmf <folder>\n");
        return 2;
    }
    const fs::path folder = argv[1];
    std::error_code error;
    fs::create_directories(folder, error);
    std::set<std::string> written;
    for (const auto& file : tav::WriteTraceMessageFormatFiles()) {
        std::ofstream out(folder / file.name, std::ios::binary);
        out << file.text;
        if (!out.good())
            return 1;
        written.insert(file.name);
    }
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (IsTmfName(name) && !written.count(name))
            fs::remove(entry.path(), error);
    }
    return error ? 1 : 0;
}
