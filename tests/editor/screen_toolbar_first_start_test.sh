#!/usr/bin/env bash
# The document editor's toolbar symbols on a first start, on a virtual X server read with xwd: "kolumo edit" with a
# fresh home folder (its own HOME and XDG folders) and a font matching that knows no font yet (its configuration
# names an empty font folder and a fresh cache, as on a machine whose caches do not know the installed fonts), and
# then again as on a later start with the machine's font matching. The toolbars' pixels are the same both times and
# show their symbols. The symbols were drawn with the font the matching found by name: on the first start empty boxes
# (cut, copy, paste, undo, tables, ...). Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd 1920x1080 "$@"

# toolbars NAME: kolumo edit with the document editor on the first tab; the toolbars' picture as NAME.png, its
# signature and dark pixels in $signature and $dark.
toolbars() {
  local name=$1 x y w h
  cp "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx"
  mkdir -p "$HOME/.config/ormi"
  ORMI_REGISTRY="$HOME/.config/ormi/registry.xml" document_editor_registry
  KOLUMO_ROOT="$work/root" "$kolumo" edit "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" &
  app=$!
  wait_for 30 find_main || fail "$name: no window within 30 s"
  window_geometry "$main"
  xdotool mousemove --window "$main" 57 42 click 1  # the first tab: the document editor
  sleep 1.5
  # the two toolbars below the tabs
  read -r dark _ < <(python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$name.png" \
    "$((x + 20)),$((y + 60)),$((x + 580)),$((y + 110))") || fail "$name: cannot read the screen"
  signature=$(md5sum <"$work/pictures/$name.png" | cut -d' ' -f1)
  kill "$app"
  wait "$app" 2>/dev/null
  app=""
}
find_main() { main=$(xdotool search --name '^kolumo - Stuetze\.tqx$' 2>/dev/null | head -n1) && [ -n "$main" ]; }

mkdir -p "$work/nofonts" "$work/fccache"
cat >"$work/fonts.conf" <<XML
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>$work/nofonts</dir>
  <cachedir>$work/fccache</cachedir>
</fontconfig>
XML
(
  export HOME="$work/first" XDG_CONFIG_HOME="$work/first/.config" XDG_CACHE_HOME="$work/first/.cache"
  export XDG_DATA_HOME="$work/first/.local/share" FONTCONFIG_FILE="$work/fonts.conf"
  toolbars first-start
  echo "$signature $dark" >"$work/first.txt"
) || exit 1
export HOME="$work/later" XDG_CONFIG_HOME="$work/later/.config" XDG_CACHE_HOME="$work/later/.cache"
export XDG_DATA_HOME="$work/later/.local/share"
toolbars later-start
read -r first firstDark <"$work/first.txt"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
[ "$dark" -gt 500 ] || fail "the toolbars show almost nothing: $dark dark pixels (see later-start.png)"
[ "$first" = "$signature" ] ||
  fail "the toolbars of a first start differ from those of a later one ($firstDark and $dark dark pixels; see first-start.png and later-start.png)"
echo "passed"
