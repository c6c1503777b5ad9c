# Shared by the scripts: install what is missing, configure and build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-tidy
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n libx11-dev libxtst-dev
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libsqlite3-dev
  fonts-ipafont-gothic xvfb xauth ccache jq cmark help2man man-db ser2net socat lld
)

install_missing() {
  local missing=()
  for package in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
}

# Compilations go through ccache where it is installed. Paths under the clone are rewritten
# relative to it, debug information included, so that clones in other folders share the cache.
# rcc stamps each resource with its file's time, which a fresh clone sets to the checkout's: a fixed
# stamp keeps the resource source alike across clones (the tool never reads it).
CACHE_OPTIONS=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$ROOT QT_RCC_SOURCE_DATE_OVERRIDE=1
  CACHE_OPTIONS=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache "-DCMAKE_CXX_FLAGS=-fdebug-prefix-map=$ROOT=.")
fi

# Programs link with lld, which takes a fraction of the GNU linker's time for each of the many test
# programs: most of what a build whose compilations all come from the cache has left to do.
LINK_OPTIONS=()
for kind in EXE SHARED MODULE; do LINK_OPTIONS+=("-DCMAKE_${kind}_LINKER_FLAGS=-fuse-ld=lld"); done

# configure SOURCE DIR [cmake options...]
configure() {
  local source=$1 dir=$2
  shift 2
  cmake -S "$source" -B "$dir" -G Ninja "${CACHE_OPTIONS[@]}" "${LINK_OPTIONS[@]}" "$@" >/dev/null
}

# build DIR [cmake options...]
build() {
  local dir=$1
  shift
  configure "$ROOT" "$dir" "$@"
  cmake --build "$dir"
}
