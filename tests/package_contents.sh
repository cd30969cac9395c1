#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder and checks it: its file
# list is exactly what `cmake --install` puts under /usr, with the binaries
# stripped and hardened, the desktop entry, the metadata, the icons, the
# manual pages and the documents; its control fields name the package,
# version, architecture, maintainer, section, description and the libraries
# it needs; every file bears the one time SOURCE_DATE_EPOCH gives; the
# copyright file is machine-readable and names the metadata's licence; the
# manual pages read without warnings and the installed tree passes the
# AppStream check; the packaged program says plainly when it has no display.
# Usage: package_contents.sh BUILD_DIR VERSION
set -euo pipefail
build=${1:?build folder} version=${2:?version}
for tool in cpack dpkg-deb dpkg-shlibdeps file readelf; do
    command -v "$tool" >/dev/null || {
        echo "SKIP: $tool is not installed (Debian packages cmake, dpkg-dev, file, binutils)"
        exit 77
    }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

epoch=1700000000
SOURCE_DATE_EPOCH=$epoch cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" \
    >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not make the package"; }
arch=$(dpkg --print-architecture)
deb="$work/out/brovik_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); made: $(ls "$work/out")"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
expect_field() {
    [ "$(field "$1")" = "$2" ] || fail "$1 is '$(field "$1")', expected '$2'"
}
expect_field Package brovik
expect_field Version "$version"
expect_field Architecture "$arch"
expect_field Section comm
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] ||
    fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
description=$(field Description)
[ -n "$(head -n 1 <<<"$description")" ] && [ "$(wc -l <<<"$description")" -ge 3 ] ||
    fail "Description needs a synopsis and a long text: '$description'"
for library in libc6 libqt6core6 libqt6widgets6 libqt6serialport6; do
    [[ ", $(field Depends)," == *", $library ("* ]] ||
        fail "Depends '$(field Depends)' lacks $library (dpkg-shlibdeps computes it)"
done

# Contents: what cmake --install installs, no more and no less.
DESTDIR="$work/install" cmake --install "$build" --prefix /usr >"$work/install.log" ||
    { cat "$work/install.log"; fail "cmake --install failed"; }
(cd "$work/install" && find . -type f | sort) >"$work/installed"
dpkg-deb -x "$deb" "$work/deb"
(cd "$work/deb" && find . -type f | sort) >"$work/packaged"
diff -u "$work/installed" "$work/packaged" >"$work/diff" ||
    { cat "$work/diff"; fail "the package holds other files than cmake --install installs"; }

for path in usr/bin/brovik usr/bin/brovik-virtual-device \
    usr/share/applications/brovik.desktop \
    usr/share/metainfo/com.example.brovik.metainfo.xml \
    usr/share/icons/hicolor/48x48/apps/brovik.png \
    usr/share/icons/hicolor/scalable/apps/brovik.svg \
    usr/share/man/man1/brovik.1.gz usr/share/man/man1/brovik-virtual-device.1.gz \
    usr/share/bash-completion/completions/brovik \
    usr/share/doc/brovik/copyright usr/share/doc/brovik/changelog.gz \
    usr/share/doc/brovik/README.md.gz; do
    [ -f "$work/deb/$path" ] || fail "the package lacks /$path"
done
for binary in brovik brovik-virtual-device; do
    case $(file -b "$work/deb/usr/bin/$binary") in
    *ELF*", stripped"*) ;;
    *) fail "/usr/bin/$binary is not a stripped program: $(file -b "$work/deb/usr/bin/$binary")" ;;
    esac
done

# Hardened as Debian builds are (dpkg-buildflags): what lintian looks for.
# brovik's own calls leave nothing for FORTIFY to check at run time (see
# packaging/lintian-overrides); the device's do.
hardening=(
    "brovik brovik-virtual-device|position-independent|-hW|Type: *DYN"
    "brovik brovik-virtual-device|full RELRO|-lW|GNU_RELRO"
    "brovik brovik-virtual-device|BIND_NOW|-dW|BIND_NOW|FLAGS_1.*NOW"
    "brovik brovik-virtual-device|stack protector|--dyn-syms -W|__stack_chk_fail"
    "brovik-virtual-device|FORTIFY functions|--dyn-syms -W|__[a-z]+_chk@"
)
if grep -q '^BROVIK_DISTRIBUTION_FLAGS:BOOL=OFF' "$build/CMakeCache.txt"; then
    echo "built with BROVIK_DISTRIBUTION_FLAGS=OFF: hardening not checked"
