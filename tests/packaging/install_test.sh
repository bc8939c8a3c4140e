#!/bin/sh
# Installs the built game into a throw-away prefix, checks the desktop files
# with the desktop's own validators, and starts the installed game from
# another folder: it must find its data and save only in the player's data
# folder, never in the install tree.
#   install_test.sh <build dir> <app id>
set -eu
build=$1
id=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null
for size in 16 24 32 48 64 128 256 512; do
  test -s "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" || { echo "no ${size}px icon"; exit 1; }
done

test -s "$prefix/share/man/man6/voltrace2.6.gz" || { echo "no manual page"; exit 1; }
test -s "$prefix/share/voltrace2/screenshots/voltrace2-menu.png" || { echo "no screenshot"; exit 1; }
# The installed game ships no fonts: it takes the system's.
test ! -e "$prefix/share/voltrace2/Data/Fonts" || { echo "fonts installed"; exit 1; }

# Runs the installed game for two seconds from a folder with no Data, under
# SDL's dummy drivers. It must still be running when stopped: a game that
# cannot find its archives ends at once.
run_game() {
  mkdir -p "$root/elsewhere"
  set +e
  (cd "$root/elsewhere" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$1" \
    timeout -k 1 2 "$prefix/bin/voltrace2" 2>"$root/stderr")
  rc=$?
  set -e
  if [ $rc -ne 124 ] && [ $rc -ne 137 ]; then
    echo "the installed game ended by itself (exit $rc):"; cat "$root/stderr"; exit 1
  fi
}
expect_line() {
  grep -qF "$1" "$root/stderr" || { echo "expected \"$1\" on stderr, got:"; cat "$root/stderr"; exit 1; }
}

game_saves=$prefix/share/voltrace2/Data/Save

# 1. An installed game saves in the player's data folder even where its own
# tree could be written (as root can), and never writes that tree.
run_game "$root/xdg"
expect_line "voltrace2: saving in $root/xdg/voltrace2/Save"
test -d "$root/xdg/voltrace2/Save" || { echo "no save folder in the player's data folder"; exit 1; }
test ! -e "$game_saves" || { echo "the install tree was written: $game_saves"; exit 1; }
test -s "$prefix/share/voltrace2/Data/Icon.png" || { echo "no window icon installed"; exit 1; }

# 2. The player's data folder cannot be written either (it lies under a
# plain file): the game plays on, keeps nothing, and says so.
: >"$root/nofolder"
run_game "$root/nofolder/xdg"
expect_line "nowhere to save"
test ! -e "$game_saves" || { echo "the install tree was written: $game_saves"; exit 1; }

# 3. The system's fonts are what the game draws with: with them all there it
# names no package; on a machine with none of them (fontconfig sees only
# DejaVu) it names each missing package once, and plays on with DejaVu.
! grep -q "install the Debian package" "$root/stderr" || { cat "$root/stderr"; exit 1; }
cat >"$root/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$root/fontcache</cachedir>
</fontconfig>
EOF
export FONTCONFIG_FILE="$root/fonts.conf"
run_game "$root/xdg"
unset FONTCONFIG_FILE
for package in fonts-jura fonts-paratype fonts-liberation2; do
  n=$(grep -c "install the Debian package $package " "$root/stderr" || true)
  [ "$n" -eq 1 ] || { echo "$package named $n times, not once:"; cat "$root/stderr"; exit 1; }
done
echo "installed game OK"
