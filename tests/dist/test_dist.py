"""The release tools: change log, base URL, licence check and reproducible zips."""
import contextlib
import datetime
import io
import os
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path
from unittest import mock

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools/dist"))

import changelog  # noqa: E402
import dist  # noqa: E402
import licences  # noqa: E402
import reapack  # noqa: E402
from reprozip import write_zip  # noqa: E402

GOOD_LOG = "# Changelog\n\n## 0.3.0 - unreleased\n- new\n\n## 0.2.0 - 2026-12-08\n### Fixed\n- old\n"


class ChangelogTest(unittest.TestCase):
    def test_sections_give_version_date_and_text(self):
        releases = changelog.parse(GOOD_LOG)
        self.assertEqual([(r.version, r.date) for r in releases],
                         [("0.3.0", None), ("0.2.0", datetime.date(2026, 12, 8))])
        self.assertEqual(changelog.find(releases, "0.2.0").text, "### Fixed\n- old")

    def test_faults_are_named(self):
        cases = [
            ("## 0.3.0\n", "a version heading reads"),
            ("## 0.3.0 - 2026-02-30\n", "is not a date"),
            ("## 0.2.0 - 2026-01-01\n## 0.3.0 - 2026-02-01\n", "newest first"),
            ("## 0.3.0 - 2026-01-01\n## 0.3.0 - 2026-01-01\n", "newest first"),
            ("## 0.3.0 - 2026-02-01\n## 0.2.0 - unreleased\n", "unreleased but not the newest"),
            ("## 0.3.0 - 2026-01-01\n## 0.2.0 - 2026-02-01\n", "dated before"),
        ]
        for text, message in cases:
            with self.subTest(text=text), self.assertRaisesRegex(changelog.ChangelogError, message):
                changelog.parse(text)

    def test_dist_stops_without_a_section_for_the_version_and_writes_nothing(self):
        with tempfile.TemporaryDirectory() as tmp:
            log = Path(tmp, "CHANGELOG.md")
            log.write_text("## 0.0.1 - 2020-01-01\n- first\n")
            err = io.StringIO()
            with mock.patch.object(dist.release, "CHANGELOG", log), contextlib.redirect_stderr(err):
                self.assertEqual(dist.main(["--out", str(Path(tmp, "out"))]), 1)
            self.assertIn("has no section for", err.getvalue())
            self.assertEqual(os.listdir(tmp), ["CHANGELOG.md"])


class BaseUrlTest(unittest.TestCase):
    def test_bad_urls_are_refused_before_anything_is_written(self):
        cases = [("example.org/tamsel", "no scheme"), ("https://example.org/a b", "blank"),
                 ("ftp://example.org/x", "https, http or file"), ("https:///x", "no host"),
                 ("https://example.org/x?v=1", "query")]
        for url, message in cases:
            with self.subTest(url=url), tempfile.TemporaryDirectory() as tmp:
                err = io.StringIO()
                with contextlib.redirect_stderr(err):
                        code = dist.main(["--base-url", url, "--out", str(Path(tmp, "out"))])
                self.assertEqual(code, 2)
                self.assertIn(message, err.getvalue())
                self.assertEqual(os.listdir(tmp), [])

    def test_a_trailing_slash_is_dropped(self):
        self.assertEqual(dist.parse_base_url("file:///srv/dist/"), "file:///srv/dist")


MAP = """Archive member included to satisfy reference by file (symbol)

/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++.a(eh_alloc.o)
                              core/libcore.a(a.cpp.obj) (__cxa_allocate_exception)
/work/.deps/x86_64-w64-mingw32/lib/libpng16.a(png.c.obj)
                              app.cpp.obj (png_create_read_struct)

Linker script and memory map

LOAD /usr/lib/gcc/x86_64-w64-mingw32/12-posix/../../../../x86_64-w64-mingw32/lib/crt2.o
LOAD app.cpp.obj
"""
NOTICES = {"gcc-runtime": "gcc.txt", "libpng": "png.txt", "mingw-w64-runtime": "mingw.txt",
           "tamsel": "own.txt"}
ALL_NOTICES = list(NOTICES.values())


