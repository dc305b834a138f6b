"""What went into a binary, read from its linker map, and whether a package carries the notices for it.

A GNU linker map names every archive member it pulled in ("lib.a(member.o)") and every object file it
loaded whole ("LOAD file.o"). Each of those inputs is assigned to a library by the first rule below that
matches its path; an input no rule knows is an error, so a new dependency cannot ship unnoticed.
"""
import os
import re
from pathlib import Path
from typing import Dict, Iterable, List, Set, Tuple

# (pattern on the input's normalised path, library). First match wins: specific archives before the
# folders they sit in.
RULES: List[Tuple[str, str]] = [
    (r"/libpng\d*\.a$", "libpng"),
    (r"/libz\.a$", "zlib"),
    (r"/librtmidi\.a$", "rtmidi"),
    (r"/lib(win)?pthread\.a$", "winpthreads"),
    (r"^/usr/lib/gcc/", "gcc-runtime"),
    (r"^/usr/[^/]+-w64-mingw32/lib/", "mingw-w64-runtime"),
    (r"^[^/]", "tamsel"),  # a relative path: the project's own build tree
]

_MEMBER = re.compile(r"(\S+\.a)\([^)\s]+\)")
_LOADED_OBJECT = re.compile(r"^LOAD (\S+\.(?:o|obj))$", re.M)


def linked_inputs(map_text: str) -> Set[str]:
    inputs = {m.group(1) for m in _MEMBER.finditer(map_text)}
    inputs |= {m.group(1) for m in _LOADED_OBJECT.finditer(map_text)}
    return {os.path.normpath(p) for p in inputs}


def libraries(map_text: str, rules=RULES) -> Tuple[Dict[str, str], List[str]]:
    """Returns {library: one input that proves it} and the inputs no rule knows."""
    found, unknown = {}, []
    for path in sorted(linked_inputs(map_text)):
        library = next((lib for pattern, lib in rules if re.search(pattern, path)), None)
        if library is None:
            unknown.append(path)
        else:
            found.setdefault(library, path)
    return found, unknown


def check_package(package: str, paths: Iterable[str], licence_folder: str, link_maps: Dict[str, Path],
                  notices: Dict[str, str], rules=RULES) -> List[str]:
    """Problems of one package: a binary with no link map, an input no rule knows, or a library linked into
    one of its binaries whose notice file (notices: library -> file name) is not in licence_folder."""
    paths = list(paths)
    present = {p[len(licence_folder):] for p in paths if p.startswith(licence_folder)}
    problems = []
    for path in paths:
        name = path.rsplit("/", 1)[-1]
        if not name.endswith((".dll", ".exe", ".so")):
            continue
        link_map = link_maps.get(name)
        if link_map is None or not Path(link_map).is_file():
            problems.append(f"{package}: no linker map for {path}, so what it links is unknown")
            continue
        found, unknown = libraries(Path(link_map).read_text(errors="replace"), rules)
        for input_path in unknown:
            problems.append(f"{package}: {name} links {input_path}, which no licence rule covers "
                            f"(tools/dist/licences.py)")
        for library, proof in sorted(found.items()):
            notice = notices.get(library)
            if notice is None:
                problems.append(f"{package}: {name} links {library} ({proof}), and no notice is known for it")
            elif notice not in present:
                problems.append(f"{package}: {name} links {library} ({proof}), but the package lacks "
                                f"{licence_folder}{notice}")
    return problems
