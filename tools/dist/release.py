"""What a release holds: the platforms the plug-in ships for, the panel, and the licence notices.

Adding a platform is one Platform line; adding a library is one rule in licences.py and one Notice here.
"""
import re
from dataclasses import dataclass
from pathlib import Path
from typing import Dict, Optional, Tuple

ROOT = Path(__file__).resolve().parents[2]
DEPS = ROOT / ".deps"


@dataclass(frozen=True)
class Notice:
    file: str  # its name in a package's licences folder
    source: Path


MINGW_NOTICE = Path("/usr/share/doc/mingw-w64-x86-64-dev/copyright")
NOTICES: Dict[str, Notice] = {
    "tamsel": Notice("tamsel-kestro.txt", ROOT / "LICENSE"),
    "gcc-runtime": Notice("gcc-runtime.txt", Path("/usr/share/doc/gcc-mingw-w64-base/copyright")),
    # Debian's notice for the mingw-w64 project lists the runtime's and winpthreads' licences alike.
    "mingw-w64-runtime": Notice("mingw-w64-runtime.txt", MINGW_NOTICE),
    "winpthreads": Notice("mingw-w64-runtime.txt", MINGW_NOTICE),
    "libpng": Notice("libpng.txt", DEPS / "src/libpng1.6/LICENSE"),
    "zlib": Notice("zlib.txt", Path("/usr/share/doc/libz-mingw-w64-dev/copyright")),
    "rtmidi": Notice("rtmidi.txt", DEPS / "src/rtmidi/LICENSE"),
}

MINGW_RUNTIME = ("gcc-runtime", "mingw-w64-runtime", "winpthreads")


@dataclass(frozen=True)
class Platform:
    reapack: str  # ReaPack's platform name; also names the resource-folder zip
    plugin: Path  # the built plug-in, installed into UserPlugins under its own name
    licences: Tuple[str, ...]  # libraries whose notices ship with it
    reaperpkg: Optional[str] = None  # file name of its .ReaperPkg ({version} filled in), if it has one


PLATFORMS: Tuple[Platform, ...] = (
    Platform("win64", ROOT / "build/win64/bin/reaper_tamsel-x64.dll", ("tamsel",) + MINGW_RUNTIME,
             reaperpkg="tamsel-{version}.ReaperPkg"),
)

# The panel ships on its own: the 32-bit build as kestro.exe, its 64-bit twin beside it.
PANEL_ZIP = "kestro-{version}-windows.zip"
PANEL_PROGRAMS: Dict[str, Path] = {
    "kestro.exe": ROOT / "build/win32/bin/kestro.exe",
    "kestro-x64.exe": ROOT / "build/win64/bin/kestro.exe",
}
PANEL_README = ROOT / "docs/kestro-readme.txt"
PANEL_LICENCES = ("tamsel",) + MINGW_RUNTIME + ("libpng", "zlib", "rtmidi")

PACKAGE = "tamsel"
DESCRIPTION = "Steinberg CC121 control surface for REAPER"
GUIDE = ROOT / "docs/user-guide.md"
GUIDE_IMAGES = ROOT / "docs/images"
EQMAPS = ROOT / "eqmaps"
CHANGELOG = ROOT / "CHANGELOG.md"
DOCS_FOLDER = "Docs/tamsel/"  # in the .ReaperPkg and the zips
REAPACK_DOCS_FOLDER = "tamsel/"  # below Data: ReaPack installs no file outside REAPER's typed folders


def link_map(binary: Path) -> Path:
    """The binary's linker map, which its build tree keeps in linkmaps/ (cmake/link_map.cmake)."""
    name = binary.name + ".map"
    found = [p / "linkmaps" / name for p in binary.parents if (p / "linkmaps" / name).is_file()]
    return found[0] if found else binary.parent.parent / "linkmaps" / name


def version() -> str:
    text = (ROOT / "CMakeLists.txt").read_text()
    match = re.search(r"^project\(tamsel VERSION (\d+(?:\.\d+)*)", text, re.M)
    if not match:
        raise SystemExit("dist: CMakeLists.txt names no project(tamsel VERSION ...)")
    return match.group(1)


def author() -> str:
    match = re.search(r"^Copyright \(c\) \d{4}(?:-\d{4})? (.+)$", (ROOT / "LICENSE").read_text(), re.M)
    if not match:
        raise SystemExit("dist: LICENSE names no copyright holder")
    return match.group(1).strip()
