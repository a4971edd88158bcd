"""Table checks of the two packages, without Wine: each built twice by build_package.sh, as a
test build (no driver package, unsigned, the trace decoding files as a tmf folder) and as a
release build (a driver package with subfolders, signed with a throw-away certificate).

Run as: /usr/bin/python3 test_packages.py <repo>/build
"""
import os
import re
import subprocess
import sys
import tempfile

import pefile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OLD_UPGRADE_CODE = "{7C1E5A92-4B3D-4F08-9E26-D5A8B31C0F47}"
RECOVERY = "failure Tavportsvc reset= 86400 actions= restart/5000/restart/30000/restart/60000"
DEFERRED, NO_IMPERSONATE = 0x400, 0x800
EVENT_SOURCE_KEY = r"SYSTEM\CurrentControlSet\Services\EventLog\Application\Tavportsvc"
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs).stdout


def table(msi, name):
    """The rows of one table as dicts (msiinfo export: names, types, keys, then rows)."""
    lines = run("msiinfo", "export", msi, name).splitlines()
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:]]


def product_field(key):
    with open(os.path.join(ROOT, "PRODUCT"), encoding="utf-8") as f:
        return next(line.split("=", 1)[1].strip() for line in f if line.startswith(key + "="))


def version():
    with open(os.path.join(ROOT, "VERSION"), encoding="utf-8") as f:
        return f.readline().strip()


def build(build_dir, out, *options):
    env = dict(os.environ, TAV_PACKAGE_OUT=out)
    result = subprocess.run(["bash", os.path.join(ROOT, "tools/package/build_package.sh"),
                             build_dir, *options], capture_output=True, text=True, env=env)
    if result.returncode != 0:
        sys.exit(f"build_package failed:\n{result.stderr}")
    return result.stdout.split(), result.stderr


def directory_path(msi, directory):
    rows = {r["Directory"]: r for r in table(msi, "Directory")}
    parts = []
    while directory in rows and rows[directory]["Directory_Parent"]:
        name = rows[directory]["DefaultDir"].split(":")[-1].split("|")[-1]
        parts.insert(0, directory if name == "." else name)
        directory = rows[directory]["Directory_Parent"]
    return "\\".join(parts)


def check_common(msi, label):
    files = table(msi, "File")
    components = {c["Component"]: c for c in table(msi, "Component")}
    for f in files:
        if f["FileName"].split("|")[-1].lower().endswith(".exe"):
            mates = [g for g in files if g["Component_"] == f["Component_"]]
            check(components[f["Component_"]]["KeyPath"] == f["File"] and len(mates) == 1,
                  f"{label}: {f['FileName']} is not alone in its component as the key path")
    for d in table(msi, "Directory"):
        check(d["Directory"] == "TARGETDIR" or d["Directory"] != d["Directory"].upper(),
              f"{label}: directory id {d['Directory']} is a public property")
    properties = {p["Property"]: p["Value"] for p in table(msi, "Property")}
    check(properties.get("ProductName") == product_field("name"), f"{label}: product name")
    check(properties.get("Manufacturer") == product_field("manufacturer"), f"{label}: publisher")
    for key in ("ARPURLINFOABOUT", "ARPHELPLINK"):
        check(properties.get(key) == product_field("url"), f"{label}: {key}")
    icons = [i["Name"] for i in table(msi, "Icon")]
    check(properties.get("ARPPRODUCTICON") in icons, f"{label}: ARPPRODUCTICON names no icon")
    next_patch = re.sub(r"^(\d+)\.(\d+)\.(\d+).*", lambda m: f"{m[1]}.{m[2]}.{int(m[3]) + 1}",
                        version())
    older = [u for u in table(msi, "Upgrade") if u["ActionProperty"] == "OLDERFOUND"]
    check(len(older) == 1 and older[0]["VersionMax"] == next_patch and
          int(older[0]["Attributes"]) & 0x300 == 0x100,
          f"{label}: the same three-field version is not replaced in place: {older}")
    return properties


