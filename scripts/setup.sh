# Shared by scripts/run, scripts/test and scripts/fuzz: installs what is
# missing and builds. Source it from the repository's top folder.

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

# build DIR [cmake options...]: configures DIR and builds every target in it.
build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$(nproc)"
}
