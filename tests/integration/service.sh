#!/usr/bin/env bash
# The real program as an administrator meets it: the command line and one program per home folder
# (a pulled adapter: diagnostics.sh; the installed program: tests/packaging/deb-stage.sh).
# Usage: service.sh KARUNE_MODEM KARUNE_SIM
source "$(dirname "$0")/lib.sh"
waiting='ﾓﾃﾞﾑ着信(RING)待ち'
ini=$dir/a/home/karune-modem.ini
unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY  # no display: an option must not need one
run() { "$modem" --home "$dir/a/home" "$@" >"$dir/out" 2>"$dir/err"; }

# The command line, one row an option: arguments, exit status, stream, a line it must show. A
# refused command line leaves the settings file as it was.
fresh a 0
run --settings
check "--settings prints the 30 items in the file's order" diff "$dir/out" <(printf '%s\n' \
    AddDate=0 FixFname= "Folder=$dir/a/out" Port=1 CrcType=0 OverWrite=0 StartUpSize=0 \
    AutoStart=0 Protocol=0 F{1..20}=1 TimeAdjust=1)
while IFS='|' read -r arguments want stream text; do
    cp "$ini" "$dir/before"
    eval "run $arguments"
    check "karune-modem $arguments exits with $want" [ $? -eq "$want" ]
    check "karune-modem $arguments shows $text" grep -q -E -- "$text" "$dir/$stream"
    [ "$want" -eq 0 ] || check "karune-modem $arguments changes no setting" cmp "$dir/before" "$ini"
done <<ROWS
--version|0|out|^karune-modem 3\.4\.0$
--help|0|err|^home folder: $dir/a/home$
--headles|2|err|unknown option '--headles'
--service|2|err|under systemd use --headless
|2|err|no display found.*--headless
--settings|0|err|^settings file: $dir/a/home/karune-modem\.ini$
--set Port=3 Port=9|2|err|--set Port: "9" is not a whole number
--set FixFname=$(printf '\xf0\x9f\x98\x80')|2|err|--set FixFname
--set Port=2 --headless|2|err|--set and --headless do not go together
--modem-check 1.5 --settings|2|err|--modem-check expects seconds from 0 to 86400
--convert $dir/x.txt --set Port=2|2|err|^usage: 
--settings --home $dir|2|err|--home is given twice
--convert $ini|2|err|karune-modem\.ini is the settings file
--convert $dir/a/home/Back.txt|2|err|Back\.txt is the back-up file
--convert $dir/2026-12.txt|2|err|named like the transfer log or a history file
ROWS
KARUNE_MODEM_CHECK=-1 check "KARUNE_MODEM_CHECK=-1 is refused" status 2 run --settings
check "it names the variable" grep -q "^$modem: KARUNE_MODEM_CHECK expects seconds" "$dir/err"
cp "$ini" "$dir/before" && printf '0,"",1\r\n' >"$ini"
check "--settings on a damaged file exits with 1" status 1 run --settings
cp "$dir/before" "$ini"
check "--set succeeds" status 0 run --set Port=3 AutoStart=1 'FixFname=ﾃｽﾄ 1' F20=0
settings "$dir/a" 3 1 "$(cp932 'ﾃｽﾄ 1')" "${all%1}0" "$dir/a/out"
check "--set writes the dialog's line" cmp "$ini" "$dir/a/karune-modem.ini"
rm "$ini"
check "--set refused on a home without settings" status 2 run --set Port=9
check "it says the file was reset" grep -q 'reset to the defaults; none of the values' "$dir/err"
rm "$ini"
check "--set on a home without settings" status 0 run --set "Folder=$dir/a/out" Port=2
settings "$dir/a" 2 0 "" "$all" "$dir/a/out"
check "--set on the reset settings" cmp "$ini" "$dir/a/karune-modem.ini"
mv "$dir/a/out" "$dir/a/unmounted"
run --set Port=4
settings "$dir/a" 4 0 "" "$all" "$dir/a/out"
check "--set keeps a missing save folder in the file" cmp "$ini" "$dir/a/karune-modem.ini"

# The line unit: a call served with AutoStart 0 (status 0) is no end of the line, and a missing
# save folder is replaced by the home, not by "/".
unit=$(dirname "$0")/../../packaging/karune-modem@.service
check "the unit restarts after status 0" grep -qxE 'Restart=(always|on-success)' "$unit"
home=$(sed -n 's/^ExecStart=.*--home //p' "$unit")
check "the unit works in its home" grep -qxF "WorkingDirectory=$home" "$unit"

# One home, one program; the hold goes with a killed program.
fresh a 0
line a --records /dev/null --ring-delay 600
serve a a --headless
check "the first program waits for a call" await "$dir/a.out" "$waiting"
mv "$ini" "$dir/a/settings"
KARUNE_COM1=/nonexistent check "a second program on the same home exits with 1" status 1 run --headless
check "it says why" grep -q 'in use by another karune-modem' "$dir/err"
check "it touched no file" [ ! -e "$ini" -a ! -s "$dir/out" ]
mv "$dir/a/settings" "$ini"
kill -9 "$modemPid" && wait "$modemPid" 2>/dev/null
line b --records /dev/null --ring-delay 600
serve b a --headless
check "after a kill the next program holds the home" await "$dir/b.out" "$waiting"
kill -9 "$modemPid"

exit $((failures > 0))
