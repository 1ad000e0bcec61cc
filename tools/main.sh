#!/usr/bin/env bash
# The main job: build everything, install Vorlix307.vst3 into ~/.vst3 and its factory presets
# into ~/.vst3/presets/<vendor>/Vorlix307/, Vorlix307.lv2 into ~/.lv2, the standalone app vorlix307
# into ~/.local/bin with its desktop entry and icon under ~/.local/share, and render the demo phrase
# through the installed module into demo.wav. Extra arguments go to vorlix-render
# (for example --program bass-vorlix).
#   tools/main.sh --windows   cross-builds the Windows x64 bundle and vorlix-render.exe into
#                             build-win/ instead (MinGW-w64; nothing is installed or rendered)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/setup.sh

if [ "${1:-}" = "--windows" ]; then
  # The resource tables are made by a build tool that runs here, so the Linux build makes it.
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build -j "$(nproc)" --target vorlix-embed
  cmake -S . -B build-win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DVORLIX_EMBED_EXECUTABLE="$root/build/tools/embed/vorlix-embed" >/dev/null
  cmake --build build-win -j "$(nproc)" --target Vorlix307 vorlix-render
  echo "Windows bundle: $root/build-win/Vorlix307.vst3 (copy it into C:\Program Files\Common Files\VST3)"
  echo "Windows host:   $root/build-win/vorlix-render.exe"
  exit 0
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc)"

for built in build/Vorlix307.vst3/Contents/x86_64-linux/Vorlix307.so build/stripped/Vorlix307.so build/vorlix-render \
             build/vorlix307; do
  [ -e "$built" ] || { echo "main: $built was not built" >&2; exit 1; }
done

mkdir -p "$HOME/.vst3"
rm -rf "$HOME/.vst3/Vorlix307.vst3"
cp -r build/Vorlix307.vst3 "$HOME/.vst3/"
# The module as the build strips it for installing (see formats/vst3/CMakeLists.txt).
install -m 755 build/stripped/Vorlix307.so "$HOME/.vst3/Vorlix307.vst3/Contents/x86_64-linux/Vorlix307.so"
echo "installed $HOME/.vst3/Vorlix307.vst3"

# The LV2 bundle into ~/.lv2, with its two binaries as the build strips them for installing.
for built in build/lv2/Vorlix307.lv2/manifest.ttl build/stripped/lv2/Vorlix307.so build/stripped/lv2/Vorlix307_ui.so; do
  [ -e "$built" ] || { echo "main: $built was not built" >&2; exit 1; }
done
mkdir -p "$HOME/.lv2"
rm -rf "$HOME/.lv2/Vorlix307.lv2"
cp -r build/lv2/Vorlix307.lv2 "$HOME/.lv2/"
install -m 755 build/stripped/lv2/Vorlix307.so build/stripped/lv2/Vorlix307_ui.so "$HOME/.lv2/Vorlix307.lv2/"
echo "installed $HOME/.lv2/Vorlix307.lv2"

# The factory presets where hosts look for them: ~/.vst3/presets/<vendor>/Vorlix307/, the vendor
# folder named by the build as the factory reports it. Hosts save their users' presets into the
# same folder: install-presets.sh never replaces or removes a file it did not write.
built_presets=(build/presets/*/Vorlix307)
[ -d "${built_presets[0]}" ] || { echo "main: the factory presets were not built" >&2; exit 1; }
for folder in "${built_presets[@]}"; do
  vendor="$(basename "$(dirname "$folder")")"
  bash tools/install-presets.sh "$folder" "$HOME/.vst3/presets/$vendor/Vorlix307"
done
# The standalone app where desktops look: the program on PATH (~/.local/bin), the menu entry
# and the icon in the user's XDG data folder.
data="${XDG_DATA_HOME:-$HOME/.local/share}"
install -D -m 755 -s build/vorlix307 "$HOME/.local/bin/vorlix307"
install -D -m 644 apps/standalone/vorlix307.desktop "$data/applications/vorlix307.desktop"
install -D -m 644 apps/standalone/vorlix307.png "$data/icons/hicolor/128x128/apps/vorlix307.png"
echo "installed $HOME/.local/bin/vorlix307"

build/vorlix-render --plugin "$HOME/.vst3/Vorlix307.vst3" --out "$root/demo.wav" "$@"
echo "demo: $root/demo.wav"
