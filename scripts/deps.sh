# Sourced by scripts/run and scripts/test: makes sure the Debian packages the project needs are
# installed. As root it installs what is missing; otherwise it prints the one command to run.
RUVO_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqt6opengl6-dev
    libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
    libjpeg-dev libfreetype-dev fonts-dejavu-core libembree-dev
    libassimp-dev libtinygltf-dev nlohmann-json3-dev poppler-utils
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdg-utils xdotool
    clang libclang-rt-14-dev
)

ruvo_missing_packages() {
    local missing=()
    for package in "${RUVO_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    echo "${missing[@]}"
}

ruvo_install_dependencies() {
    local missing
    missing=$(ruvo_missing_packages)
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
