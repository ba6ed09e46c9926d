#!/usr/bin/env bash
# Installs what building and testing Duvarin needs on Debian 12. Does nothing
# when everything is present, so every make target can call it every time.
# Only installing needs root: building and testing do not. Run by another
# user with packages missing, it says what to run and stops before doing
# anything.
#
# Where this machine cannot start 32-bit programs, the Windows tests run an
# x86_64 build under 64-bit Wine (tools/wine-arch.sh); its compilers and
# Wine (about 165 MB to fetch, 1 GB installed) come only where that way is
# taken or asked for (DUVARIN_WINE_ARCH=win64), once Wine is there to ask.
#
# Package mirrors go out of step for hours at a time ("Mirror sync in
# progress?"). apt retries what it could not fetch (Acquire::Retries); when
# an index still fails and the install then cannot be resolved (typically
# amd64 libraries from the security suite whose i386 twins are missing), it
# is tried once more with the sources whose indexes failed left out, so that
# both architectures come from the same suite. Every step says what it did.
set -euo pipefail

packages=(cmake g++ make libgtest-dev googletest libbenchmark-dev
          g++-mingw-w64-i686 binutils-mingw-w64-i686
          wine wine32:i386 xvfb x11-apps fonts-wqy-zenhei fonts-wqy-microhei python3 zip unzip
          clang libclang-rt-14-dev clang-format imagemagick nginx-light units libpugixml-dev libqalculate-data curl)
packages_64=(wine64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)

# Sets missing to those of the given packages that are not installed.
find_missing() {
    missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
}

say() { echo "setup: $*"; }
fail() { echo "setup: FAILED: $*" >&2; exit 1; }

work=
# Installing nginx must not start a system server on port 80, which
# tools/nginx-site.sh serves the sample site on for make run; a policy of
# our own stops that only when the machine has none.
policy=/usr/sbin/policy-rc.d
own_policy=
cleanup() {
    [ -z "$own_policy" ] || rm -f "$policy"
    [ -z "$work" ] || rm -rf "$work"
    own_policy= work=
}
trap cleanup EXIT

# apt-get update, each file tried up to three more times with growing
# pauses; afterwards $work/failed lists the "URI suite" of every index that
# still could not be fetched.
update() {
    if apt-get -o Acquire::Retries=3 "$@" update -q >"$work/update.log" 2>&1; then
        : >"$work/failed"
        return 0
    fi
    sed -n 's|^E: Failed to fetch \(.*\)/dists/\([^/]*\)/.*|\1 \2|p' "$work/update.log" \
        | sort -u >"$work/failed"
    say "package index update failed:"
    grep '^E:' "$work/update.log" | sed 's/^/    /' || true
    return 1
}

install() {
    apt-get -o Acquire::Retries=3 "$@" install -y -q --no-install-recommends "${missing[@]}" \
        >"$work/install.log" 2>&1 && return 0
    say "apt-get install failed:"
    tail -n 20 "$work/install.log" | sed 's/^/    /'
    return 1
}

# Copies the machine's package sources into $work/sources, without the
# suites listed in $work/failed; handles both the one-line and the deb822
# formats.
write_sources_without_failed() {
    mkdir -p "$work/sources"
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v failed="$work/failed" '
            BEGIN { while ((getline line < failed) > 0) { split(line, f, " "); bad[f[1] " " f[2]] = 1 } }
            function norm(u) { sub(/\/+$/, "", u); return u }
            # One-line format: deb [options] URI suite components...
            FILENAME !~ /\.sources$/ {
                n = split($0, w, /[ \t]+/); i = 2
                if (w[i] ~ /^\[/) { while (i <= n && w[i] !~ /\]$/) i++; i++ }
                if ($1 ~ /^deb/ && ((norm(w[i]) " " w[i+1]) in bad)) next
                print; next
            }
            # deb822: drop failed suites from each stanza, and the stanza
            # when no suite is left.
            /^[ \t]*$/ { flush(); print; next }
            { stanza[++count] = $0
              if ($1 == "URIs:") uris = $0
              if ($1 == "Suites:") suites = $0 }
            function flush(   k, s, u, kept, ns, nu, j, m) {
                if (count == 0) return
                kept = ""
                ns = split(suites, s, /[ \t]+/); nu = split(uris, u, /[ \t]+/)
                for (j = 2; j <= ns; j++) {
                    m = 0
                    for (k = 2; k <= nu; k++) if ((norm(u[k]) " " s[j]) in bad) m = 1
                    if (!m) kept = kept " " s[j]
                }
                if (suites == "" || kept != "")
                    for (k = 1; k <= count; k++)
                        print (stanza[k] ~ /^Suites:/ ? "Suites:" kept : stanza[k])
                count = 0; uris = ""; suites = ""
            }
            END { flush() }
        ' "$file" >"$work/sources/$(basename "$file")"
    done
    # sources.list is read through SourceParts only, so it needs a .list name.
    [ ! -f "$work/sources/sources.list" ] || mv "$work/sources/sources.list" "$work/sources/main.list"
}

# Installs the packages in missing, or says what to run and exits.
install_missing() {
    if [ "$(id -u)" -ne 0 ]; then
        add_i386=
        dpkg --print-foreign-architectures | grep -qx i386 || add_i386="sudo dpkg --add-architecture i386 && "
        {
            echo "setup: these packages are missing: ${missing[*]}"
            echo "setup: installing them needs root. Run"
            echo "    sudo make setup"
            echo "setup: or install them yourself:"
            echo "    ${add_i386}sudo apt-get update && sudo apt-get install --no-install-recommends ${missing[*]}"
            echo "setup: then run make again; building and testing need no root."
        } >&2
        exit 1
    fi

    export DEBIAN_FRONTEND=noninteractive
    work=$(mktemp -d)
    if [ ! -e "$policy" ]; then
        printf '#!/bin/sh\nexit 101\n' > "$work/policy-rc.d"
        command install -m 755 "$work/policy-rc.d" "$policy"
        own_policy=1
    fi

    say "installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture (Wine runs the 32-bit program)"
        dpkg --add-architecture i386
    fi

    if update; then
        install && { say "done"; cleanup; return 0; }
        fail "apt-get install could not install the packages above; see the messages."
    fi
    if [ ! -s "$work/failed" ]; then
        fail "apt-get update failed and named no index; is the network or the package mirror down?"
    fi
    say "going on with the indexes that could be fetched"
    install && { say "done (with the indexes above out of date)"; cleanup; return 0; }

    say "leaving out for this install the sources whose indexes failed:"
    sed 's/^/    /' "$work/failed"
    write_sources_without_failed
    alt=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$work/sources")
    update "${alt[@]}" || fail "the remaining sources could not be updated either; try again later."
    install "${alt[@]}" || fail "the packages could not be installed even without the failed sources; try again later."
    say "done without those sources; a later 'apt-get update' brings them back"
    cleanup
}

find_missing "${packages[@]}"
[ ${#missing[@]} -eq 0 ] || install_missing
if [ "$("$(dirname "$0")/wine-arch.sh")" = win64 ]; then
    find_missing "${packages_64[@]}"
    [ ${#missing[@]} -eq 0 ] || install_missing
fi
