#!/usr/bin/env python3
"""Installs a .ReaperPkg into a resource folder by REAPER's rules: reaper-package-info.txt names the
package (NAME) and its version (VERSION), and every other file lies in one of REAPER's resource
subfolders.    usage: reaperpkg_install.py PACKAGE RESOURCE_FOLDER"""
import re
import sys
import zipfile
from pathlib import Path, PurePosixPath

INFO = "reaper-package-info.txt"
SUBFOLDERS = {"UserPlugins", "Data", "Docs", "KeyMaps", "Scripts", "Effects", "ColorThemes", "LangPack",
              "MenuSets", "ProjectTemplates", "TrackTemplates", "FXChains", "presets"}


def install(package: str, resource: Path) -> int:
    with zipfile.ZipFile(package) as archive:
        names = archive.namelist()
        if INFO not in names:
            sys.exit(f"reaperpkg_install: {package} has no {INFO}")
        info = dict(re.findall(r'^(\w+)\s+"?([^"\r\n]*)"?\s*$', archive.read(INFO).decode(), re.M))
        if not info.get("NAME") or not info.get("VERSION"):
            sys.exit(f"reaperpkg_install: {INFO} lacks NAME or VERSION")
        files = [n for n in names if n != INFO and not n.endswith("/")]
        for name in files:
            path = PurePosixPath(name)
            if "\\" in name or ".." in path.parts or path.parts[0] not in SUBFOLDERS or len(path.parts) < 2:
                sys.exit(f"reaperpkg_install: {name} is not inside a resource subfolder")
        for name in files:
            target = resource / name
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(archive.read(name))
    return len(files)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    print(f"reaperpkg_install: {install(sys.argv[1], Path(sys.argv[2]))} files installed")
