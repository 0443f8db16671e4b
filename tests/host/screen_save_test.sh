#!/usr/bin/env bash
# Saving from "kolumo edit" on a virtual X server, driven by real X events, when the save cannot be made and when
# another program saved the position meanwhile:
# 1. the position on a small file system that is full: OK shows a box that says why, the window stays open with the
#    remark typed, and once room is made OK saves it;
# 2. a calculation of the position that ends while the window is open: OK asks before it replaces that; "Nein" keeps
#    the calculated file and the window, "Ja" saves the remark;
# 3. a calculation that read the position before OK and would save it after (held there by a shim): it says so and
#    ends with 1, and the remark saved with OK stays;
# 4. another program that holds the position's lock for good (a save stopped between its comparison and its rename):
#    OK waits 3 s, then says so in a box, the window stays with the remark, and once the lock is let go OK saves it;
# 5. "kolumo --answer ok edit" whose OK meets the question about a position changed on disk: it ends with 2 and says
#    why, instead of taking OK as "Nein" and asking again at every OK.
# The server's pixels of the program's windows equal the program's own picture after each step. Exit 77 (skipped)
# without Xvfb or xdotool, or when no small file system can be mounted and no folder made read-only.
set -u
shim=$4
source "$(dirname "$0")/../support/xvfb.sh"
need_xwd

disk="$work/disk"
calc=""
holder=""
finish() {
  [ -n "$calc" ] && kill -9 "$calc" 2>/dev/null
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  chmod -R u+w "$disk" 2>/dev/null
  mountpoint -q "$disk" 2>/dev/null && umount "$disk"
  cleanup
}
trap finish EXIT

example_screen --registry 1920x1080 "$@"

# Points in the window's own coordinates at the dialog font: the annotation line at y 457, OK at x 877.
# box_click WHAT DX: a click DX pixels right of the middle of the box in $box, in its row of buttons.
box_click() {
  local x y w h
  window_geometry "$box"
  xdotool mousemove --window "$box" $((w / 2 + $2)) $((h - 40)) click 1 || fail "$1: xdotool cannot click"
}
box_gone() { wait_for 10 sh -c "! xdotool search --name '^kolumo\$' >/dev/null 2>&1"; }
# edit FILE: "kolumo edit" of FILE as $app, its window in $main.
edit() {
  KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$1" >"$work/out" 2>"$work/err" &
  app=$!
  wait_for 20 find_main || fail "no window within 20 s"
}
remark() {
  click 300 457
  xdotool type --window "$main" --delay 15 "$1" || fail "xdotool cannot type"
}
# ended STATUS: "kolumo edit" ($app) has ended with STATUS.
ended() {
  wait_for 60 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo edit did not end"
  wait "$app"
  local status=$?
  app=""
  [ $status -eq "$1" ] || fail "kolumo edit ended with $status, not $1: $(cat "$work/err")"
}
# saved FILE TEXT: the remark TEXT is the system tab's annotation in FILE.
saved() { grep -q "Anmerkung_2=\"$2\"" "$1" || fail "the remark \"$2\" is not in $1"; }

# 1. A full file system: the system's reason in a box, the window and the remark kept, saved once there is room.
full_disk=""
mkdir -p "$disk"
if mount -t tmpfs -o size=1m tmpfs "$disk" 2>/dev/null; then
  cp "$data/examples/Stuetze.tqx" "$disk/"
  dd if=/dev/zero of="$disk/voll" bs=4k 2>/dev/null
  full_disk="No space left on device"
elif [ "$(id -u)" -ne 0 ]; then
  cp "$data/examples/Stuetze.tqx" "$disk/"
  chmod a-w "$disk"
  full_disk="Permission denied"
fi
if [ -n "$full_disk" ]; then
  before=$(md5sum <"$disk/Stuetze.tqx")
  edit "$disk/Stuetze.tqx"
  remark "Kein Platz"
  click 877 457
  wait_for 30 find_box || fail "no box after OK on a full disk"
  agree full-disk-box
  box_click "OK" 0
  box_gone || fail "the box stays after a click on its OK"
  kill -0 "$app" 2>/dev/null || fail "kolumo ended after the failed save"
  agree full-disk-kept
  [ "$(md5sum <"$disk/Stuetze.tqx")" = "$before" ] || fail "the failed save changed the position"
  rm -f "$disk/voll"
  chmod u+w "$disk"
  click 877 457
  ended 0
  saved "$disk/Stuetze.tqx" "Kein Platz"
  ls -A "$disk" | grep -qv '^Stuetze\.tqx$' && fail "left beside the position: $(ls -A "$disk")"
fi

