#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs one, or all, for a given time.
#   fuzz/run.sh [TARGET|all] [SECONDS]    TARGET: conversion markup workbook
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-all}
seconds=${2:-60}
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DFORM13F_FUZZ=ON \
  -DFORM13F_GUI=OFF -DFORM13F_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_conversion fuzz_markup fuzz_workbook
run() {
  local name=$1 work=build-fuzz/corpus/$1
  mkdir -p "$work"
  echo "== fuzz_$name for ${seconds}s"
  build-fuzz/bin/fuzz_"$name" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/"$name"- "$work" fuzz/corpus/"$name"
}
if [ "$target" = all ]; then
  for name in conversion markup workbook; do run "$name"; done
else
  run "$target"
fi
