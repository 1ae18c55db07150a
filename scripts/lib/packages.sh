# Sourced by the scripts: installs the Debian packages named in the arguments that are missing
# (as root, after an apt-get update), or says which apt-get line to run.
ensure_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "$(basename "$0"): missing Debian packages: ${missing[*]}" >&2
        echo "Install them as root with:" >&2
        echo "    apt-get install ${missing[*]}" >&2
        exit 2
    fi
    echo "== Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The packages every build needs; dpkg-dev and file let cpack build the .deb and find the
# Debian packages it depends on; help2man makes the manual pages; ppp gives the tests a real
# /usr/sbin/pppd and chat, openvpn a real OpenVPN server and client, which the tests run in a
# network namespace (iproute2) with certificates made by openssl; lintian, man-db,
# desktop-file-utils and appstream check the package.
BUILD_PACKAGES=(cmake g++ qt6-base-dev libsqlite3-dev libssl-dev googletest libbenchmark-dev oathtool
                dpkg-dev file help2man ppp openvpn iproute2 openssl lintian man-db desktop-file-utils appstream)

# What scripts/fuzz needs on top: clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
