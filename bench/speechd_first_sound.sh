#!/bin/bash
# Time to the first sound of a short sentence through a private Speech
# Dispatcher (espeak-ng module, sound written by ALSA's file plugin), beside
# espeak-ng run directly (its first WAV byte on a pipe). Both are timed from
# the moment the client asks, after one warm-up sentence; the median of
# RUNS runs is printed in milliseconds.
#   bench/speechd_first_sound.sh [RUNS]   (default 9)
set -euo pipefail
runs=${1:-9}
WORK=$(mktemp -d /tmp/varlo-bench.XXXXXX)
export HOME="$WORK/home"
mkdir -p "$HOME"
fail() { echo "$*" >&2; exit 1; }
. "$(dirname "$0")/../tests/e2e/speech_server_lib.sh"
trap 'stop_speech_server; rm -rf "$WORK"' EXIT
start_speech_server
sentence="Bom dia, tudo bem?"
spd-say -w -l pt-BR "aquecendo" || fail "the server does not speak"

python3 - "$runs" "$sentence" "$SPEECH_CAPTURE" <<'PY'
import os, statistics, subprocess, sys, time
runs, sentence, capture = int(sys.argv[1]), sys.argv[2], sys.argv[3]

def size():
    try:
        return os.path.getsize(capture)
    except OSError:
        return 0

def through_server():
    before = size()
    start = time.monotonic()
    subprocess.run(["spd-say", "-l", "pt-BR", sentence], check=True)
    while size() == before:
        if time.monotonic() - start > 10:
            sys.exit("no sound from the server")
        time.sleep(0.0005)
    first = time.monotonic() - start
    while True:   # the sentence ends before the next run
        grown = size()
        time.sleep(0.2)
        if size() == grown:
            return first

def direct():
    start = time.monotonic()
    p = subprocess.Popen(["espeak-ng", "-v", "pt-br", "--stdout", sentence], stdout=subprocess.PIPE)
    p.stdout.read(45)   # the 44-byte header and the first sample byte
    first = time.monotonic() - start
    p.stdout.read()
    p.wait()
    return first

for name, measure in (("Speech Dispatcher (espeak-ng module)", through_server),
                      ("espeak-ng direct", direct)):
    times = [measure() * 1000 for _ in range(runs)]
    print(f"{name}: median {statistics.median(times):.1f} ms, "
          f"min {min(times):.1f}, max {max(times):.1f} ({runs} runs)")
PY
