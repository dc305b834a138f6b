#!/usr/bin/env python3
"""Installs the newest version of every package of a ReaPack index into a resource folder as ReaPack does:
each source meant for the platform, downloaded from its URL, checked against its hash, and written below
the folder of its type.    usage: reapack_install.py INDEX PLATFORM RESOURCE_FOLDER"""
import hashlib
import sys
import urllib.request
import xml.etree.ElementTree as ElementTree
from pathlib import Path, PurePosixPath

FOLDERS = {"extension": "UserPlugins", "data": "Data"}
FAMILY = {"win64": "windows", "linux64": "linux", "linux-aarch64": "linux"}


def install(index: str, platform: str, resource: Path) -> int:
    count = 0
    for package in ElementTree.parse(index).getroot().iter("reapack"):
        newest = max(package.findall("version"), key=lambda v: [int(n) for n in v.get("name").split(".")])
        for source in newest.findall("source"):
            if source.get("platform", "all") not in ("all", FAMILY.get(platform), platform):
                continue
            kind, file = source.get("type", package.get("type")), PurePosixPath(source.get("file"))
            if kind not in FOLDERS or file.is_absolute() or ".." in file.parts:
                sys.exit(f"reapack_install: cannot install {kind} source {file}")
            with urllib.request.urlopen(source.text.strip()) as response:
                data = response.read()
            digest = "1220" + hashlib.sha256(data).hexdigest()
            if source.get("hash", digest) != digest:
                sys.exit(f"reapack_install: {source.text.strip()} does not match its hash")
            target = resource / FOLDERS[kind] / file
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
            count += 1
    return count


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    print(f"reapack_install: {install(sys.argv[1], sys.argv[2], Path(sys.argv[3]))} files installed")
