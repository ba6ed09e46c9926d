#!/usr/bin/env bash
# Which Wine the Windows tests run under on this machine, win32 or win64:
#   tools/wine-arch.sh            prints the answer
#   tools/wine-arch.sh --say      prints it, and on standard error one line
#                                 that says which way the tests go and why
#   tools/wine-arch.sh BUILD_DIR  prints the Wine a Windows build runs under
#
# The product is the 32-bit program, and where the machine runs 32-bit
# programs its tests run under 32-bit Wine. Some x86-64 kernels refuse them
# ("Exec format error"), and Debian's Wine runs every 32-bit Windows program
# through its 32-bit loader; there the same sources are built for x86_64 and
# tested under 64-bit Wine. The answer comes from trying the loader, since
# neither the kernel's name nor the files present say whether it starts.
# DUVARIN_WINE_ARCH=win32 or win64 forces either way.
set -euo pipefail
loader32=/usr/lib/wine/wine

if [ $# -eq 1 ] && [ "$1" != --say ]; then
    arch=$(cat "$1/wine-arch.txt" 2>/dev/null) \
        || { echo "wine-arch: $1 is no configured Windows build" >&2; exit 1; }
    echo "$arch"
    exit 0
fi

say=
[ "${1:-}" = --say ] && say=1
case ${DUVARIN_WINE_ARCH:-} in
    win32|win64)
        arch=$DUVARIN_WINE_ARCH
        why="as DUVARIN_WINE_ARCH asks" ;;
    "")
        if "$loader32" --version >/dev/null 2>&1; then
            arch=win32
            why="this machine runs 32-bit programs"
        else
            arch=win64
            # The shell's own words for the failure, such as "Exec format error".
            reason=$({ "$loader32" --version; } 2>&1 | tail -n 1 | sed 's/.*: //') || true
            why="this machine cannot start Wine's 32-bit loader $loader32 ($reason)"
        fi ;;
    *)
        echo "wine-arch: DUVARIN_WINE_ARCH is '$DUVARIN_WINE_ARCH'; it takes win32 or win64" >&2
        exit 2 ;;
esac
if [ -n "$say" ]; then
    if [ "$arch" = win32 ]; then
        echo "wine: $why: the Windows tests run the i686 program under 32-bit Wine (build/win)" >&2
    else
        echo "wine: $why: the Windows tests run an x86_64 build of the same sources under 64-bit Wine (build/win64); the product stays the i686 program (build/win)" >&2
    fi
fi
echo "$arch"
