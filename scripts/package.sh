#!/usr/bin/env bash
# Makes the Debian package, paperloom_<version>_<arch>.deb, with CPack from the install rules.
#
#   bash scripts/package.sh                     Release build in build-package/, package there
#   bash scripts/package.sh --build DIR         package the build folder DIR as it is (built
#                                               already; nothing is configured or rebuilt)
#   bash scripts/package.sh ... --out DIR       write the package into DIR (default: the build
#                                               folder)
#
# Prints the package's path. Install it with `apt-get install ./paperloom_*.deb`.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=""
out=""
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "usage: package.sh [--build DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done

if [ -z "$build" ]; then
  bash "$repo/scripts/install-deps.sh"
  build="$repo/build-package"
  cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DPAPERLOOM_TESTS=OFF -DPAPERLOOM_BENCH=OFF >/dev/null
  cmake --build "$build" -j "${JOBS:-$(nproc)}"
fi
build=$(cd "$build" && pwd)
[ -f "$build/CPackConfig.cmake" ] || { echo "package.sh: $build is not a configured build folder" >&2; exit 2; }
out=${out:-$build}
mkdir -p "$out"
out=$(cd "$out" && pwd)

log="$out/cpack.log"
# CPack stages the install in the build folder's _CPack_Packages; the package goes to $out.
if ! (cd "$build" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out") >"$log" 2>&1; then
  cat "$log" >&2
  echo "package.sh: cpack failed" >&2
  exit 1
fi
# "CPack: - package: /path/paperloom_0.1_amd64.deb generated."
package=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$log" | tail -n 1)
if [ -z "$package" ] || [ ! -f "$package" ]; then
  cat "$log" >&2
  echo "package.sh: cpack wrote no package into $out" >&2
  exit 1
fi
rm -rf "$out/_CPack_Packages"
echo "$package"
