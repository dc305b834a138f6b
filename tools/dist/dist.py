#!/usr/bin/env python3
"""Builds the release from the built binaries (./dev dist [--base-url URL]).

Writes into dist/: per platform a zip laid out like REAPER's resource folder, the .ReaperPkg, the panel's
own zip, and with --base-url the files a ReaPack repository serves plus its index.xml. Version, date and
change text come from CMakeLists.txt and CHANGELOG.md. Every package is checked for the licence notices
its binaries need before anything replaces the previous dist/.
"""
import argparse
import datetime
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse
import zipfile
from pathlib import Path
from typing import Dict, List, Optional, Tuple

sys.path.insert(0, str(Path(__file__).resolve().parent))

import changelog  # noqa: E402
import licences  # noqa: E402
import reapack  # noqa: E402
import release  # noqa: E402
from reprozip import write_zip  # noqa: E402

# What a package may hold at its top (REAPER's resource subfolders), besides the .ReaperPkg's own
# description.
RESOURCE_FOLDERS = ("UserPlugins/", "Data/", "Docs/")
PACKAGE_INFO = "reaper-package-info.txt"
MARKER = ".tamsel-dist"  # an output folder holding it was written here and may be replaced


class DistError(Exception):
    pass


def parse_base_url(text: str) -> str:
    if any(c.isspace() or ord(c) < 32 or ord(c) == 127 for c in text):
        raise ValueError(f"--base-url '{text}' holds a space or another blank: write a space as %20")
    parts = urllib.parse.urlsplit(text)
    if not parts.scheme or "://" not in text:
        raise ValueError(f"--base-url '{text}' has no scheme: give the whole address, for example "
                         "https://example.org/tamsel/v1.0.0")
    if parts.scheme not in ("https", "http", "file"):
        raise ValueError(f"--base-url '{text}': ReaPack downloads over https, http or file, "
                         f"not {parts.scheme}")
    if parts.scheme != "file" and not parts.netloc:
        raise ValueError(f"--base-url '{text}' names no host")
    if parts.query or parts.fragment or text.endswith(("?", "#")):
        raise ValueError(f"--base-url '{text}': file names are appended to it, so it cannot end in a query "
                         "or a fragment")
    return text.rstrip("/")


