// make_tmf <output>: writes Tavportsvc.tmf from the service's trace event table.

#include <cstdio>
#include <fstream>

#include "tools/trace_format/tmf_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tmf <output.tmf>\n");
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << tav::WriteTraceMessageFormat();
    return out.good() ? 0 : 1;
}
