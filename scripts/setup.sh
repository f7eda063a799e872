# Shared by the scripts in this folder: installs what is missing and builds.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
# libfontconfig-dev: the programs read the font configuration on a second
# thread at start-up (see README).
# qt6-translations-l10n: Qt's own texts (context menus, standard buttons) in Russian.
PACKAGES=(qt6-base-dev libfontconfig-dev cmake ninja-build g++ fonts-liberation2 qt6-translations-l10n)
# The topic editor's save is tested by killing a child that saves at each of
# its system calls in turn (strace's fault injection). The labs' step window
# offers the run as a whole program in Pascal and Python: the tests compile it
# with Free Pascal (fp-compiler) and run it with python3. The printed report
# is checked as its PDF's text and a picture of its page (poppler-utils).
TEST_PACKAGES=(strace fp-compiler python3 poppler-utils)
# The fuzz targets need clang with its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The package: dpkg-shlibdeps (dpkg-dev) computes its dependencies; the package
# test checks it with lintian and its AppStream metadata with appstreamcli.
PACKAGE_PACKAGES=(dpkg-dev lintian appstream)
# The house habits: the formatter and the linter (README, "Working on the code").
LINT_PACKAGES=(clang-format clang-tidy)
# The check from outside: a virtual X server, xdotool to click and type, xprop
# (x11-utils) for the title bars, and a screen-reader client over the
# accessibility bus in its own D-Bus session.
DESKTOP_PACKAGES=(xvfb xdotool x11-utils dbus at-spi2-core python3-pyatspi)
# The results on a real file server: Samba's server, the FUSE SMB client
# smbnetfs (the only kind of network mount a container can make), fuse3 for
# fusermount3, and ss (iproute2) to see the server listen.
FILESERVER_PACKAGES=(samba smbnetfs fuse3 iproute2)

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
    # -O1, as the sanitizers' manual advises: half the build time of -O2 on 2 cores.
    build_tree "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -DNDEBUG" \
        -DSANITIZE=ON
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

FUZZ_TARGETS=(fieldreader numbers topicfile resultrecord)

# start_xvfb DISPLAY GEOMETRY: a virtual X server for the programs' windows,
# stopped (with any window still open) when the script ends. A watcher on its
# root window (xev, from x11-utils) reports every window the moment it is
# mapped, so a start-up is timed to that event, not to the next poll, and no
# polling process competes with the program for the processor meanwhile.
start_xvfb() {
    export DISPLAY="$1"
    Xvfb "$DISPLAY" -maxclients 2048 -screen 0 "$2" >/dev/null 2>&1 &
    XVFB_PID=$!
    shown_pid=""
    MAPWATCH_PID=""
    trap stop_xvfb EXIT
    for _ in $(seq 100); do
        if xdotool getdisplaygeometry >/dev/null 2>&1; then
            coproc MAPWATCH { exec xev -root -event substructure; }
            return 0
        fi
        sleep 0.1
    done
    echo "the virtual X server on $DISPLAY did not start" >&2
    exit 1
}

stop_xvfb() {
    close_window
    kill $MAPWATCH_PID "$XVFB_PID" 2>/dev/null || true
}

# microseconds since the epoch, read without starting a process
now_us() { echo "${EPOCHREALTIME/./}"; }

# show_window PROGRAM LOG: starts a built program, its output to LOG, and waits
# until its window is mapped. Leaves the process in $shown_pid, the window in
# $shown_win and the microseconds from start to mapped window in $shown_us.
show_window() {
    local attempt start line mapped
    for attempt in 1 2 3; do
        # Forget what earlier windows reported.
        while read -r -t 0.05 -u "${MAPWATCH[0]}" line; do :; done
        start=$(now_us)
        "$BUILD/bin/$1" >"$2" 2>&1 &
        shown_pid=$!
        mapped=""
        for _ in $(seq 100); do
            if read -r -t 0.2 -u "${MAPWATCH[0]}" line; then
                case $line in MapNotify*) mapped=$(now_us); break ;; esac
            else
                kill -0 "$shown_pid" 2>/dev/null || break
            fi
        done
        shown_win=""
        if [ -n "$mapped" ]; then
            shown_us=$(( mapped - start ))
            for _ in $(seq 50); do
                shown_win=$(xdotool search --onlyvisible --pid "$shown_pid" 2>/dev/null) && break
                sleep 0.1
            done
        fi
        if [ -n "$shown_win" ]; then
            shown_win=${shown_win%%$'\n'*}
            return 0
        fi
        # A fresh virtual X server now and then turns a client away; try again.
        echo "$1 did not show its window (attempt $attempt):" >&2
        tail -n 3 "$2" >&2
        close_window
        sleep 1
    done
    exit 1
}

close_window() {
    [ -n "${shown_pid:-}" ] || return 0
    kill "$shown_pid" 2>/dev/null || true
    wait "$shown_pid" 2>/dev/null || true
    shown_pid=""
}

# lint: every tracked C++ source formatted as .clang-format says and clean by
# .clang-tidy, against the compile commands of the Release tree.
lint() {
    local sources
    mapfile -t sources < <(cd "$ROOT" && git ls-files '*.cpp' '*.h')
    (cd "$ROOT" && clang-format --dry-run -Werror "${sources[@]}")
    echo "clang-format: ${#sources[@]} files as .clang-format says"
    mapfile -t sources < <(cd "$ROOT" && git ls-files '*.cpp' | grep -v '^tests/fuzz/' | sed "s|^|$ROOT/|")
    local log="$BUILD/clang-tidy.log"
    if ! run-clang-tidy -quiet -p "$BUILD" -j "$(nproc)" "${sources[@]}" >"$log" 2>&1; then
        grep -E 'error:|warning:' "$log" | sort -u >&2
        echo "clang-tidy found the faults above" >&2
        return 1
    fi
    echo "clang-tidy: ${#sources[@]} files clean"
}

