# Build for the browser (WebAssembly) with Debian's emscripten:
#   emcmake cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
# (scripts/build-web.sh does so). On top of emscripten's own toolchain file it settles what
# Debian's packages need: emscripten's system libraries come prebuilt from its read-only cache
# (/usr/share/emscripten/cache, as Debian's configuration says), so nothing is built into or
# written to $HOME or /usr; the linker's JavaScript tools find Debian's node modules (acorn)
# under any node; ctest runs the test programs under node.
set(KORVANE_EMSCRIPTEN_ROOT /usr/share/emscripten
    CACHE PATH "emscripten's folder, which holds its CMake toolchain file and configuration")
include(${KORVANE_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)

# Linking at -O1 and above runs emscripten's JavaScript optimizer under node, which needs
# Debian's acorn from /usr/share/nodejs; a node not from Debian does not look there by itself.
set(KORVANE_NODE_PATH /usr/share/nodejs CACHE PATH "Node modules of emscripten's JavaScript tools")
set(ENV{NODE_PATH} ${KORVANE_NODE_PATH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${KORVANE_NODE_PATH})

# The test programs run under node. emcmake's default emulator adds --experimental-wasm-threads,
# which node 20 refuses; without node's own fetch the programs read their .wasm from disk.
find_program(KORVANE_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${KORVANE_NODE};--no-experimental-fetch"
    CACHE STRING "How ctest runs a WebAssembly program" FORCE)
