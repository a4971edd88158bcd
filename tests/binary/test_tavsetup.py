"""Checks of the built tavsetup.exe: PE32 i386, GUI subsystem, a manifest that asks for
administrator rights and common controls 6, system DLL imports only, every string of the
string table in English (0x0409) and Japanese (0x0411) byte for byte, the dialog templates
with their controls, the icon and the version block.

Run as: /usr/bin/python3 test_tavsetup.py <repo>/build
"""
import os
import struct
import sys

import pefile

RT_ICON_GROUP = 14
RT_STRING = 6
RT_DIALOG = 5
RT_VERSION = 16
RT_MANIFEST = 24
ENGLISH = 0x0409
JAPANESE = 0x0411

# The string table: id -> (English, Japanese). Tabs, double blanks and "!!" as they stand.
STRINGS = {
    101: ("Software &Version...", "ソフトウェアバージョン (&V).."),
    102: ("Multiple printers cannot be connected at a time.", "複数のデバイスを一度に接続できません。"),
    103: ("Receiving the printer data...", "プリンター情報を取得中..."),
    104: ("Auto (Same as unit serial ID)", "自動 (プリンター本体 シリアル番号と同じ)"),
    105: ("Manual", "手動"),
    106: ("&Apply", "適用(&A)"),
    107: ("Undefined", "未設定"),
    108: ("&Refresh", "更新(&R)"),
    109: ("&Close", "閉じる(&X)"),
    110: ("&Cancel", "キャンセル(&C)"),
    111: ("Current setting", "現在の設定値"),
    112: ("Communication Settings Utility", "通信設定ユーティリティ"),
    113: ("Printer is undetected!!", "プリンターを検出できません!!"),
    114: ("Received the invalid printer data!!", "プリンターのデータが不正です!!"),
    115: ("Printer information cannot be received!!", "プリンターの情報を取得できません!!"),
    116: ("Printer Response\t ", "プリンター応答\t\t"),
    117: ("Not receive", "受信しない"),
    118: ("Receive", "受信する"),
    120: ("This operation needs the install of virtual serial driver!!", "この操作を行うには仮想シリアルポートドライバーのインストールが必要です!!"),
    121: ("Driver Type\t\t\t", "ドライバータイプ\t\t"),
    122: ("Printer Driver", "プリンタードライバー"),
    123: ("Virtual Serial Port Driver", "仮想シリアルポートドライバー"),
    124: ("Switching the driver type...", "ドライバータイプの切替中..."),
    125: ("Communication error occurred!!", "通信に失敗しました!!"),
    126: ("This software needs  32-bit platforms!!", "このソフトウェアは32ビットのプラットホームを必要とします"),
    127: ("Switching the printer response setting", "受信応答設定の切替中..."),
    128: ("Changing the iSerial number", "iSerial番号の変更中..."),
    140: ("Modify USB iSerialNumber", "USB iSerialNumberの設定"),
    141: ("Switch Driver Type", "ドライバータイプの切替"),
    142: ("Switch Printer Response", "プリンター応答の切替"),
    143: ("Driver Type", "ドライバータイプ"),
    144: ("Printer Response", "プリンター応答"),
    145: ("iSerialNumber", "iSerialNumber"),
}

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "comctl32.dll", "imm32.dll",
    "version.dll", "setupapi.dll", "cfgmgr32.dll", "shlwapi.dll", "winspool.drv",
    "shell32.dll", "ole32.dll", "msvcrt.dll", "ntdll.dll",
}

WS_VISIBLE = 0x10000000
WS_DISABLED = 0x08000000
WS_CHILD = 0x40000000
WS_POPUP = 0x80000000
WS_CAPTION = 0x00C00000
WS_SYSMENU = 0x00080000
WS_BORDER = 0x00800000
DS_MODALFRAME = 0x80
DS_SETFONT = 0x40

