#!/usr/bin/env bash
# The Windows build's checks under Wine, against the Linux build of the same sources:
#   tools/windows/wine-tests.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
# vorlix-render.exe loads the Windows bundle as a host does and must render the demo phrase, a
# MIDI file and every program like the Linux build (each difference at least 80 dB below the
# signal), load a state and a JSON preset the Linux build wrote and give back the same bytes; the
# Win32 platform tests run, and the editor opened in a Win32 window draws the Linux editor's picture.
# Needs a display (Xvfb) for the window tests. One Wine prefix per run, in a temporary folder.
set -euo pipefail
linux="$(realpath "$1")"
win="$(realpath "$2")"
tools="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
command -v wine >/dev/null || { echo "wine is not installed (tools/setup.sh installs it)" >&2; exit 1; }

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs .NET or a browser, and their prompts would block.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

# Z:\ is the Unix root in every Wine prefix.
winpath() { local p; p="$(realpath -m "$1")"; printf 'Z:%s' "${p//\//\\}"; }
lin_render() { "$linux/vorlix-render" --plugin "$linux/Vorlix307.vst3" "$@"; }
win_render() { wine "$win/vorlix-render.exe" --plugin "$(winpath "$win/Vorlix307.vst3")" "$@"; }
compare() { python3 "$tools/compare-wav.py" "$1" "$2" | tee -a "$work/differences.txt"; }

start=$SECONDS
wine wineboot -i >/dev/null 2>&1
echo "Wine prefix ready in $((SECONDS - start)) s"

echo "--- the module imports only system DLLs and exports only the entry points"
dll="$win/Vorlix307.vst3/Contents/x86_64-win/Vorlix307.vst3"
imports="$(x86_64-w64-mingw32-objdump -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')"
echo "imports: $imports"
for name in $imports; do
  case "$name" in
    kernel32.dll|user32.dll|gdi32.dll|opengl32.dll|comdlg32.dll|ole32.dll|shell32.dll|msvcrt.dll|advapi32.dll) ;;
    *) echo "FAIL: $name is not a system DLL" >&2; exit 1 ;;
  esac
done
# The name table: "[   0] ExitDll" rows after its heading, up to the next blank line.
exports="$(x86_64-w64-mingw32-objdump -p "$dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  awk '/^[ \t]*\[ *[0-9]+\]/ {print $NF}' | sort | tr '\n' ' ')"
echo "exports: $exports"
[ "$exports" = "ExitDll GetPluginFactory InitDll " ] || { echo "FAIL: unexpected exports" >&2; exit 1; }
[ -f "$win/Vorlix307.vst3/Contents/Resources/moduleinfo.json" ]
cmp "$win/Vorlix307.vst3/Contents/Resources/moduleinfo.json" "$linux/Vorlix307.vst3/Contents/Resources/moduleinfo.json"

echo "--- the demo phrase"
lin_render --out "$work/demo-linux.wav" >/dev/null
win_render --out "$(winpath "$work/demo-win.wav")" >/dev/null
compare "$work/demo-linux.wav" "$work/demo-win.wav"

echo "--- a MIDI file: two tracks, running status, a pitch bend and the sustain pedal"
python3 - "$work/phrase.mid" <<'PY'
import struct, sys
def vlq(v):
    out = [v & 0x7F]
    while v >> 7:
        v >>= 7
        out.insert(0, 0x80 | (v & 0x7F))
    return bytes(out)
def track(events):
    body = b"".join(vlq(dt) + bytes(ev) for dt, ev in events) + b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body
tempo = track([(0, [0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20])])  # 120 bpm
notes = [(0, [0x90, 48, 100]), (0, [52, 90]), (0, [55, 80]), (240, [0xB0, 64, 127]), (240, [0x80, 48, 0]),
         (0, [0x80, 52, 0]), (0, [0x80, 55, 0]), (0, [0xE0, 0x00, 0x50]), (0, [0x90, 60, 110]),
         (480, [0x80, 60, 0]), (0, [0xB0, 64, 0]), (0, [0x90, 36, 127]), (960, [0x80, 36, 0])]