class LicenceCheckTest(unittest.TestCase):
    def check(self, map_text, licence_files, notices=NOTICES):
        with tempfile.TemporaryDirectory() as tmp:
            Path(tmp, "app.exe.map").write_text(map_text)
            paths = ["app.exe"] + ["licences/" + f for f in licence_files]
            maps = {"app.exe": Path(tmp, "app.exe.map")}
            return licences.check_package("p.zip", paths, "licences/", maps, notices)

    def test_every_linked_library_needs_its_notice(self):
        self.assertEqual(self.check(MAP, ALL_NOTICES), [])
        cases = [
            ("gcc.txt", "links gcc-runtime (/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++.a), but the "
                        "package lacks licences/gcc.txt"),
            ("png.txt", "links libpng (/work/.deps/x86_64-w64-mingw32/lib/libpng16.a)"),
            ("mingw.txt", "links mingw-w64-runtime (/usr/x86_64-w64-mingw32/lib/crt2.o)"),
        ]
        for left_out, message in cases:
            with self.subTest(left_out=left_out):
                problems = self.check(MAP, [f for f in ALL_NOTICES if f != left_out])
                self.assertEqual(len(problems), 1)
                self.assertIn(message, problems[0])

    def test_an_input_no_rule_knows_fails(self):
        problems = self.check(MAP + "LOAD /opt/sdk/libfoo.a(foo.o)\n", ALL_NOTICES)
        self.assertEqual(problems, ["p.zip: app.exe links /opt/sdk/libfoo.a, which no licence rule covers "
                                    "(tools/dist/licences.py)"])

    def test_a_binary_without_its_map_fails(self):
        problems = licences.check_package("p.zip", ["x.dll"], "licences/", {}, NOTICES)
        self.assertIn("no linker map for x.dll", problems[0])


class ReaPackIndexTest(unittest.TestCase):
    def test_older_versions_of_the_package_are_kept_and_its_own_version_replaced(self):
        previous = ('<index version="1"><category name="Extensions"><reapack name="other">'
                    '<version name="0.1.0"/></reapack><reapack name="tamsel"><version name="0.2.0"/>'
                    '<version name="0.3.0"/><version name="0.10.0"><changelog><![CDATA[a <b>]]></changelog>'
                    '</version></reapack></category></index>')
        with tempfile.TemporaryDirectory() as tmp:
            Path(tmp, "old.xml").write_text(previous)
            older = reapack.older_versions(Path(tmp, "old.xml"), "tamsel", "0.3.0")
            date = datetime.date(2026, 1, 2)
            text = reapack.index_xml("tamsel", "d", "0.3.0", "me", date, "new", "w", [], older)
            Path(tmp, "new.xml").write_text(text)
            versions = [(v.get("name"), v.findtext("changelog"))
                        for v in reapack.ElementTree.parse(Path(tmp, "new.xml")).iter("version")]
        self.assertEqual(versions, [("0.3.0", "new"), ("0.10.0", "a <b>"), ("0.2.0", None)])


class ReproducibleZipTest(unittest.TestCase):
    def test_same_files_give_the_same_bytes_whatever_their_times(self):
        with tempfile.TemporaryDirectory() as tmp:
            source = Path(tmp, "a.dll")
            source.write_bytes(b"MZ" * 100)
            zips = []
            for mtime in (1_000_000_000, 1_700_000_000):
                os.utime(source, (mtime, mtime))
                zips.append(Path(tmp, f"{mtime}.zip"))
                files = {"UserPlugins/a.dll": source, "Data/x.txt": b"x"}
                write_zip(zips[-1], files, datetime.date(2026, 1, 2))
            self.assertEqual(zips[0].read_bytes(), zips[1].read_bytes())
            with zipfile.ZipFile(zips[0]) as archive:
                self.assertEqual(archive.namelist(),
                                 ["Data/", "Data/x.txt", "UserPlugins/", "UserPlugins/a.dll"])
                self.assertEqual({i.date_time for i in archive.infolist()}, {(2026, 1, 2, 0, 0, 0)})


if __name__ == "__main__":
    unittest.main()
