#!/usr/bin/env bash
# Builds everything and runs every test through CTest on Qt's offscreen platform.
source "$(dirname "$0")/tools/common.sh"
install_deps
build
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j"$(nproc)" "$@"
