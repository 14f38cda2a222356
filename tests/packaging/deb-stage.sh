#!/usr/bin/env bash
# The Debian package on this machine: CPack builds it from the Linux build, lintian finds nothing
# (but the manual page: --help is the program's manual), apt-get installs it, a normal user's
# settings go to ~/.config/karune-modem, and apt-get remove leaves them there. Needs root (or sudo).
#   tests/packaging/deb-stage.sh LINUX_BUILD
set -euo pipefail
user=karune-deb-test failures=0
fail() {
    echo "deb-stage: $*" >&2
    failures=$((failures + 1))
}
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
apt() { as_root env DEBIAN_FRONTEND=noninteractive apt-get "$@" -y -qq >/dev/null; }

(cd "$1" && cpack -G DEB >/dev/null)
deb=$(realpath "$1"/karune-modem_*_amd64.deb)
lintian --fail-on error,warning --suppress-tags no-manual-page "$deb" >&2 || fail "lintian"
# logind's sleep lock goes through sd-bus: the package needs libsystemd0.
dpkg-deb -f "$deb" Depends | grep -q 'libsystemd0' || fail "the package does not depend on libsystemd0"
id "$user" >/dev/null 2>&1 || as_root useradd --create-home "$user"
settings=$(getent passwd "$user" | cut -d: -f6)/.config/karune-modem/karune-modem.ini
as_root rm -rf "$(dirname "$settings")"

apt install "$deb"
for file in /usr/bin/karune-modem /lib/systemd/system/karune-modem@.service \
    /usr/share/polkit-1/rules.d/karune-modem.rules \
    /usr/share/applications/karune-modem.desktop /usr/share/icons/hicolor/scalable/apps/karune-modem.svg; do
    [ -f "$file" ] || fail "apt-get install put no $file"
done
[ -z "$(find /etc/systemd -name 'karune-modem@*')" ] || fail "the unit was enabled"
(cd / && as_root runuser -u "$user" -- karune-modem --set Port=2 >/dev/null 2>&1) &&
    as_root grep -q '^0,"[^"]*","[^"]*",2,' "$settings" || fail "no settings in ~/.config/karune-modem"
apt remove karune-modem
[ ! -e /usr/bin/karune-modem ] && as_root test -f "$settings" ||
    fail "apt-get remove left the program or took the user's settings"

[ "$failures" -eq 0 ] || exit 1
echo "deb-stage: $(basename "$deb"): lintian clean, installed, used by $user, removed"
