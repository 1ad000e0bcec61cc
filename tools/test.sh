#!/usr/bin/env bash
# Runs every test: the Release suite (GUI tests under Xvfb when there is no display), the same
# suite under AddressSanitizer + UndefinedBehaviorSanitizer, the ThreadSanitizer stress tests,
# a short run of each fuzzer, and the Windows x64 build (MinGW-w64) checked under Wine against
# the Linux build.
#   VORLIX_QUICK=1   only the Release suite (for the edit-build-test loop)
#   VORLIX_WINDOWS=0   skip the Windows phase
#   VORLIX_FUZZ_SECONDS=N   seconds per fuzzer (default 30)
# A failing phase does not stop the others: every phase runs (a phase whose build failed skips
# its tests), a table of each phase's result and wall time closes the output, and the exit status
# is non-zero when any phase failed.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/setup.sh || exit 1

jobs="$(nproc)"
xvfb_pid=""
times_file=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$times_file" ] && rm -f "$times_file"
  true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    # -noreset: the server would otherwise reset whenever the last client of one test process
    # leaves, and refuse the next process for a moment.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    break
  done
fi
# Mesa's software rasteriser: deterministic pixels, no GPU needed.
export LIBGL_ALWAYS_SOFTWARE=1

summary=()   # "name|result|wall seconds|CPU seconds"
failed=0
started=$SECONDS

# phase NAME COMMAND...: runs the command in a subshell with errexit, so the phase stops at its
# first failing command and the script carries on with the next phase. Call it as a plain
# command, never as a condition (if/&&/||), where bash would ignore errexit inside it.
# CPU seconds (user + system) used so far by the script's finished children: on a shared
# machine the wall time says little, the CPU time says what a phase costs.
# ("times" must run in this shell, not in a subshell, which would have no children.)
times_file="$(mktemp)"
cpu_now=0
children_cpu() { # sets cpu_now
  times >"$times_file"
  # second line, the children: "0m12.345s 0m1.234s" -> 13
  read -r cpu_now < <(awk 'NR == 2 { t = 0; for (i = 1; i <= 2; ++i) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] }
                                      printf "%d\n", t }' "$times_file")
}

phase() {
  local name="$1"; shift
  echo; echo "=== $name ==="
  local start=$SECONDS
  children_cpu
  local cpu_start=$cpu_now
  ( set -e; "$@" )
  local rc=$?
  local result="ok"
  if [ "$rc" -ne 0 ]; then
    result="FAILED ($rc)"
    failed=1
    echo "=== $name: FAILED (exit status $rc) ==="
  fi
  children_cpu
  summary+=("$name|$result|$((SECONDS - start))|$((cpu_now - cpu_start))")
  return "$rc"
}
skipped() { summary+=("$1|skipped ($2)|0|0"); }

configure() { # dir, extra cmake args...
  local dir="$1"; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

release_build() {
  configure build
  cmake --build build -j "$jobs"
}
release_tests() { ctest --test-dir build --output-on-failure -j "$jobs"; }

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
[ -f tests/lsan.supp ] && export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp"
asan_build() {
  configure build-asan -DVORLIX_SANITIZE=address,undefined -DVORLIX_BUILD_BENCH=OFF
  cmake --build build-asan -j "$jobs"
}
asan_tests() { ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE "nosan"; }

# Only the stress tests run under ThreadSanitizer, so only they are built there.
tsan_build() {
  configure build-tsan -DVORLIX_SANITIZE=thread -DVORLIX_BUILD_BENCH=OFF
  cmake --build build-tsan -j "$jobs" --target tsan_tests
}
tsan_tests() {
  local options="halt_on_error=1:second_deadlock_stack=1"
  [ -f tests/tsan.supp ] && options="$options:suppressions=$root/tests/tsan.supp"
  TSAN_OPTIONS="$options" ctest --test-dir build-tsan --output-on-failure -j "$jobs" -L tsan
}

fuzz_build() {
  configure build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVORLIX_FUZZ=ON -DVORLIX_BUILD_TESTS=OFF -DVORLIX_BUILD_BENCH=OFF
  cmake --build build-fuzz -j "$jobs" --target fuzzers
}
fuzz_run() {
  # One core per fuzzer: they run side by side.
  VORLIX_FUZZ_SECONDS="${VORLIX_FUZZ_SECONDS:-30}" ctest --test-dir build-fuzz --output-on-failure -j "$jobs" -L fuzz
}

# The Windows module, vorlix-render.exe and the Win32 platform tests, cross-built; the Linux
# pieces they are compared with are built first (nothing to do after the Release build).
windows_build() {
  configure build
  cmake --build build -j "$jobs" --target vorlix-embed Vorlix307 vorlix-render vorlix_factory_presets
  configure build-win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DVORLIX_EMBED_EXECUTABLE="$root/build/tools/embed/vorlix-embed"
  cmake --build build-win -j "$jobs" --target Vorlix307 vorlix-render vexagui_win32_tests
}
windows_tests() { bash tools/windows/wine-tests.sh build build-win; }

# build_and_test LABEL BUILD_FUNCTION TEST_FUNCTION. Never called as a condition: errexit
# inside the phases would be ignored there.
build_and_test() {
  phase "$1 build" "$2"
  if [ $? -eq 0 ]; then
    phase "$1 tests" "$3"
  else
    skipped "$1 tests" "build failed"
  fi
}

build_and_test "Release" release_build release_tests
if [ "${VORLIX_QUICK:-0}" != 1 ]; then
  build_and_test "ASan+UBSan" asan_build asan_tests
  build_and_test "TSan stress" tsan_build tsan_tests
  if [ -f fuzz/CMakeLists.txt ]; then
    build_and_test "Fuzz (${VORLIX_FUZZ_SECONDS:-30} s each)" fuzz_build fuzz_run
  fi
  if [ "${VORLIX_WINDOWS:-1}" != 0 ]; then
    build_and_test "Windows (Wine)" windows_build windows_tests
  fi
fi

mmss() { printf '%d:%02d' $(($1 / 60)) $(($1 % 60)); }
echo
echo "=== Summary (wall time; CPU time of all processes, user + system) ==="
printf '  %-28s %-22s %8s %8s\n' "phase" "result" "wall" "CPU"
for row in "${summary[@]}"; do
  IFS='|' read -r name result seconds cpu <<<"$row"
  printf '  %-28s %-22s %8s %8s\n' "$name" "$result" "$(mmss "$seconds")" "$(mmss "$cpu")"
done
children_cpu
printf '  %-28s %-22s %8s %8s\n' "total" "$([ "$failed" -eq 0 ] && echo ok || echo FAILED)" \
  "$(mmss $((SECONDS - started)))" "$(mmss "$cpu_now")"
echo "  load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$failed"
