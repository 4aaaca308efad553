#!/usr/bin/env bash
# Fuzzes the spreadsheet readers of the import with libFuzzer (clang, Qt6Core,
# libzip). Not part of the build or of CTest.
#   tools/fuzz/run.sh build              builds the three fuzzers in build-fuzz/
#   tools/fuzz/run.sh xls|biff|parts|xlsx SECONDS [more libFuzzer options]
# xls and xlsx fuzz whole files (seeds: tests/data and crafted ones), biff the
# workbook stream inside a compound document, parts the XML of an .xlsx.
# Seeds: tools/fuzz/seeds.cpp (built and run by "build"). Corpora and findings
# go to build-fuzz/<mode>/; one process, 512 MB, 10 s, inputs up to 64 KB.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="$root/build-fuzz"
mkdir -p "$out"
flags=(-std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I"$root" $(pkg-config --cflags Qt6Core libzip))
sources=("$root"/master/sheet.cpp "$root"/master/sheetxls.cpp "$root"/master/sheetxlsx.cpp
         "$root"/master/compounddoc.cpp "$root"/data/money.cpp "$root"/tests/craftedbook.cpp)
build() {
  clang++ "${flags[@]}" -D"$2" "$root/tools/fuzz/fuzz_sheet.cpp" "${sources[@]}" \
    $(pkg-config --libs Qt6Core libzip) -o "$out/fuzz_$1"
}
mode="$1"
if [ "$mode" = build ]; then
  build raw FUZZ_RAW; build biff FUZZ_BIFF; build parts FUZZ_PARTS
  clang++ -std=c++17 -g -fPIC -I"$root" $(pkg-config --cflags Qt6Core libzip) "$root/tools/fuzz/seeds.cpp" \
    "$root/tests/craftedbook.cpp" $(pkg-config --libs Qt6Core libzip) -o "$out/seeds-writer"
  "$out/seeds-writer" "$out/seeds"
  exit 0
fi
seconds="$2"; shift 2
bin=fuzz_raw; [ "$mode" = biff ] && bin=fuzz_biff; [ "$mode" = parts ] && bin=fuzz_parts
corpus="$out/$mode/corpus"; mkdir -p "$corpus" "$out/$mode/found"
[ -d "$out/seeds/$mode" ] && cp -n "$out/seeds/$mode"/* "$corpus"/ 2>/dev/null || true
if [ "$mode" = xls ]; then cp -n "$root"/tests/data/*.xls "$corpus"/ 2>/dev/null || true; fi
if [ "$mode" = xlsx ]; then cp -n "$root"/tests/data/*.xlsx "$corpus"/ 2>/dev/null || true; fi
dict=(); [ -f "$root/tools/fuzz/$mode.dict" ] && dict=(-dict="$root/tools/fuzz/$mode.dict")
cd "$out/$mode/found"
FUZZ_TMP="${FUZZ_TMP:-/dev/shm}" "$out/$bin" "$corpus" "${dict[@]}" -max_total_time="$seconds" \
  -rss_limit_mb=512 -timeout=10 -max_len=65536 -print_final_stats=1 "$@"
