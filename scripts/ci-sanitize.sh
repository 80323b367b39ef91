#!/usr/bin/env bash
# Builds the whole suite under -fsanitize=address,undefined and under -fsanitize=thread and runs
# it, each in a build folder of its own. Any report fails the run. The thread build is left out,
# and says so, when the time budget (FLASHWERK_SANITIZE_BUDGET seconds since CI began, counted
# from FLASHWERK_CI_START) is spent before it starts.
set -euo pipefail
cd "$(dirname "$0")/.."

start=${FLASHWERK_CI_START:-$(date +%s)}
budget=${FLASHWERK_SANITIZE_BUDGET:-1080}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

run_sanitized() {
  local sanitizers=$1 folder=$2
  echo "== Suite under -fsanitize=${sanitizers} (${folder})"
  # -O1 keeps the libraries quick to build and the instrumented tests quick to run.
  cmake -S . -B "$folder" -G Ninja -DFLASHWERK_WERROR=ON -DFLASHWERK_SANITIZE="$sanitizers" \
        -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" >/dev/null
  cmake --build "$folder"
  # Deadline measurements do not hold under instrumentation; the package check is not about memory.
  ctest --test-dir "$folder" --output-on-failure -j2 -LE timing -E '^packaging$'
}

run_sanitized address,undefined build-asan

elapsed=$(($(date +%s) - start))
if [ "$elapsed" -gt "$budget" ]; then
  echo "== Suite under -fsanitize=thread left out: ${elapsed} s spent of a ${budget} s budget"
  exit 0
fi
run_sanitized thread build-tsan
