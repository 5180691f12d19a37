"""Packs the Windows build and checks what a user gets: the zip's two files,
the checksum beside it, the guide's bytes, and what tavrel.exe says of itself
(version resource and manifest, read back with pefile) against the CMake
version and the usage text of the native build.

  check_release.py CPACK WIN_BUILD NATIVE_TAVREL   (WIN_BUILD may be empty:
  then TAVREL_WIN_BUILD from the environment; without a tavrel.exe, skipped)
"""
import hashlib
import io
import os
import re
import subprocess
import sys
import zipfile
import xml.etree.ElementTree as ET

try:
    import pefile
except ImportError:  # Debian's python3-pefile, when another python3 runs this
    sys.path.append("/usr/lib/python3/dist-packages")
    import pefile

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE, "tests"))
import win_build  # noqa: E402

RT_MANIFEST = 24
SUPPORTED_OS = {  # Windows 7, 8, 8.1, 10 and 11
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def version_info(pe):
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF,
               fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF)
    strings = {}
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            strings.update((k.decode(), v.decode()) for k, v in table.entries.items())
    return numbers, strings


def manifest(pe):
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id == RT_MANIFEST:
            found = [lang.data.struct for name in kind.directory.entries
                     for lang in name.directory.entries]
            check(len(found) == 1, "exactly one manifest")
            return pe.get_data(found[0].OffsetToData, found[0].Size)
    return b""


def main():
    cpack, build, native = sys.argv[1], win_build.find(sys.argv[2], "release"), sys.argv[3]
    cache = open(os.path.join(build, "CMakeCache.txt")).read()
    version = re.search(r"^CMAKE_PROJECT_VERSION:\w+=(.*)$", cache, re.M).group(1)
    subprocess.run([cpack, "--config", os.path.join(build, "CPackConfig.cmake")], check=True,
                   stdout=subprocess.DEVNULL)

    top = "tavREL-%s-win64" % version
    package = os.path.join(build, "package", top + ".zip")
    data = open(package, "rb").read()
    check(open(package + ".sha256").read() == "%s  %s.zip\n" % (hashlib.sha256(data).hexdigest(), top),
          "the .sha256 file holds the zip's digest and name")
    archive = zipfile.ZipFile(io.BytesIO(data))
    check(sorted(archive.namelist()) == [top + "/LISEZMOI.txt", top + "/tavrel.exe"],
          "the zip holds tavrel.exe and LISEZMOI.txt: %s" % archive.namelist())

    guide = archive.read(top + "/LISEZMOI.txt")
    check(guide == open(os.path.join(SOURCE, "doc", "LISEZMOI.txt"), "rb").read(),
          "the guide is the stored one, byte for byte")
    check(guide.endswith(b"\r\n") and guide.count(b"\n") == guide.count(b"\r\n") == guide.count(b"\r"),
          "every line of the guide ends with CR LF")
    try:
        guide.decode("cp1252")
        check(b"\xe9" in guide, "the guide is Windows-1252 (its accents are single bytes)")
    except UnicodeDecodeError as e:
        check(False, "the guide is Windows-1252: %s" % e)

    # The native build's usage text: banner "TAVREL v<version> - <copyright>",
    # then the one-line description.
    usage = subprocess.run([native, "/?"], capture_output=True, check=True).stdout.decode("cp850")
    banner, description = usage.split("\r\n")[:2]
    match = re.fullmatch(r"TAVREL v\S+ - (.*)", banner)

    pe = pefile.PE(data=archive.read(top + "/tavrel.exe"))
    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"], "tavrel.exe is x64")
    numbers, strings = version_info(pe)
    wanted = tuple(int(n) for n in version.split(".")) + (0,) * (4 - len(version.split(".")))
    check(numbers == wanted, "fixed file version %s is %s" % (numbers, version))
    expected = {"ProductName": "tavREL", "FileVersion": version, "ProductVersion": version,
                "OriginalFilename": "tavrel.exe", "FileDescription": description,
                "LegalCopyright": match[1] if match else None}
    for key, value in expected.items():
        check(strings.get(key) == value, "%s is %r: %r" % (key, value, strings.get(key)))

    root = ET.fromstring(manifest(pe))
    local = {e.tag.split("}")[-1]: e for e in root.iter()}
    level = local.get("requestedExecutionLevel")
    check(level is not None and level.get("level") == "asInvoker", "the manifest asks for asInvoker")
    check({e.get("Id") for e in root.iter() if e.tag.endswith("}supportedOS")} == SUPPORTED_OS,
          "the manifest names Windows 7 to 11")
    check("longPathAware" not in local and "activeCodePage" not in local,
          "the manifest sets neither longPathAware nor activeCodePage")

    print("release: %d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
