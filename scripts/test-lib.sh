# Sourced by scripts/test-fast.sh and scripts/test-all.sh: the sanitized test
# build and the options its sanitizers run with.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-test}

# Configures and builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer in $build (compiling through ccache when it is
# installed), then fails if some test carries no tier label (tests/CMakeLists.txt).
build_tests() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNOVOX_SANITIZE=ON -DTARNOVOX_TESTS=ON
  cmake --build "$build" -j"$(nproc)"
  local untiered
  untiered=$(ctest --test-dir "$build" -N -LE '^(unit|component|e2e)$' | grep 'Test *#' || true)
  [ -z "$untiered" ] || { printf 'tests without a tier label (unit, component or e2e):\n%s\n' "$untiered"; return 1; }
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
