"""check_built_versions.py <build dir> <version>: every built program's version resource
(fixed numbers and strings), the utility's manifests and every package's ProductVersion carry
<version>."""

import glob
import os
import re
import subprocess
import sys

import pefile

PROGRAMS = ["win32/tavsetup.exe", "win64/tavsetup_x64_test.exe", "win64/tavportsvc/Tavportsvc.exe",
            "win64/tavports/tavports.exe", "win64/tavprinter/tavprinter.exe"]
MANIFESTED = ["win32/tavsetup.exe", "win64/tavsetup_x64_test.exe"]
RT_MANIFEST = 24


def program_versions(pe):
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = {(fixed.FileVersionMS, fixed.FileVersionLS), (fixed.ProductVersionMS,
                                                              fixed.ProductVersionLS)}
    strings = {}
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                strings.update(table.entries)
    return numbers, {strings.get(b"FileVersion"), strings.get(b"ProductVersion")}


def manifest_text(pe):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == RT_MANIFEST:
            data = entry.directory.entries[0].directory.entries[0].data.struct
            return pe.get_data(data.OffsetToData, data.Size).decode("utf-8", "replace")
    return ""


def main():
    build, version = sys.argv[1], sys.argv[2]
    parts = [int(p) for p in version.split(".")]
    fixed = (parts[0] << 16 | parts[1], parts[2] << 16 | parts[3])
    problems = []
    for rel in PROGRAMS:
        pe = pefile.PE(os.path.join(build, rel))
        numbers, strings = program_versions(pe)
        if numbers != {fixed} or strings != {version.encode()}:
            problems.append(f"{rel}: fixed {numbers}, strings {strings}")
        if rel in MANIFESTED:
            identity = re.search(r'name="TAV\.tavsetup" version="([^"]*)"', manifest_text(pe))
            if not identity or identity.group(1) != version:
                problems.append(f"{rel}: manifest version {identity and identity.group(1)}")
    packages = glob.glob(os.path.join(build, "package", "**", "*.msi"), recursive=True)
    if not packages:
        problems.append("no package built")
    for msi in packages:
        props = subprocess.run(["msiinfo", "export", msi, "Property"], check=True,
                               capture_output=True, text=True).stdout
        found = re.search(r"^ProductVersion\t(.*?)\r?$", props, re.M)
        if not found or found.group(1) != version:
            problems.append(f"{os.path.basename(msi)}: ProductVersion {found and found.group(1)}")
    for p in problems:
        print(f"FAIL: {p}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
