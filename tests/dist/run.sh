#!/usr/bin/env bash
# The release as users get it. Built twice (the same bytes both times), then installed into empty resource
# folders three ways: from its ReaPack index at a file:// address, from its .ReaperPkg by REAPER's rules,
# and from its zip. The simulated host loads each; the end-to-end tour runs against the ReaPack install,
# with the panel from its own zip.    usage: run.sh ROOT   (needs a display, for the tour)
set -euo pipefail
ROOT=$1
OUT=$ROOT/out/e2e-release
DIST=$OUT/dist
rm -rf "$OUT"
mkdir -p "$OUT/reaper-program"

checksums() {
    python3 "$ROOT/tools/dist/dist.py" --base-url "file://$DIST" --out "$DIST" >/dev/null
    (cd "$DIST" && sha256sum -- *)
}
first=$(checksums)
second=$(checksums)
if [ "$first" != "$second" ]; then
    echo "a second run of the release tools wrote other bytes:" >&2
    diff <(echo "$first") <(echo "$second") >&2
    exit 1
fi
echo "release built twice, the same $(wc -l <<<"$first") files"

python3 "$ROOT/tests/dist/install.py" reapack "$DIST/index.xml" win64 "$OUT/reapack"
python3 "$ROOT/tests/dist/install.py" reaperpkg "$DIST"/tamsel-*.ReaperPkg "$OUT/reaperpkg"
unzip -q "$DIST"/tamsel-*-win64.zip -d "$OUT/zip"
unzip -q "$DIST"/kestro-*-windows.zip -d "$OUT/panel"
for way in reaperpkg zip; do
    diff -r "$OUT/reapack/UserPlugins" "$OUT/$way/UserPlugins"
    diff -r "$OUT/reapack/Data/CC121" "$OUT/$way/Data/CC121"
done

# The simulated host loads the plug-in from each folder as REAPER would, with an empty program folder.
export WINEPREFIX="$ROOT/.deps/wine"
host_loads() { # RESOURCE_FOLDER
    local folder program log
    folder=$(winepath -w "$1" 2>/dev/null)
    program=$(winepath -w "$OUT/reaper-program" 2>/dev/null)
    log=$(cd "$ROOT/build/win64/bin" &&
        wine hostsim.exe --resource-folder "$folder" --program-folder "$program" 2>&1) &&
        grep -q '^hostsim: 1 plug-in(s) loaded' <<<"$log" &&
        grep -q 'registered csurf type "CC121"' <<<"$log" && return 0
    echo "$log" >&2
    return 1
}
for way in reaperpkg zip; do
    host_loads "$OUT/$way" || { echo "the host did not load the plug-in from the $way" >&2; exit 1; }
    echo "installed from the $way: the host loads the plug-in and it registers CC121"
done

RESOURCE="$OUT/reapack" PANEL="$OUT/panel/kestro-x64.exe" \
    "$ROOT/tools/demo/tour.sh" "$ROOT" "$ROOT/out/e2e" --strict
