# Sourced by ./run and ./test: the one list of Debian packages Daubix needs, and the installer.

DAUBIX_BUILD_PACKAGES="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins
    libfreetype-dev libfontconfig-dev fonts-liberation2 libgif-dev libimagequant-dev libpng-dev
    libjpeg62-turbo-dev libsane-dev"
DAUBIX_TEST_PACKAGES="xvfb xauth sane-utils clang libclang-rt-14-dev libgtest-dev libbenchmark-dev ccache
    poppler-utils imagemagick netpbm libjpeg-turbo-progs"

# Installs whatever of the given packages is missing; asks apt only when something is.
daubix_install_packages()
{
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq || return 1
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

# Configures (once) and builds one build tree.
daubix_build()
{
    local dir=$1
    shift
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" || return 1
    fi
    cmake --build "$dir" -j "$(nproc)"
}
