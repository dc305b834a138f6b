"""A ReaPack repository index (index.xml) holding one extension package in one version."""
import datetime
import hashlib
import xml.etree.ElementTree as ElementTree
from dataclasses import dataclass
from pathlib import Path
from typing import List, Optional
from xml.sax.saxutils import escape, quoteattr

# Where ReaPack installs a source of each type, relative to the resource folder.
TYPE_FOLDERS = {"extension": "UserPlugins/", "data": "Data/"}


@dataclass
class Source:
    file: str  # relative to its type's folder
    url: str
    content: Path
    type: Optional[str] = None  # None: the package's type
    platform: Optional[str] = None  # None: every platform


def _cdata(text: str) -> str:
    return "<![CDATA[" + text.replace("]]>", "]]]]><![CDATA[>") + "]]>"


def multihash(path: Path) -> str:
    """ReaPack's hash attribute: a SHA-256 multihash in hex."""
    return "1220" + hashlib.sha256(path.read_bytes()).hexdigest()


def index_xml(name: str, desc: str, version: str, author: str, date: datetime.date, changelog: str,
              website: str, sources: List[Source], older: List[str] = ()) -> str:
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           f"<index version=\"1\" name={quoteattr(name)}>",
           '  <category name="Extensions">',
           f"    <reapack name={quoteattr(name)} type=\"extension\" desc={quoteattr(desc)}>",
           "      <metadata>",
           f"        <description>{_cdata(desc)}</description>",
           f"        <link rel=\"website\">{escape(website)}</link>",
           "      </metadata>",
           f"      <version name={quoteattr(version)} author={quoteattr(author)} "
           f"time=\"{date.isoformat()}T00:00:00Z\">",
           f"        <changelog>{_cdata(changelog)}</changelog>"]
    for s in sources:
        attributes = ""
        if s.type:
            attributes += f" type={quoteattr(s.type)}"
        if s.platform:
            attributes += f" platform={quoteattr(s.platform)}"
        attributes += f" file={quoteattr(s.file)} hash=\"{multihash(s.content)}\""
        out.append(f"        <source{attributes}>{escape(s.url)}</source>")
    out.append("      </version>")
    out += ["      " + v for v in older]
    out += ["    </reapack>", "  </category>", "</index>", ""]
    return "\n".join(out)


def older_versions(index: Path, name: str, version: str) -> List[str]:
    """The <version> elements of package `name` in a published index, but `version`, newest first: kept
    in the next index, they let ReaPack users go back to them."""
    try:
        root = ElementTree.parse(index).getroot()
    except (OSError, ElementTree.ParseError) as e:
        raise ValueError(f"cannot read the previous index {index}: {e}") from None
    found = [v for p in root.iter("reapack") if p.get("name") == name for v in p.findall("version")
             if v.get("name") != version]
    found.sort(key=lambda v: [int(n) for n in v.get("name", "0").split(".") if n.isdigit()], reverse=True)
    for v in found:
        v.tail = None
    return [ElementTree.tostring(v, encoding="unicode") for v in found]


def installed_paths(index: Path, platform: str) -> List[str]:
    """The resource-folder paths ReaPack installs from the index on `platform`."""
    paths = []
    for package in ElementTree.parse(index).getroot().iter("reapack"):
        for source in package.iter("source"):
            if source.get("platform", "all") not in ("all", platform):
                continue
            kind = source.get("type", package.get("type"))
            paths.append(TYPE_FOLDERS[kind] + source.get("file"))
    return paths