else
    for row in "${hardening[@]}"; do
        IFS='|' read -r binaries what options pattern <<<"$row"
        for binary in $binaries; do
            # shellcheck disable=SC2086 # the options are several words
            readelf $options "$work/deb/usr/bin/$binary" >"$work/readelf"
            grep -Eq "$pattern" "$work/readelf" ||
                fail "/usr/bin/$binary lacks $what (readelf $options)"
        done
    done
fi
for binary in brovik brovik-virtual-device; do
    readelf -SW "$work/deb/usr/bin/$binary" >"$work/readelf"
    ! grep -q ' \.comment ' "$work/readelf" || fail "/usr/bin/$binary keeps its .comment section"
done

# One time for every file and for the package's own members.
stamps=$( (
    dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time --utc
    dpkg-deb --ctrl-tarfile "$deb" | tar -tv --full-time --utc
) | awk '{ print $4 " " $5 }' | sort -u)
[ "$stamps" = "$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')" ] ||
    fail "the files bear other times than SOURCE_DATE_EPOCH: $stamps"
members=$(LC_ALL=C TZ=UTC ar tv "$deb" | awk '{ print $4, $5, $6, $7 }' | sort -u)
[ "$members" = "$(LC_ALL=C date -u -d "@$epoch" '+%b %-d %H:%M %Y')" ] ||
    fail "the package's members bear other times than SOURCE_DATE_EPOCH: $members"

# The licence, machine-readable, and the same in the metadata.
copyright="$work/deb/usr/share/doc/brovik/copyright"
[ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "the copyright file is not in the machine-readable format"
licence=$(sed -n 's/^License: //p' "$copyright" | sort -u)
metainfo="$work/deb/usr/share/metainfo/com.example.brovik.metainfo.xml"
[ -n "$licence" ] && grep -q "<project_license>$licence</project_license>" "$metainfo" ||
    fail "the copyright file's licence '$licence' is not the metadata's"

# The change log's newest entry is this version.
top=$(gzip -dc "$work/deb/usr/share/doc/brovik/changelog.gz" | head -n 1)
[[ $top == "brovik ($version) "* ]] || fail "the change log starts '$top', not version $version"

# The manual pages read cleanly.
if command -v man >/dev/null; then
    for page in "$work"/deb/usr/share/man/man1/*.1.gz; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
        LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q '^EXIT STATUS' ||
            fail "$(basename "$page") has no EXIT STATUS section"
    done
else
    echo "man is not installed (Debian package man-db): manual pages not read"
fi

# The metadata, the desktop entry and the icon work together once installed.
if command -v appstreamcli >/dev/null; then
    # Infos and pedantic notes leave the exit code alone; a clean tree has none.
    if ! appstreamcli validate-tree --pedantic --explain --no-net "$work/deb" \
        >"$work/appstream.log" 2>&1 || grep -Eq '^ *[EWIP]: ' "$work/appstream.log"; then
        cat "$work/appstream.log"
        fail "appstreamcli validate-tree finds fault with the installed tree"
    fi
else
    echo "appstreamcli is not installed (Debian package appstream): installed tree not checked"
fi
# Without a display the packaged program says so and stops; a platform that
# needs none (the tests' offscreen) still starts, until SIGTERM closes it.
mkdir -p "$work/home/.config/Brovik"
printf '[Ports]\nCOM1=%s\n' "$work/no-such-device" >"$work/home/.config/Brovik/Brovik.ini"
no_display="brovik: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."
starts=(
    "||1"
    "xcb||1"
    "wayland;xcb||1"
    "xcb|-platform offscreen|0"
    "offscreen||0"
    "wayland;offscreen||0"
)
for row in "${starts[@]}"; do
    IFS='|' read -r platform arguments expected <<<"$row"
    status=0
    # shellcheck disable=SC2086 # the arguments are several words
    env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET HOME="$work/home" \
        XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM="$platform" \
        timeout --preserve-status -s TERM 3 "$work/deb/usr/bin/brovik" $arguments \
        >"$work/run.log" 2>&1 || status=$?
    said=$(grep -c -F "$no_display" "$work/run.log" || true)
    [ "$status" = "$expected" ] && [ "$said" = "$expected" ] ||
        fail "brovik $arguments with QT_QPA_PLATFORM='$platform' and no display: exit $status, expected $expected: $(cat "$work/run.log")"
done

echo "$(basename "$deb"): $(wc -l <"$work/packaged") files, Depends: $(field Depends)"
