#!/usr/bin/env bash
# The main job: shows what the program can do.
set -euo pipefail
build=${1:-build}
"$build/vantrel" --version
"$build/vantrel" --help
