#!/usr/bin/env bash
# Runs the libFuzzer targets one after the other, each on one core, over its committed seeds.
#
#   tests/fuzz/run.sh SECONDS [TARGET...]   fuzz each target for SECONDS; what it finds that is new is kept
#                                           in build/fuzz/corpus/<target>/ for the next run
#   tests/fuzz/run.sh -runs=N [TARGET...]   smoke run: N executions each from the seeds only, fixed seed
#
# The targets must be built (cmake --preset fuzz && cmake --build --preset fuzz). A crash, a sanitizer
# report, a failed property, a hang (10 s; 30 s for PNG) or running out of memory fails the script; the
# input is saved as build/fuzz/artifacts/<target>-crash-* and the log's tail is printed. TAMSEL_FUZZ_BUILD
# overrides the build folder.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${TAMSEL_FUZZ_BUILD:-$root/build/fuzz}
all_targets=(fuzz_config_string fuzz_eq_map fuzz_png fuzz_surface_midi fuzz_panel_engine fuzz_panel_settings)

usage() {
    echo "usage: $0 SECONDS|-runs=N [TARGET...]" >&2
    exit 2
}

[[ $# -ge 1 ]] || usage
limit=$1
shift
if [[ $limit =~ ^-runs=([0-9]+)$ ]]; then
    mode=runs
    budget=(-runs="${BASH_REMATCH[1]}" -seed=1)
elif [[ $limit =~ ^[0-9]+$ ]]; then
    mode=time
    budget=(-max_total_time="$limit")
else
    usage
fi
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=("${all_targets[@]}")

mkdir -p "$build/artifacts" "$build/logs"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
for target in "${targets[@]}"; do
    binary=$build/tests/fuzz/$target
    seeds=$root/tests/fuzz/corpus/$target
    if [[ ! -x $binary ]]; then
        echo "$target: not built ($binary)" >&2
        exit 2
    fi
    # New inputs go to the first folder, never into the committed seeds.
    if [[ $mode == runs ]]; then
        work=$scratch/$target
    else
        work=$build/corpus/$target
    fi
    mkdir -p "$work"
    # The stream targets do a few hundred steps in 1 KiB already; longer inputs only slow them down.
    case $target in
    fuzz_surface_midi | fuzz_panel_engine) max_len=1024 ;;
    *) max_len=4096 ;;
    esac
    options=(-max_len=$max_len -rss_limit_mb=2048 -print_final_stats=1)
    if [[ $target == fuzz_png ]]; then
        # The decoder allocates only for what the compressed data can fill: 4096 bytes inflate to at most
        # about 4.2 MB of image data, which at one bit a pixel makes a surface of about 135 MB. Anything
        # bigger is an over-allocation. Large surfaces still take ASan a while to poison, hence the timeout.
        options+=(-malloc_limit_mb=160 -timeout=30)
    else
        options+=(-timeout=10)
    fi
    log=$build/logs/$target.log
    start=$(date +%s)
    if "$binary" "${budget[@]}" "${options[@]}" -artifact_prefix="$build/artifacts/$target-" \
        "$work" "$seeds" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$target: ok, ${runs:-?} runs in $(($(date +%s) - start)) s"
    else
        failed=1
        echo "$target: FAILED (log: $log)" >&2
        tail -n 40 "$log" >&2
    fi
done
exit $failed
