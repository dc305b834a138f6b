# Shared by the demo and the end-to-end tests: the simulated host with the real plug-in and the real panel,
# talking over the loop-back MIDI ports of the project's Wine prefix, and ways to look at and click the
# panel. Source it; it expects ROOT, OUT and a display. RESOURCE may name a REAPER resource folder to use
# and PANEL the panel program (the release installed, as the end-to-end tests do); by default the build's.

BIN="$ROOT/build/win64/bin"
RESOURCE="${RESOURCE:-$ROOT/build/win64/resource}"
PANEL="${PANEL:-$BIN/kestro.exe}"
export WINEPREFIX="${WINEPREFIX:-$ROOT/.deps/wine}"
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d;winepulse.drv=d;winealsa.drv=d"
export WINEDEBUG="${WINEDEBUG:--all}"

# The host reads from Loop 1 and writes to Loop 2; the panel the other way round. RtMidi appends the port
# index to a port's name, so the panel's settings hold "Loop 1 0" and "Loop 2 1".
HOST_IN="Loop 1"
HOST_OUT="Loop 2"
PANEL_OUT="Loop 1 0"
PANEL_IN="Loop 2 1"

HOST_PID=""
PANEL_PID=""
PANEL_WIN=""

stack_log() { printf '%s\n' "$*" >>"$OUT/transcript.txt"; }

# The panel's registry settings: the loop ports, the window at the top-left corner, client detection on.
panel_settings() {
    local key='HKCU\Software\Brackwell\kestro'
    wine reg add "$key" /v midi_in /t REG_SZ /d "$PANEL_IN" /f >/dev/null 2>&1
    wine reg add "$key" /v midi_out /t REG_SZ /d "$PANEL_OUT" /f >/dev/null 2>&1
    wine reg add "$key" /v x /t REG_SZ /d 0 /f >/dev/null 2>&1
    wine reg add "$key" /v y /t REG_SZ /d 0 /f >/dev/null 2>&1
    wine reg add "$key" /v deactivate_sensing /t REG_SZ /d 0 /f >/dev/null 2>&1
    wine reg add "$key" /v always_on_top /t REG_SZ /d 0 /f >/dev/null 2>&1
}

# The host finds the plug-in and the EQ maps in the resource folder, as REAPER does; its program folder is
# an empty one, so nothing is found there by accident.
start_host() {
    mkdir -p "$OUT/reaper-program"
    rm -f "$OUT/stop" "$OUT/report" "$OUT/control" "$OUT/ready-times"
    (cd "$BIN" && exec wine hostsim.exe --run --demo-project --in "$HOST_IN" --out "$HOST_OUT" \
        --resource-folder "$(winepath -w "$RESOURCE" 2>/dev/null)" \
        --ready-log "$(winepath -w "$OUT/ready-times" 2>/dev/null)" \
        --program-folder "$(winepath -w "$OUT/reaper-program" 2>/dev/null)" \
        --stop-file "$(winepath -w "$OUT/stop" 2>/dev/null)" \
        --report-file "$(winepath -w "$OUT/report" 2>/dev/null)" \
        --control-file "$(winepath -w "$OUT/control" 2>/dev/null)") >"$OUT/host.log" 2>&1 &
    HOST_PID=$!
    # The host prints its surface once the ports are open.
    local i
    for i in $(seq 1 100); do
        grep -q '^hostsim: surface ' "$OUT/host.log" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "the simulated host did not start:" >&2
    cat "$OUT/host.log" >&2
    return 1
}

start_panel() {
    panel_settings
    (cd "$(dirname "$PANEL")" && exec wine "$(basename "$PANEL")") >"$OUT/panel.log" 2>&1 &
    PANEL_PID=$!
    PANEL_WIN=$(timeout 30 xdotool search --sync --name '^Kestro$' | head -n 1)
    [ -n "$PANEL_WIN" ] || { echo "the panel window did not appear" >&2; return 1; }
    sleep 1
}

stop_stack() {
    [ -n "$PANEL_WIN" ] && xdotool key --window "$PANEL_WIN" alt+F4 >/dev/null 2>&1
    : >"$OUT/stop"
    local i
    for i in $(seq 1 50); do
        kill -0 "$HOST_PID" 2>/dev/null || break
        sleep 0.1
    done
    wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
}

# Client coordinates of the panel are window coordinates: with no window manager, Wine's X window is the
# client area itself.
click() { xdotool mousemove --window "$PANEL_WIN" "$1" "$2" click 1; sleep 0.3; }
right_click() { xdotool mousemove --window "$PANEL_WIN" "$1" "$2" click 3; sleep 0.3; }
drag() { # x y dx dy
    xdotool mousemove --window "$PANEL_WIN" "$1" "$2" mousedown 1
    local steps=8 i
    for i in $(seq 1 $steps); do
        xdotool mousemove --window "$PANEL_WIN" $(($1 + $3 * i / steps)) $(($2 + $4 * i / steps))
        sleep 0.05
    done
    xdotool mouseup 1
    sleep 0.3
}

shot() { import -window "$PANEL_WIN" "$OUT/$1.png"; }

# The colour at client (x, y) as "r,g,b".
pixel() {
    import -window "$PANEL_WIN" -crop "1x1+$1+$2" +repage -depth 8 txt:- 2>/dev/null |
        sed -n '2s/.*srgba\{0,1\}(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

# True when the lamp at (x, y) is clearly brighter than the dark body of the panel.
lit_at() {
    local rgb r g b
    rgb=$(pixel "$1" "$2")
    IFS=, read -r r g b <<<"$rgb"
    [ -n "$r" ] && [ $((r + g + b)) -gt 330 ]
}

# Has the host carry out its scripted-control lines ("away Loop 1", "action CC121: Reconnect controller"):
# the file appears whole (renamed into place) and is gone once the host has read it.
control() {
    printf '%s\n' "$@" >"$OUT/control.tmp"
    mv "$OUT/control.tmp" "$OUT/control"
    local i
    for i in $(seq 1 50); do
        [ -e "$OUT/control" ] || return 0
        sleep 0.1
    done
    return 1
}

# Milliseconds until the lamp at ($1, $2) is lit or dark, as $4 says; nothing when it is not so within $3
# seconds.
ms_until() {
    local start
    start=$(date +%s%3N)
    while :; do
        if lit_at "$1" "$2"; then [ "$4" = lit ] && break; elif [ "$4" = dark ]; then break; fi
        [ $(($(date +%s%3N) - start)) -ge $(($3 * 1000)) ] && return 0
        sleep 0.1
    done
    echo $(($(date +%s%3N) - start))
}

# Lit at four looks 0.2 s apart: a light that blinks (500 ms on, 500 ms off) is dark at one of them.
steady_lit() {
    local i
    for i in 1 2 3 4; do
        lit_at "$1" "$2" || return 1
        [ $i -eq 4 ] || sleep 0.2
    done
}

# Waits up to $2 seconds for a host log line matching $1.
host_did() {
    local i
    for i in $(seq 1 $((${2:-5} * 10))); do
        grep -q -- "$1" "$OUT/host.log" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}
