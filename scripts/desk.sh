#!/usr/bin/env bash
# Builds the desktop host (installing what is missing) and opens it on the given file, or on
# the sample invoice template with the add-ins registered.
#
#   bash scripts/desk.sh [FILE.docx]
#   bash scripts/desk.sh --screenshots DIR    pictures of the window and of print preview,
#                                             taken under Xvfb (for docs/)
#
# BUILD sets the build folder (default: build-release), JOBS the parallel jobs.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-"$repo/build-release"}
mkdir -p "$build"
build=$(cd "$build" && pwd)
jobs=${JOBS:-$(nproc)}

shots=""
if [ "${1:-}" = "--screenshots" ]; then
  shots=${2:?"--screenshots needs a folder"}
  mkdir -p "$shots"
  shots=$(cd "$shots" && pwd)
  shift 2
fi

bash "$repo/scripts/install-deps.sh"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPAPERLOOM_TESTS=OFF -DPAPERLOOM_BENCH=OFF >/dev/null
targets=(paperloom-desk paperloom-register paperloom_make_samples OsPLRun)
if grep -q "OsPLEdit" "$build/build.ninja" "$build/Makefile" 2>/dev/null; then targets+=(OsPLEdit); fi
cmake --build "$build" --target "${targets[@]}" -j "$jobs"

samples="$build/desk-samples"
"$build/examples/make-samples" "$samples" >/dev/null 2>&1 || true
file=${1:-"$samples/invoice.docx"}

register() {
  # The design-time add-in is registered once its library is built; the host connects the
  # run-time add-in from the registry (and registers it itself on first use).
  if [ -f "$build/src/Edit/libOsPLEdit.so" ]; then
    "$build/apps/paperloom-register/paperloom-register" >/dev/null
  fi
}

if [ -z "$shots" ]; then
  register
  exec "$build/apps/desk/paperloom-desk" "$file"
fi

# Screenshots: a private configuration, a 1280 x 900 virtual screen, keys sent with xdotool.
export PAPERLOOM_CONFIG_DIR
PAPERLOOM_CONFIG_DIR=$(mktemp -d)
trap 'rm -rf "$PAPERLOOM_CONFIG_DIR"' EXIT
register
export DESK="$build/apps/desk/paperloom-desk" FILE="$file" SHOTS="$shots"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  set -euo pipefail
  "$DESK" "$FILE" >/dev/null 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  sleep 8
  wid=$(xdotool search --name "$(basename "$FILE") - Paperloom" | head -1)
  xdotool windowmove "$wid" 0 0 windowsize "$wid" 1280 900 windowfocus --sync "$wid"
  sleep 1
  xdotool key --window "$wid" alt+t; sleep 1
  xdotool key p; sleep 1
  xdotool key r; sleep 1
  import -window root "$SHOTS/desk-main.png"
  xdotool key Escape Escape Escape; sleep 1
  xdotool key --window "$wid" alt+f; sleep 1
  xdotool key v
  sleep 20
  import -window root "$SHOTS/desk-preview.png"
'
echo "Screenshots: $shots/desk-main.png, $shots/desk-preview.png"
