#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it: its file
# list is exactly what `cmake --install` puts under /usr, with the binaries
# stripped, the desktop entry, the metadata, the icons and the manual pages;
# its control fields name the package, version, architecture, maintainer,
# section, description and the libraries it needs; the manual pages read
# without warnings and the installed tree passes the AppStream check.
# Usage: package_contents.sh BUILD_DIR VERSION
set -euo pipefail
build=${1:?build folder} version=${2:?version}
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
    command -v "$tool" >/dev/null || {
        echo "SKIP: $tool is not installed (Debian packages cmake, dpkg-dev, file)"
        exit 77
    }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
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
    usr/share/doc/brovik/copyright usr/share/doc/brovik/changelog.gz; do
    [ -f "$work/deb/$path" ] || fail "the package lacks /$path"
done
for binary in brovik brovik-virtual-device; do
    case $(file -b "$work/deb/usr/bin/$binary") in
    *ELF*", stripped"*) ;;
    *) fail "/usr/bin/$binary is not a stripped program: $(file -b "$work/deb/usr/bin/$binary")" ;;
    esac
done

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
echo "$(basename "$deb"): $(wc -l <"$work/packaged") files, Depends: $(field Depends)"
