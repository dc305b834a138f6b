"""The release tools: change log, base URL, licence check, ReaPack index and reproducible zips."""
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
import changelog, dist, licences, reapack, reprozip  # noqa: E401, E402


def run_dist(args, tmp):
    err = io.StringIO()
    with contextlib.redirect_stderr(err):
        code = dist.main(args + ["--out", str(Path(tmp, "out"))])
    return code, err.getvalue()


class DistTest(unittest.TestCase):
    def test_changelog_faults_are_named(self):
        releases = changelog.parse("## 0.3.0 - unreleased\n- a\n## 0.2.0 - 2026-12-08\n- b\n")
        self.assertEqual([(r.version, r.date, r.text) for r in releases],
                         [("0.3.0", None, "- a"), ("0.2.0", datetime.date(2026, 12, 8), "- b")])
        cases = [("## 0.3.0\n", "a version heading reads"), ("## 0.3.0 - 2026-02-30\n", "not a date"),
                 ("## 0.2.0 - 2026-01-01\n## 0.3.0 - 2026-02-01\n", "newest first"),
                 ("## 0.3.0 - 2026-02-01\n## 0.2.0 - unreleased\n", "unreleased but not the newest")]
        for text, message in cases:
            with self.subTest(text=text), self.assertRaisesRegex(changelog.ChangelogError, message):
                changelog.parse(text)

    def test_bad_input_stops_dist_before_anything_is_written(self):
        cases = [("example.org/tamsel", "no scheme"), ("https://example.org/a b", "blank"),
                 ("ftp://example.org/x", "https, http or file"), ("https://example.org/x?v=1", "query")]
        for url, message in cases:
            with self.subTest(url=url), tempfile.TemporaryDirectory() as tmp:
                code, err = run_dist(["--base-url", url], tmp)
                self.assertEqual((code, message in err, os.listdir(tmp)), (2, True, []))
        with tempfile.TemporaryDirectory() as tmp:
            Path(tmp, "CHANGELOG.md").write_text("## 0.0.1 - 2020-01-01\n- first\n")
            with mock.patch.object(dist.release, "CHANGELOG", Path(tmp, "CHANGELOG.md")):
                code, err = run_dist([], tmp)
            self.assertEqual((code, "has no section for" in err), (1, True))
            self.assertEqual(os.listdir(tmp), ["CHANGELOG.md"])

    def test_every_linked_library_needs_its_notice(self):
        link_map = ("Archive member included to satisfy reference by file (symbol)\n\n"
                    "/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++.a(eh_alloc.o)\n"
                    "                              core/libcore.a(a.cpp.obj) (__cxa_allocate_exception)\n"
                    "/work/.deps/x86_64-w64-mingw32/lib/libpng16.a(png.c.obj)\n\n"
                    "LOAD /usr/lib/gcc/x86_64-w64-mingw32/12/../../../../x86_64-w64-mingw32/lib/crt2.o\n")
        notices = {"gcc-runtime": "gcc.txt", "libpng": "png.txt", "mingw-w64-runtime": "mingw.txt",
                   "tamsel": "own.txt"}
        cases = [("", None),
                 ("gcc.txt", "links gcc-runtime (/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++.a), "
                             "but the package lacks licences/gcc.txt"),
                 ("png.txt", "links libpng (/work/.deps/x86_64-w64-mingw32/lib/libpng16.a)"),
                 ("mingw.txt", "links mingw-w64-runtime (/usr/x86_64-w64-mingw32/lib/crt2.o)"),
                 ("+LOAD /opt/libfoo.a(foo.o)\n", "links /opt/libfoo.a, which no licence rule covers")]
        for change, message in cases:
            with self.subTest(change=change), tempfile.TemporaryDirectory() as tmp:
                Path(tmp, "app.exe.map").write_text(link_map + change[1:] if change[:1] == "+" else link_map)
                paths = ["app.exe"] + ["licences/" + f for f in notices.values() if f != change]
                problems = licences.check_package("p.zip", paths, "licences/",
                                                  {"app.exe": Path(tmp, "app.exe.map")}, notices)
                self.assertEqual(len(problems), 1 if message else 0, problems)
                self.assertIn(message or "", "".join(problems))

    def test_index_keeps_older_versions_and_replaces_its_own(self):
        with tempfile.TemporaryDirectory() as tmp:
            Path(tmp, "old.xml").write_text(
                '<index><reapack name="other"><version name="0.1.0"/></reapack><reapack name="tamsel">'
                '<version name="0.2.0"/><version name="0.3.0"/><version name="0.10.0"><changelog>'
                '<![CDATA[a <b>]]></changelog></version></reapack></index>')
            older = reapack.older_versions(Path(tmp, "old.xml"), "tamsel", "0.3.0")
            date = datetime.date(2026, 1, 2)
            text = reapack.index_xml("tamsel", "d", "0.3.0", "me", date, "new", "w", [], older)
            Path(tmp, "new.xml").write_text(text)
            versions = [(v.get("name"), v.findtext("changelog"))
                        for v in reapack.ElementTree.parse(Path(tmp, "new.xml")).iter("version")]
        self.assertEqual(versions, [("0.3.0", "new"), ("0.10.0", "a <b>"), ("0.2.0", None)])

    def test_a_zip_of_the_same_files_is_the_same_whatever_their_times(self):
        with tempfile.TemporaryDirectory() as tmp:
            source, zips = Path(tmp, "a.dll"), [Path(tmp, "1.zip"), Path(tmp, "2.zip")]
            source.write_bytes(b"MZ" * 100)
            for mtime, path in zip((1_000_000_000, 1_700_000_000), zips):
                os.utime(source, (mtime, mtime))
                files = {"UserPlugins/a.dll": source, "Data/x": b"x"}
                reprozip.write_zip(path, files, datetime.date(2026, 1, 2))
            self.assertEqual(zips[0].read_bytes(), zips[1].read_bytes())
            with zipfile.ZipFile(zips[0]) as archive:
                names = ("Data/", "Data/x", "UserPlugins/", "UserPlugins/a.dll")
                self.assertEqual([(i.filename, i.date_time) for i in archive.infolist()],
                                 [(n, (2026, 1, 2, 0, 0, 0)) for n in names])


if __name__ == "__main__":
    unittest.main()
