# Shared by ./run and ./test: install what the build needs, then build.
ULMAR_PACKAGES=(cmake g++ make pkg-config ccache qt6-base-dev qt6-translations-l10n
    libsqlite3-dev libjpeg62-turbo-dev mdbtools-dev libglib2.0-dev libgtest-dev
    fonts-dejavu-core poppler-utils)

ulmar_install() {
    local missing=()
    for p in "${ULMAR_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Устанавливаются пакеты: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

ulmar_build() {  # $1: build folder, $2: build type, then the targets (default: all)
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the source folder, so clones in other folders share the cache.
    export CCACHE_BASEDIR="$PWD"
    cmake -S . -B "$1" -DCMAKE_BUILD_TYPE="$2" -DULMAR_WERROR="${ULMAR_WERROR:-OFF}" "${launcher[@]}"
    local targets=()
    [ $# -gt 2 ] && targets=(--target "${@:3}")
    cmake --build "$1" -j"$(nproc)" "${targets[@]}"
}
