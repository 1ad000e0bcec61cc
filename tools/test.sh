#!/usr/bin/env bash
# Runs every test: the Release suite (GUI tests under Xvfb when there is no display), the same
# suite under AddressSanitizer + UndefinedBehaviorSanitizer, the ThreadSanitizer stress tests
# and a short run of each fuzzer.
#   VORLIX_QUICK=1   only the Release suite (for the edit-build-test loop)
#   VORLIX_FUZZ_SECONDS=N   seconds per fuzzer (default 30)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/setup.sh

jobs="$(nproc)"
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
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

phase() { echo; echo "=== $* ==="; }

configure_build() { # dir, extra cmake args...
  local dir="$1"; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

phase "Release build and tests"
configure_build build
ctest --test-dir build --output-on-failure -j "$jobs"

if [ "${VORLIX_QUICK:-0}" = 1 ]; then exit 0; fi

phase "AddressSanitizer + UndefinedBehaviorSanitizer"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
[ -f tests/lsan.supp ] && export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp"
configure_build build-asan -DVORLIX_SANITIZE=address,undefined -DVORLIX_BUILD_BENCH=OFF
ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE "nosan"

phase "ThreadSanitizer stress tests"
# Only the stress tests run under ThreadSanitizer, so only they are built there.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Release -DVORLIX_SANITIZE=thread -DVORLIX_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target tsan_tests
TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" \
  ctest --test-dir build-tsan --output-on-failure -L tsan

if [ -f fuzz/CMakeLists.txt ]; then
  phase "Fuzzers (${VORLIX_FUZZ_SECONDS:-30} s each)"
  cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVORLIX_FUZZ=ON -DVORLIX_BUILD_TESTS=OFF -DVORLIX_BUILD_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs" --target fuzzers
  VORLIX_FUZZ_SECONDS="${VORLIX_FUZZ_SECONDS:-30}" ctest --test-dir build-fuzz --output-on-failure -L fuzz
fi
