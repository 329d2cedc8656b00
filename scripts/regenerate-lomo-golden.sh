#!/bin/bash
# Writes tests/golden/lomo afresh: the 96 x 64 input made from
# photos/kodim23.png and each lomo look run on it. Needs a Release build in
# build/ (or the build folder given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" -j2 --target vantrel_tests
VANTREL_REGENERATE_GOLDEN=1 "$build/tests/vantrel_tests" \
    --gtest_filter='LomoGolden.*' --gtest_brief=1
git status --short tests/golden/lomo
