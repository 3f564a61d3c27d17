#!/bin/bash
# Letters typed in a field are echoed by recordings at the loudness of the
# engine's voice heard before them (within 2 dB of active-speech RMS), not
# 6 dB louder. Prints both levels.
. "$(dirname "$0")/tmux_lib.sh"
CAPTURE="$WORK/sound.cap"
mkdir -p "$WORK/projeto"
cd "$WORK/projeto"
start main "VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo; sleep 60"
wait_for "Pressionando ENTER"
wait_quiet
keys C-u
for k in m a r i a; do keys "$k"; sleep 0.4; done
wait_quiet

# Active-speech RMS (20 ms windows above -50 dB) of the engine's speech
# (16-bit) and of the letters (8-bit recordings; beeps and clicks, of 512
# and 256 bytes, left out), in dB of full scale.
levels=$(python3 - "$CAPTURE" <<'PY'
import math, struct, sys
data = open(sys.argv[1], "rb").read()
sums = {"voz": [0.0, 0], "letras": [0.0, 0]}
i = 0
while i < len(data):
    j = data.find(b"\n", i)
    if j < 0: break
    f = data[i:j].split(); i = j + 1
    if f[:1] != [b"PLAY"]: continue
    rate, bits, channels, n = int(f[2]), int(f[3]), int(f[4]), int(f[5])
    raw = data[i:i + n]; i += n + 1
    if bits == 16:
        samples = [s / 32768 for s in struct.unpack("<%dh" % (n // 2), raw)]
        kind = "voz"
    elif n not in (256, 512):
        samples = [(b - 128) / 128 for b in raw]
        kind = "letras"
    else:
        continue
    w = max(1, rate * channels // 50)
    for k in range(0, len(samples), w):
        win = samples[k:k + w]
        e = sum(s * s for s in win)
        if math.sqrt(e / len(win)) >= 0.00316:
            sums[kind][0] += e; sums[kind][1] += len(win)
for kind in ("voz", "letras"):
    e, n = sums[kind]
    print("%.1f" % (20 * math.log10(math.sqrt(e / n))) if n else "none")
PY
)
voice=$(echo "$levels" | sed -n 1p)
letters=$(echo "$levels" | sed -n 2p)
echo "voice $voice dB, echoed letters $letters dB"
[ "$voice" != none ] && [ "$letters" != none ] || fail "not both heard: voice $voice, letters $letters"
awk -v a="$voice" -v b="$letters" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 2) }' ||
  fail "the letters are not within 2 dB of the voice: voice $voice dB, letters $letters dB"
echo PASS
