#!/usr/bin/env bash
# The main job: the editor in the browser on a demo library. A few photos of
# the test data are copied into BUILD/demo-library, vantrel serve starts on it
# and prints the address to open; Ctrl-C stops it. Its documents (the edit in
# progress, caches) stay in BUILD/demo-home, so a second run resumes.
set -euo pipefail
build=${1:-build}
library="$build/demo-library"
photos="${VANTREL_TESTDATA_DIR:-../shared/testdata}/photos"
mkdir -p "$library"
for name in iphone_hdr_NO.jpg canon_hdr_NO.jpg HMD_Nokia_8.3_5G.jpg kodim01.png kodim04.png kodim23.png; do
  if [ -f "$photos/$name" ] && [ ! -e "$library/$name" ]; then
    cp "$photos/$name" "$library/"
  fi
done
if [ -z "$(ls -A "$library")" ]; then
  "$build/vantrel_sample" "$library/sample.png"
fi
export VANTREL_HOME="$(cd "$build" && pwd)/demo-home"
exec "$build/vantrel" serve --library "$library" ${VANTREL_PORT:+--port "$VANTREL_PORT"}
