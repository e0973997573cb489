#!/usr/bin/env bash
# Drives the program in a real window, as a user would: on a virtual X server, with a home folder of
# its own whose desktop folder holds a few JPEGs, it clicks the desktop node of the folder tree and
# then 批量生成缩略图 [到当前文件夹], answers the box the command ends with, and checks every
# thumbnail's name and size.
#
#   RealWindowTest.sh PROGRAM [--screen WIDTHxHEIGHT] [--locale LOCALE] [--no-desktop]
#
# --no-desktop leaves out the desktop folder, so that the tree's top node is the home folder and
# the JPEGs lie there. Exits 0 when everything holds, 77 (a skip) when a tool it needs is missing,
# 1 otherwise. The program and the X server are stopped by their process ids on every way out.
set -euo pipefail

program=$(realpath "$1")
shift
screen=1024x768
locale=C.UTF-8
desktop=Desktop
while (($#)); do
  case $1 in
    --screen) screen=$2; shift 2 ;;
    --locale) locale=$2; shift 2 ;;
    --no-desktop) desktop=; shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

for tool in Xvfb xdotool cjpeg djpeg; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (./test.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=
program_pid=
stop() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 1' INT TERM HUP

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$work/program.log" ]; then sed 's/^/  the program said: /' "$work/program.log" >&2; fi
  exit 1
}

# Waits up to 30 s for a visible window whose name matches $1 and prints its id.
await_window() {
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended while waiting for the window '$1'"
    sleep 0.1
  done
  return 1
}

# A JPEG of $1 x $2 pixels of noise, written to $3 by the codec's own encoder.
make_jpeg() {
  { printf 'P6\n%d %d\n255\n' "$1" "$2"; head -c $(($1 * $2 * 3)) /dev/urandom; } | cjpeg -quality 90 >"$3"
}

home=$work/home
folder=$home${desktop:+/$desktop}
mkdir -p "$folder" "$work/runtime"
chmod 700 "$work/runtime"

# Sources and the width x height of their thumbnails at the width field's 200 pixels. The name in
# GBK bytes, not valid UTF-8, must reach its thumbnail's name unchanged.
gbk=$'\xd5\xd5\xc6\xac' # 照片 in GBK
declare -A expected=(
  ["trip缩图.jpg"]=200x150
  ["Portrait缩图.JPG"]=200x266
  ["small one缩图.jpg"]=200x133
  ["${gbk}缩图.jpg"]=200x150
)
make_jpeg 640 480 "$folder/trip.jpg"
make_jpeg 300 400 "$folder/Portrait.JPG"
make_jpeg 150 100 "$folder/small one.jpg"
make_jpeg 400 300 "$folder/$gbk.jpg"
echo "not a picture" >"$folder/notes.txt"
mkdir "$folder/album"

Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")

(
  cd "$work"
  exec env -u LANGUAGE -u XDG_CONFIG_HOME -u XDG_DESKTOP_DIR HOME="$home" LANG="$locale" \
    LC_ALL="$locale" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb "$program"
) >"$work/program.log" 2>&1 &
program_pid=$!

window=$(await_window '^VelluminV') || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$window")"
screen_width=${screen%x*}
screen_height=${screen#*x}
# The window's outer size is 959 x 646 and its first position centres that on the screen.
expected_x=$(((screen_width - 959) / 2)); ((expected_x > 0)) || expected_x=0
expected_y=$(((screen_height - 646) / 2)); ((expected_y > 0)) || expected_y=0
[ "$X,$Y" = "$expected_x,$expected_y" ] || fail "the window is at $X,$Y, not at $expected_x,$expected_y"
[ "${WIDTH}x$HEIGHT" = 951x616 ] || fail "the window is ${WIDTH}x$HEIGHT, not 951x616"

# The layout's positions, in the window: the folder tree at 6, 31 (its first row the desktop node),
# 批量生成缩略图 [到当前文件夹] at 752, 438 and 148 x 57. Of the button the part on the screen is hit.
xdotool mousemove --sync $((X + 40)) $((Y + 40)) click 1
button_right=$((X + 752 + 148 < screen_width ? X + 752 + 148 : screen_width))
xdotool mousemove --sync $(((X + 752 + button_right) / 2)) $((Y + 438 + 28)) click 1

box=$(await_window '^Corvantis$') || fail "no box appeared after the batch command"
# A loaded machine may map the box before it takes keys, so Return is sent until the box goes.
for _ in $(seq 20); do
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key Return
  sleep 0.5
  xdotool search --onlyvisible --name '^Corvantis$' 2>/dev/null | grep -qx "$box" || break
done
# The command ends with this one box: a second would be a failure reported during the batch.
sleep 1
[ -z "$(xdotool search --onlyvisible --name '^Corvantis$' 2>/dev/null)" ] \
  || fail "more than one box appeared: a file was not processed"
kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"

for name in "${!expected[@]}"; do
  [ -f "$folder/$name" ] || fail "no thumbnail $(printf '%q' "$name")"
  djpeg -outfile "$work/thumbnail.ppm" "$folder/$name"
  size=$(sed -n 2p "$work/thumbnail.ppm" | tr ' ' x)
  [ "$size" = "${expected[$name]}" ] || fail "$(printf '%q' "$name") is $size, not ${expected[$name]}"
done
made=$(find "$folder" -maxdepth 1 -name '*缩图*' | wc -l)
((made == ${#expected[@]})) || fail "$made thumbnails were written, not ${#expected[@]}"
echo "PASS: ${#expected[@]} thumbnails in $(printf '%q' "$folder"), on a $screen screen in the $locale locale"
