# Sourced by scripts/run and scripts/test: makes sure the Debian packages the project needs are
# installed. As root it installs what is missing; otherwise it prints the one command to run.
RUVO_PACKAGES=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev libqt6opengl6-dev
    libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
    libjpeg-dev libfreetype-dev fonts-dejavu-core libembree-dev libssl-dev
    libtinygltf-dev nlohmann-json3-dev libboost-dev poppler-utils
    libgdcm-dev libmeshoptimizer-dev
    libgtest-dev libgmock-dev libbenchmark-dev python3-pydicom
    xvfb xauth xdg-utils xdotool
    clang-format clang-tidy
)
# Only for fuzzing with libFuzzer (scripts/fuzz-replay); the tests replay the corpora without it.
RUVO_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# The missing packages among those named, or among RUVO_PACKAGES when none are named.
ruvo_missing_packages() {
    local missing=()
    local wanted=("$@")
    [ ${#wanted[@]} -eq 0 ] && wanted=("${RUVO_PACKAGES[@]}")
    for package in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    echo "${missing[@]}"
}

# Installs the packages named, or RUVO_PACKAGES when none are named.
ruvo_install_dependencies() {
    local missing
    missing=$(ruvo_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages. Run this once, then try again:" >&2
        echo "  sudo apt-get install -y $missing" >&2
        return 1
    fi
    echo "Installing Debian packages: $missing"
    apt-get update -q || return 1
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing || return 1
}
