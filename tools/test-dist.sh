#!/usr/bin/env bash
# The package test: packs the Windows build, unzips the package into an
# empty folder and starts duvarin.exe there under Wine, as a user would.
# Before it starts the program, it checks that the package is the same bytes
# however it is made.
# The program must stay up, and with the shipped dv.dat its Convert page must
# show the first group's fields enabled (white), which it does not with no
# database at all. Runs on a private X display, so the screen holds only the
# program's window and no other test's window can cover it.
#   tools/test-dist.sh BUILD_DIR [RUN_BUILD_DIR]
# The package is always the i686 program's (BUILD_DIR). Where this machine
# cannot start 32-bit programs, the x86_64 test build's duvarin.exe and
# dvtool.exe (RUN_BUILD_DIR) take their places in the unpacked folder, so
# that the package's layout and dv.dat are still tried as a user would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
run_build=${2:-$1}
DUVARIN_WINE_ARCH=$("$root/tools/wine-arch.sh" "$run_build")
export DUVARIN_WINE_ARCH
if [ "${DIST_TEST_DISPLAY:-}" != private ]; then
    exec env -u DISPLAY DIST_TEST_DISPLAY=private "$root/tools/with-display.sh" bash ${DIST_TEST_TRACE:+-x} "$0" "$@"
fi

work=$(mktemp -d)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "test-dist: $*" >&2; exit 1; }

zip=$("$root/tools/make-dist.sh" "$build" "$work/dist")
mkdir "$work/unpacked"
unzip -q "$zip" -d "$work/unpacked"
cd "$work/unpacked"
[ "$(ls | LC_ALL=C sort | tr "\n" " ")" = "duvarin.exe dv.dat dvtool.exe readme.txt " ] \
    || fail "the package holds: $(ls)"
cmp -s dv.dat "$build/dv.dat" || fail "dv.dat is not the default database of the build"

# Anyone can rebuild the package byte for byte, so nothing of the time or
# the folder may reach it. The programs' link time stamps, as built and as
# packed, are the time the sources stand for (tools/source-date-epoch.sh);
# the packed programs name none of the clone's or the build's folders; and
# packing again a second later, in another folder, under another umask,
# time zone and locale, gives the same bytes, which SHA256SUMS checks.
# Inspected, not run, and before an x86_64 test build's programs take the
# packed ones' places: this holds for the i686 product on any machine.
pe_time_stamp() {
    local header
    header=$(od -An -tu4 --endian=little -j 60 -N 4 "$1" | tr -d ' ')
    od -An -tu4 --endian=little -j $((header + 8)) -N 4 "$1" | tr -d ' '
}
epoch=$("$root/tools/source-date-epoch.sh")
for program in "$build/shell/duvarin.exe" "$build/tools/dvtool/dvtool.exe" \
    "$(pwd)/duvarin.exe" "$(pwd)/dvtool.exe"; do
    stamp=$(pe_time_stamp "$program")
    [ "$stamp" = "$epoch" ] \
        || fail "$program has the link time stamp $stamp, not $epoch, the time of the sources (tools/source-date-epoch.sh; make relinks the build after a commit)"
done
for folder in "$root"/*/ "$(cd "$build" && pwd)/"; do
    if grep -qaF "$folder" duvarin.exe dvtool.exe; then fail "the packed programs name the folder $folder"; fi
done
(cd "$(dirname "$zip")" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not check the package"
elsewhere=$work/elsewhere/in/another/folder
mkdir -p "$elsewhere"
sleep 1
again=$(cd "$elsewhere" && umask 077 && TZ=CST-8 LC_ALL=C.UTF-8 "$root/tools/make-dist.sh" "$build" .) \
    || fail "packing again elsewhere failed"
cmp "$zip" "$again" >&2 || fail "packed again later and elsewhere, the package differs"

if [ "$(cd "$run_build" && pwd)" != "$(cd "$build" && pwd)" ]; then
    cp "$run_build/shell/duvarin.exe" "$run_build/tools/dvtool/dvtool.exe" .
fi
iconv -f GBK -t UTF-8 readme.txt >/dev/null || fail "readme.txt is not GBK"
[ "$(grep -c $'\r$' readme.txt)" = "$(wc -l < readme.txt)" ] || fail "readme.txt has lines without CR LF"
"$root/tools/wine-run.sh" dvtool.exe check dv.dat | grep -q '^dv.dat: loads 17 groups' \
    || fail "dvtool check dv.dat does not pass in the package"

# Counts the pixels of the screen that are of one colour, or (with +) of any
# other colour. The private screen holds nothing but the program's window.
screen_pixels() {
    xwd -root -silent | convert xwd:- -fill "$2" "$1opaque" "$3" -format '%[fx:round(mean*w*h)]' info:
}

# Starts the program in the current folder and sets white to the number of
# white pixels once its window has been up for 3 seconds. (No command
# substitution: the program must stay a child of this shell, whose exit trap
# ends it.)
count_white() {
    "$root/tools/wine-run.sh" duvarin.exe >/dev/null 2>&1 &
    program_pid=$!
    local waited=0
    until [ "$(screen_pixels + white black)" -gt 0 ]; do
        [ $((waited += 1)) -le 30 ] || fail "no window appeared"
        sleep 1
    done
    sleep 3
    kill -0 "$program_pid" 2>/dev/null || fail "duvarin.exe exited"
    white=$(screen_pixels + black white)
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}

count_white
with_database=$white
mkdir "$work/empty"
cp duvarin.exe "$work/empty/"
cd "$work/empty"
count_white
without_database=$white
echo "white pixels: $with_database with the shipped dv.dat, $without_database without one"
# Four enabled fields already make far more than this.
[ "$with_database" -gt $((without_database + 5000)) ] || fail "the shipped database did not show"
