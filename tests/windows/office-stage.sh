# The Windows program as an office PC installs it. The installer, silent, into Program Files
# (writable under Wine): its uninstall entry and the services' event source; the installed program
# answers and keeps its settings per user. Then installing over, and removing, the program while it
# runs from there (an older version: its file marked, its entry's version lowered). A console copy
# running: the silent setup fails and changes nothing, and so does the silent uninstaller (run in
# place, so that its status counts). A service of the installed program running: the setup stops
# it, replaces the program and starts it again; the uninstaller then stops and removes it, and
# takes the program, its entry and the event source but not the user's settings.
# Sourced by wine-stage.sh, whose helpers it uses. (Files that a spreadsheet holds during a call:
# the session's tests, and WindowsFileSystem's test of the share modes under Wine.)
office_started=$SECONDS
office=$work/office
mkdir -p "$office/home" "$office/out" "$office/service"
settings_file "$office/home" "$(win "$office/out")"
start_wineserver
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KARUNE_MODEM'
events='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\KARUNE_MODEM'
setup=$(ls "$windows"/karune-modem-*-setup.exe)
install_dir='C:\Program Files\KARUNE_MODEM'
installed=$WINEPREFIX/drive_c/Program\ Files/KARUNE_MODEM
user=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% </dev/null | tr -d '\r')")/karune-modem
version() { wine reg query "$key" /v DisplayVersion 2>/dev/null | tr -d '\r' | awk 'NF == 3 { print $3 }'; }
uninstall() {  # in place, for its exit status
    printf '@"%s\\uninstall.exe" /S _?=%s\r\n@exit /b %%errorlevel%%\r\n' "$install_dir" "$install_dir" \
        >"$office/uninstall.cmd"
    wine cmd /c "$(win "$office/uninstall.cmd")" </dev/null 2>"$office/uninstall.err"
}
rm -rf "$installed" "$user"
wine reg delete "$key" /f >/dev/null 2>&1 || true  # a run that failed half-way
wine "$setup" /S </dev/null || fail "the silent install failed"
[ "$(wine "$installed/karune-modem.exe" --version </dev/null)" = "$("$linux/karune-modem" --version)" ] &&
    wine "$installed/karune-modem.exe" --set Port=2 </dev/null >/dev/null 2>&1 &&
    grep -q '^0,"[^"]*","[^"]*",2,' "$user/karune-modem.ini" &&
    [ -z "$(find "$installed" -name '*.ini' -o -name 'Back.txt')" ] ||
    fail "the installed program did not answer, or wrote no per-user settings file"
wine reg add "$key" /v DisplayVersion /t REG_SZ /d 0.0.1 /f >/dev/null 2>&1
printf OLD >>"$installed/karune-modem.exe"
simulator "$office/sim-running" --ring-delay 60
wine "$installed/karune-modem.exe" --headless --home "$(win "$office/home")" \
    >"$office/running" 2>&1 </dev/null &
copy_pid=$!
eventually grep -q RING "$office/running" || fail "the console copy did not start"
run wine "$setup" /S </dev/null 2>"$office/setup.err"
[ "$status" = 2 ] && grep -q 'karune-modem.exe is running' "$office/setup.err" &&
    [ "$(tail -c 3 "$installed/karune-modem.exe")" = OLD ] && [ "$(version)" = 0.0.1 ] ||
    fail "setup over a running copy: status $status, version $(version)" "$(cat "$office/setup.err")"
run uninstall
[ "$status" = 2 ] && [ -e "$installed/karune-modem.exe" ] && [ "$(version)" = 0.0.1 ] &&
    wine reg query "$events" /v EventMessageFile | grep -q -F "$install_dir\\karune-modem.exe" ||
    fail "uninstall of a running copy: status $status" "$(cat "$office/uninstall.err")"
kill "$copy_pid"
wait "$copy_pid" 2>/dev/null || true
cp "$office/home/karune-modem.ini" "$office/service/"
wine sc delete karune-office >/dev/null 2>&1 || true
# Wine refuses the restart actions: --install-service creates the service and gives status 1.
wine "$installed/karune-modem.exe" --install-service karune-office --home "$(win "$office/service")" \
    </dev/null >/dev/null 2>&1 || true
wine net start karune-office >/dev/null 2>&1 || fail "the office service did not start"
# Its log shows its waits for a call ("ﾓﾃﾞﾑ着信(RING)待ち"): $1 of them so far.
waited() { [ "$(grep -c 'RING' "$office/service/karune-modem.log")" = "$1" ]; }
eventually waited 1 || fail "the office service does not wait for calls"
wine "$setup" /S </dev/null || fail "setup over a service failed"
eventually waited 2 &&
    cmp -s "$installed/karune-modem.exe" "$windows/installer/karune-modem.exe" &&
    [ "$(version)" = 3.4.0 ] && wine sc query karune-office | grep -q RUNNING ||
    fail "setup over a service: not replaced, or the service not running again" \
        "$(cat "$office/service/karune-modem.log")"
run uninstall
[ "$status" = 0 ] && grep -q 'stopping and removing the services that run it: karune-office' \
    "$office/uninstall.err" && ! wine sc query karune-office >/dev/null 2>&1 &&
    [ ! -e "$installed/karune-modem.exe" ] && [ -z "$(version)" ] &&
    ! wine reg query "$events" >/dev/null 2>&1 && [ -f "$user/karune-modem.ini" ] ||
    fail "uninstall with a service: status $status" "$(cat "$office/uninstall.err")"
rm -rf "$installed"
stop_wineserver
stop_simulator
echo "wine-stage: the office checks took $((SECONDS - office_started)) s"
