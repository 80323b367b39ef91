#!/usr/bin/env bash
# Builds the whole suite under -fsanitize=address,undefined and under -fsanitize=thread and runs
# it, each in a build folder of its own. Any report fails the run. When the time budget
# (FLASHWERK_SANITIZE_BUDGET seconds since CI began, counted from FLASHWERK_CI_START) is spent
# before the thread build starts, it covers only the programs whose own threads carry transfers
# (link, link jobs, simulator, command-line tool, production station), which build and run in a
# few minutes; past FLASHWERK_SANITIZE_FOCUS_BUDGET it is left out, and says so.
set -euo pipefail
cd "$(dirname "$0")/.."

start=${FLASHWERK_CI_START:-$(date +%s)}
budget=${FLASHWERK_SANITIZE_BUDGET:-1080}
focus_budget=${FLASHWERK_SANITIZE_FOCUS_BUDGET:-1560}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

# run_sanitized SANITIZERS FOLDER [TARGETS TESTS]: the whole suite, or only the test programs
# TARGETS (space separated) and the tests whose names match TESTS.
run_sanitized() {
  local sanitizers=$1 folder=$2 targets=${3:-} tests=${4:-}
  echo "== Suite under -fsanitize=${sanitizers} (${folder})${targets:+: ${targets}}"
  # -O1 keeps the libraries quick to build and the instrumented tests quick to run.
  cmake -S . -B "$folder" -G Ninja -DFLASHWERK_WERROR=ON -DFLASHWERK_SANITIZE="$sanitizers" \
        -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" >/dev/null
  if [ -n "$targets" ]; then
    # shellcheck disable=SC2086 # the targets are words
    cmake --build "$folder" --target $targets
    ctest --test-dir "$folder" --output-on-failure -j2 -LE timing -R "$tests"
    return
  fi
  cmake --build "$folder"
  # Deadline measurements do not hold under instrumentation; the package check is not about memory.
  ctest --test-dir "$folder" --output-on-failure -j2 -LE timing -E '^packaging$'
}

run_sanitized address,undefined build-asan

elapsed=$(($(date +%s) - start))
if [ "$elapsed" -le "$budget" ]; then
  run_sanitized thread build-tsan
elif [ "$elapsed" -le "$focus_budget" ]; then
  echo "== ${elapsed} s spent of a ${budget} s budget: the thread build covers the transfer threads only"
  run_sanitized thread build-tsan \
    "flashwerk_test_link flashwerk_test_linkjobs flashwerk_test_sim flashwerk_test_cli flashwerk_test_production" \
    '^(link|linkjobs|sim|cli|production)\.'
else
  echo "== Suite under -fsanitize=thread left out: ${elapsed} s spent of a ${focus_budget} s budget"
fi
