#!/usr/bin/env bash
# Installs what is missing, builds Velkor with its tests and runs them all
# through CTest. With --release the build is optimised (RelWithDebInfo) in
# its own folder. With --sanitize the build uses AddressSanitizer and
# UndefinedBehaviorSanitizer, and any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
options=(-DCMAKE_BUILD_TYPE=Debug)
case "${1:-}" in
"") ;;
--release)
    build=build-release
    options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
    ;;
--sanitize)
    build=build-sanitize
    options+=(-DENABLE_SANITIZERS=ON)
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
    export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ;;
*)
    echo "usage: $0 [--release | --sanitize]" >&2
    exit 2
    ;;
esac

bash tools/install-deps.sh
cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j "$(nproc)"
