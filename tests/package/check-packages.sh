#!/usr/bin/env bash
# Checks the packages scripts/package built: the checksums match; lintian shows no tag at all,
# not even at info level (hardening, stripping); the AppStream metainfo and the desktop entry
# validate; dpkg installs and purges the package without a trace (in an empty root); the
# unpacked companions hash a file right; the Windows programs import system DLLs only and keep
# ASLR and DEP; and the installer, in a fresh Wine prefix, installs the programs and the
# shortcut, replaces an older version, and uninstalls without a trace. Nothing is installed on
# this machine.
#   check-packages.sh FOLDER [BUILD_FOLDER...]   no file in the packages names a BUILD_FOLDER
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/common.sh"
source "$root/scripts/lib/wine.sh"
zanfo_ensure_packages lintian appstream desktop-file-utils wine64 wine binutils-mingw-w64-x86-64 unzip wixl msitools \
    faketime xvfb xdotool xclip

folder=$(realpath "$1")
shift
deb=$(ls "$folder"/zanfo-md5_*_amd64.deb) zip=$(ls "$folder"/zanfo-md5-*-win64.zip) msi=$(ls "$folder"/zanfo-md5-*-win64.msi)
version=${deb#*_} version=${version%%_*}
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
failures=0
check() {  # WHAT COMMAND...
    local what=$1
    shift
    if "$@" >"$work/log" 2>&1; then echo "ok: $what"; else echo "FAIL: $what"; sed 's/^/  /' "$work/log"; failures=$((failures + 1)); fi
}
printf abc >"$work/abc"
hashes_abc() { [ "$("$@" --lower "$work/abc" | cut -d' ' -f1)" = 900150983cd24fb0d6963f7d28e17f72 ]; }

check "checksums" sh -c "cd '$folder' && sha256sum -c --quiet SHA256SUMS"
check "lintian, info tags included" lintian --display-info --fail-on error,warning,info --tag-display-limit 0 "$deb"
dpkg-deb -x "$deb" "$work/deb"
# Installed by dpkg into an empty root (its dependencies are not there) and purged: only dpkg's
# own records may stay.
install_and_purge() {
    local target="$work/debian-root" left
    mkdir -p "$target/var/lib/dpkg/info" "$target/var/lib/dpkg/updates"
    touch "$target/var/lib/dpkg/status"
    local dpkg=(dpkg --root="$target" --force-not-root --force-script-chrootless --log=/dev/null)
    "${dpkg[@]}" --force-depends -i "$deb" || return 1
    [ -x "$target/usr/bin/zanfo-md5" ] && [ -x "$target/usr/bin/zanfo-md5-cli" ] || { echo "not installed"; return 1; }
    "${dpkg[@]}" --purge zanfo-md5 || return 1
    left=$(find "$target" -mindepth 1 | grep -v -x -F -e "$target/var" -e "$target/var/lib" | grep -v -F "$target/var/lib/dpkg")
    [ -z "$left" ] || { echo "left behind:"; echo "$left"; return 1; }
}
check "dpkg installs the package and purges it without a trace" install_and_purge
check "AppStream metainfo" appstreamcli validate --no-net "$work/deb/usr/share/metainfo/com.zanfo.ZanfoMd5.metainfo.xml"
check "desktop entry" desktop-file-validate "$work/deb/usr/share/applications/com.zanfo.ZanfoMd5.desktop"
check "the unpacked zanfo-md5-cli hashes a file" hashes_abc "$work/deb/usr/bin/zanfo-md5-cli"
# Every option --help lists is in the manual page.
options_in_manual() {
    local manual option
    manual=$(zcat "$work/deb/usr/share/man/man1/zanfo-md5-cli.1.gz" | sed 's/\\-/-/g')
    for option in $("$work/deb/usr/bin/zanfo-md5-cli" --help | grep -o -E '(^|[ ,])--?[a-z][a-z-]*' | tr -d ' ,'); do
        grep -q -e "$option" <<<"$manual" || { echo "missing: $option"; return 1; }
    done
}
check "the manual page has every option" options_in_manual
# Every size res/icons/make-icons.py draws.
for icon in "$root"/res/icons/zanfo-md5-*.png; do
    size=${icon##*-} size=${size%.png}
    check "icon ${size}x$size" test -f "$work/deb/usr/share/icons/hicolor/${size}x$size/apps/zanfo-md5.png"
done

mkdir -p "$work/zip"
unzip -q "$zip" -d "$work/zip"
top="$work/zip/zanfo-md5-$version"
check "the zip's one folder" test "$(ls "$work/zip")" = "zanfo-md5-$version"
check "the zip's files" test -f "$top/zanfo-md5.exe" -a -f "$top/zanfo-md5-cli.exe" -a -f "$top/README.txt" -a -f "$top/LICENSE"
ends_lines_with_crlf() { ! grep -q -v $'\r$' "$1"; }
check "README.txt has CRLF line ends" ends_lines_with_crlf "$top/README.txt"
# Windows' own DLLs only, and the loader's defences: high-entropy ASLR, relocatable, DEP.
system_dlls="advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll user32.dll"
imports_and_defences() {
    local dll characteristics
    for dll in $(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
        grep -q -w -F "$dll" <<<"$system_dlls" || { echo "imports $dll"; return 1; }
    done
    characteristics=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^DllCharacteristics\s*//p')
    [ $((0x$characteristics & 0x160)) = $((0x160)) ] || { echo "DllCharacteristics $characteristics"; return 1; }
}
for program in zanfo-md5.exe zanfo-md5-cli.exe; do
    check "$program imports system DLLs only, with ASLR and DEP" imports_and_defences "$top/$program"
done
for build_folder in "$@"; do
    check "no file names the build folder $build_folder" sh -c "! grep -r -a -l -F '$build_folder' '$work/deb' '$work/zip'"
done
zanfo_wine_prefix "$work/fresh-prefix"
check "the unpacked zanfo-md5-cli.exe hashes a file under Wine" hashes_abc wine "$top/zanfo-md5-cli.exe"

# The installer in a fresh prefix.
installed="$WINEPREFIX/drive_c/Program Files/Zanfo MD5"
# Windows puts a per-machine shortcut in the common Start menu; Wine's installer always puts it
# in the user's (its ProgramMenuFolder ignores ALLUSERS).
shortcuts() { ls "$WINEPREFIX"/drive_c/{ProgramData,users/*/AppData/Roaming}/Microsoft/Windows/"Start Menu"/Programs/"Zanfo MD5.lnk" 2>/dev/null; }
shortcut_count() { shortcuts | wc -l; }
shortcut_to_the_window() { [ "$(shortcut_count)" = 1 ] && grep -a -q 'zanfo-md5\.exe' "$(shortcuts)"; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# The versions of Zanfo MD5 in Settings > Apps, one per line.
apps_listed() { wine reg query "$uninstall_key" /s | tr -d '\r' | grep -A 20 'DisplayName.*Zanfo MD5' | sed -n 's/.*DisplayVersion\s*REG_SZ\s*//p'; }
msiexec() { wine msiexec "$1" "$(winepath -w "$2")" /qn; }
check "the installer installs" msiexec /i "$msi"
check "the installed files" test -f "$installed/zanfo-md5.exe" -a -f "$installed/zanfo-md5-cli.exe" -a -f "$installed/LICENSE.txt"
check "the Start-menu shortcut to zanfo-md5.exe" shortcut_to_the_window
check "Settings > Apps lists $version" test "$(apps_listed)" = "$version"
check "the installed zanfo-md5-cli.exe hashes a file" hashes_abc wine "$installed/zanfo-md5-cli.exe"
# The window needs a Wine session that starts on the test's display, not the installer's.
wineserver -w
check "the installed zanfo-md5.exe runs its window" bash "$root/tests/smoke/window-smoke.sh" --wine "$installed/zanfo-md5.exe"
# The next version: the same programs, the fourth number one up, which Windows Installer does
# not compare (two products stayed installed before the upgrade's bound included itself).
IFS=. read -r major minor build tweak <<<"$version"
next="$major.$minor.$build.$((tweak + 1))"
check "an installer of $next builds" cmake -DVERSION="$next" -DEPOCH=0 -DSOURCE_DIR="$root" -DWINDOW="$top/zanfo-md5.exe" \
    -DCOMPANION="$top/zanfo-md5-cli.exe" -DOUTPUT="$work/next.msi" -P "$root/cmake/BuildMsi.cmake"
check "$next installs over $version" msiexec /i "$work/next.msi"
check "one product after the upgrade: $next" test "$(apps_listed)" = "$next"
check "the upgrade keeps the files" test -f "$installed/zanfo-md5.exe" -a "$(shortcut_count)" = 1
check "the installer uninstalls" msiexec /x "$work/next.msi"
nothing_left() {
    [ ! -e "$installed" ] || { echo "left: $(ls -A "$installed")"; return 1; }
    [ "$(shortcut_count)" = 0 ] || { echo "left: the shortcut"; return 1; }
    [ -z "$(apps_listed)" ] || { echo "still listed"; return 1; }
    ! wine reg query 'HKLM\Software\Zanfo' >/dev/null 2>&1 || { echo "left: HKLM\Software\Zanfo"; return 1; }
}
check "nothing left after uninstalling" nothing_left
[ $failures -eq 0 ] && echo "PASS: the packages" || echo "FAILED: $failures checks"
exit $((failures > 0))
