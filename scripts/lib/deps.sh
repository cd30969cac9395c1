# Installs the Debian packages Brovik needs that are not there yet.
# Sourced by scripts/run, scripts/test and scripts/bench.

BROVIK_BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools
    qt6-serialport-dev libgl-dev)
BROVIK_TEST_PACKAGES=(xvfb xauth xdotool procps desktop-file-utils fonts-dejavu-core
    dbus-daemon at-spi2-core python3-pyatspi)

brovik_ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# Configures and builds into $1 with build type $2.
brovik_build() {
    local dir=$1 type=$2
    shift 2
    cmake -S "$BROVIK_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}
