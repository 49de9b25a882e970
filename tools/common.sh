# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}

install_deps() {
  local missing=()
  while read -r pkg; do
    pkg=${pkg%%#*}; pkg=$(echo "$pkg" | xargs)
    [ -z "$pkg" ] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done < "$ROOT/tools/deps.txt"
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

build() {
  export CCACHE_BASEDIR="$ROOT"
  export CCACHE_NOHASHDIR=1
  local type=${BUILD_TYPE:-Release}
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="$type" ${CMAKE_EXTRA:-} >/dev/null
  cmake --build "$BUILD_DIR" ${TARGETS:+--target $TARGETS}
}
