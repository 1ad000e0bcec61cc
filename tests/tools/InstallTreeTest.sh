#!/usr/bin/env bash
# cmake --install of a built tree: the bundle with the stripped module (no debug information, yet
# the same code as the build's), and the factory presets where hosts look under the prefix.
#   InstallTreeTest.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cmake --install "$build" --prefix "$prefix" > /dev/null
so="$prefix/lib/vst3/Vorlix307.vst3/Contents/x86_64-linux/Vorlix307.so"
[ -x "$so" ] || fail "no executable module at $so"
[ -f "$prefix/lib/vst3/Vorlix307.vst3/Contents/Resources/moduleinfo.json" ] || fail "no moduleinfo.json"
if readelf -S "$so" | grep -q '\.debug_'; then fail "the installed module carries debug information"; fi
built="$build/Vorlix307.vst3/Contents/x86_64-linux/Vorlix307.so"
# The same code: stripping keeps the text section byte for byte.
[ "$(objcopy -O binary --only-section=.text "$so" /dev/stdout | sha256sum)" = \
  "$(objcopy -O binary --only-section=.text "$built" /dev/stdout | sha256sum)" ] || fail "the installed module's code differs from the build's"
presets=$(find "$prefix/share/vst3/presets" -path '*/Vorlix307/*.vstpreset' | wc -l)
[ "$presets" -eq 61 ] || fail "$presets factory presets installed, expected 61"
# The standalone app, when built: the program in bin/, its menu entry and icon under share/, and
# only the libraries a desktop without a development setup has.
if [ -e "$build/vorlix307" ]; then
  app="$prefix/bin/vorlix307"
  [ -x "$app" ] || fail "no executable at $app"
  grep -q '^Exec=vorlix307$' "$prefix/share/applications/vorlix307.desktop" || fail "no desktop entry running vorlix307"
  [ -f "$prefix/share/icons/hicolor/128x128/apps/vorlix307.png" ] || fail "no icon for the desktop entry"
  extra=$(readelf -d "$app" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' |
          grep -vE '^lib(jack|GLX|GL|X11|stdc\+\+|m|gcc_s|c)\.so' || true)
  [ -z "$extra" ] || fail "vorlix307 needs libraries beyond libjack, GL, X11 and the C/C++ runtime: $extra"
fi
echo "install tree: ok ($(stat -c %s "$so") bytes module)"
