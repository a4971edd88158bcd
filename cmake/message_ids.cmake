# cmake -DHEADER=<windmc header> -DOUT=<file> -P message_ids.cmake
# Writes the message IDs of a windmc header as a C++ array, for the build-time check of the
# service's event table against its message table.
file(STRINGS ${HEADER} defines REGEX "^#define [A-Z0-9_]+ +0x[0-9a-fA-F]+")
set(ids "")
foreach(line IN LISTS defines)
  string(REGEX REPLACE "^#define ([A-Z0-9_]+) +(0x[0-9a-fA-F]+).*" "    \\2u,  // \\1\n" entry
                       "${line}")
  string(APPEND ids "${entry}")
endforeach()
file(WRITE ${OUT}.tmp "// Generated from ${HEADER} by cmake/message_ids.cmake.\n#pragma once\n"
     "#include <cstdint>\n\ninline constexpr uint32_t kMessageTableIds[] = {\n${ids}};\n")
configure_file(${OUT}.tmp ${OUT} COPYONLY)
