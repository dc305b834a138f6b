#!/usr/bin/env python3
"""Installs a release into a resource folder as REAPER users get it.
  install.py reapack INDEX PLATFORM FOLDER   as ReaPack does: the newest version of each package, every
                                             source for the platform, fetched from its URL, hash checked
  install.py reaperpkg PACKAGE FOLDER        by REAPER's rules: reaper-package-info.txt with NAME and VERSION,
                                             every other file inside one of REAPER's resource subfolders"""
import hashlib
import re
import sys
import urllib.request
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path, PurePosixPath

TYPE_FOLDERS = {"extension": "UserPlugins", "data": "Data"}
FAMILY = {"win64": "windows", "linux64": "linux", "linux-aarch64": "linux"}
SUBFOLDERS = {"UserPlugins", "Data", "Docs", "KeyMaps", "Scripts", "Effects", "ColorThemes", "LangPack",
              "MenuSets", "ProjectTemplates", "TrackTemplates", "FXChains", "presets"}


def write(folder: Path, path: PurePosixPath, data: bytes) -> None:
    if path.is_absolute() or ".." in path.parts or "\\" in str(path):
        sys.exit(f"install: refusing {path}")
    (folder / path).parent.mkdir(parents=True, exist_ok=True)
    (folder / path).write_bytes(data)


def reapack(index: str, platform: str, folder: Path) -> int:
    count = 0
    for package in ElementTree.parse(index).getroot().iter("reapack"):
        newest = max(package.findall("version"), key=lambda v: [int(n) for n in v.get("name").split(".")])
        for source in newest.findall("source"):
            if source.get("platform", "all") in ("all", FAMILY.get(platform), platform):
                with urllib.request.urlopen(source.text.strip()) as response:
                    data = response.read()
                digest = "1220" + hashlib.sha256(data).hexdigest()
                if source.get("hash", digest) != digest:
                    sys.exit(f"install: {source.text.strip()} does not match its hash")
                kind = TYPE_FOLDERS[source.get("type", package.get("type"))]
                write(folder, PurePosixPath(kind, source.get("file")), data)
                count += 1
    return count


def reaperpkg(package: str, folder: Path) -> int:
    with zipfile.ZipFile(package) as archive:
        names = [n for n in archive.namelist() if not n.endswith("/")]
        info = "reaper-package-info.txt"
        fields = dict(re.findall(r'^(\w+)\s+"?([^"\r\n]*)"?\s*$', archive.read(info).decode(), re.M)
                      if info in names else [])
        if not fields.get("NAME") or not fields.get("VERSION"):
            sys.exit(f"install: {package} has no {info} with NAME and VERSION")
        files = [PurePosixPath(n) for n in names if n != info]
        outside = [str(p) for p in files if len(p.parts) < 2 or p.parts[0] not in SUBFOLDERS]
        if outside:
            sys.exit(f"install: outside REAPER's resource subfolders: {outside}")
        for path in files:
            write(folder, path, archive.read(str(path)))
    return len(files)


if __name__ == "__main__":
    if sys.argv[1:2] == ["reapack"] and len(sys.argv) == 5:
        count = reapack(sys.argv[2], sys.argv[3], Path(sys.argv[4]))
    elif sys.argv[1:2] == ["reaperpkg"] and len(sys.argv) == 4:
        count = reaperpkg(sys.argv[2], Path(sys.argv[3]))
    else:
        sys.exit(__doc__)
    print(f"install: {count} files from the {sys.argv[1]}")
