#!/usr/bin/env bash
# Paperloom against the peer benchmark: the same invoices (the peers' fixed-seed generator,
# loaded into SQLite) made into one print document by `paperloom document`, and rendered by
# the peer's JavaScript engine, each run as a fresh process under /usr/bin/time -v. Both outputs
# are checked by the peers' verify.py. Prints one line per run, then a table with the ratios.
#
#   bench/peers/run.sh [--build DIR] [--peers DIR] [--work DIR] [--ns "1000 10000"] [--runs R]
#                      [--engine docxtemplater] [--skip-peer]
#
# --build  a build folder with apps/paperloom/paperloom and examples/make-samples
#          (default: build-release, then build, under the repository)
# --peers  the peer benchmark folder (default: ../shared/bench-peers beside the repository);
#          it is copied to the work folder for `npm ci` and never written to
# --work   scratch folder for data, templates, outputs and logs (default: $TMPDIR/paperloom-peers)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=""
peers="$repo/../shared/bench-peers"
work="${TMPDIR:-/tmp}/paperloom-peers"
ns="1000 10000"
runs=1
engine="docxtemplater"
skip_peer=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --peers) peers=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --ns) ns=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --engine) engine=$2; shift 2 ;;
    --skip-peer) skip_peer=1; shift ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
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
for tool in node npm python3 sqlite3 /usr/bin/time; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

mkdir -p "$work"
work=$(cd "$work" && pwd)
# The peers' folder stays untouched: its copy gets the node modules and the templates.
copy="$work/peers"
if [ ! -d "$copy/node_modules" ]; then
  rm -rf "$copy"
  mkdir -p "$copy"
  cp -r "$peers/." "$copy/"
  chmod -R u+w "$copy"
  (cd "$copy" && npm ci --no-audit --no-fund >/dev/null)
fi
[ -f "$copy/templates/docxtemplater.docx" ] || (cd "$copy" && node make-templates.js >/dev/null)

# Wall seconds and peak RSS (KB) from a /usr/bin/time -v log.
wall_of() { awk -F': ' '/Elapsed \(wall clock\)/{n=split($2,a,":"); s=0; for(i=1;i<=n;i++) s=s*60+a[i]; print s}' "$1"; }
rss_of() { awk -F': ' '/Maximum resident set size/{print $2}' "$1"; }
# CPU seconds (user and system, every thread): the fairer figure on a machine that is busy.
cpu_of() { awk -F': ' '/User time|System time/{s+=$2} END{printf "%.2f", s}' "$1"; }

results="$work/results.tsv"
printf 'engine\tN\trun\trc\twall_s\tcpu_s\tmaxrss_kb\tverify\n' >"$results"

record() {  # engine n run rc timefile output
  local verdict="-"
  if [ "$4" -eq 0 ]; then
    if python3 "$copy/verify.py" "$6" "$2" >"$work/logs/$1-$2-run$3.verify" 2>&1; then verdict=OK; else verdict=FAIL; fi
  fi
  local wall cpu rss
  wall=$(wall_of "$5"); cpu=$(cpu_of "$5"); rss=$(rss_of "$5")
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" "${wall:-?}" "${cpu:-?}" "${rss:-?}" "$verdict" >>"$results"
  echo "$1 N=$2 run$3 rc=$4 wall=${wall:-?}s cpu=${cpu:-?}s maxrss=${rss:-?}KB verify=$verdict"
  if [ "$verdict" = FAIL ]; then head -n 5 "$work/logs/$1-$2-run$3.verify" >&2; fi
}

mkdir -p "$work/logs"
for n in $ns; do
  dir="$work/n$n"
  mkdir -p "$dir"
  # Data: the peers' invoices as SQL, loaded into a fresh database next to our template.
  (cd "$copy" && node gen-data.js "$n") >"$dir/invoices.sql"
  rm -f "$dir/invoices.db"
  sqlite3 "$dir/invoices.db" <"$dir/invoices.sql"
  "$make_samples" --force --peer-invoice "$dir/invoice.docx" --database invoices.db >/dev/null
  for r in $(seq 1 "$runs"); do
    out="$dir/paperloom-$n.docx"
    rm -f "$out"
    tag="paperloom-$n-run$r"
    set +e
    /usr/bin/time -v -o "$work/logs/$tag.time" "$paperloom" document "$dir/invoice.docx" -o "$out" \
      >"$work/logs/$tag.out" 2>"$work/logs/$tag.err"
    rc=$?
    set -e
    [ $rc -eq 0 ] || tail -n 3 "$work/logs/$tag.err" >&2
    record paperloom "$n" "$r" "$rc" "$work/logs/$tag.time" "$out"
    if [ $skip_peer -eq 0 ]; then
      tag="$engine-$n-run$r"
      set +e
      (cd "$copy" && /usr/bin/time -v -o "$work/logs/$tag.time" node bench.js "$engine" "$n" --out "$dir" \
        >"$work/logs/$tag.out" 2>"$work/logs/$tag.err")
      rc=$?
      set -e
      [ $rc -eq 0 ] || tail -n 3 "$work/logs/$tag.err" >&2
      record "$engine" "$n" "$r" "$rc" "$work/logs/$tag.time" "$dir/$engine-$n.docx"
    fi
  done
done

# Medians per engine and N, and the ratio paperloom / peer.
python3 - "$results" "$engine" <<'PY'
import csv, statistics, sys
rows = list(csv.DictReader(open(sys.argv[1]), delimiter='\t'))
peer = sys.argv[2]
def med(engine, n, key):
    vals = [float(r[key]) for r in rows if r['engine'] == engine and r['N'] == n and r['rc'] == '0' and r[key] not in ('', '?')]
    return statistics.median(vals) if vals else None
def verdicts(engine, n):
    return ','.join(sorted({r['verify'] for r in rows if r['engine'] == engine and r['N'] == n})) or '-'
ns = sorted({r['N'] for r in rows}, key=int)
print()
print(f"{'N':>6}  {'engine':<14} {'wall s':>8} {'CPU s':>8} {'peak MB':>8}  verify")
for n in ns:
    for engine in ('paperloom', peer):
        w, c, m = med(engine, n, 'wall_s'), med(engine, n, 'cpu_s'), med(engine, n, 'maxrss_kb')
        if w is None and m is None and verdicts(engine, n) == '-': continue
        ws = f"{w:8.2f}" if w is not None else f"{'-':>8}"
        cs = f"{c:8.2f}" if c is not None else f"{'-':>8}"
        ms = f"{m / 1024:8.0f}" if m is not None else f"{'-':>8}"
        print(f"{n:>6}  {engine:<14} {ws} {cs} {ms}  {verdicts(engine, n)}")
    w1, w2 = med('paperloom', n, 'wall_s'), med(peer, n, 'wall_s')
    c1, c2 = med('paperloom', n, 'cpu_s'), med(peer, n, 'cpu_s')
    m1, m2 = med('paperloom', n, 'maxrss_kb'), med(peer, n, 'maxrss_kb')
    if w1 and w2 and c1 and c2 and m1 and m2:
        print(f"{n:>6}  ratio paperloom/{peer}: time {w1 / w2:.2f}x (CPU {c1 / c2:.2f}x), peak memory {m1 / m2:.2f}x")
PY
echo "results: $results"
