#!/usr/bin/env bash
# The demo on a real display: the panel opens, the terminal shows what the host does as you click, and
# closing the panel ends it.
# usage: play.sh ROOT OUT
set -u
ROOT=$1
OUT=$2
mkdir -p "$OUT"
: >"$OUT/transcript.txt"
# shellcheck source=stack.sh
source "$ROOT/tools/demo/stack.sh"

wineserver -w 2>/dev/null || true
start_host || exit 1
start_panel || { stop_stack; exit 1; }
tail -n +1 -f "$OUT/host.log" &
tail_pid=$!
while kill -0 "$PANEL_PID" 2>/dev/null; do sleep 0.5; done
PANEL_WIN=""
stop_stack
kill "$tail_pid" 2>/dev/null
wait 2>/dev/null
