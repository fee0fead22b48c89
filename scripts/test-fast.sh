#!/usr/bin/env bash
# The inner loop: installs what is missing (nothing, in a second, once all is
# there), builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# in build-test/ (through ccache), and runs the unit and component tests in
# parallel. Needs no sound server and no display; scripts/test-all.sh runs
# every tier. Arguments go to ctest: scripts/test-fast.sh -R ListConversion
set -euo pipefail
# shellcheck source=scripts/test-lib.sh
source "$(dirname "$0")/test-lib.sh"
"$root/scripts/install-deps.sh"
build_tests
ctest --test-dir "$build" --output-on-failure -L '^(unit|component)$' -j"$(nproc)" "$@"
