#!/bin/sh
# Installs the Debian 12 packages that building, running and testing the game
# need. Quiet and quick when everything is already there.
set -e
PKGS="build-essential cmake pkg-config libgtest-dev libmodplug-dev
libsdl2-dev libsdl2-mixer-dev libbenchmark-dev libsdl2-ttf-dev libfontconfig-dev
libcurl4-openssl-dev libcairo2-dev libpng-dev zlib1g-dev
fonts-jura fonts-paratype fonts-liberation2
libcpp-httplib-dev libsqlite3-dev chromium
libmicrohttpd-dev libpq-dev postgresql
desktop-file-utils appstream lintian systemd file man-db
xvfb openbox x11-utils xdotool
clang libclang-rt-14-dev"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
