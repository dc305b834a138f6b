"""Zips that come out byte for byte the same from the same files: fixed order, times and attributes, so a
release built again keeps its checksums."""
import datetime
import os
import zipfile
from pathlib import Path
from typing import Dict, Union

Content = Union[Path, bytes]
EXECUTABLE = (".dll", ".exe", ".so")


def write_zip(path: Path, files: Dict[str, Content], date: datetime.date) -> None:
    """Writes files (name in the zip -> source file or bytes) with every entry dated `date` at midnight."""
    stamp = (date.year, date.month, date.day, 0, 0, 0)
    folders = {name[: i + 1] for name in files for i, c in enumerate(name) if c == "/"}
    partial = path.with_name(path.name + ".part")
    with zipfile.ZipFile(partial, "w") as archive:
        for name in sorted(folders | set(files)):
            info = zipfile.ZipInfo(name, stamp)
            info.create_system = 3  # Unix, so the modes below mean what they say
            if name in folders:
                info.external_attr = (0o40755 << 16) | 0x10
                archive.writestr(info, b"")
                continue
            content = files[name]
            data = content if isinstance(content, bytes) else Path(content).read_bytes()
            info.external_attr = (0o100755 if name.endswith(EXECUTABLE) else 0o100644) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=9)
    os.replace(partial, path)
