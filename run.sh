#!/usr/bin/env bash
# Builds the program in Release, lays out build/bin/ and starts kelm.
source "$(dirname "$0")/tools/common.sh"
install_deps
build
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "kelm needs a graphical display (DISPLAY is not set); it was built in $BUILD_DIR/bin but not started." >&2
  exit 1
fi
cd "$BUILD_DIR/bin"
exec ./kelm "$@"
