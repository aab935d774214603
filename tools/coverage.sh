#!/usr/bin/env bash
# Line and branch coverage of ukvo2/, gdi8/, render/ and imageio/ by the test
# suite: builds the linux-coverage preset (gcov's counters), runs the suite
# from fresh counts and prints a table per file and a summary per folder
# (gcovr). The counters are updated atomically: kvo2-render draws on several
# threads, and racing counts come out negative. The build defines
# KVO_COVERAGE: the tests then start kvo2-render under a file-size limit with
# SIGXFSZ ignored, since its counters are written at exit under the same
# limit.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/linux-coverage

bash tools/deps.sh
cmake --preset linux-coverage
cmake --build --preset linux-coverage
find "$build" -name '*.gcda' -delete
status=0
ctest --preset linux-coverage || status=$?

gcovr -r . -j 2 --exclude-throw-branches --exclude-unreachable-branches \
  -f 'ukvo2/' -f 'gdi8/' -f 'render/' -f 'imageio/' --json "$build/coverage.json" \
  "$build"/{gdi8,ukvo2,kvo2,render,imageio,tests}
report() { gcovr -a "$build/coverage.json" "$@"; }
echo "== lines"; report
echo "== branches"; report -b
for folder in ukvo2 gdi8 render imageio; do
  echo "== $folder/"
  report -f "$folder/" -s -o /dev/null | grep -E '^(lines|branches)'
done
exit "$status"
