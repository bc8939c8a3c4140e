#!/bin/sh
# The real window under a real window manager (openbox on Xvfb): it comes
# back exactly where it was left, launch after launch and after full-screen
# round trips; a place off every display is dropped; the window carries the
# game's class and icon.
#   window_manager_test.sh <build dir>
set -eu
build=$(cd "$1" && pwd)
root=$(mktemp -d)
xpid=""
opid=""
gpid=""
cleanup() {
  [ -n "$gpid" ] && kill -9 "$gpid" 2>/dev/null || true
  [ -n "$opid" ] && kill "$opid" 2>/dev/null || true
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

mkdir -p "$root/game/Data"
for part in Res Music Fonts Icon.png; do cp -r "$build/Data/$part" "$root/game/Data/"; done

display=""
for n in $(seq 71 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
export DISPLAY="$display"
for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
opid=$!
sleep 1

wid=""
launch() {
  # The real X driver, whatever the headless test run asks of SDL elsewhere.
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy "$build/voltrace2" --data "$root/game" --windowed "$@" 2>>"$root/log" &
  gpid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --class voltrace2 | head -n1)
  [ -n "$wid" ] || { echo "no window"; cat "$root/log"; exit 1; }
  sleep 1.5
}
# The client area's place on the screen.
place() {
  xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x "," y}'
}
leave() {
  kill -TERM "$gpid"
  wait "$gpid" || { echo "the game did not end cleanly"; cat "$root/log"; exit 1; }
  gpid=""
}

# The class and icon the desktop entry and the dock look for.
launch
xprop -id "$wid" WM_CLASS | grep -q '"voltrace2", "voltrace2"' || { echo "window class:"; xprop -id "$wid" WM_CLASS; exit 1; }
xprop -id "$wid" _NET_WM_ICON | grep -q 'Icon (64 x 64)' || { echo "no 64 x 64 icon on the window"; exit 1; }
# Put the window somewhere of the player's own, then leave.
xdotool windowmove "$wid" 203 157
sleep 1
first=$(place)
leave

# Five launches: the same place each time.
for i in 1 2 3 4 5; do
  launch
  now=$(place)
  [ "$now" = "$first" ] || { echo "launch $i: the window is at $now, it was left at $first"; exit 1; }
  leave
done

# Five full-screen round trips (F11 twice), then a launch: still there.
launch
for i in 1 2 3 4 5; do
  xdotool key --window "$wid" F11
  sleep 1
  width=$(xwininfo -id "$wid" | awk '/Width:/ {print $NF}')
  [ "$width" = 1280 ] || { echo "F11 did not fill the screen (width $width)"; exit 1; }
  xdotool key --window "$wid" F11
  sleep 1
  now=$(place)
  [ "$now" = "$first" ] || { echo "round trip $i: the window is at $now, it was at $first"; exit 1; }
done
leave
launch
now=$(place)
[ "$now" = "$first" ] || { echo "after the round trips the window starts at $now, not $first"; exit 1; }
leave

# A place off every display (a monitor since unplugged) is dropped.
printf '5000\r\n4000\r\n' >"$root/game/Data/Save/window"
launch
now=$(place)
x=${now%,*}
y=${now#*,}
if [ "$x" -lt 0 ] || [ "$x" -ge 1280 ] || [ "$y" -lt 0 ] || [ "$y" -ge 1024 ]; then
  echo "the window opened off the screen at $now"; exit 1
fi
leave
echo "window manager OK"
