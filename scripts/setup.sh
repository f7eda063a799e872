# Shared by the scripts in this folder: installs what is missing and builds.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
PACKAGES=(qt6-base-dev cmake ninja-build g++ fonts-liberation2)
# The fuzz targets need clang with its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "Please install as root: apt-get install ${missing[*]}" >&2
            return 1
        fi
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# build_tree DIR [cmake options...]: configures DIR once, then builds it.
build_tree() {
    local dir="$1"
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$ROOT" -B "$dir" -G Ninja -DWARNINGS_AS_ERRORS=ON "$@"
    fi
    cmake --build "$dir"
}

build_all() {
    build_tree "$BUILD" -DCMAKE_BUILD_TYPE=Release
}

build_sanitized() {
    build_tree "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON
}

build_fuzzers() {
    CC=clang CXX=clang++ build_tree "$ROOT/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFUZZ=ON
}

# run_fuzzer TARGET SECONDS: runs one target from the seed corpus; fails on a finding.
run_fuzzer() {
    local target="$1" seconds="$2"
    local corpus="$ROOT/build-fuzz/corpus-$target"
    mkdir -p "$corpus" "$ROOT/build-fuzz/findings"
    "$ROOT/build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$ROOT/build-fuzz/findings/$target-" \
        "$corpus" "$ROOT/tests/fuzz/corpus/$target"
}

FUZZ_TARGETS=(fieldreader numbers)
