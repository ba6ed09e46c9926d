#!/usr/bin/env bash
# Fails, naming each one, when a C++ source of the project (every .cpp and
# .h outside the build folders) is not in the house style of .clang-format.
# With FILE arguments it checks those files only, wherever they are, against
# the project's style. Formatting differs between clang-format versions, so
# the check asks for the version the style was written for (tools/setup.sh
# installs it) rather than judging with another.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
format=${CLANG_FORMAT:-clang-format}
fail() { echo "check-format: $*" >&2; exit 1; }

command -v "$format" >/dev/null || fail "$format is missing (tools/setup.sh installs it)"
version=$("$format" --version)
case "$version" in
*" version 14."*) ;;
*) fail "the house style is written for clang-format 14, not: $version" ;;
esac

if [ $# -gt 0 ]; then
    files=("$@")
else
    cd "$root"
    mapfile -d '' files < <(find . \( -path ./build -o -path './.*' \) -prune -o \
        -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
    [ ${#files[@]} -gt 0 ] || fail "no C++ sources under $root"
fi

bad=0
for file in "${files[@]}"; do
    if ! "$format" --style="file:$root/.clang-format" --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "check-format: ${file#./} is not in the house style (clang-format -i ${file#./})"
        bad=$((bad + 1))
    fi
done
[ $bad -eq 0 ] || fail "$bad of ${#files[@]} files differ from .clang-format"
echo "check-format: ${#files[@]} files in the house style"