BUTTON, EDIT, STATIC = "Button", "Edit", "Static"
TAB = "SysTabControl32"
PUSH, DEFPUSH, GROUP, AUTORADIO = 0x0, 0x1, 0x7, 0x9
SS_NOPREFIX = 0x80
ES_AUTOHSCROLL = 0x80

# Control: (id, class, x, y, cx, cy, kind, visible, enabled); kind is the low style bits
# that tell the control's type (button type, SS_NOPREFIX, ES_AUTOHSCROLL), None: not checked.
PAGE_SERID = [
    (1006, STATIC, 7, 8, 168, 14, None, True, True),
    (1009, BUTTON, 176, 7, 50, 16, PUSH, True, False),
    (1008, BUTTON, 7, 22, 219, 56, GROUP, True, True),
    (1007, STATIC, 14, 37, 103, 34, None, True, True),
    (1012, STATIC, 115, 37, 104, 34, None, True, True),
    (1001, BUTTON, 9, 90, 144, 11, AUTORADIO, True, False),
    (1002, BUTTON, 9, 107, 46, 11, AUTORADIO, True, False),
    (1004, EDIT, 60, 105, 83, 16, ES_AUTOHSCROLL, False, False),
    (1011, BUTTON, 9, 124, 138, 10, AUTORADIO, True, False),
    (1010, BUTTON, 155, 92, 71, 43, PUSH, True, False),
]
PAGE_VCOM = [
    (1007, STATIC, 7, 8, 168, 12, None, True, True),
    (1012, BUTTON, 176, 7, 50, 16, PUSH, True, False),
    (1011, BUTTON, 7, 22, 219, 56, GROUP, True, True),
    (1008, STATIC, 14, 37, 103, 34, None, True, True),
    (1009, STATIC, 115, 37, 104, 34, None, True, True),
    (1024, BUTTON, 9, 96, 142, 11, AUTORADIO, True, False),
    (1025, BUTTON, 9, 117, 142, 11, AUTORADIO, True, False),
    (1005, BUTTON, 155, 92, 71, 43, PUSH, True, False),
]
PAGE_BIDI = [
    (1014, STATIC, 7, 8, 168, 14, None, True, True),
    (1023, BUTTON, 176, 7, 50, 16, PUSH, True, False),
    (1015, BUTTON, 7, 22, 219, 56, GROUP, True, True),
    (1016, STATIC, 14, 37, 103, 34, None, True, True),
    (1020, STATIC, 115, 37, 104, 34, None, True, True),
    (1018, BUTTON, 9, 96, 142, 11, AUTORADIO, True, False),
    (1017, BUTTON, 9, 117, 142, 11, AUTORADIO, True, False),
    (1019, BUTTON, 155, 92, 71, 43, PUSH, True, False),
]
# Dialog: (size, caption, English font, required style bits, controls)
DIALOGS = {
    100: ((199, 60), "", "Verdana", DS_MODALFRAME | WS_POPUP, [
        (1003, STATIC, 7, 7, 185, 16, SS_NOPREFIX, True, True),
        (0xFFFF, STATIC, 7, 26, 185, 8, None, True, True),
        (1, BUTTON, 69, 37, 50, 16, DEFPUSH, True, True),
    ]),
    102: (None, "USB Setup", "Segoe UI Symbol", DS_MODALFRAME | WS_CAPTION | WS_SYSMENU, [
        (1000, TAB, 7, 7, 249, 169, None, True, True),
        (2, BUTTON, 113, 180, 50, 17, PUSH, False, True),
        (1, BUTTON, 195, 181, 61, 16, DEFPUSH, True, True),
    ]),
    129: ((233, 150), "", "Segoe UI Symbol", WS_CHILD, PAGE_SERID),
    130: ((233, 145), "", "Segoe UI Symbol", WS_CHILD, PAGE_VCOM),
    131: ((233, 145), "", "Segoe UI Symbol", WS_CHILD, PAGE_BIDI),
}
CLASS_ORDINALS = {0x80: BUTTON, 0x81: EDIT, 0x82: STATIC}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def find_type(pe, type_id):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == type_id:
            return entry
    return None


