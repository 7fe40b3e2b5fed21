#!/usr/bin/env bash
# Checks the packages scripts/package built: lintian has no errors, the AppStream metainfo and
# the desktop entry validate, the checksums match, and the unpacked companions hash a file
# right (the Windows one under Wine). Nothing is installed on this machine.
#   check-packages.sh FOLDER
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/lib/common.sh"
source "$root/scripts/lib/wine.sh"
zanfo_ensure_packages lintian appstream desktop-file-utils wine64 wine

folder=$(realpath "$1")
deb=$(ls "$folder"/zanfo-md5_*_amd64.deb) zip=$(ls "$folder"/zanfo-md5-*-win64.zip)
work=$(mktemp -d)
trap 'rm -rf "$work"; wineserver -k 2>/dev/null' EXIT
failures=0
check() {  # WHAT COMMAND...
    local what=$1
    shift
    if "$@" >"$work/log" 2>&1; then echo "ok: $what"; else echo "FAIL: $what"; sed 's/^/  /' "$work/log"; failures=$((failures + 1)); fi
}
printf abc >"$work/abc"
hashes_abc() { [ "$("$@" --lower "$work/abc" | cut -d' ' -f1)" = 900150983cd24fb0d6963f7d28e17f72 ]; }

check "checksums" sh -c "cd '$folder' && sha256sum -c --quiet SHA256SUMS"
# Errors fail; warnings are listed for the note (--fail-on error).
check "lintian" lintian --fail-on error --tag-display-limit 0 "$deb"
lintian --tag-display-limit 0 "$deb" | sed 's/^/  lintian: /'
dpkg-deb -x "$deb" "$work/deb"
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
(cd "$work/zip" && cmake -E tar xf "$zip")
check "the zip's files" test -f "$work/zip/zanfo-md5.exe" -a -f "$work/zip/README.txt" -a -f "$work/zip/LICENSE"
zanfo_wine_prefix
check "the unpacked zanfo-md5-cli.exe hashes a file under Wine" hashes_abc wine "$work/zip/zanfo-md5-cli.exe"
[ $failures -eq 0 ] && echo "PASS: the packages" || echo "FAILED: $failures checks"
exit $((failures > 0))
