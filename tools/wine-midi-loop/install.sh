#!/usr/bin/env bash
# Installs the loop-back MIDI driver into one Wine prefix: the file into its system32 and the prefix's audio
# driver setting pointed at it (winmm takes MIDI from that one driver). Does nothing when both are already
# in place; never touches any prefix but the one named.
# usage: install.sh PREFIX DRIVER_PATH
set -euo pipefail

die() { printf 'install.sh: %s\n' "$*" >&2; exit 1; }

[ $# -eq 2 ] || { echo "usage: $0 PREFIX DRIVER_PATH" >&2; exit 2; }
prefix=$1
driver=$2
system32="$prefix/drive_c/windows/system32"
[ -d "$system32" ] || die "$prefix is not a Wine prefix (no drive_c/windows/system32)"
[ -f "$driver" ] || die "no driver file at $driver"

# Wine loads the audio driver called NAME from the file wineNAME.drv.
file=$(basename "$driver")
case "$file" in
wine?*.drv) ;;
*) die "the driver file must be named wine<name>.drv, not $file" ;;
esac
name=${file#wine}
name=${name%.drv}

# The value as the prefix last saved it: the line after the key's header, until the next blank line.
saved_audio() {
    [ -f "$prefix/user.reg" ] || return 0
    awk 'index($0, "[Software\\\\Wine\\\\Drivers]") == 1 { on = 1; next }
         on && /^$/ { exit }
         on && index($0, "\"Audio\"=") == 1 { print; exit }' "$prefix/user.reg" | tr -d '\r'
}

if cmp -s "$driver" "$system32/$file" && [ "$(saved_audio)" = "\"Audio\"=\"$name\"" ]; then
    echo "wine-midi-loop: already installed in $prefix"
    exit 0
fi

cp "$driver" "$system32/.$file.tmp"
mv -f "$system32/.$file.tmp" "$system32/$file"
export WINEPREFIX="$prefix"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=d}"
export WINEDEBUG="${WINEDEBUG:--all}"
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d "$name" /f >/dev/null
# Let the server write the registry out, so the next check (and every new process) sees it.
wineserver -w
echo "wine-midi-loop: installed $file into $prefix (audio driver \"$name\")"
