#!/usr/bin/env bash
# Checks a Linux build of the plug-in for what REAPER users' systems need: exactly the two exports REAPER
# looks up, and no symbol version newer than Ubuntu 20.04 LTS and Debian 11 have (glibc 2.31, the C++
# library of GCC 10). Prints the newest version it needs from each library.
# usage: check-plugin.sh NM OBJDUMP PLUGIN.so
set -euo pipefail
NM=$1
OBJDUMP=$2
SO=$3

declare -A LIMIT=([GLIBC]=2.31 [GLIBCXX]=3.4.28 [CXXABI]=1.3.12 [GCC]=10.0.0)
status=0

exports=$("$NM" -D --defined-only "$SO" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$exports" != "ReaperPluginEntry SWELL_dllMain " ]; then
    echo "FAIL exports: $exports(want exactly ReaperPluginEntry SWELL_dllMain)"
    status=1
else
    echo "ok   exports: ReaperPluginEntry SWELL_dllMain"
fi

# "a.b.c" <= "x.y.z", compared part by part.
version_le() { [ "$(printf '%s\n%s\n' "$1" "$2" | sort -V | head -n 1)" = "$1" ]; }

versions=$("$OBJDUMP" -T "$SO" | grep -oE '\((GLIBC|GLIBCXX|CXXABI|GCC)_[0-9.]+\)' | tr -d '()' | sort -u)
for lib in GLIBC GLIBCXX CXXABI GCC; do
    newest=$(grep "^${lib}_" <<<"$versions" | sed "s/^${lib}_//" | sort -V | tail -n 1 || true)
    [ -n "$newest" ] || continue
    if version_le "$newest" "${LIMIT[$lib]}"; then
        echo "ok   ${lib}_$newest (at most ${lib}_${LIMIT[$lib]})"
    else
        echo "FAIL ${lib}_$newest is newer than ${lib}_${LIMIT[$lib]}; needed by:"
        "$OBJDUMP" -T "$SO" | grep -E "\(${lib}_[0-9.]+\)" | while read -r line; do
            v=$(grep -oE "${lib}_[0-9.]+" <<<"$line" | sed "s/^${lib}_//")
            version_le "$v" "${LIMIT[$lib]}" || echo "       ${line##* }"
        done
        status=1
    fi
done
exit $status
