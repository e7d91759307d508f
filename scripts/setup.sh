# Shared by scripts/run, scripts/test and scripts/fuzz: installs what is
# missing, builds, and runs the fuzzers. Source it from the repository's top
# folder.

# The options of the shared build folder build/. scripts/run and scripts/test
# both use these, so that neither rebuilds the other's build from scratch.
MAIN_BUILD_OPTIONS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON)

install_dependencies() {
    local missing=()
    local package
    while read -r package; do
        case "$package" in '' | '#'*) continue ;; esac
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$package")
        fi
    done < scripts/dependencies.txt
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing the packages that are missing (this can take a few minutes): ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
}

# quietly LOG COMMAND...: runs COMMAND with all its output in LOG, which is
# shown only when COMMAND fails. Configure and the build say a lot that matters
# only then (CMake's "Could NOT find XKB", for one, on every run).
quietly() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 && return 0
    local status=$?
    cat "$log" >&2
    echo "(This output is kept in $log.)" >&2
    return "$status"
}

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" && cmake --build "$dir" -j "$(nproc)"
}

# build DIR [cmake options...]: configures DIR and builds every target in it,
# quietly, with the output in DIR/build-output.log.
build() {
    mkdir -p "$1"
    quietly "$1/build-output.log" configure_and_build "$@"
}

# run_fuzzers SECONDS: builds the libFuzzer targets with clang in build-fuzz/
# and runs each for SECONDS, starting from its seed corpus in fuzz/corpus; sets
# fuzzer_count to how many ran, and keeps in stage what it is doing, for a
# caller that says where a run stopped. New inputs go to build-fuzz/new-inputs/.
# A fault found shows libFuzzer's report, keeps the input that caused it as
# build-fuzz/NAME-crash-… (or -leak-, -timeout-, -oom-) and fails.
run_fuzzers() {
    local seconds=$1
    stage="the fuzzer build in build-fuzz/"
    CC=clang CXX=clang++ build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_FUZZ=ON || return
    rm -rf build-fuzz/new-inputs
    fuzzer_count=0
    local fuzzer name log runs
    for fuzzer in build-fuzz/fuzz/quillet-fuzz-*; do
        [ -x "$fuzzer" ] || continue
        name=${fuzzer##*/quillet-fuzz-}
        log=build-fuzz/fuzz-$name.log
        stage="the $name fuzzer"
        mkdir -p "build-fuzz/new-inputs/$name"
        if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="build-fuzz/$name-" \
            "build-fuzz/new-inputs/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
            tail -n 40 "$log" >&2
            echo "(libFuzzer's whole output is in $log.)" >&2
            stage="the $name fuzzer, which found a fault: the input is kept as build-fuzz/$name-*"
            return 1
        fi
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "The $name fuzzer ran ${runs:-its} inputs in $seconds s without a fault"
        fuzzer_count=$((fuzzer_count + 1))
    done
    if [ "$fuzzer_count" -eq 0 ]; then
        stage="the fuzzers: none was built in build-fuzz/fuzz/"
        return 1
    fi
}