def resources_by_language(pe, type_id):
    """{(resource id, language): bytes} of one resource type."""
    out = {}
    type_entry = find_type(pe, type_id)
    if type_entry is None:
        return out
    for entry in type_entry.directory.entries:
        for lang in entry.directory.entries:
            data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
            out[(entry.id, lang.id)] = data
    return out


def string_table(pe, language):
    """{string id: text} from one language's string blocks, read directly."""
    table = {}
    for (block_id, lang), block in resources_by_language(pe, RT_STRING).items():
        if lang != language:
            continue
        offset = 0
        for index in range(16):
            (length,) = struct.unpack_from("<H", block, offset)
            offset += 2
            if length:
                table[(block_id - 1) * 16 + index] = block[offset:offset + 2 * length]
            offset += 2 * length
    return table


def read_sz_or_ord(data, offset):
    (first,) = struct.unpack_from("<H", data, offset)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    end = offset
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def align4(offset):
    return (offset + 3) & ~3


def parse_dialogex(data):
    ver, sig, _help, _exstyle, style, count, _x, _y, cx, cy = struct.unpack_from(
        "<HHIIIHhhhh", data, 0)
    if ver != 1 or sig != 0xFFFF:
        raise ValueError("not a DIALOGEX template")
    offset = 26
    _menu, offset = read_sz_or_ord(data, offset)
    _cls, offset = read_sz_or_ord(data, offset)
    caption, offset = read_sz_or_ord(data, offset)
    font = None
    if style & DS_SETFONT:
        points, _weight, _italic, charset = struct.unpack_from("<HHBB", data, offset)
        name, offset = read_sz_or_ord(data, offset + 6)
        font = (name, points, charset)
    controls = []
    for _ in range(count):
        offset = align4(offset)
        _help, _ex, cstyle, x, y, ccx, ccy, cid = struct.unpack_from("<IIIhhhhI", data, offset)
        offset += 24
        cls, offset = read_sz_or_ord(data, offset)
        _title, offset = read_sz_or_ord(data, offset)
        (extra,) = struct.unpack_from("<H", data, offset)
        offset += 2 + extra
        controls.append((cid & 0xFFFF, CLASS_ORDINALS.get(cls, cls), x, y, ccx, ccy, cstyle))
    return {"style": style, "size": (cx, cy), "caption": caption, "font": font,
            "controls": controls}


def check_dialog(dialog_id, language, template, expected):
    size, caption, english_font, style_bits, controls = expected
    where = f"dialog {dialog_id} (0x{language:04x})"
    if size is not None:
        check(template["size"] == size, f"{where}: size {template['size']}")
    check(template["caption"] == caption, f"{where}: caption {template['caption']!r}")
    check(template["style"] & style_bits == style_bits, f"{where}: style 0x{template['style']:x}")
    font = "Meiryo UI" if language == JAPANESE else english_font
    check(template["font"] is not None and template["font"][:2] == (font, 9),
          f"{where}: font {template['font']}")
    got = template["controls"]
    check([c[0] for c in got] == [c[0] for c in controls],
          f"{where}: control ids {[c[0] for c in got]}")
    for want, have in zip(controls, got):
        cid, cls, x, y, cx, cy, kind, visible, enabled = want
        style = have[6]
        # Window class names are case-insensitive; windres writes a named class upper case.
        check((str(have[1]).lower(),) + have[2:6] == (cls.lower(), x, y, cx, cy),
              f"{where}: control {cid} is {have[1:6]}")
        check(bool(style & WS_VISIBLE) == visible, f"{where}: control {cid} visibility")
        check(bool(style & WS_DISABLED) == (not enabled), f"{where}: control {cid} enabling")
        if kind is not None and cls == BUTTON:
            check(style & 0xF == kind, f"{where}: control {cid} button type {style & 0xF}")
        elif kind is not None:
            check(style & kind == kind, f"{where}: control {cid} style 0x{style:x}")
        if cls == EDIT:
            check(style & WS_BORDER, f"{where}: edit {cid} has no border")


