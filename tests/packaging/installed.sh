#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and runs the programs from the installed files:
# the version, the demo share writer and the demo share's model tree, and the viewer's --help
# and --version without a display. Every installed piece must be in its place, and no installed
# binary may point back into the build folder.
#
# usage: installed.sh BUILD VERSION BINDIR LIBDIR INCLUDEDIR DATADIR MANDIR DESIGNER_PLUGIN_DIR
#        LIBEXECDIR
set -euo pipefail
build="$1" version="$2"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
bin="$stage$3" lib="$stage$4" include="$stage$5" data="$stage$6" man="$stage$7" plugins="$stage$8"
reader="$stage$9/fennick/fennick-smb-reader"

fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$stage" cmake --install "$build" >/dev/null

app=org.fennick.Fennick
for file in "$bin/fennick" "$bin/fennick-cli" "$bin/fennick-mkdemo" \
        "$lib/libvGlintbar.so.1.0.0.4" "$include/vGlintbar/glintbar.h" \
        "$include/vGlintbar/checkboxkv.h" "$plugins/libvGlintbarDesigner.so" \
        "$data/applications/$app.desktop" "$data/metainfo/$app.metainfo.xml" \
        "$data/icons/hicolor/scalable/apps/$app.svg" "$data/icons/hicolor/48x48/apps/$app.png" \
        "$man/man1/fennick.1" "$man/man1/fennick-cli.1" "$man/man1/fennick-mkdemo.1" "$reader"; do
    [[ -f "$file" ]] || fail "not installed: ${file#"$stage"}"
done
[[ "$(readlink "$lib/libvGlintbar.so.1")" == libvGlintbar.so.1.0.0.4 ]] || fail "soname link"
[[ "$(readlink "$lib/libvGlintbar.so")" == libvGlintbar.so.1 ]] || fail "development link"
for program in "$bin"/* "$reader" "$lib"/libvGlintbar.so.1.0.0.4 "$plugins"/libvGlintbarDesigner.so; do
    if readelf -d "$program" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
        fail "${program#"$stage"} loads libraries from the build folder"
    fi
done

expect() {  # expect WHAT ACTUAL WANTED
    [[ "$2" == "$3" ]] || fail "$1: got '$2', want '$3'"
}
expect "fennick-cli --version" "$("$bin/fennick-cli" --version)" "fennick-cli $version"
expect "fennick-smb-reader --version" "$("$reader" --version)" "fennick-smb-reader $version"
# No display: a QApplication made before these answers would end the program.
headless=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
expect "fennick --version" "$("${headless[@]}" "$bin/fennick" --version)" "fennick $version"
expect "fennick --help" "$("${headless[@]}" "$bin/fennick" --help | head -n 1)" \
    "usage: fennick [OPTION...] [CALLER[,LINE,MODEL]]"

"$bin/fennick-mkdemo" --today 2025-06-11 "$stage/demo" >/dev/null
tree="$("$bin/fennick-cli" --ini "$stage/demo/vRMCatalog.ini" --unc-root "$stage/demo" tree)"
lines="$(grep -c '^[^ ].*  \[[A-Z0-9]*\]$' <<<"$tree" || true)"
models="$(grep -c '^    [^ ]' <<<"$tree" || true)"
(( lines > 0 && models > 0 )) || fail "the demo tree from the installed files: '$tree'"
echo "installed into $stage: $lines lines, $models models in the demo tree"
