#!/usr/bin/env bash
# Builds the desktop host (installing what is missing) and opens it on the given file, or on
# the sample invoice template with the add-ins registered.
#
#   bash scripts/desk.sh [FILE.docx]
#   bash scripts/desk.sh --screenshots DIR    pictures of the window, of print preview and of
#                                             the run-time dialogs, taken under Xvfb (for
#                                             docs/; window titles show when openbox is there)
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
targets=(paperloom-desk paperloom-register paperloom_make_samples OsPLRun paperloom)
if grep -q "OsPLEdit" "$build/build.ninja" "$build/Makefile" 2>/dev/null; then targets+=(OsPLEdit OsPLEditForms); fi
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

# The document view of the sample invoice: hidden text off, on, and field codes shown, switched
# from 表示 by their access keys.
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  set -euo pipefail
  "$DESK" "$FILE" >/dev/null 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  sleep 8
  wid=$(xdotool search --name "$(basename "$FILE") - Paperloom" | head -1)
  xdotool windowmove "$wid" 0 0 windowsize "$wid" 1280 900 windowfocus --sync "$wid"
  sleep 1
  import -window root "$SHOTS/desk-view.png"
  xdotool key --window "$wid" alt+v; sleep 1; xdotool key h; sleep 1
  import -window root "$SHOTS/desk-view-hidden.png"
  xdotool key --window "$wid" alt+v; sleep 1; xdotool key h; sleep 1
  xdotool key --window "$wid" alt+v; sleep 1; xdotool key f; sleep 1
  import -window root "$SHOTS/desk-view-codes.png"
'

# The run-time dialogs over a copy of the invoice template with a filter and a sort stored, so
# their lists show them; each opened from ツール → Paperloom → 実行 by its access key.
dialogs=$(mktemp -d)
trap 'rm -rf "$PAPERLOOM_CONFIG_DIR" "$dialogs"' EXIT
"$build/examples/make-samples" "$dialogs" >/dev/null
"$build/apps/paperloom/paperloom" filter "$dialogs/invoice.docx" "InvoiceID <= 10 And Total > 50000" --in-place >/dev/null
"$build/apps/paperloom/paperloom" sort "$dialogs/invoice.docx" "IssueDate DESC" --in-place >/dev/null
export FILE="$dialogs/invoice.docx"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  set -euo pipefail
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & sleep 1; fi
  "$DESK" "$FILE" >/dev/null 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  sleep 8
  wid=$(xdotool search --name "$(basename "$FILE") - Paperloom" | head -1)
  xdotool windowmove "$wid" 0 0 windowsize "$wid" 1280 900
  shot() {  # access key of the menu entry, name of the picture, text typed into the dialog
    xdotool windowfocus --sync "$wid"; sleep 0.5
    xdotool key --window "$wid" alt+t; sleep 1
    xdotool key p; sleep 0.5
    xdotool key r; sleep 0.5
    xdotool key "$1"; sleep 2
    if [ -n "${3:-}" ]; then xdotool type --delay 50 "$3"; sleep 1; fi
    import -window root "$SHOTS/$2.png"
    xdotool key Escape; sleep 1
  }
  shot m desk-run-move 7
  shot s desk-run-find CustomerName
  shot w desk-run-filter
  shot r desk-run-sort
  shot o desk-run-option
  shot a desk-run-about
'
# The designer's dialogs, once its add-in is built.
if [ -f "$build/src/Edit/libOsPLEditForms.so" ]; then bash "$repo/scripts/desk-edit-shots.sh" "$build" "$shots"; fi
echo "Screenshots: $shots/desk-main.png, $shots/desk-preview.png, $shots/desk-run-*.png, $shots/desk-edit-*.png"
