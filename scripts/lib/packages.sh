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
    without_service_starts apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Runs the command with service starts forbidden: the maintainer scripts of network-manager and
# of udev, which it pulls in, would otherwise start their daemons on this machine (through
# invoke-rc.d or deb-systemd-invoke, which both ask /usr/sbin/policy-rc.d; 101 means "not now").
# A policy the machine already has is left as it is.
without_service_starts() {
    local policy=/usr/sbin/policy-rc.d status=0
    if [ -e "$policy" ]; then
        "$@"
        return
    fi
    printf '#!/bin/sh\nexit 101\n' >"$policy"
    chmod 755 "$policy"
    # Left behind, it would keep every service on the machine from starting: remove it however
    # the install ends, an interrupted one included.
    trap 'rm -f /usr/sbin/policy-rc.d' EXIT
    trap 'rm -f /usr/sbin/policy-rc.d; exit 130' INT TERM
    "$@" || status=$?
    rm -f "$policy"
    trap - EXIT INT TERM
    return "$status"
}

# The packages every build needs; dpkg-dev and file let cpack build the .deb and find the
# Debian packages it depends on; zxing-cpp, libpng and libjpeg read QR code images, libsecret
# talks to the desktop keyring; help2man makes the manual pages; ppp gives the tests a real
# /usr/sbin/pppd and chat; lintian, man-db, desktop-file-utils and appstream check the package.
BUILD_PACKAGES=(cmake g++ qt6-base-dev libsqlite3-dev libssl-dev libzxing-dev libpng-dev libjpeg-dev
                libsecret-1-dev googletest libbenchmark-dev oathtool dpkg-dev file help2man ppp lintian man-db
                desktop-file-utils appstream)

# What the tests need on top: a real OpenVPN server and client with certificates made by openssl,
# and a NetworkManager to read connections from on a private system bus (dbus-daemon), each run
# in a network namespace of its own (ip, from iproute2); nc stops the OpenVPN client the way the
# README tells users to, through its management socket; ocserv and openconnect, the server and
# client of the openconnect logins; qrencode and ImageMagick make the QR code images to import;
# gnome-keyring is the desktop keyring of the keyring tests.
TEST_PACKAGES=(openvpn openssl network-manager dbus-daemon iproute2 acl netcat-openbsd ocserv openconnect qrencode
               imagemagick gnome-keyring)

# What scripts/fuzz needs on top: clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
