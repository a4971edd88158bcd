"""Checks of the built administrator's consoles, tavports.exe and tavprinter.exe: PE32+ x64,
console subsystem, asInvoker manifest, system DLL imports only, and the same version numbers
as Tavportsvc.exe.

Run as: /usr/bin/python3 test_consoles.py <repo>/build
"""
import os
import sys

import pefile

RT_MANIFEST = 24
IMAGE_SUBSYSTEM_WINDOWS_CUI = 3
SYSTEM_DLLS = {
    "kernel32.dll", "advapi32.dll", "user32.dll", "setupapi.dll", "cfgmgr32.dll",
    "shell32.dll", "msvcrt.dll", "ntdll.dll", "shlwapi.dll", "winspool.drv", "version.dll",
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def manifest(pe):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == RT_MANIFEST:
            lang = entry.directory.entries[0].directory.entries[0]
            return pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
    return b""


def versions(pe):
    fixed = pe.VS_FIXEDFILEINFO[0]
    strings = {}
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                strings.update(table.entries)
    return ((fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS,
             fixed.ProductVersionLS), strings.get(b"FileVersion"), strings.get(b"ProductVersion"))


def check_console(build, name):
    path = os.path.join(build, "win64", name, name + ".exe")
    service = os.path.join(build, "win64", "tavportsvc", "Tavportsvc.exe")
    pe = pefile.PE(path)
    check(pe.FILE_HEADER.Machine == 0x8664, f"{name}: not an x64 image")
    check(pe.OPTIONAL_HEADER.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI, f"{name}: not a console program")
    check(b'level="asInvoker"' in manifest(pe), f"{name}: manifest does not ask for asInvoker")
    dlls = {e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT}
    check(dlls <= SYSTEM_DLLS, f"{name}: imports beyond the system DLLs: {sorted(dlls - SYSTEM_DLLS)}")
    check("setupapi.dll" in dlls, f"{name}: SetupAPI not imported")
    check(versions(pe) == versions(pefile.PE(service)), f"{name}: version differs from Tavportsvc.exe")
    check(versions(pe)[1] is not None, f"{name}: no FileVersion string")


def main(build):
    for name in ("tavports", "tavprinter"):
        check_console(build, name)
    for f in failures:
        print("FAIL:", f)
    if failures:
        return 1
    print("PASS: tavports.exe and tavprinter.exe resources")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
