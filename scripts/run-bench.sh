#!/usr/bin/env bash
# Runs the viewer benchmark on a generated 200,000-unit share written once under the build
# folder, then the stock ageing figures and the actions over real SMB (a Samba server behind a
# delay proxy) on the same share.
# Extra arguments go to Google Benchmark (for example --benchmark_filter=Loadtree).
set -euo pipefail

build="${1:-build}"
shift || true
bench="$build/bench/viewer_bench"
[[ -x "$bench" ]] || { echo "missing $bench: build with FENNICK_BENCH=ON first" >&2; exit 1; }
"$bench" "$build/bench-share" "$@"
"$build/bench/ageing_figures" "$build/bench-share"
smb="$build/bench/smb_bench"
[[ -x "$smb" ]] || { echo "missing $smb: build with FENNICK_BENCH=ON first" >&2; exit 1; }
"$smb" "$build/bench-share"