def check_service_package(msi, label):
    properties = check_common(msi, label)
    check(properties.get("UpgradeCode") == OLD_UPGRADE_CODE, f"{label}: not the old UpgradeCode")
    conditions = {c["Condition"]: c["Description"] for c in table(msi, "LaunchCondition")}
    check("tav-setup-utility-x86-" in conditions.get("Installed OR VersionNT64", ""),
          f"{label}: the 64-bit condition does not name the utility package: {conditions}")
    names = {f["FileName"].split("|")[-1]: f for f in table(msi, "File")}
    check("tavsetup.exe" not in names, f"{label}: carries the utility")
    check({"Tavportsvc.exe", "tavports.exe", "Tavportsvc-trace.cmd", "ADMIN.txt"} <= set(names),
          f"{label}: files missing: {sorted(names)}")
    actions = {a["Action"]: a for a in table(msi, "CustomAction")}
    sequence = {s["Action"]: int(s["Sequence"]) for s in table(msi, "InstallExecuteSequence")}
    recovery = actions.get("SetServiceRecovery", {})
    check(recovery.get("Target") == RECOVERY and
          int(recovery.get("Type", 0)) & (DEFERRED | NO_IMPERSONATE) == DEFERRED | NO_IMPERSONATE,
          f"{label}: recovery action {recovery}")
    check(sequence.get("RegisterService", 1 << 30) < sequence.get("FindScExe", 0) <
          sequence.get("SetServiceRecovery", 0),
          f"{label}: recovery not set after RegisterService")
    check(run("msiinfo", "suminfo", msi).count("Template: x64;") == 1, f"{label}: platform")
    source = {(r["Name"], r["Value"]) for r in table(msi, "Registry")
              if r["Root"] == "2" and r["Key"] == EVENT_SOURCE_KEY}
    check(source == {("EventMessageFile", "[#Tavportsvc.exe]"), ("TypesSupported", "#7"),
                     ("-", "")}, f"{label}: Event Log source rows {source}")
    return names


def check_utility_package(msi, label):
    properties = check_common(msi, label)
    check(properties.get("UpgradeCode") not in (None, OLD_UPGRADE_CODE),
          f"{label}: shares the service package's UpgradeCode")
    conditions = {c["Condition"]: c["Description"] for c in table(msi, "LaunchCondition")}
    check("tav-port-service-x64-" in conditions.get("Installed OR NOT VersionNT64", ""),
          f"{label}: the 32-bit condition does not name the service package: {conditions}")
    utility = [f["Component_"] for f in table(msi, "File") if f["File"] == "tavsetup.exe"]
    shortcuts = [s["Component_"] for s in table(msi, "Shortcut")]
    check(len(utility) == 1 and shortcuts == utility, f"{label}: the utility's shortcut {shortcuts}")
    check(run("msiinfo", "suminfo", msi).count("Template: Intel;") == 1, f"{label}: platform")


def inf_relative_path():
    with open(os.path.join(ROOT, "portlink/core/inf_path.h"), encoding="utf-8") as f:
        text = f.read()
    path = re.search(r'kInfRelativePath\[\] = u"\\\\(.*)"', text)[1].replace("\\\\", "\\")
    return "ProgramFilesFolder\\" + path


def check_driver_placed(msi, label, expected_inf):
    inf = [f for f in table(msi, "File") if f["FileName"].split("|")[-1] == "Tavport.inf"]
    components = {c["Component"]: c for c in table(msi, "Component")}
    check(len(inf) == 1, f"{label}: no Tavport.inf")
    if inf:
        directory = components[inf[0]["Component_"]]["Directory_"]
        where = directory_path(msi, directory) + "\\Tavport.inf"
        check(where == expected_inf, f"{label}: the INF goes to {where}, not {expected_inf}")
    names = {f["FileName"].split("|")[-1] for f in table(msi, "File")}
    check({"tavport.cat", "Tav & port.dll"} <= names, f"{label}: driver files {sorted(names)}")


def version_product_names(msi, work):
    folder = os.path.join(work, "extract-" + os.path.basename(msi))
    os.makedirs(folder)
    run("msiextract", "-C", folder, msi)
    for base, _, files in os.walk(folder):
        for name in files:
            if name.lower().endswith(".exe"):
                pe = pefile.PE(os.path.join(base, name))
                for info in pe.FileInfo[0]:
                    if info.Key == b"StringFileInfo":
                        for t in info.StringTable:
                            yield name, os.path.join(base, name), t.entries.get(b"ProductName")


