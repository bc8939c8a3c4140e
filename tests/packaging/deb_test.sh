#!/bin/bash
# The Debian packages as a distribution would take them: made from the built
# tree (nothing is built again), checked by lintian, installed on this
# machine with apt, the installed game started headless and the installed
# score service on loopback, then purged, leaving the machine as it was.
# Needs root (as CI runs the tests); skipped (77) otherwise.
#   deb_test.sh <build dir> <app id>
set -eu
build=$(cd "$1" && pwd)
id=$2
here=$(cd "$(dirname "$0")" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing packages needs root"; exit 77; }
for tool in apt-get lintian systemd-analyze appstreamcli man; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
for p in voltrace2 voltrace2-scores; do
  if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q installed; then
    echo "$p is already installed here; the test would remove it"; exit 1
  fi
done

root=$(mktemp -d)
gpid=""
spid=""
apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=300 "$@"
}
# What the packages may touch, listed before and after.
machine_state() {
  dpkg-query -W -f='${Package} ${Status}\n'
  find /etc /usr/games /usr/sbin /usr/share/voltrace2 /usr/share/games /usr/share/applications /usr/share/metainfo \
    /usr/lib/systemd/system /var/lib/systemd/deb-systemd-helper-enabled /var/lib/voltrace2-scores /var/lib/private \
    2>/dev/null | grep -v '^/etc/ld.so.cache$' | LC_ALL=C sort
}
machine_state >"$root/before"
dpkg-query -W -f='${Package}\n' | LC_ALL=C sort >"$root/packages-before"
cleanup() {
  [ -n "$gpid" ] && kill -9 "$gpid" 2>/dev/null || true
  [ -n "$spid" ] && kill -9 "$spid" 2>/dev/null || true
  # Whatever the test installed goes again, dependencies apt brought included.
  added=$(dpkg-query -W -f='${Package}\n' | LC_ALL=C sort | comm -13 "$root/packages-before" -)
  [ -z "$added" ] || apt_get purge $added >/dev/null 2>&1 || true
  rm -rf "$root"
}
trap cleanup EXIT
fail() { echo "$@"; exit 1; }

# 1. The packages, and what Debian's checker says of them.
sh "$here/../../packaging/make-debs.sh" "$build" "$root/debs" >/dev/null 2>"$root/make.log" ||
  { cat "$root/make.log"; fail "making the packages failed"; }
ls -l "$root/debs"
for p in voltrace2 voltrace2-scores; do
  echo "$p: $(dpkg-deb -f "$root/debs/${p}_"*.deb Depends)"
