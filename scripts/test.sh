#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tests.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
#   scripts/test.sh --fuzz       builds the fuzz targets with clang and runs each briefly
# Extra arguments after -- go to ctest (for example: -- -L office).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=normal
if [ "${1:-}" = "--sanitize" ]; then mode=sanitize; shift; fi
if [ "${1:-}" = "--fuzz" ]; then mode=fuzz; shift; fi
if [ "${1:-}" = "--" ]; then shift; fi

bash scripts/install-deps.sh
jobs=$(nproc)

case "$mode" in
  normal)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j "$jobs"
    ctest --test-dir build --output-on-failure -j "$jobs" --timeout 1800 "$@"
    ;;
  sanitize)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPAPERLOOM_SANITIZE=ON -DPAPERLOOM_BENCH=OFF
    cmake --build build-asan -j "$jobs"
    # The office suite is a separate process; its rendering tests add nothing under the sanitizers.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      LSAN_OPTIONS=suppressions="$PWD/scripts/lsan-suppressions.txt" \
      ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 1800 -LE office "$@"
    ;;
  fuzz)
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DPAPERLOOM_FUZZ=ON -DPAPERLOOM_TESTS=OFF -DPAPERLOOM_BENCH=OFF
    cmake --build build-fuzz -j "$jobs"
    seconds=${FUZZ_SECONDS:-20}
    shared_corpus=${PAPERLOOM_CORPUS:-../shared/corpus}
    passed=0
    for target in build-fuzz/fuzz/*/fuzz_*; do
      [ -x "$target" ] || continue
      corpus_dir="fuzz/corpus/$(basename "$target")"
      work=$(mktemp -d)
      echo "fuzz: $(basename "$target") for ${seconds}s" >&2
      if [ -d "$corpus_dir" ]; then cp -r "$corpus_dir"/. "$work"/; fi
      # Packages and documents also start from the shared corpus: the damaged files and the
      # real documents small enough for one input.
      case "$(basename "$target")" in
        fuzz_package|fuzz_document)
          if [ -d "$shared_corpus" ]; then
            find "$shared_corpus/bad" "$shared_corpus/good" -type f -size -64k -exec cp -t "$work" {} + 2>/dev/null || true
          fi
          ;;
      esac
      if ! "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
           -artifact_prefix="$work/" "$work" > "$work.log" 2>&1; then
        tail -n 60 "$work.log"
        echo "fuzz: $(basename "$target") found a failing input (kept in $work)" >&2
        echo "fuzz: ${passed} passed, 1 failed"
        exit 1
      fi
      tail -n 1 "$work.log"
      rm -rf "$work" "$work.log"
      passed=$((passed + 1))
    done
    echo "fuzz: ${passed} passed, 0 failed"
    ;;
esac
