#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own.
#
#   Core/                 Core, the C++ standard library and a few C/POSIX
#                         headers of the operating system (listed below)
#   platform/             Core, platform
#   commands/             Core, platform, commands
#   editing/, Share/      Core, platform, commands, editing, Share
#   app/                  everything
#
# Tests, benchmarks and fuzz targets may include any layer.
set -euo pipefail
cd "$(dirname "$0")/.."

# The system headers the imaging core may use besides the C++ library: huge
# pages, and the compiler's vector builtins (selective colour's AVX-512 kernel).
core_system='sys/mman.h immintrin.h'

mapfile -t files < <(git ls-files -- 'Core/*' 'platform/*' 'commands/*' 'editing/*' 'Share/*' \
                        'app/*' | grep -E '\.(cpp|h)$')
awk -v coreSystem="$core_system" '
    BEGIN {
      allowed["Core"] = " Core "
      allowed["platform"] = " Core platform "
      allowed["commands"] = " Core platform commands "
      allowed["editing"] = " Core platform commands editing Share "
      allowed["Share"] = allowed["editing"]
      allowed["app"] = " Core platform commands editing Share app "
      split(coreSystem, list, " ")
      for (i in list) system_ok[list[i]] = 1
    }
    /^[ \t]*#[ \t]*include[ \t]*[<"]/ {
      layer = FILENAME
      sub(/\/.*/, "", layer)
      line = $0
      sub(/^[ \t]*#[ \t]*include[ \t]*/, "", line)
      quoted = substr(line, 1, 1) == "\""
      header = substr(line, 2)
      sub(/[">].*/, "", header)
      if (quoted) {
        folder = header
        if (sub(/\/.*/, "", folder) == 0 || index(allowed[layer], " " folder " ") == 0) {
          printf "%s:%d: %s may not include \"%s\"\n", FILENAME, FNR, layer, header
          failures++
        }
      } else if (layer == "Core" && header ~ /\.h$/ && !(header in system_ok)) {
        printf "%s:%d: Core may not include <%s>\n", FILENAME, FNR, header
        failures++
      }
    }
    END {
      if (failures > 0) {
        printf "layer check: %d include(s) reach above their layer (see docs/architecture.md)\n", failures
        exit 1
      }
      print "layer check: every include stays within its layer or below"
    }' "${files[@]}"
