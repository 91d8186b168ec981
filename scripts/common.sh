# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail

REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$REPO/build}"

PACKAGES=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-translations-l10n
    libxlsxwriter-dev libgtest-dev
    zlib1g-dev unzip locales fonts-liberation2 poppler-utils dpkg-dev file
    lintian desktop-file-utils appstream man-db
)

install_missing() {
    local missing=()
    for package in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Устанавливаются пакеты: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# scripts/run and scripts/test configure build/ alike and build all of it, so neither
# reconfigures after the other and ctest in build/ never runs a test program older
# than the code.
build() {
    cmake -S "$REPO" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVASTREL_TESTS=ON "$@"
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}

# Russian desktops run with ru_RU.UTF-8 (comma decimals); the program must work there.
ensure_russian_locale() {
    locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8' && return 0
    echo "Создается локаль ru_RU.UTF-8"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen
}
