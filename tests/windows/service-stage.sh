# The service commands under Wine's service manager, as far as it goes: --install-service creates
# a line's service with its home, its port mapping and its recovery actions (Wine accepts the
# actions but keeps none, and refuses the failure-actions flag), the service stops with exit code
# 2 on a home it cannot use and 1 without its port, and its log says why, each line stamped; with
# the modem there it serves a call as the Linux build does; --uninstall-service removes it and
# refuses a service that is not the program's. (The installer's event source: office-stage.sh.)
# Sourced by wine-stage.sh after its calls, whose helpers and results it uses.
services='HKLM\SYSTEM\CurrentControlSet\Services'
start_wineserver
modem() { wine "$windows/karune-modem.exe" "$@" </dev/null >"$work/service.out" 2>&1; }
exists() { wine reg query "$services\\$1" >/dev/null 2>&1; }
stopped_with() {
    wine sc query "$1" 2>/dev/null | tr -d '\r' >"$work/$1.state"
    grep -q STOPPED "$work/$1.state" &&
        grep -Pzq "1066.*\n.*SERVICE_EXIT_CODE *: $2 " "$work/$1.state"
}
stamped='^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} '
# Starts service $1 with home $2: it stops with service-specific exit code $3 and its log says each
# line that follows, stamped.
stops_saying() {
    local line
    wine net start "$1" >/dev/null 2>&1 || true
    eventually stopped_with "$1" "$3" || fail "$1 did not stop with $3:" "$(cat "$work/$1.state")"
    for line in "${@:4}"; do
        grep -Eq "$stamped$line" "$2/karune-modem.log" ||
            fail "$1's log lacks $line:" "$(cat "$2/karune-modem.log" 2>&1)"
    done
}

mkdir -p "$work/line1" "$work/line2"
line1=$(win "$work/line1")
run modem --install-service karune-line1 --home "$line1" --port-map COM1=COM12
[ "$status" -eq 0 ] || { [ "$status" -eq 1 ] &&
    grep -q 'created, but without its restart.*(sc failureflag karune-line1 1)' "$work/service.out"; } ||
    fail "--install-service: $(cat "$work/service.out")"
wine reg query "$services\\karune-line1" 2>/dev/null | tr -d '\r' >"$work/line1.key" || true
for value in "ImagePath    REG_SZ    \"$(win "$windows/karune-modem.exe")\" --service --home \"$line1\"" \
    'Start    REG_DWORD    0x2' 'ObjectName    REG_SZ    LocalSystem' \
    'Environment    REG_MULTI_SZ    KARUNE_COM1=COM12'; do
    grep -qF "$value" "$work/line1.key" || fail "the service lacks: $value"
done
modem --install-service karune-line1 --home "$line1" && fail "a second --install-service of one name"
grep -q 'exists already (--uninstall-service karune-line1 removes it)' "$work/service.out" ||
    fail "a second --install-service says: $(cat "$work/service.out")"
if modem --install-service karune-line3 --home "$(win "$work/missing")" ||
    ! grep -q 'does not exist' "$work/service.out" || exists karune-line3; then
    fail "--install-service on a missing home: $(cat "$work/service.out")"
fi

# Wine's service manager leaves the environment of the service's key out, so the service looks for
# COM1 as Wine maps it, which is not there until the simulator comes; a home whose lock cannot be
# made (its name a link into nowhere) cannot be used.
rm -f "$tty"
settings_file "$work/line1" "$line1" 1
stops_saying karune-line1 "$work/line1" 1 'karune-modem 3\.4\.0 started: home .*line1, COM1 = ' \
    'karune-modem stopped: reception ended without a stop: .*ﾎﾟｰﾄ 1'
simulator "$work/line1.sim" --ring-delay 1
wine net start karune-line1 >/dev/null 2>&1 || fail "the service did not start again"
eventually cmp -s "$work/line1/$name.txt" "$work/linux-complete/out/$name.txt" ||
    fail "the service's call did not write what the Linux build wrote"
end_simulator
ln -s "$work/nowhere/lock" "$work/line2/karune-modem.lock"
wine sc create karune-line2 binPath= "$(win "$windows/karune-modem.exe") --service --home $(win "$work/line2")" \
    >/dev/null || fail "sc create karune-line2"
stops_saying karune-line2 "$work/line2" 2 \
    'karune-modem did not start: cannot use the home folder .*line2: '

modem --uninstall-service karune-line1 && ! exists karune-line1 ||
    fail "--uninstall-service: $(cat "$work/service.out")"
wine sc create karune-other binPath= 'C:\windows\system32\cmd.exe' >/dev/null || fail "sc create"
if modem --uninstall-service karune-other ||
    ! grep -q 'does not run karune-modem --service' "$work/service.out" || ! exists karune-other; then
    fail "--uninstall-service of another program's service: $(cat "$work/service.out")"
fi
wine sc delete karune-other >/dev/null 2>&1 || true
wine sc delete karune-line2 >/dev/null 2>&1 || true

stop_wineserver