open(sys.argv[1], "wb").write(b"MThd" + struct.pack(">IHHH", 6, 1, 2, 480) + tempo + track(notes))
PY
lin_render --program 5 --midi "$work/phrase.mid" --out "$work/midi-linux.wav" >/dev/null
win_render --program 5 --midi "$(winpath "$work/phrase.mid")" --out "$(winpath "$work/midi-win.wav")" >/dev/null
compare "$work/midi-linux.wav" "$work/midi-win.wav"

echo "--- every program"
lin_render --list-programs >"$work/programs-linux.txt"
win_render --list-programs | tr -d '\r' >"$work/programs-win.txt"
cmp "$work/programs-linux.txt" "$work/programs-win.txt"
count="$(wc -l <"$work/programs-linux.txt")"
[ "$count" -gt 0 ]
for ((i = 0; i < count; ++i)); do
  lin_render --program "$i" --seconds 1 --out "$work/p-linux.wav" >/dev/null
  win_render --program "$i" --seconds 1 --out "$(winpath "$work/p-win.wav")" >/dev/null
  python3 "$tools/compare-wav.py" "$work/p-linux.wav" "$work/p-win.wav" >>"$work/differences.txt" ||
    { tail -2 "$work/differences.txt"; echo "FAIL: program $i" >&2; exit 1; }
done
echo "$count programs render alike"

echo "--- states and JSON presets move between the systems"
presets=("$linux"/presets/*/Vorlix307)
for name in bass-juno InitSaw drums-snare; do
  preset="${presets[0]}/$name.vstpreset"
  [ -f "$preset" ] || { echo "FAIL: the Linux build wrote no $preset" >&2; exit 1; }
  # A state the Linux build wrote, loaded on Windows and saved again: the same bytes.
  lin_render --preset "$preset" --save-state "$work/state-linux.bin" --export-preset "$work/$name.json" \
    --seconds 2 --out "$work/s-linux.wav" >/dev/null
  win_render --program 7 --preset "$(winpath "$preset")" --save-state "$(winpath "$work/state-win.bin")" \
    --export-preset "$(winpath "$work/$name-win.json")" --seconds 2 --out "$(winpath "$work/s-win.wav")" >/dev/null
  cmp "$work/state-linux.bin" "$work/state-win.bin"
  cmp "$work/$name.json" "$work/$name-win.json"
  compare "$work/s-linux.wav" "$work/s-win.wav"
  # The JSON document the Linux build exported, imported on Windows over another program.
  win_render --program 7 --preset "$(winpath "$work/$name.json")" --save-state "$(winpath "$work/json-win.bin")" \
    --seconds 2 --out "$(winpath "$work/j-win.wav")" >/dev/null
  cmp "$work/state-linux.bin" "$work/json-win.bin"
  compare "$work/s-linux.wav" "$work/j-win.wav"
done

echo "--- the largest sample difference of all renders"
awk '/largest sample difference/ { for (i = 1; i <= NF; ++i) if ($i == "difference") d = $(i + 1); if (d + 0 > max) max = d + 0 }
     END { printf "largest sample difference: %g\n", max }' "$work/differences.txt"

echo "--- the Win32 platform tests"
wine "$win/vexagui_win32_tests.exe" --gtest_brief=1

echo "--- the editor in a Win32 window"
# The view opens in the window at the Linux editor's size, at 1x and 2x, and the screen shows the
# Linux editor's picture there: a pixel differs when a channel is more than 32 of 255 off (GL
# drivers may rasterise edges and glyphs a little differently); at most 0.5 % may differ.
for scale in 1 2; do
  on_linux="$(lin_render --scale "$scale" --screenshot "$work/editor-linux.png")"
  on_windows="$(win_render --scale "$scale" --screenshot "$(winpath "$work/editor-win.png")" | tr -d '\r')"
  echo "$on_windows"
  [ "${on_linux##*: }" = "${on_windows##*: }" ] || { echo "FAIL: Linux $on_linux" >&2; exit 1; }
  python3 "$tools/compare-png.py" "$work/editor-linux.png" "$work/editor-win.png" 32 0.005
done
if [ -n "${VORLIX_WINDOWS_SCREENSHOT:-}" ]; then cp "$work/editor-win.png" "$VORLIX_WINDOWS_SCREENSHOT"; fi
echo "Windows phase checks passed in $((SECONDS - start)) s"
