"""The change log: one '## <version> - <date>' section per version, newest first.

The newest section may read '- unreleased' while its work goes on; the release date replaces that word
when the version is published.
"""
import datetime
import re
from dataclasses import dataclass
from typing import List, Optional

HEADING = re.compile(r"^## (?P<version>\d+(?:\.\d+)*) - (?P<date>\d{4}-\d{2}-\d{2}|unreleased)$")


class ChangelogError(Exception):
    pass


@dataclass
class Release:
    version: str
    date: Optional[datetime.date]  # None while unreleased
    text: str


def _key(version: str):
    return tuple(int(part) for part in version.split("."))


def parse(text: str, name: str = "CHANGELOG.md") -> List[Release]:
    releases, lines = [], []
    for number, line in enumerate(text.splitlines(), 1):
        if not line.startswith("## "):
            if releases:
                lines[-1].append(line)
            continue
        match = HEADING.match(line.rstrip())
        if not match:
            raise ChangelogError(f"{name}:{number}: a version heading reads '## 1.2.3 - YYYY-MM-DD' "
                                 f"(or '## 1.2.3 - unreleased'), not '{line.rstrip()}'")
        date = None
        if match["date"] != "unreleased":
            try:
                date = datetime.date.fromisoformat(match["date"])
            except ValueError:
                raise ChangelogError(f"{name}:{number}: {match['date']} is not a date") from None
        releases.append(Release(match["version"], date, ""))
        lines.append([])
    for release, body in zip(releases, lines):
        release.text = "\n".join(body).strip("\n")
    for newer, older in zip(releases, releases[1:]):
        if _key(newer.version) <= _key(older.version):
            raise ChangelogError(f"{name}: {newer.version} stands above {older.version}: newest first, "
                                 f"each version once")
        if older.date is None:
            raise ChangelogError(f"{name}: {older.version} is unreleased but not the newest section")
        if newer.date is not None and newer.date < older.date:
            raise ChangelogError(f"{name}: {newer.version} is dated before {older.version}")
    return releases


def find(releases: List[Release], version: str, name: str = "CHANGELOG.md") -> Release:
    for release in releases:
        if release.version == version:
            return release
    raise ChangelogError(f"{name} has no section for {version}, the version the build carries: add "
                         f"'## {version} - YYYY-MM-DD' (or '- unreleased') with its changes at the top")