def product_version():
    """The one version of the programs and the package: the file VERSION."""
    with open(os.path.join(os.path.dirname(__file__), "..", "..", "VERSION")) as f:
        return f.readline().strip()


def check_version(pe):
    version = product_version()
    major, minor, patch, tweak = (int(part) for part in version.split("."))
    fixed_parts = (major << 16 | minor, patch << 16 | tweak)
    fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
    check(fixed is not None, "no version resource")
    if fixed is None:
        return
    for name in ("FileVersion", "ProductVersion"):
        ms = getattr(fixed, name + "MS")
        ls = getattr(fixed, name + "LS")
        check((ms, ls) == fixed_parts, f"fixed {name} is {ms:08x}.{ls:08x}")
    tables, translations = [], []
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            tables = info.StringTable
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                translations.extend(var.entry.values())
    check(translations == ["0x0000 0x03a4"], f"translations {translations}")
    check([t.LangID for t in tables] == [b"000003a4"],
          f"string blocks {[t.LangID for t in tables]}")
    if tables:
        entries = tables[0].entries
        check(entries.get(b"FileVersion") == version.encode(), f"FileVersion {entries.get(b'FileVersion')}")
        check(entries.get(b"ProductVersion") == version.encode(),
              f"ProductVersion {entries.get(b'ProductVersion')}")


def main():
    exe = os.path.join(sys.argv[1], "win32", "tavsetup.exe")
    if not os.path.exists(exe):
        print(f"FAIL: {exe} not built")
        return 1
    pe = pefile.PE(exe)

    check(pe.FILE_HEADER.Machine == 0x14C, "machine is not i386")
    check(pe.OPTIONAL_HEADER.Magic == 0x10B, "not PE32")
    check(pe.OPTIONAL_HEADER.Subsystem == 2, "subsystem is not GUI")

    imports = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    check(imports <= SYSTEM_DLLS, f"non-system imports: {sorted(imports - SYSTEM_DLLS)}")

    manifests = resources_by_language(pe, RT_MANIFEST)
    check(len(manifests) == 1, f"{len(manifests)} manifests")
    manifest = next(iter(manifests.values()), b"")
    check(b'level="requireAdministrator"' in manifest, "manifest does not require administrator")
    check(b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in manifest,
          "manifest does not ask for common controls 6")

    for language, column in ((ENGLISH, 0), (JAPANESE, 1)):
        table = string_table(pe, language)
        check(sorted(table) == sorted(STRINGS),
              f"0x{language:04x}: string ids differ: {sorted(set(table) ^ set(STRINGS))}")
        for string_id, texts in STRINGS.items():
            want = texts[column].encode("utf-16-le")
            check(table.get(string_id) == want,
                  f"0x{language:04x}: string {string_id} is {table.get(string_id, b'').decode('utf-16-le')!r}")

    dialogs = resources_by_language(pe, RT_DIALOG)
    check(sorted({d for d, _ in dialogs}) == sorted(DIALOGS), f"dialogs {sorted(dialogs)}")
    for dialog_id, expected in DIALOGS.items():
        for language in (ENGLISH, JAPANESE):
            data = dialogs.get((dialog_id, language))
            check(data is not None, f"dialog {dialog_id} missing in 0x{language:04x}")
            if data is not None:
                check_dialog(dialog_id, language, parse_dialogex(data), expected)

    icons = resources_by_language(pe, RT_ICON_GROUP)
    check(any(res_id == 128 for res_id, _ in icons), "no icon group 128")

    check_version(pe)

    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("test_tavsetup: all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