done
# lintian leaves scratch files in the temporary folder; they go with ours.
TMPDIR="$root" lintian --allow-root --info --fail-on error "$root"/debs/*.deb "$root"/debs/*.ddeb >"$root/lintian" 2>&1 ||
  { cat "$root/lintian"; fail "lintian finds errors"; }
echo "lintian:"; cat "$root/lintian"
depends=$(dpkg-deb -f "$root/debs/voltrace2_"*.deb Depends)
for d in libcurl4 fonts-jura fonts-paratype fonts-liberation2 libsdl2-2.0-0; do
  echo "$depends" | grep -q "\b$d\b" || fail "voltrace2 does not depend on $d"
done
dpkg-deb -f "$root/debs/voltrace2-scores_"*.deb Depends | grep -q libmicrohttpd || fail "voltrace2-scores lacks libmicrohttpd"
! dpkg-deb -c "$root/debs/voltrace2_"*.deb | grep -qiE '\.(ttf|otf)$' || fail "the game's package ships fonts"

# 2. Installed with apt, where the desktop and man find each part.
apt_get install "$root"/debs/voltrace2_*.deb "$root"/debs/voltrace2-scores_*.deb >"$root/apt.log" 2>&1 ||
  { cat "$root/apt.log"; fail "apt-get install failed"; }
for f in /usr/games/voltrace2 /usr/sbin/voltrace2-scores; do
  file -b "$f" | grep -q ', stripped' || fail "$f is not stripped"
done
man -w 6 voltrace2 >/dev/null || fail "man does not find voltrace2(6)"
man -w 8 voltrace2-scores >/dev/null || fail "man does not find voltrace2-scores(8)"
test -s "/usr/share/applications/$id.desktop" || fail "no desktop entry"
test -s /usr/share/icons/hicolor/256x256/apps/"$id".png || fail "no icon"
for shot in menu race; do test -s /usr/share/voltrace2/screenshots/voltrace2-$shot.png || fail "no $shot screenshot"; done
appstreamcli validate --pedantic --no-net "/usr/share/metainfo/$id.metainfo.xml" >"$root/appstream" 2>&1 ||
  { cat "$root/appstream"; fail "the metainfo is not valid"; }
echo "appstream:"; cat "$root/appstream"
! grep -q '^[EW]:' "$root/appstream" || fail "the metainfo has warnings"
unit=/usr/lib/systemd/system/voltrace2-scores.service
systemd-analyze verify "$unit" >"$root/verify" 2>&1 || { cat "$root/verify"; fail "systemd-analyze verify fails"; }
echo "systemd-analyze verify: $(cat "$root/verify")"
grep -q '^StateDirectory=voltrace2-scores$' "$unit" || fail "no state folder"
grep -q -- '--db /var/lib/voltrace2-scores/scores.db' "$unit" || fail "the unit's table is not in its state folder"

# 3. The installed game, headless, from elsewhere: it says where it saves,
# plays on until it is told to end, and ends cleanly with its saves.
mkdir -p "$root/elsewhere"
(cd "$root/elsewhere" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$root/xdg" \
  exec /usr/games/voltrace2 2>"$root/game.err") &
gpid=$!
sleep 3
kill -0 "$gpid" 2>/dev/null || { cat "$root/game.err"; fail "the installed game ended by itself"; }
kill -TERM "$gpid"
rc=0
wait "$gpid" || rc=$?
gpid=""
[ "$rc" -eq 0 ] || { cat "$root/game.err"; fail "the game ended with $rc on SIGTERM"; }
grep -qF "voltrace2: saving in $root/xdg/voltrace2/Save" "$root/game.err" || { cat "$root/game.err"; fail "no save line"; }
test -s "$root/xdg/voltrace2/Save/options" || fail "no options saved on SIGTERM"
! grep -q 'install the Debian package' "$root/game.err" || { cat "$root/game.err"; fail "fonts missing"; }
test ! -e /usr/share/voltrace2/Data/Save || fail "the game wrote its install tree"

# 4. The installed service on a free loopback port (systemd is not running
# the machine here, so the program is started as its unit would).
/usr/sbin/voltrace2-scores --listen 127.0.0.1:0 --db "$root/scores.db" >"$root/scores.out" 2>"$root/scores.err" &
spid=$!
port=""
for _ in $(seq 50); do
  port=$(sed -n 's|^voltrace2-scores: http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$root/scores.out")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { cat "$root/scores.err"; fail "the service did not start"; }
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'GET /health HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n' >&3
status=$(head -n1 <&3 | tr -d '\r')
exec 3<&-
[ "${status#HTTP/1.1 }" != "$status" ] && [ "${status#HTTP/1.1 200}" != "$status" ] ||
  fail "/health answered \"$status\""
kill -TERM "$spid"
rc=0
wait "$spid" || rc=$?
spid=""
[ "$rc" -eq 0 ] || { cat "$root/scores.err"; fail "the service ended with $rc on SIGTERM"; }

# 5. Purged, the machine is as it was.
apt_get purge voltrace2 voltrace2-scores >"$root/apt.log" 2>&1 || { cat "$root/apt.log"; fail "apt-get purge failed"; }
added=$(dpkg-query -W -f='${Package}\n' | LC_ALL=C sort | comm -13 "$root/packages-before" -)
[ -z "$added" ] || apt_get purge $added >/dev/null 2>&1
machine_state >"$root/after"
diff "$root/before" "$root/after" || fail "the machine is not as it was"
echo "packages OK"
