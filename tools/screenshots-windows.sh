#!/usr/bin/env bash
# Renders the four windows of the Windows build under Wine into docs/screenshots/windows-*.png:
# a virtual X server, Wine's virtual desktop (which draws the title bars, as no window manager
# runs), the IPA Gothic fonts in place of "MS UI Gothic", the windows opened and cut out by
# karune-inspect.
#   tools/screenshots-windows.sh [Windows build folder]     (default: build-windows)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath "${1:-$root/build-windows}")"
source "$root/scripts/deps.sh"
karune_install_deps "${KARUNE_WINDOWS_PACKAGES[@]}" xvfb fonts-ipafont-gothic fonts-wine x11-apps netpbm \
    xdotool

cmake --build "$build" --target karune-modem karune-inspect
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all LANG=C.UTF-8
work=$(mktemp -d)
program=
cleanup() {
    wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
    wineserver -k 2>/dev/null || true
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1024x768x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=:$(cat "$work/display")

[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic \
    /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f \
    >/dev/null 2>&1
# The desktop is made when the server starts.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p 2>/dev/null || true
inspect() { wine "$build/tools/karune-inspect/karune-inspect.exe" "$@" </dev/null; }
win() { winepath -w "$1" 2>/dev/null; }

# Saves the screen's rectangle left, top, width, height as docs/screenshots/$5.
cut() {
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmcut -left "$1" -top "$2" -width "$3" -height "$4" |
        pnmtopng >"$root/docs/screenshots/$5"
    echo "docs/screenshots/$5"
}

# Saves the window with this caption, title bar and frame included, as $2.
shoot() {
    local left top width height
    inspect wait "$1" 20
    sleep 1  # the last paint
    IFS=, read -r left top width height < <(inspect frame "$1" | tr -d '\r')
    cut "$left" "$top" "$width" "$height" "$2"
}

# Wine (8.0, X11 driver) leaves a window black on the X server while it lies wholly inside another
# window of the same program, though it has painted: two bare windows of a test program do the
# same, and one partly outside paints whole. So a dialog is moved clear of the program's other
# windows on the X server alone and cut out where the X server shows it.
shoot_clear() {
    local left=650 top=470 width height
    inspect wait "$1" 20
    IFS=, read -r _ _ width height < <(inspect frame "$1" | tr -d '\r')
    xdotool search --name "^$1\$" windowmove --sync "$left" "$top"
    sleep 1  # the last paint
    cut "$left" "$top" "$width" "$height" "$2"
}

mkdir -p "$work/home" "$WINEPREFIX/drive_c/受信データ" "$root/docs/screenshots"
printf '0,"","C:\\受信データ",1,0,0,0,0,0,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,"1"\r\n' |
    iconv -t CP932 >"$work/home/karune-modem.ini"
wine "$build/karune-modem.exe" --home "$(win "$work/home")" >/dev/null 2>&1 </dev/null &
program=$!
main='KARUNE_MODEM for Windows'
inspect wait "$main" 20
sleep 1  # the start-up step: the idle buttons and lamp
shoot "$main" windows-main.png
inspect click "$main" cmdSetting
shoot 'ｵﾌﾟｼｮﾝ設定' windows-settings.png
inspect click 'ｵﾌﾟｼｮﾝ設定' cmdFolderRef
shoot_clear '保存ﾌｫﾙﾀﾞ' windows-folder-chooser.png
inspect click '保存ﾌｫﾙﾀﾞ' cmdOK1
inspect click 'ｵﾌﾟｼｮﾝ設定' cmdOK1
inspect gone 'ｵﾌﾟｼｮﾝ設定' 10
inspect click "$main" cmdInfo
shoot_clear 'Karune_modemのﾊﾞｰｼﾞｮﾝ情報' windows-about.png
inspect click 'Karune_modemのﾊﾞｰｼﾞｮﾝ情報' cmdOK
inspect close "$main"
wait "$program" || true
program=
