#!/bin/sh
# Makes the Debian packages of a built tree with Debian's own tools, as
# debhelper would lay them out, without building anything again:
#   voltrace2_<version>_<arch>.deb           the game
#   voltrace2-scores_<version>_<arch>.deb    the online score service
#   <package>-dbgsym_<version>_<arch>.ddeb   the programs' debug symbols
# The programs in the packages are stripped; their symbols are found by
# build id (/usr/lib/debug/.build-id). Shared libraries come from
# dpkg-shlibdeps. The game opens libcurl only when it first sends a score and
# takes its fonts from the system through fontconfig, so neither shows in its
# links: they are named by hand.
#   make-debs.sh <build dir> <output dir>
set -eu
umask 022
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
bindir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:PATH=//p' "$build/CMakeCache.txt")
homepage=$(sed -n 's/^VT_HOMEPAGE:STRING=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
maintainer="Voltrace 2 developers <dev@voltrace2.example>"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Installs one component of the build into the package's root, for /usr.
stage() {
  DESTDIR="$work/debian/$2" cmake --install "$build" --prefix /usr --component "$1" >/dev/null
}

# Moves the debug information of every program in package $1 into $1-dbgsym,
# strips the programs as dh_strip does and links each to its symbols.
split_debug() {
  root=$work/debian/$1
  dbg=$work/debian/$1-dbgsym
  ids=""
  for f in $(find "$root" -type f -perm -u+x | sort); do
    file -b "$f" | grep -q '^ELF' || continue
    id=$(readelf -n "$f" | sed -n 's/^ *Build ID: //p')
    [ -n "$id" ] || { echo "make-debs: $f has no build id"; exit 1; }
    sym=$dbg/usr/lib/debug/.build-id/$(echo "$id" | cut -c1-2)/$(echo "$id" | cut -c3-).debug
    mkdir -p "$(dirname "$sym")"
    objcopy --only-keep-debug --compress-debug-sections "$f" "$sym"
    chmod 644 "$sym"
    strip --remove-section=.comment --remove-section=.note "$f"
    objcopy --add-gnu-debuglink="$sym" "$f"
    ids="$ids $id"
  done
  mkdir -p "$dbg/usr/share/doc"
  ln -s "$1" "$dbg/usr/share/doc/$1-dbgsym"
  write_control "$1-dbgsym" <<EOF
Source: voltrace2
Depends: $1 (= $version)
Section: debug
Priority: optional
Auto-Built-Package: debug-symbols
Build-Ids:$ids
Description: debug symbols for $1
EOF
}

# The shared libraries the programs of package $1 link, as dpkg-shlibdeps
# finds them.
shlibs() {
  (cd "$work" && mkdir -p debian && : >debian/control &&
    dpkg-shlibdeps -O $(find "debian/$1" -type f -perm -u+x -exec sh -c 'file -b "$1" | grep -q "^ELF"' _ {} \; -print) |
    sed -n 's/^shlibs:Depends=//p')
}

# Writes DEBIAN/control of package $1: the common fields, then those on
# standard input; then the checksums.
write_control() {
  root=$work/debian/$1
  mkdir -p "$root/DEBIAN"
  {
    echo "Package: $1"
    echo "Version: $version"
    echo "Architecture: $arch"
    echo "Maintainer: $maintainer"
    echo "Installed-Size: $(du -sk --apparent-size --exclude=DEBIAN "$root" | cut -f1)"
    cat
  } >"$root/DEBIAN/control"
  (cd "$root" && find usr -type f | LC_ALL=C sort | xargs md5sum) >"$root/DEBIAN/md5sums"
}

build_deb() {
  ext=deb
  case $1 in *-dbgsym) ext=ddeb ;; esac
  dpkg-deb --root-owner-group -Zxz -b "$work/debian/$1" "$out/$1_${version}_$arch.$ext" >/dev/null
  echo "$out/$1_${version}_$arch.$ext"
}

# The game. Debian keeps games in /usr/games: a build made with the games
# layout installs there itself; from a build made with the default layout the
# program is moved there, and finds the same ../share/voltrace2 from it.
stage game voltrace2
if [ "$bindir" = bin ]; then
  mkdir -p "$work/debian/voltrace2/usr/games"
  mv "$work/debian/voltrace2/usr/bin/voltrace2" "$work/debian/voltrace2/usr/games/"
  rmdir "$work/debian/voltrace2/usr/bin"
fi
split_debug voltrace2
write_control voltrace2 <<EOF
Depends: libcurl4, fonts-jura, fonts-paratype, fonts-liberation2, $(shlibs voltrace2)
Section: games
Priority: optional
Homepage: $homepage/
Description: top-down arcade racer through a generated town
 Вольтрейс 2 (Voltrace 2): the car stays in the middle of the screen and
 turns while a generated town scrolls under it. Drive up the road level
 after level before the clock runs out, past rival traffic, pedestrians,
 street lamps and walls, and pick up points, extra lives, nitro, a machine
 gun and rockets. A good score earns a place in the table of ten and may be
 sent to an online table (see the package voltrace2-scores).
 .
 Every text the game shows is Russian. It plays with the keyboard, the
 mouse in the menus, or a gamepad.
EOF

# The score service, with the maintainer scripts that enable and start its
# unit as Debian's helpers do.
stage scores voltrace2-scores
split_debug voltrace2-scores
write_control voltrace2-scores <<EOF
Depends: $(shlibs voltrace2-scores)
Section: net
Priority: optional
Homepage: $homepage/
Description: online score table for the game Voltrace 2
 The service the game voltrace2 reports new top-ten scores to; it serves the
 table's page, the best score of each name and country. It keeps the table
 in SQLite, or in a PostgreSQL database shared by several services, answers
 /health and /metrics, and can back up the table and remove a forged entry.
 .
 A systemd unit runs it as a user of its own, listening on 127.0.0.1:8080
 unless /etc/default/voltrace2-scores says otherwise.
EOF
for script in postinst prerm postrm; do
  install -m 755 "$here/voltrace2-scores.$script" "$work/debian/voltrace2-scores/DEBIAN/$script"
done

for p in voltrace2 voltrace2-dbgsym voltrace2-scores voltrace2-scores-dbgsym; do build_deb "$p"; done
