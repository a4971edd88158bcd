# Deliverables start on a clean Windows: no libstdc++, libgcc or winpthread DLLs.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
                        WINVER=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++ -municode)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -O coff")
enable_language(RC)

# tav_windows_program(<target> <subsystem>) marks a deliverable as a GUI-subsystem program.
function(tav_gui_program target)
  target_link_options(${target} PRIVATE -mwindows)
endfunction()
