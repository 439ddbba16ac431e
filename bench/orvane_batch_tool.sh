# Sourced by the benchmarks: sets `tool` to the orvane-batch they time.
# BENCH_TOOL=path/to/orvane-batch times a build at hand instead of building one.
build=build/bench
tool=${BENCH_TOOL:-$build/program/orvane_batch/orvane-batch}
if [[ -z ${BENCH_TOOL:-} ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target orvane-batch -j2 >/dev/null
fi