def signature_ok(path, ca):
    return subprocess.run(["osslsigncode", "verify", "-CAfile", ca, "-in", path],
                          capture_output=True).returncode == 0


def fake_tmf_build(build_dir, work):
    """A build folder whose linux build made a tmf folder of per-GUID decoding files."""
    fake = os.path.join(work, "tmf-build")
    os.makedirs(os.path.join(fake, "linux/trace/tmf"))
    for arch in ("win32", "win64"):
        os.symlink(os.path.join(build_dir, arch), os.path.join(fake, arch))
    for guid in ("0A1B2C3D-0000-4000-8000-000000000001", "0A1B2C3D-0000-4000-8000-000000000002"):
        with open(os.path.join(fake, f"linux/trace/tmf/{guid}.tmf"), "w") as f:
            f.write(f"{guid.lower()} Tavportsvc\n// Control GUID: {{5A1C0E2B-3D4F-4A6B-8C9D-0E1F2A3B4C5D}}\n")
    return fake


def main():
    build_dir = os.path.abspath(sys.argv[1])
    name = product_field("name")
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)  # msiinfo export writes a table's streams (the icon) into a folder here
        (msi64, msi32), said = build(fake_tmf_build(build_dir, work), os.path.join(work, "test"))
        check(msi64.endswith("-test.msi") and msi32.endswith("-test.msi"),
              f"test build names: {msi64} {msi32}")
        check("WARNING" in said and "UNSIGNED" in said, "the test build says nothing")
        names = check_service_package(msi64, "x64 test build")
        check({"0a1b2c3d-0000-4000-8000-000000000001.tmf".upper()} <=
              {n.upper() for n in names}, f"x64 test build: no tmf folder: {sorted(names)}")
        check_utility_package(msi32, "x86 test build")
        for msi in (msi64, msi32):
            comments = {p["Property"]: p["Value"] for p in table(msi, "Property")}["ARPCOMMENTS"]
            check(comments.startswith("Test build without the port driver package"),
                  f"{msi}: ARPCOMMENTS {comments!r}")
            check(not signature_ok(msi, "/dev/null"), f"{msi}: signed without --sign")

        driver = os.path.join(work, "driver")
        os.makedirs(os.path.join(driver, "x86 & <arm64>"))
        for path in ("Tavport.inf", "tavport.cat", "x86 & <arm64>/Tav & port.dll"):
            with open(os.path.join(driver, path), "w") as f:
                f.write("x")
        key, cert, pfx, password = (os.path.join(work, n) for n in ("k.pem", "c.pem", "c.pfx", "pw"))
        with open(password, "w") as f:
            f.write("throw-away\n")
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out",
            cert, "-days", "1", "-subj", "/CN=TAV package test")
        run("openssl", "pkcs12", "-export", "-inkey", key, "-in", cert, "-out", pfx,
            "-passout", f"file:{password}")
        (msi64, msi32), said = build(build_dir, os.path.join(work, "release"), "--driver", driver,
                                     "--sign", pfx, "--password-file", password)
        check(not msi64.endswith("-test.msi") and "WARNING" not in said, "release build marked test")
        check_service_package(msi64, "x64")
        check_utility_package(msi32, "x86")
        check_driver_placed(msi64, "x64", inf_relative_path())
        check_driver_placed(msi32, "x86", "ProgramFilesFolder\\TAV\\HX Series Printer\\Tavport\\Tavport.inf")
        for msi in (msi64, msi32):
            check(signature_ok(msi, cert), f"{msi}: no valid signature")
            comments = {p["Property"]: p["Value"] for p in table(msi, "Property")}["ARPCOMMENTS"]
            check("Test build" not in comments, f"{msi}: release build says test build")
            for exe, path, product in version_product_names(msi, work):
                check(product == name.encode(), f"{exe}: version ProductName {product!r}")
                check(signature_ok(path, cert), f"{exe}: not signed in the package")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print("test_packages: both packages' tables, test and release builds, signatures: ok")


if __name__ == "__main__":
    main()
