#!/usr/bin/env bash
# The earlier demo (make demo): shows what the program can do, then edits a sample picture
# that the build makes with a mixed command list and says what it wrote.
set -euo pipefail
build=${1:-build}
out="$build/run"
mkdir -p "$out"

"$build/vantrel" --version
"$build/vantrel" --help
echo
"$build/vantrel" commands
echo

"$build/vantrel_sample" "$out/sample.png"
echo "sample picture: $out/sample.png"
# A region made posterized, the picture mirrored, cut, halved and turned, then
# the named action "Classic Black and White" from resources/actions.json.
"$build/vantrel" apply "$out/sample.png" "$out/edited.png" \
  --command '{"cmd": "CMD_SET_SELECTION", "selection": ["40", "40", "280", "200"]}' \
  --command '{"cmd": "CMD_POSTERIZE", "levels": "4"}' \
  --command '{"cmd": "CMD_FLIP", "flipH": "1", "flipV": "0"}' \
  --command '{"cmd": "CMD_CLIP", "rect": ["20", "20", "600", "440"]}' \
  --command '{"cmd": "CMD_ZOOM", "scale": "0.500000"}' \
  --command '{"cmd": "CMD_ROTATE", "degrees": "30.000000"}' \
  --command '{"cmd": "CMD_CALL_ACTION", "actionName": "Classic Black and White"}'
ls -l "$out/sample.png" "$out/edited.png"
echo

# The contact sheet of every look, on a photo of the test data when it is
# there, on the sample picture otherwise.
photo="${VANTREL_TESTDATA_DIR:-../shared/testdata}/photos/kodim23.png"
[ -f "$photo" ] || photo="$out/sample.png"
"$build/vantrel" looks "$photo" "$out/looks"
echo "contact sheet: $out/looks/index.html"
