"""Checks of the built Tavportsvc.exe: PE32+ x64, GUI subsystem, asInvoker manifest, system
DLL imports only, string 100, the registry script resource byte for byte, the type library,
the Event Log's message table in English and Japanese.

Run as: /usr/bin/python3 test_tavportsvc.py <repo>/build
"""
import os
import struct
import sys

import pefile

RT_STRING = 6
RT_MESSAGETABLE = 11
RT_RCDATA_NAMED_REGISTRY = "REGISTRY"
RT_VERSION = 16
RT_MANIFEST = 24

EXPECTED_SCRIPT = (
    b"HKCR\r\n{\r\n\tNoRemove AppID\r\n\t{\r\n"
    b"\t\t'%APPID%' = s 'Tavportsvc'\r\n"
    b"\t\t'Tavportsvc.EXE'\r\n\t\t{\r\n"
    b"\t\t\tval AppID = s '%APPID%'\r\n"
    b"\t\t}\r\n\t}\r\n}\r\n"
)
# {D3A85F1C-6E24-4B97-8C0B-5F91E2A7364D} in memory order.
LIBID = bytes.fromhex("1C5FA8D3246E974B8C0B5F91E2A7364D")
DOC_STRING = "Tavportsvc 1.0 タイプ ライブラリ".encode("cp932")
SYSTEM_DLLS = {
    "kernel32.dll", "advapi32.dll", "user32.dll", "ole32.dll", "oleaut32.dll",
    "setupapi.dll", "cfgmgr32.dll", "shell32.dll", "msvcrt.dll", "ntdll.dll",
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def find_type(pe, type_id=None, type_name=None):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if type_id is not None and entry.id == type_id:
            return entry
        if type_name is not None and entry.name is not None and str(entry.name) == type_name:
            return entry
    return None


def resource_data(pe, type_entry, res_id):
    if type_entry is None:
        return None
    for entry in type_entry.directory.entries:
        if entry.id == res_id:
            lang = entry.directory.entries[0]
            return pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
    return None


def string_table_entry(pe, string_id):
    block = resource_data(pe, find_type(pe, type_id=RT_STRING), string_id // 16 + 1)
    if block is None:
        return None
    offset = 0
    for index in range(16):
        (length,) = struct.unpack_from("<H", block, offset)
        offset += 2
        text = block[offset:offset + 2 * length].decode("utf-16-le")
        offset += 2 * length
        if index == string_id % 16:
            return text
    return None


def message_tables(pe):
    """{language id: {message id: text}} of MESSAGETABLE 1 (MESSAGE_RESOURCE_DATA)."""
    tables = {}
    type_entry = find_type(pe, type_id=RT_MESSAGETABLE)
    for entry in type_entry.directory.entries if type_entry else []:
        if entry.id != 1:
            continue
        for lang in entry.directory.entries:
            data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
            messages = {}
            (blocks,) = struct.unpack_from("<I", data, 0)
            for block in range(blocks):
                low, high, offset = struct.unpack_from("<III", data, 4 + 12 * block)
                for message_id in range(low, high + 1):
                    length, flags = struct.unpack_from("<HH", data, offset)
                    raw = data[offset + 4:offset + length]
                    text = raw.decode("utf-16-le" if flags & 1 else "cp1252")
                    messages[message_id] = text.rstrip("\0").rstrip("\r\n")
                    offset += length
            tables[lang.id] = messages
    return tables


def check_message_tables(pe):
    tables = message_tables(pe)
    check(set(tables) == {0x409, 0x411}, f"message table languages {sorted(tables)}")
    english, japanese = tables.get(0x409, {}), tables.get(0x411, {})
    check(set(english) == set(japanese) and len(english) >= 20,
          "English and Japanese message tables hold different IDs")
    started = 0x40000000 | 1026
    check(english.get(started) == "The service started (version %1).",
          f"English message 1026 is {english.get(started)!r}")
    check(japanese.get(started) == "サービスを開始しました (バージョン %1)。",
          f"Japanese message 1026 is {japanese.get(started)!r}")
    check(english.get(0xC0000000 | 1010, "").endswith("Error %1: %2"),
          "error message 1010 does not end with the code and its text")


def main():
    build = sys.argv[1]
    exe = os.path.join(build, "win64", "tavportsvc", "Tavportsvc.exe")
    if not os.path.exists(exe):
        print(f"FAIL: {exe} not built")
        return 1
    pe = pefile.PE(exe)

    check(pe.FILE_HEADER.Machine == 0x8664, "machine is not x64")
    check(pe.OPTIONAL_HEADER.Magic == 0x20B, "not PE32+")
    check(pe.OPTIONAL_HEADER.Subsystem == 2, "subsystem is not GUI")

    imports = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    check(imports <= SYSTEM_DLLS, f"non-system imports: {sorted(imports - SYSTEM_DLLS)}")

    manifest = resource_data(pe, find_type(pe, type_id=RT_MANIFEST), 1)
    check(manifest is not None, "no manifest 1")
    if manifest is not None:
        check(b'level="asInvoker"' in manifest, "manifest does not ask for asInvoker")
        check(b'uiAccess="false"' in manifest, "manifest does not refuse UI access")

    check(string_table_entry(pe, 100) == "Tavportsvc", "string 100 is not \"Tavportsvc\"")

    script = resource_data(pe, find_type(pe, type_name=RT_RCDATA_NAMED_REGISTRY), 101)
    check(script == EXPECTED_SCRIPT,
          f"REGISTRY 101 differs ({None if script is None else len(script)} bytes)")

    tlb = resource_data(pe, find_type(pe, type_name="TYPELIB"), 1)
    check(tlb is not None and tlb[:4] == b"MSFT", "TYPELIB 1 missing or not a type library")
    if tlb is not None and tlb[:4] == b"MSFT":
        varflags, version = struct.unpack_from("<II", tlb, 20)
        check(varflags & 0xF == 3, "type library does not target win64")
        check(version == 1, f"type library version is {version & 0xFFFF}.{version >> 16}")
        check(LIBID in tlb, "LIBID missing from the type library")
        check(b"TavportsvcLib" in tlb, "library name missing")
        check(DOC_STRING in tlb, "documentation string (code page 932) missing")
        check(struct.unpack_from("<I", tlb, 32)[0] == 0, "type library declares types")

    check(find_type(pe, type_id=RT_VERSION) is not None, "no version resource")
    # The one version of both programs and the package (file VERSION), as tavsetup's too.
    with open(os.path.join(os.path.dirname(__file__), "..", "..", "VERSION")) as f:
        version = f.readline().strip().encode()
    strings = {}
    for info in getattr(pe, "FileInfo", [[]])[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                strings.update(table.entries)
    check(strings.get(b"FileVersion") == version, f"FileVersion {strings.get(b'FileVersion')}")
    check(strings.get(b"ProductVersion") == version,
          f"ProductVersion {strings.get(b'ProductVersion')}")

    check_message_tables(pe)

    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("test_tavportsvc: all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
