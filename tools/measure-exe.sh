#!/usr/bin/env bash
# What the shipped program weighs and which Windows it needs:
#   tools/measure-exe.sh [WINDOWS_BUILD_DIR]      (default build/win)
# Strips a copy of duvarin.exe as the package does, prints its size, its
# sections, the Windows version its header states and what it imports.
# Fails when the header does not say Windows 2000 (5.0) or an import is not
# in tools/windows-2000-imports.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win}
program=$build/shell/duvarin.exe
[ -f "$program" ] || { echo "measure-exe: $program is missing (make win builds it)" >&2; exit 1; }
stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
i686-w64-mingw32-strip -o "$stripped" "$program"

echo "duvarin.exe, stripped: $(stat -c %s "$stripped") bytes"
i686-w64-mingw32-objdump -h "$stripped" | while read -r index name size _; do
    if [[ $index =~ ^[0-9]+$ ]]; then printf "  %-10s %8d\n" "$name" "$((16#$size))"; fi
done

header=$(i686-w64-mingw32-objdump -p "$stripped")
field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$header"; }
os=$(field MajorOSystemVersion).$(field MinorOSystemVersion)
subsystem=$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)
echo "header: operating system $os, subsystem $subsystem"

imports=$(awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' <<<"$header" | sort -u)
awk '{ names[$1] = names[$1] " " $2 } END { for (d in names) print d ":" names[d] }' <<<"$imports" | sort | fold -s -w 100
unknown=$(comm -23 <(echo "$imports") <(grep -v '^#' "$root/tools/windows-2000-imports.txt" | sort -u))

status=0
if [ "$os" != 5.0 ] || [ "$subsystem" != 5.0 ]; then
    echo "measure-exe: the header should name Windows 2000 (5.0)" >&2
    status=1
fi
if [ -n "$unknown" ]; then
    echo "measure-exe: imports not known to be in Windows 2000:" >&2
    echo "$unknown" >&2
    status=1
fi
exit $status