def commit_date() -> datetime.date:
    # A clone owned by another user (as in some CI containers) is still ours to read the date from.
    git = ["git", "-c", f"safe.directory={release.ROOT}", "-C", str(release.ROOT)]
    try:
        out = subprocess.run(git + ["log", "-1", "--format=%cs"], check=True, capture_output=True,
                             text=True).stdout.strip()
        return datetime.date.fromisoformat(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        raise DistError("the version is unreleased and no git commit dates it: write its release date into "
                        "its CHANGELOG.md heading") from None


def notice_files(prefix: str, libraries) -> Dict[str, Path]:
    return {prefix + release.NOTICES[lib].file: release.NOTICES[lib].source for lib in libraries}


def guide_files(prefix: str) -> Dict[str, Path]:
    files = {prefix + "user-guide.md": release.GUIDE}
    files.update({prefix + "images/" + p.name: p for p in sorted(release.GUIDE_IMAGES.glob("*.png"))})
    return files


def eqmaps() -> List[Path]:
    return sorted(release.EQMAPS.glob("*.eqmap"))


def resource_tree(platform: release.Platform) -> Dict[str, Path]:
    docs = release.DOCS_FOLDER
    tree = {"UserPlugins/" + platform.plugin.name: platform.plugin}
    tree.update({"Data/CC121/" + m.name: m for m in eqmaps()})
    tree.update(guide_files(docs))
    tree[docs + "CHANGELOG.md"] = release.CHANGELOG
    tree.update(notice_files(docs + "licences/", platform.licences))
    return tree


def package_info(version: str, url: Optional[str]) -> bytes:
    lines = [f'NAME "{release.PACKAGE}"', f'AUTHOR "{release.author()}"', f'VERSION "{version}"']
    if url:
        lines.append(f'URL "{url}/user-guide.md"')
    lines.append(f'INFO "{release.DOCS_FOLDER}CHANGELOG.md"')
    return ("\n".join(lines) + "\n").encode()


def index_sources(url: str) -> Tuple[Dict[str, Path], List[reapack.Source]]:
    """The files a repository serves (flat, by name) and the index's sources for them."""
    sources: List[reapack.Source] = []
    for platform in release.PLATFORMS:
        sources.append(reapack.Source(platform.plugin.name, "", platform.plugin, platform=platform.reapack))
    for m in eqmaps():
        sources.append(reapack.Source("CC121/" + m.name, "", m, type="data"))
    docs = release.REAPACK_DOCS_FOLDER
    for file, content in guide_files(docs).items():
        sources.append(reapack.Source(file, "", content, type="data"))
    # A notice every platform needs is one source for all; another goes with the platforms that need it.
    wanted: Dict[str, Tuple[Path, List[str]]] = {}
    for platform in release.PLATFORMS:
        for file, content in notice_files(docs + "licences/", platform.licences).items():
            platforms = wanted.setdefault(file, (content, []))[1]
            if platform.reapack not in platforms:
                platforms.append(platform.reapack)
    everyone = [p.reapack for p in release.PLATFORMS]
    for file, (content, platforms) in wanted.items():
        for platform in [None] if platforms == everyone else platforms:
            sources.append(reapack.Source(file, "", content, type="data", platform=platform))
    served: Dict[str, Path] = {}
    for s in sources:
        name = s.file.rsplit("/", 1)[-1]
        if served.setdefault(name, s.content) != s.content:
            raise DistError(f"two files would be served as {url}/{name}: {served[name]} and {s.content}")
        s.url = f"{url}/{name}"
    return served, sources


def write_index(out: Path, url: str, version: str, rel: changelog.Release, date: datetime.date,
                previous: Optional[Path]) -> None:
    try:
        older = reapack.older_versions(previous, release.PACKAGE, version) if previous else []
    except ValueError as e:
        raise DistError(str(e)) from None
    served, sources = index_sources(url)
    for name, content in served.items():
        shutil.copyfile(content, out / name)
    text = reapack.index_xml(release.PACKAGE, release.DESCRIPTION, version, release.author(), date, rel.text,
                             f"{url}/user-guide.md", sources, older)
    (out / "index.xml").write_text(text, encoding="utf-8")


def required_inputs() -> List[Path]:
    paths = [release.GUIDE, release.CHANGELOG, release.PANEL_README]
    for platform in release.PLATFORMS:
        paths += [platform.plugin, release.link_map(platform.plugin)]
    for program in release.PANEL_PROGRAMS.values():
        paths += [program, release.link_map(program)]
    paths += [n.source for n in release.NOTICES.values()]
    return paths


def check(out: Path) -> List[str]:
    """Every package's layout, and the notices for what its binaries link."""
    maps = {p.plugin.name: release.link_map(p.plugin) for p in release.PLATFORMS}
    maps.update({name: release.link_map(path) for name, path in release.PANEL_PROGRAMS.items()})
    notices = {lib: n.file for lib, n in release.NOTICES.items()}
    problems = []
    for package in sorted(out.iterdir()):
        if package.suffix not in (".zip", ".ReaperPkg"):
            continue
        with zipfile.ZipFile(package) as archive:
            names = [n for n in archive.namelist() if not n.endswith("/")]
        if package.name.startswith("kestro-"):
            folder = "licences/"
        else:
            folder = release.DOCS_FOLDER + "licences/"
            allowed = RESOURCE_FOLDERS + ((PACKAGE_INFO,) if package.suffix == ".ReaperPkg" else ())
            problems += [f"{package.name}: {n} is outside REAPER's resource subfolders"
                         for n in names if not n.startswith(allowed)]
            if package.suffix == ".ReaperPkg" and PACKAGE_INFO not in names:
                problems.append(f"{package.name}: no {PACKAGE_INFO}")
        problems += licences.check_package(package.name, names, folder, maps, notices)
    index = out / "index.xml"
    if index.exists():
        for platform in release.PLATFORMS:
            paths = reapack.installed_paths(index, platform.reapack)
            problems += licences.check_package(f"index.xml ({platform.reapack})", paths,
                                               "Data/" + release.REAPACK_DOCS_FOLDER + "licences/", maps,
                                               notices)
    return problems


def build(out: Path, url: Optional[str], default_out: bool, previous: Optional[Path]) -> changelog.Release:
    version = release.version()
    rel = changelog.find(changelog.parse(release.CHANGELOG.read_text(encoding="utf-8")), version)
    missing = [str(p) for p in required_inputs() if not p.is_file()]
    if not eqmaps():
        missing.append(str(release.EQMAPS / "*.eqmap"))
    if missing:
        raise DistError("missing (build with ./dev build win64 win32, set up with ./dev setup):\n  "
                        + "\n  ".join(missing))
    if out.exists() and not default_out and any(out.iterdir()) and not (out / MARKER).exists():
        raise DistError(f"{out} holds files that ./dev dist did not write: choose another folder")
    date = rel.date or commit_date()

    out.parent.mkdir(parents=True, exist_ok=True)
    staging = Path(tempfile.mkdtemp(prefix=".dist-", dir=out.parent))
    try:
        (staging / MARKER).write_text("written by ./dev dist; replaced by its next run\n")
        for platform in release.PLATFORMS:
            tree = resource_tree(platform)
            write_zip(staging / f"tamsel-{version}-{platform.reapack}.zip", tree, date)
            if platform.reaperpkg:
                pkg = dict(tree, **{PACKAGE_INFO: package_info(version, url)})
                write_zip(staging / platform.reaperpkg.format(version=version), pkg, date)
        panel: Dict[str, object] = dict(release.PANEL_PROGRAMS)
        panel["README.txt"] = release.PANEL_README
        panel.update(notice_files("licences/", release.PANEL_LICENCES))
        write_zip(staging / release.PANEL_ZIP.format(version=version), panel, date)
        if url:
            write_index(staging, url, version, rel, date, previous)
        problems = check(staging)
        if problems:
            raise DistError("the release is incomplete, nothing was replaced:\n  " + "\n  ".join(problems))
        if out.exists():
            shutil.rmtree(out)
        staging.rename(out)
    finally:
        shutil.rmtree(staging, ignore_errors=True)
    return rel


def main(argv=None) -> int:
    parser = argparse.ArgumentParser(prog="./dev dist", description=__doc__.splitlines()[0])
    parser.add_argument("--base-url", metavar="URL",
                        help="where the files of dist/ will be downloadable from; writes index.xml")
    parser.add_argument("--previous-index", type=Path, metavar="FILE",
                        help="the index.xml published last: its older versions are kept in the new one")
    parser.add_argument("--out", type=Path, help="the output folder (default: dist/, replaced each run)")
    parser.add_argument("--check-args", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args(argv)
    try:
        url = parse_base_url(args.base_url) if args.base_url is not None else None
    except ValueError as e:
        print(f"dist: {e}", file=sys.stderr)
        return 2
    if args.previous_index and (not url or not args.previous_index.is_file()):
        print("dist: --previous-index needs --base-url and an existing file", file=sys.stderr)
        return 2
    if args.check_args:
        return 0
    out = (args.out or release.ROOT / "dist").resolve()
    try:
        rel = build(out, url, default_out=args.out is None, previous=args.previous_index)
    except (DistError, changelog.ChangelogError) as e:
        print(f"dist: {e}", file=sys.stderr)
        return 1

    for f in sorted(out.iterdir()):
        if f.name != MARKER:
            digest = hashlib.sha256(f.read_bytes()).hexdigest()
            print(f"  {digest[:16]}  {f.stat().st_size:>9}  {os.path.relpath(f)}")
    if rel.date is None:
        print(f"dist: {rel.version} is unreleased in CHANGELOG.md, so these files carry the last commit's "
              f"date. Before publishing, write the release date into its heading (## {rel.version} - "
              "YYYY-MM-DD) and run ./dev dist again.")
    if not url:
        print("dist: no index.xml was written. For a ReaPack repository, run ./dev dist --base-url URL with "
              "the address these files will be downloadable from (README: Releasing).")
    return 0


if __name__ == "__main__":
    sys.exit(main())
