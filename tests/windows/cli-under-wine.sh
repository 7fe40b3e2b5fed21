#!/usr/bin/env bash
# zanfo-md5-cli.exe under Wine, next to md5sum: Chinese and emoji names from the UTF-16
# command line, output redirected (UTF-8 bytes) and on a console (the wide console API, here
# through a pseudo-terminal), standard input, the progress line, -c with Windows paths, names
# that Win32 would rewrite, and the true reasons of failures.
#   cli-under-wine.sh PATH/TO/zanfo-md5-cli.exe PATH/TO/window-probe.exe   (WINEPREFIX set up
#   by the caller)
set -uo pipefail
exe=$(realpath "$1") probe=$(realpath "$2")
export LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
check() {  # WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1"; diff <(printf '%s\n' "$2") <(printf '%s\n' "$3"); failures=$((failures + 1)); fi
}
# A console's output, without the cursor codes and carriage returns Wine's console adds.
on_console() { script -qec "$*" /dev/null | sed -e 's/\x1b\[?25[lh]//g' -e 's/\r//g'; }

printf a > plain; printf 'two words' > 'a b'; printf 中 > '中文 名字.txt'; printf x > '😀.txt'; printf d > -dash
head -c 20971520 /dev/zero > large
names=(plain 'a b' '中文 名字.txt' '😀.txt' -dash)

out=$(wine "$exe" --lower -- "${names[@]}" missing 2>"$work/err"; echo "status $?")
check "names from the command line, output redirected" "$(md5sum -- "${names[@]}"; echo "status 1")" "$out"
check "a missing file" "zanfo-md5-cli: missing: No such file or directory" "$(cat "$work/err")"
check "-j 2" "$(md5sum -- "${names[@]}")" "$(wine "$exe" --lower -j 2 -- "${names[@]}")"
head -c 300007 /dev/urandom > r1; head -c 262144 /dev/urandom > r2; head -c 131071 /dev/urandom > r3
check "files of several reads side by side" "$(md5sum r1 large r2 plain r3)" "$(wine "$exe" --lower r1 large r2 plain r3)"
check "standard input" "$(md5sum < '中文 名字.txt')" "$(wine "$exe" --lower < '中文 名字.txt')"
check "on a console" "$(md5sum '中文 名字.txt' | tr a-f A-F)" "$(on_console wine "$exe" "'中文 名字.txt'")"

progress=$(on_console wine "$exe" large 2>&1)
case $progress in
    *"large: 80%"*"large: 100%"*"$(md5sum < large | cut -c1-32 | tr a-f A-F)  large") echo "ok: progress line, then the digest" ;;
    *) echo "FAIL: progress line: $(printf '%s' "$progress" | od -c | tail -n 4)"; failures=$((failures + 1)) ;;
esac

# A list naming files by Windows paths, as a Windows user writes it.
folder=$(wine cmd /c cd 2>/dev/null | tr -d '\r')
for name in plain '中文 名字.txt'; do
    printf '%s  %s\\%s\n' "$(md5sum < "$name" | cut -c1-32)" "$folder" "$name"
done > list.md5
printf '0cc175b9c0f1b6a831c399e269772661  %s\\gone.txt\n' "$folder" >> list.md5
expected="$folder\\plain: OK
$folder\\中文 名字.txt: OK
$folder\\gone.txt: FAILED open or read
status 1"
check "-c with Windows paths" "$expected" "$(wine "$exe" -c list.md5 2>/dev/null; echo "status $?")"
check "-c --ignore-missing" "status 0" "$(wine "$exe" -c --quiet --ignore-missing list.md5; echo "status $?")"

# Names Win32 would rewrite without "\\?\": trailing dots and spaces are dropped, device names
# open devices (aux.c a serial port that blocks), each beside the twin it would turn into.
printf dotdot > 'dot.'; printf dot > dot; printf 'space ' > 'sp '; printf sp > sp
for name in nul.txt aux.c com1.log con.txt; do printf '%s' "$name" > "$name"; done
mkdir folder
exact=('dot.' 'sp ' nul.txt aux.c com1.log con.txt)
check "names as they stand" "$(md5sum -- "${exact[@]}"; echo "status 0")" "$(timeout 60 wine "$exe" --lower -- "${exact[@]}"; echo "status $?")"
check "a relative path with dots" "$(md5sum 'dot.' | sed 's|dot.$|folder/../dot.|')" "$(wine "$exe" --lower folder/../dot.)"
# The true reasons, in md5sum's words; standard input as a list is read in binary (0x1A is no end).
check "a folder and a missing list" "zanfo-md5-cli: folder: Is a directory
zanfo-md5-cli: nolist: No such file or directory" "$(wine "$exe" folder 2>&1; wine "$exe" -c nolist 2>&1)"
printf '%s  dot\n\x1a junk\n%s  sp\n' "$(md5sum < dot | cut -c1-32)" "$(md5sum < sp | cut -c1-32)" > list1a
printf held > held.txt
coproc HOLD { exec wine "$probe" hold held.txt 60; }
read -r -t 30 holding <&"${HOLD[0]}"
holding=${holding%$'\r'}
check "a file another process holds unshared" "holding
zanfo-md5-cli: held.txt: Device or resource busy" "$holding
$(wine "$exe" held.txt 2>&1)"
kill "$HOLD_PID"
check "-c - reads past 0x1A" "$(md5sum -c - < list1a 2>&1 | sed 's/^md5sum:/zanfo-md5-cli:/')" "$(wine "$exe" -c - < list1a 2>&1)"

# Its own version resource, which comes with its manifest.
check "its version resource" "result=1
description=Zanfo文件诊所MD5值命令行工具
company=Zanfo
product=MD5值计算工具 
fileVersion=$(wine "$exe" --version | sed 's/.* //; s/\./, /g')beta" "$(wine "$exe" --version-info "$(winepath -w "$exe" 2>/dev/null)")"

[ "$failures" -eq 0 ] && echo "PASS: zanfo-md5-cli.exe under Wine" || { echo "$failures failed"; exit 1; }
