#!/usr/bin/env bash
# Pictures of the designer's dialogs over the sample invoice template, taken under Xvfb from
# the menu's access keys (ツール → Paperloom → 開発): the data bind dialog with the connection
# editor and the data link chooser opened from it, both pages of the detail insert wizard, the
# bookmark manager, the about box, the statistics field dialog and the calculator.
# Called by desk.sh --screenshots; runs on any build folder that has the desktop host, the
# add-ins and their forms libraries.
#
#   bash scripts/desk-edit-shots.sh BUILD_DIR SHOTS_DIR
set -euo pipefail

build=$(cd "${1:?build folder}" && pwd)
mkdir -p "${2:?screenshot folder}"
shots=$(cd "$2" && pwd)

work=$(mktemp -d /tmp/paperloom-shots.XXXXXX)
export PAPERLOOM_CONFIG_DIR="$work/config"
mkdir -p "$PAPERLOOM_CONFIG_DIR"
trap 'rm -rf "$work"' EXIT
"$build/examples/make-samples" "$work/samples" >/dev/null
"$build/apps/paperloom-register/paperloom-register" >/dev/null

export DESK="$build/apps/desk/paperloom-desk" FILE="$work/samples/invoice.docx" SHOTS="$shots" WORK="$work"
xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
  set -euo pipefail
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & sleep 1; fi
  "$DESK" "$FILE" >/dev/null 2>&1 &
  pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  sleep 8
  wid=$(xdotool search --name "$(basename "$FILE") - Paperloom" | head -1)
  xdotool windowmove "$wid" 0 0 windowsize "$wid" 1280 900
  menu() {  # opens ツール → Paperloom → 開発 and presses the entry key(s)
    xdotool windowfocus --sync "$wid"; sleep 0.5
    xdotool key --window "$wid" alt+t; sleep 1
    xdotool key p; sleep 0.5
    xdotool key e; sleep 0.5
    xdotool key "$@"; sleep 2
  }
  shot() { import -window root "$SHOTS/$1.png"; }

  # The header binding: the stored database file shows as its connection string.
  menu Return
  shot desk-edit-bind
  # The connection editor on the embedded engine keeps the database path.
  xdotool key alt+r; sleep 2
  xdotool key alt+d Home; sleep 1
  shot desk-edit-connection
  xdotool key Escape; sleep 1
  # The data link chooser making a new file.
  xdotool key alt+l; sleep 0.5
  xdotool key alt+b; sleep 2
  xdotool type --delay 20 "$WORK/samples/sample.udl"; xdotool key alt+c; sleep 0.5
  xdotool type --delay 10 "Provider=SQLite;Data Source=sample.db"; sleep 1
  shot desk-edit-udl
  xdotool key Escape; sleep 1
  xdotool key Escape; sleep 1

  # The detail insert wizard: page 1 with the detail table typed, page 2 with every field
  # moved into the columns and the link keys set.
  menu i
  xdotool key alt+e Tab; sleep 0.5
  xdotool type --delay 50 "InvoiceDetails"; sleep 0.5
  shot desk-edit-detail1
  xdotool key Return; sleep 2
  xdotool key alt+a; sleep 0.5
  xdotool key alt+k; xdotool type --delay 50 "InvoiceID"; sleep 0.3
  xdotool key alt+c; xdotool type --delay 50 "InvoiceID"; sleep 1
  shot desk-edit-detail2
  xdotool key Escape; sleep 1

  # The header field dialog: a date field with the date pictures dropped down (the era ones
  # among them).
  menu f
  xdotool key alt+d Tab; sleep 0.3
  xdotool type --delay 50 "IssueDate"; sleep 0.3
  xdotool key alt+t Home Down; sleep 0.5
  xdotool key alt+f alt+Down; sleep 0.5
  xdotool key Down Down Down Down; sleep 1
  shot desk-edit-head-field
  xdotool key Escape Escape; sleep 1

  # The bookmark manager (the seventh entry: the data binding has its access key B too) with a
  # bookmark added at the caret beside the one of the detail table, the list focused; then the
  # about box.
  menu Down Down Down Down Down Down Return
  xdotool type --delay 50 "Title"; xdotool key Return; sleep 1
  xdotool key alt+l; sleep 1
  shot desk-edit-bookmark
  xdotool key alt+c; sleep 1
  menu a
  shot desk-edit-about
  xdotool key Return; sleep 1

  # The statistics field dialog: SUM over the detail table, its column list dropped down (the
  # letters of the bookmarked table).
  menu s
  xdotool key alt+f; xdotool type --delay 50 "SUM"; sleep 0.3
  xdotool key alt+b alt+Down; sleep 0.5
  xdotool key Return; sleep 0.3
  xdotool key alt+t Home; sleep 0.3
  xdotool key alt+o Down; sleep 0.3
  xdotool key alt+c alt+Down; sleep 1
  shot desk-edit-statistics
  xdotool key Escape Escape; sleep 1

  # The calculator (the second &C entry): SUM from the function list, the bookmark of the table put
  # between its parentheses, a column range typed, a number picture picked.
  menu c c Return
  xdotool key alt+u; xdotool type --delay 50 "SUM"; sleep 0.3
  xdotool key alt+p; sleep 0.3
  xdotool key alt+b Down; sleep 0.3
  xdotool key alt+k; sleep 0.3
  xdotool type --delay 50 " f:f"; sleep 0.3
  xdotool key alt+n Down; sleep 1
  shot desk-edit-calculator
  xdotool key Escape; sleep 1

  # The detail properties dialog with the caret in the lines table (ten lines down from the start of the
  # sample): its first tab, then the second with the link keys, options and bookmark.
  xdotool windowfocus --sync "$wid"; sleep 0.5
  xdotool key ctrl+Home; sleep 0.3
  for i in 1 2 3 4 5 6 7 8 9 10; do xdotool key Down; sleep 0.1; done
  sleep 0.5
  menu d
  shot desk-edit-detail-prop
  xdotool key ctrl+Tab; sleep 1
  shot desk-edit-detail-prop-general
  xdotool key Escape; sleep 1

  # The column properties of the detail table'"'"'s first column (the caret ten lines down from the
  # start, as above), then its row break settings with the sum of the amounts selected.
  xdotool windowfocus --sync "$wid"; sleep 0.5
  xdotool key ctrl+Home; sleep 0.3
  for i in 1 2 3 4 5 6 7 8 9 10; do xdotool key Down; sleep 0.1; done
  sleep 0.5
  menu c Return
  shot desk-edit-column-prop
  xdotool key alt+g; sleep 2
  xdotool mousemove 370 407 click 1; sleep 1
  shot desk-edit-row-break
  xdotool key Escape; sleep 1
  xdotool key Escape; sleep 1
'
echo "Screenshots: $shots/desk-edit-*.png"