# 2. A calculation that ended while the window was open: OK asks; "Nein" keeps both, "Ja" saves the remark.
edit "$work/Stuetze.tqx"
remark "Nach der Rechnung"
env -u DISPLAY KOLUMO_ROOT="$work/root" "$kolumo" calc "$work/Stuetze.tqx" >/dev/null 2>"$work/calc.err" || fail "the calculation failed: $(cat "$work/calc.err")"
cp "$work/Stuetze.tqx" "$work/calculated.tqx"
click 877 457
wait_for 30 find_box || fail "OK did not ask before replacing the calculated position"
agree replace-question
box_click "Nein" 46
box_gone || fail "the question ignored a click on \"Nein\""
kill -0 "$app" 2>/dev/null || fail "kolumo ended after \"Nein\""
agree replace-refused
cmp -s "$work/Stuetze.tqx" "$work/calculated.tqx" || fail "\"Nein\" replaced the calculated position"
click 877 457
wait_for 30 find_box || fail "OK did not ask again"
box_click "Ja" -49
ended 0
saved "$work/Stuetze.tqx" "Nach der Rechnung"

# 3. A calculation held between its reading and its save while OK saves the remark: it keeps the remark.
cp "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx"
# a simple command, so that $! is the program's own id
env -u DISPLAY KOLUMO_ROOT="$work/root" LD_PRELOAD="$shim" KOLUMO_TEST_STOP_BEFORE_LOCK=/Stuetze.tqx \
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
  "$kolumo" calc "$work/Stuetze.tqx" >/dev/null 2>"$work/calc.err" &
calc=$!
held() { [ "$(cut -d' ' -f3 "/proc/$calc/stat" 2>/dev/null)" = T ]; }
wait_for 120 held || fail "the calculation did not come to its save: $(cat "$work/calc.err")"
edit "$work/Stuetze.tqx"
remark "Vor der Rechnung"
click 877 457
find_box && fail "OK asked about a position nobody changed"
ended 0
saved "$work/Stuetze.tqx" "Vor der Rechnung"
kill -CONT "$calc"
wait "$calc"
status=$?
calc=""
[ $status -eq 1 ] || fail "the held calculation ended with $status, not 1: $(cat "$work/calc.err")"
grep -q "the position was changed on disk while it was calculated" "$work/calc.err" ||
  fail "the calculation did not say why it saved nothing: $(cat "$work/calc.err")"
saved "$work/Stuetze.tqx" "Vor der Rechnung"

# 4. The position's lock held by another program: a box after the wait of a save, the window kept; saved once let go.
cp "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx"
edit "$work/Stuetze.tqx"
remark "Gesperrt"
python3 -c 'import fcntl, sys, time
held = open(sys.argv[1])
fcntl.flock(held, fcntl.LOCK_EX)
print("held", flush=True)
time.sleep(600)' "$work/Stuetze.tqx" >"$work/held" &
holder=$!
wait_for 10 grep -q held "$work/held" || fail "the test could not take the position's lock"
before=$(md5sum <"$work/Stuetze.tqx")
okAt=$SECONDS
click 877 457
wait_for 15 find_box || fail "no box within 15 s of OK while another program holds the position's lock"
[ $((SECONDS - okAt)) -ge 2 ] || fail "OK did not wait for the lock"
agree locked-box
box_click "OK" 0
box_gone || fail "the box stays after a click on its OK"
kill -0 "$app" 2>/dev/null || fail "kolumo ended after the save that found the position locked"
agree locked-kept
[ "$(md5sum <"$work/Stuetze.tqx")" = "$before" ] || fail "the save changed the locked position"
kill "$holder"
wait "$holder" 2>/dev/null
holder=""
click 877 457
ended 0
saved "$work/Stuetze.tqx" "Gesperrt"

# 5. Answers given beforehand: OK is no answer to the question about a changed position, and the run ends with 2.
cp "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx"
KOLUMO_ROOT="$work/root" "$kolumo" --answer ok edit "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_main || fail "no window within 20 s"
remark "Beantwortet"
echo >>"$work/Stuetze.tqx"
cp "$work/Stuetze.tqx" "$work/changed.tqx"
click 877 457
ended 2
grep -q "^kolumo: --answer gives OK, which the message box does not offer (Yes/No); the run ends here: Die Position wurde seit dem Öffnen" "$work/err" ||
  fail "the run did not say why it ended: $(cat "$work/err")"
cmp -s "$work/Stuetze.tqx" "$work/changed.tqx" || fail "the run that ended at the question changed the position"

[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
if [ -z "$full_disk" ]; then
  echo "no small file system could be mounted and no folder made read-only: the full disk was not tried; skipped"
  exit 77
fi
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
