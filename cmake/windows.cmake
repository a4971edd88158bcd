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

# tav_shipped_program(<target>): the shipped .exe is stripped; its debug information stays
# in the build folder beside it as <name>.exe.debug, found by debuggers through a debug link.
find_program(TAV_OBJCOPY NAMES ${TAV_TRIPLE}-objcopy objcopy REQUIRED)
function(tav_shipped_program target)
  set(exe $<TARGET_FILE_NAME:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${TAV_OBJCOPY} --only-keep-debug ${exe} ${exe}.debug
    COMMAND ${TAV_OBJCOPY} --strip-all --add-gnu-debuglink=${exe}.debug ${exe}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Stripping ${target}; debug information in ${target}.exe.debug"
    VERBATIM)
endfunction()
