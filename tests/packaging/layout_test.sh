#!/bin/sh
# A build for a distribution: configured with Debian's games layout and no
# tests, with GoogleTest and Google Benchmark out of reach. It must configure,
# make no test or bench targets, keep the desktop's and man's files under
# share/, put the data under share/games and have the program find it there.
#   layout_test.sh <source dir>
set -eu
source=$(cd "$1" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "$@"; exit 1; }

cmake -S "$source" -B "$root/build" -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games -DCMAKE_INSTALL_DATADIR=share/games >"$root/log" 2>&1 ||
  { cat "$root/log"; fail "configuring without the test libraries failed"; }
grep -qF "Data from the program's folder: ../share/games/voltrace2" "$root/log" || { cat "$root/log"; fail "wrong data path"; }
cmake --build "$root/build" --target help >"$root/targets"
for t in voltrace2 voltrace2-scores voltrace2-script; do grep -q "\.\.\. $t\$" "$root/targets" || fail "no $t target"; done
! grep -qE '(tests|bench)$' "$root/targets" || fail "tests or benchmarks are built: $(grep -E '(tests|bench)$' "$root/targets")"

# Where each file goes, as the generated install script says.
install_script=$root/build/cmake_install.cmake
for dest in games share/games/voltrace2/Data share/games/voltrace2/screenshots share/applications share/metainfo \
  share/icons/hicolor share/man/man6 share/man/man8 share/doc/voltrace2 sbin lib/systemd/system; do
  grep -qF "\${CMAKE_INSTALL_PREFIX}/$dest\"" "$install_script" || fail "nothing installed to $dest"
done
! grep -qE 'share/games/(applications|metainfo|icons|man)' "$install_script" || fail "desktop files under share/games"
echo "games layout OK"
