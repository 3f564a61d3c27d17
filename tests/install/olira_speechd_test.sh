#!/bin/bash
# Olira for Speech Dispatcher as installed: the module program and its
# configuration land where Debian's speech-dispatcher looks for them, and a
# private server given that configuration speaks with Olira (spd-say -o
# olira), its sound captured; no other module is there to stand in for it.
. "$(dirname "$0")/install_lib.sh"
export HOME="$WORK/home"
mkdir -p "$HOME"
. "$(dirname "$0")/../e2e/speech_server_lib.sh"
trap 'stop_speech_server; rm -rf "$WORK"' EXIT
install_into_destdir

conf="$DEST/etc/speech-dispatcher/modules/olira.conf"
[ -f "$conf" ] || fail "olira.conf was not installed"
[ "$(readlink "$DEST/usr/lib/speech-dispatcher-modules/sd_olira")" = sd_generic ] \
  || fail "sd_olira is not the generic module"

mkdir -p "$WORK/modules"
cp "$conf" "$WORK/modules/"
export PATH="$ROOT/bin:$PATH"
start_speech_server "$WORK/modules" olira
timeout 30 spd-say -w -o olira -l pt-BR "Olá, eu sou a Olira." || fail "spd-say failed"
size=$(speech_captured)
# Half a second of 16 kHz 16-bit sound at least.
[ "$size" -gt 16000 ] || fail "no sound from the Olira module ($size bytes): $(tail -n 5 "$SPEECH_DIR/log/"*.log 2>&1)"
echo PASS
