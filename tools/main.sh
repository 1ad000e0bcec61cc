#!/usr/bin/env bash
# The main job: build everything, install Vorlix307.vst3 into ~/.vst3 and render the demo
# phrase through the installed module into demo.wav. Extra arguments go to vorlix-render
# (for example --program bass-vorlix).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"

for built in build/Vorlix307.vst3/Contents/x86_64-linux/Vorlix307.so build/vorlix-render; do
  [ -e "$built" ] || { echo "main: $built was not built" >&2; exit 1; }
done

mkdir -p "$HOME/.vst3"
rm -rf "$HOME/.vst3/Vorlix307.vst3"
cp -r build/Vorlix307.vst3 "$HOME/.vst3/"
# The installed module carries no debug information (a few MB a host would map for nothing);
# the build tree's copy keeps it for debuggers and profilers.
strip --strip-debug "$HOME/.vst3/Vorlix307.vst3/Contents/x86_64-linux/Vorlix307.so"
echo "installed $HOME/.vst3/Vorlix307.vst3"
build/vorlix-render --plugin "$HOME/.vst3/Vorlix307.vst3" --out "$root/demo.wav" "$@"
echo "demo: $root/demo.wav"
