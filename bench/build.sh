# Sourced by the scripts of bench/, from the repository's folder: the Release
# build they time, in build/bench.
#   build_bench TARGET...   builds those targets (BUILD_JOBS jobs, default nproc)
build=build/bench
build_bench() {
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLCT_BUILD_TESTS=OFF -DLCT_BUILD_BENCH=ON \
        -DLCT_BUILD_GUI=OFF >/dev/null
    nice cmake --build "$build" -j"${BUILD_JOBS:-$(nproc)}" --target "$@" >/dev/null
}
