#!/usr/bin/env bash
# Builds the benchmarks in Release (in build-bench/) and runs every one of them, printing each
# figure beside its target. Usage: scripts/bench.sh [benchmark filter regex]
# Figures are wall times, min and median over five runs of each benchmark (a benchmark that fixes
# its own runs keeps them), or the counter a target names. Timings on a busy machine say little:
# run it on a quiet one.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
filter="${1:-.}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFLASHWERK_BUILD_BENCH=ON \
  -DFLASHWERK_BUILD_TESTS=OFF >/dev/null
mapfile -t targets < <(cmake --build "$build" --target help | sed -n 's/^\(flashwerk_bench_[a-z_]*\):.*/\1/p')
cmake --build "$build" --parallel "${FLASHWERK_JOBS:-$(nproc)}" --target "${targets[@]}"

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
failed=0
for target in "${targets[@]}"; do
  run=("$build/bin/$target")
  if [[ $target == *_gui ]]; then
    # A real window system when there is one to start; offscreen paints differently.
    if [[ -z ${DISPLAY:-} ]] && command -v xvfb-run >/dev/null; then
      run=(xvfb-run -a env QT_QPA_PLATFORM=xcb "${run[@]}")
      echo "$target: xcb on Xvfb"
    elif [[ -z ${DISPLAY:-} ]]; then
      run=(env QT_QPA_PLATFORM=offscreen "${run[@]}")
      echo "$target: offscreen (no Xvfb on this machine)"
    fi
  fi
  echo "running $target ..."
  if ! "${run[@]}" --benchmark_filter="$filter" --benchmark_repetitions=5 --benchmark_format=json \
    --benchmark_out="$results/$target.json" --benchmark_out_format=json >"$results/$target.log" 2>&1; then
    echo "$target failed:" >&2
    tail -20 "$results/$target.log" >&2
    failed=1
  fi
done

python3 - "$results" <<'EOF'
import glob, json, os, re, sys

# First match wins: (benchmark program, name pattern, figure, limit, what the limit means).
# A figure is "time" (wall time in ms) or a counter the benchmark reports.
TARGETS = [
    ("flashwerk_bench_editor_gui", r"Open", "time", 100.0, "open under 100 ms"),
    ("flashwerk_bench_editor_gui", r"Save", "time", 50.0, "save under 50 ms"),
    ("flashwerk_bench_editor_gui", r"Print", None, None, "no target"),
    ("flashwerk_bench_editor_gui", r".", "time", 16.7, "every command under 16.7 ms"),
    ("flashwerk_bench_editor", r"ImportCsv", "time", 100.0, "CSV import under 100 ms"),
    ("flashwerk_bench_editor", r"Parse|Read|Open", "time", 100.0, "open under 100 ms"),
    ("flashwerk_bench_editor", r"Build|Write|Save", "time", 50.0, "save under 50 ms"),
    ("flashwerk_bench_editor", r"Duplicates", "time", 50.0, "dedupe under 50 ms"),
    ("flashwerk_bench_editor", r"OrderLike/1", None, None, "all programs alike: no target"),
    ("flashwerk_bench_editor", r"OrderLike", "time", 50.0, "order-like under 50 ms"),
    ("flashwerk_bench_editor", r".", "time", 16.7, "every command under 16.7 ms"),
    ("flashwerk_bench_cli", r"Batch", "time", 1000.0, "4000 renames in one batch under 1 s"),
    ("flashwerk_bench_cli", r".", None, None, "no target"),
    ("flashwerk_bench_link", r"Paced", "paced_ratio", 1.15,
     "paced / (line + fixed pauses) at most 1.15"),
    ("flashwerk_bench_link", r".", "own_cpu_percent_of_line", 1.0, "own CPU under 1 % of line"),
]
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def target_for(program, name):
    for prog, pattern, figure, limit, meaning in TARGETS:
        if prog == program and re.search(pattern, name):
            return figure, limit, meaning
    return None, None, "no target"


def figure_of(entry, figure):
    if figure == "time":
        return entry["real_time"] * TO_MS[entry.get("time_unit", "ns")]
    return entry.get(figure)


rows = []
for path in sorted(glob.glob(os.path.join(sys.argv[1], "*.json"))):
    program = os.path.basename(path)[:-5]
    with open(path) as f:
        data = json.load(f)
    runs = {}  # name -> its single runs, and the aggregates by name
    for entry in data.get("benchmarks", []):
        if entry.get("error_occurred"):
            rows.append((program, entry["run_name"], "error: " + entry.get("error_message", ""), "", "", ""))
            continue
        stats = runs.setdefault(entry["run_name"], {"single": []})
        if entry.get("run_type") == "aggregate":
            stats[entry["aggregate_name"]] = entry
        else:
            stats["single"].append(entry)
    for name, stats in runs.items():
        figure, limit, meaning = target_for(program, name)
        shown = figure or "time"
        if stats["single"]:
            values = sorted(figure_of(e, shown) for e in stats["single"])
            low, mid = values[0], values[len(values) // 2]
        elif "min" in stats and "median" in stats:
            low, mid = figure_of(stats["min"], shown), figure_of(stats["median"], shown)
        else:
            continue
        unit = " ms" if shown == "time" else ""
        verdict = "" if limit is None else ("ok" if mid <= limit else "OVER")
        name = re.sub(r"/(iterations|repeats):\d+|/manual_time|/real_time", "", name)
        rows.append((program, name, f"{low:.3f}{unit}", f"{mid:.3f}{unit}", meaning, verdict))

print()
print(f"{'benchmark':58} {'min':>14} {'median':>14}  target")
for program, name, low, mid, meaning, verdict in rows:
    label = f"{program.removeprefix('flashwerk_bench_')}: {name}"
    print(f"{label:58} {low:>14} {mid:>14}  {meaning} {verdict}".rstrip())
EOF
exit $failed
