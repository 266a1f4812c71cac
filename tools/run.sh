#!/usr/bin/env bash
# Installs what is missing, builds Velkor and starts it. Arguments are passed
# to the program (for example -ms or -cleanup).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
cmake --build build-run --target velkor

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: starting Velkor on a virtual X display."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build-run/src/app/velkor "$@"
fi
exec build-run/src/app/velkor "$@"
