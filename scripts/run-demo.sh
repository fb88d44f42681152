#!/usr/bin/env bash
# Writes the demo dealer share under the build folder and shows, through fennick-cli, its model
# tree and the unit list of its first model (until the main window exists).
set -euo pipefail

build="${1:-build}"
demo="$build/demo-share"
mkdemo="$build/tools/mkdemo/mkdemo"
cli="$build/cli/fennick-cli"

for program in "$mkdemo" "$cli"; do
    [[ -x "$program" ]] || { echo "missing $program: build first ('make build')" >&2; exit 1; }
done

rm -rf "$demo"
"$mkdemo" "$demo"
run_cli() { "$cli" --ini "$demo/vRMCatalog.ini" --unc-root "$demo" "$@"; }

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
