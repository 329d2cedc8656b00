#!/usr/bin/env bash
# Lines of code: tests against the product, counting the lines of the
# tracked .cpp/.h/.ts files that are neither blank nor only a comment (a line
# starting with //, or inside /* */).
#
#   product  Core/ platform/ commands/ editing/ Share/ app/ web/ (but its
#            browser tests)
#   tests    tests/, and the browser tests in web/e2e/ with their config
#   and, wider: the tests and fuzz/ against every other .cpp/.h/.ts file
set -euo pipefail
cd "$(dirname "$0")/.."

count() {  # counts the code lines of the files named on stdin
  xargs -r awk '
    /^[[:space:]]*$/ { next }
    inBlock { if ($0 ~ /\*\//) inBlock = 0; next }
    /^[[:space:]]*\/\// { next }
    /^[[:space:]]*\/\*/ { if ($0 !~ /\*\//) inBlock = 1; next }
    { n++ }
    END { print n + 0 }' | awk '{ s += $1 } END { print s + 0 }'
}

sources() { git ls-files -- '*.cpp' '*.h' '*.ts'; }

testPaths='^(tests/|web/e2e/|web/playwright)'
product=$(sources | grep -E '^(Core|platform|commands|editing|Share|app|web)/' | grep -vE "$testPaths" | count)
tests=$(sources | grep -E "$testPaths" | count)
testsAndFuzz=$(sources | grep -E "$testPaths|^fuzz/" | count)
everythingElse=$(sources | grep -vE "$testPaths|^fuzz/" | count)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f%%", 100 * a / b }'; }
echo "product code      $product"
echo "tests            $tests   ($(ratio "$tests" "$product") of the product)"
echo "tests + fuzz/     $testsAndFuzz   against every other .cpp/.h/.ts: $everythingElse ($(ratio "$testsAndFuzz" "$everythingElse"))"
