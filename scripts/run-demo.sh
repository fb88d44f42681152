#!/usr/bin/env bash
# Writes the demo dealer share under the build folder and starts the viewer Fennick on it.
# Without a display ($DISPLAY and $WAYLAND_DISPLAY empty) it shows, through fennick-cli, the
# model tree and the unit list of the first model, then runs the viewer on Qt's offscreen
# platform, saves a picture of the main window with the first model selected and prints its
# path.
set -euo pipefail

build="${1:-build}"
demo="$build/demo-share"
mkdemo="$build/tools/mkdemo/fennick-mkdemo"
cli="$build/cli/fennick-cli"
viewer="$build/viewer/fennick"
picture="$build/fennick-demo.png"

for program in "$mkdemo" "$cli" "$viewer"; do
    [[ -x "$program" ]] || { echo "missing $program: build first ('make build')" >&2; exit 1; }
done

rm -rf "$demo"
"$mkdemo" "$demo"
share=(--ini "$demo/vRMCatalog.ini" --unc-root "$demo")

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$viewer" "${share[@]}"
fi

run_cli() { "$cli" "${share[@]}" "$@"; }

echo
echo "== Model tree =="
tree="$(run_cli tree)"
echo "$tree"

# The first model node: an indented line under a line node "NAME  [CODE]".
read -r code model < <(awk '
    /^[^ ].*\[.*\]$/ { code = $0; sub(/.*\[/, "", code); sub(/\].*/, "", code); next }
    /^    / && code != "" { sub(/^    /, ""); print code, $0; exit }' <<<"$tree")
if [[ -z "${code:-}" ]]; then
    echo "The demo tree has no models." >&2
    exit 1
fi

echo
echo "== Units of line $code, model $model =="
run_cli units "$code" "$model"

echo
echo "== Main window (no display: saved as a picture) =="
QT_QPA_PLATFORM=offscreen "$viewer" "${share[@]}" --screenshot "$picture"
