# Shared steps of the installation tests: install the build given as $1 with
# prefix /usr into a temporary DESTDIR whose path holds a space, and run the
# installed programs with a clean environment.
set -u
BUILD=$(cd "$1" && pwd)
WORK=$(mktemp -d "/tmp/varlo install.XXXXXX")
DEST="$WORK/dest dir"
ROOT="$DEST/usr"
trap 'rm -rf "$WORK"' EXIT

fail() { echo "FAIL: $*"; exit 1; }

install_into_destdir() {
  DESTDIR="$DEST" cmake --install "$BUILD" --prefix /usr > "$WORK/install.log" 2>&1 \
    || fail "cmake --install failed: $(tail -5 "$WORK/install.log")"
}

# Runs an installed program with nothing of the caller's environment: no
# VARLO_SUITE, a fresh HOME, and a runtime directory of its own so that the
# single-instance lock does not meet another test's program. Ends after two
# minutes at most.
run_installed() {
  mkdir -p "$WORK/home" "$WORK/run"
  env -i HOME="$WORK/home" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$WORK/run" \
    VARLO_AUDIO="${AUDIO:-null}" VARLO_CONSOLE=headless timeout 120 "$@"
}
