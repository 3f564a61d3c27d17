#!/bin/bash
# The recorded voice as a user meets it: with no engine ([TRADUTOR] SAPI=NAO)
# the greeting, the directory question, typed letters, the clock (F8), the
# help listing (F1) and the farewell are all heard from the suite voice's
# recordings; with espeak-ng open, the editor's cue recordings still play.
. "$(dirname "$0")/../e2e/tmux_lib.sh"
DATA=$(cd "$(dirname "$0")/../../data/som" && pwd)
LETTERS="$DATA/letras"
SOUNDS="$DATA/varlo"
CAPTURE="$WORK/sound.cap"
mkdir -p "$WORK/projeto" "$XDG_CONFIG_HOME/murena"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"

# Questions about the capture: "voiced FROM TO" prints the seconds heard
# between two play records and the share of 20 ms frames that are not
# silent; "has FILE..." succeeds when the samples of every WAV file were
# played (alone or inside a joined sound); "plays" counts play records.
capture() {
  python3 - "$CAPTURE" "$@" <<'PY'
import sys, os, math
path, what, args = sys.argv[1], sys.argv[2], sys.argv[3:]
data = open(path, "rb").read() if os.path.exists(path) else b""
plays, i = [], 0
while i < len(data):
    j = data.find(b"\n", i)
    if j < 0: break
    f = data[i:j].split(); i = j + 1
    if f[:1] == [b"PLAY"]:
        n = int(f[5]); plays.append((int(f[2]), int(f[3]), data[i:i + n])); i += n + 1
if what == "plays":
    print(len(plays))
elif what == "voiced":
    start, end = int(args[0]), int(args[1])
    frames = voiced = seconds = 0
    for rate, bits, pcm in plays[start:end]:
        if bits != 8: continue
        seconds += len(pcm) / rate
        step = rate // 50
        for k in range(0, len(pcm) - step + 1, step):
            frames += 1
            rms = math.sqrt(sum((b - 128) ** 2 for b in pcm[k:k + step]) / step)
            voiced += rms > 4
    print("%.2f %.2f" % (seconds, voiced / frames if frames else 0))
elif what == "has":
    heard = b"".join(p[2] for p in plays)
    for name in args:
        wav = open(name, "rb").read()
        if wav[44:] not in heard: print("missing", name); sys.exit(1)
PY
}
plays() { capture plays; }
heard() { capture has "$@" >/dev/null; }
# Wait until the recordings $@ were all played.
wait_played() {
  local i=0
  while [ $i -lt 150 ]; do
    heard "$@" && return 0
    sleep 0.2; i=$((i + 1))
  done
  fail "not heard: $*"
}

[ -s "$LETTERS/_97.wav" ] && [ -s "$SOUNDS/VLSAI.wav" ] || fail "the suite voice's recordings were not made"
printf '[TRADUTOR]\nSAPI=NAO\n' > "$XDG_CONFIG_HOME/murena/Murena.ini"
start main "VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "diretório"
wait_quiet plays
read -r seconds share <<<"$(capture voiced 0 "$(plays)")"
awk -v s="$seconds" -v v="$share" 'BEGIN { exit !(s > 2 && v >= 0.6) }' ||
  fail "greeting and question: $seconds s heard, $share voiced"
echo "greeting and question: $seconds s heard, $share of the frames voiced"

# Typed letters are each heard; F8 says the time from the word recordings.
keys a
wait_played "$LETTERS/_97.wav"
keys b
wait_played "$LETTERS/_98.wav"
keys F8
hour=$(date +%-H)
[ "$hour" -lt 2 ] && word=_hora || word=_horas
wait_played "$LETTERS/$word.wav"
keys C-y
wait_played "$LETTERS/_CPOAPA.wav"
keys Enter
wait_prompt

# The help listing: its earcon, then the listing in the recorded voice.
# A few seconds of it are enough: a key then cuts the rest short.
before=$(plays)
keys F1
wait_played "$SOUNDS/VLMENU.wav"
i=0
until [ "$(plays)" -ge $((before + 12)) ] || [ $i -ge 300 ]; do sleep 0.1; i=$((i + 1)); done
read -r seconds share <<<"$(capture voiced "$((before + 1))" "$(plays)")"
keys x
wait_for "E   Executar script"
wait_prompt
awk -v s="$seconds" -v v="$share" 'BEGIN { exit !(s > 2 && v >= 0.6) }' ||
  fail "help listing: $seconds s heard, $share voiced"
echo "help listing: $seconds s heard, $share of the frames voiced"

keys Escape
wait_for PROGRAMA-ENCERRADO 30
heard "$SOUNDS/VLSAI.wav" || fail "the farewell did not play VLSAI"

# With espeak-ng speaking, the editor's cues are still recordings.
rm -f "$CAPTURE" "$XDG_CONFIG_HOME/murena/Murena.ini"
WINDOW=espeak start espeak "VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
WINDOW=espeak wait_for "diretório"
WINDOW=espeak keys C-y
wait_played "$LETTERS/_CPOAPA.wav"
WINDOW=espeak keys F4
wait_played "$LETTERS/_FALDLG.wav"
WINDOW=espeak keys F4
wait_played "$LETTERS/_FALACI.wav"
WINDOW=espeak keys Escape
WINDOW=espeak wait_for PROGRAMA-ENCERRADO 30
echo PASS
