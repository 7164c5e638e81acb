#!/usr/bin/env bash
# `paperloom document --pdf` on the peer benchmark's invoices, rendered by one office-suite
# process (--jobs 1) and by several side by side (--jobs 2, ...), each run a fresh process
# under /usr/bin/time -v. Every PDF is checked: one page per invoice, invoice i on page i, and
# the same text page for page as the one-process rendering. Prints one line per run, then the
# medians and the speed-up against --jobs 1.
#
#   bench/pdf/run.sh [--build DIR] [--peers DIR] [--work DIR] [--n 1000] [--jobs "1 2"] [--runs R]
#
# --build  a build folder with apps/paperloom/paperloom and examples/make-samples
#          (default: build-release, then build, under the repository)
# --peers  the peer benchmark folder, for its invoice generator (default: ../shared/bench-peers)
# --work   scratch folder for data, template, PDFs and logs (default: $TMPDIR/paperloom-pdf-bench)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=""
peers="$repo/../shared/bench-peers"
work="${TMPDIR:-/tmp}/paperloom-pdf-bench"
n=1000
jobs_list="1 2"
runs=1
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --peers) peers=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --n) n=$2; shift 2 ;;
    --jobs) jobs_list=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

fail() { echo "run.sh: $*" >&2; exit 1; }
if [ -z "$build" ]; then
  for candidate in "$repo/build-release" "$repo/build"; do
    if [ -x "$candidate/apps/paperloom/paperloom" ]; then build=$candidate; break; fi
  done
fi
[ -n "$build" ] || fail "no build with apps/paperloom/paperloom found; pass --build DIR"
paperloom="$build/apps/paperloom/paperloom"
make_samples="$build/examples/make-samples"
[ -x "$paperloom" ] || fail "$paperloom is missing"
[ -x "$make_samples" ] || fail "$make_samples is missing"
[ -f "$peers/gen-data.js" ] || fail "no peer benchmark in $peers"
for tool in node python3 sqlite3 soffice qpdf pdftotext pdfinfo /usr/bin/time; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

mkdir -p "$work/logs"
work=$(cd "$work" && pwd)
# The invoices as the peer benchmark makes them, in a fresh database beside our template.
(cd "$peers" && node gen-data.js "$n") >"$work/invoices.sql"
rm -f "$work/invoices.db"
sqlite3 "$work/invoices.db" <"$work/invoices.sql"
"$make_samples" --force --peer-invoice "$work/invoice.docx" --database invoices.db >/dev/null

wall_of() { awk -F': ' '/Elapsed \(wall clock\)/{n=split($2,a,":"); s=0; for(i=1;i<=n;i++) s=s*60+a[i]; print s}' "$1"; }
cpu_of() { awk -F': ' '/User time/{u=$2} /System time/{s=$2} END{print u+s}' "$1"; }
rss_of() { awk -F': ' '/Maximum resident set size/{print $2}' "$1"; }

# Checks a PDF: one page per invoice, page i showing invoice i (the template's order), and,
# given a reference PDF, the same text on every page.
check_pdf() {  # pdf [reference]
  python3 - "$1" "$n" "${2:-}" <<'PY'
import subprocess, sys
pdf, n, reference = sys.argv[1], int(sys.argv[2]), sys.argv[3]
def pages(path):
    text = subprocess.run(["pdftotext", "-layout", path, "-"], check=True, capture_output=True, text=True).stdout
    return text.split("\f")[:-1]
got = pages(pdf)
if len(got) != n:
    sys.exit(f"{len(got)} pages, expected {n}")
for i, page in enumerate(got, 1):
    if f"Invoice INV-{i:06d}" not in page:
        sys.exit(f"page {i} does not show invoice INV-{i:06d}")
if reference and pages(reference) != got:
    sys.exit("the pages differ from the one-process rendering")
PY
}

results="$work/results.tsv"
printf 'jobs\trun\trc\twall_s\tcpu_s\tmaxrss_kb\tcheck\n' >"$results"
reference=""
for r in $(seq 1 "$runs"); do
  for j in $jobs_list; do
    out="$work/invoices-jobs$j.pdf"
    tag="jobs$j-run$r"
    rm -f "$out"
    set +e
    /usr/bin/time -v -o "$work/logs/$tag.time" "$paperloom" document "$work/invoice.docx" --pdf "$out" --jobs "$j" \
      >"$work/logs/$tag.out" 2>"$work/logs/$tag.err"
    rc=$?
    set -e
    verdict="-"
    if [ $rc -eq 0 ]; then
      if check_pdf "$out" "$reference" >"$work/logs/$tag.check" 2>&1; then verdict=OK; else verdict=FAIL; fi
      [ -n "$reference" ] || { reference="$work/reference.pdf"; cp "$out" "$reference"; }
    else
      tail -n 3 "$work/logs/$tag.err" >&2
    fi
    wall=$(wall_of "$work/logs/$tag.time"); cpu=$(cpu_of "$work/logs/$tag.time"); rss=$(rss_of "$work/logs/$tag.time")
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$j" "$r" "$rc" "$wall" "$cpu" "$rss" "$verdict" >>"$results"
    echo "jobs=$j run$r rc=$rc wall=${wall}s cpu=${cpu}s maxrss=${rss}KB check=$verdict"
    [ "$verdict" != FAIL ] || head -n 3 "$work/logs/$tag.check" >&2
  done
done

python3 - "$results" "$n" <<'PY'
import csv, statistics, sys
rows = [r for r in csv.DictReader(open(sys.argv[1]), delimiter='\t') if r['rc'] == '0']
n = sys.argv[2]
jobs = sorted({r['jobs'] for r in rows}, key=int)
med = lambda j, k: statistics.median(float(r[k]) for r in rows if r['jobs'] == j)
print()
print(f"{n} invoices")
print(f"{'jobs':>4}  {'wall s':>7}  {'cpu s':>7}  {'peak MB':>7}  check")
base = med(jobs[0], 'wall_s') if jobs else None
for j in jobs:
    checks = ','.join(sorted({r['check'] for r in rows if r['jobs'] == j}))
    speedup = f"  {base / med(j, 'wall_s'):.2f}x" if base else ""
    print(f"{j:>4}  {med(j, 'wall_s'):7.2f}  {med(j, 'cpu_s'):7.2f}  {med(j, 'maxrss_kb') / 1024:7.0f}  {checks}{speedup}")
PY
echo "results: $results"
