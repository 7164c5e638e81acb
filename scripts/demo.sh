#!/usr/bin/env bash
# The demo on a fresh Debian 12 machine: installs what the build needs, builds Paperloom
# (Release), makes the sample database and templates, and turns every invoice of the sample
# database into one print document, as .docx and as PDF.
#
#   bash scripts/demo.sh [OUTDIR]      (default: build-release/demo)
#
# JOBS sets the build's parallel jobs (default: the number of processors), BUILD the build
# folder (default: build-release). The output folder is the demo's own: its samples and print
# documents are made again on every run.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-"$repo/build-release"}
out=${1:-"$build/demo"}
mkdir -p "$build"
build=$(cd "$build" && pwd)
jobs=${JOBS:-$(nproc)}

bash "$repo/scripts/install-deps.sh"

cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPAPERLOOM_TESTS=OFF -DPAPERLOOM_BENCH=OFF >/dev/null
cmake --build "$build" --target paperloom paperloom_make_samples -j "$jobs"

mkdir -p "$out"
out=$(cd "$out" && pwd)
"$build/examples/make-samples" --force "$out"

rm -f "$out/invoices-print.docx" "$out/invoices-print.pdf"
"$build/apps/paperloom/paperloom" document "$out/invoice.docx" \
  -o "$out/invoices-print.docx" --pdf "$out/invoices-print.pdf"

echo
echo "Samples:        $out/invoice.docx, $out/invoice-pages.docx (database $out/sample.db)"
echo "Print document: $out/invoices-print.docx"
echo "PDF:            $out/invoices-print.pdf"
