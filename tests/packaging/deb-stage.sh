#!/usr/bin/env bash
# The Debian package on this machine: CPack builds it from the Linux build, lintian finds nothing
# (but the manual page: --help is the program's manual), apt-get installs it, a normal user's
# settings go to ~/.config/karune-modem, and apt-get remove leaves them there. Needs root (or sudo).
#   tests/packaging/deb-stage.sh LINUX_BUILD
set -euo pipefail
build=$(realpath "$1")
user=karune-deb-test
failures=0
fail() {
    printf 'deb-stage: %s\n' "$@" >&2
    failures=$((failures + 1))
}
as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
as_user() { as_root runuser -u "$user" -- "$@"; }

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/karune-modem_*_amd64.deb)
lintian --fail-on error,warning --suppress-tags no-manual-page "$deb" 2>/dev/null ||
    fail "lintian: $(lintian --suppress-tags no-manual-page "$deb" 2>/dev/null)"

id "$user" >/dev/null 2>&1 || as_root useradd --create-home "$user"
settings=$(getent passwd "$user" | cut -d: -f6)/.config/karune-modem/karune-modem.ini
as_root rm -rf "$(dirname "$settings")"

as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
[ -x /usr/bin/karune-modem ] || fail "apt-get install put no program into /usr/bin"
[ -f /lib/systemd/system/karune-modem@.service ] || fail "the template unit is missing"
[ -z "$(find /etc/systemd -name 'karune-modem@*' 2>/dev/null)" ] || fail "the unit was enabled"
(cd / && as_user karune-modem --set Port=2 >/dev/null 2>&1) || fail "--set as a user failed"
(cd / && as_user karune-modem --settings 2>/dev/null | grep -qx 'Port=2') ||
    fail "the user's settings were not kept"
as_root test -f "$settings" || fail "no settings file in ~/.config/karune-modem"

as_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq karune-modem >/dev/null
[ ! -e /usr/bin/karune-modem ] || fail "apt-get remove left the program"
as_root test -f "$settings" || fail "apt-get remove took the user's settings"

if [ "$failures" -ne 0 ]; then
    echo "deb-stage: $failures failures" >&2
    exit 1
fi
echo "deb-stage: $(basename "$deb") is lintian clean, installs, keeps a user's settings per user and removes cleanly"
