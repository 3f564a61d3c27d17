#!/bin/bash
# How clear and natural the two voices of the suite are beside espeak-ng:
# renders a fixed selection of fortunes-br sentences, closed sets of
# minimal-pair words and question/statement pairs with Olira
# (olira-phonemes | synth-say), the recorded voice (the speech front end with
# [TRADUTOR] SAPI=NAO, captured from the sound layer) and espeak-ng -v pt-br,
# and prints the measures side by side with their goals, then the word
# identification scores (MFCC and dynamic time warping against a reference
# voice's renderings at two rates and two pitches).
#   bench/voice_clarity.sh [BUILD_DIR] [SENTENCES]
# SENTENCES (100) fortunes are taken, in file order, among those of one
# sentence of 6 to 25 words. VOICE_CLARITY_DIR keeps the renderings and
# spectrograms (one sentence per voice) when set.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
count=${2:-100}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
out=${VOICE_CLARITY_DIR:-$tmp/out}
rm -rf "$out/olira" "$out/recorded" "$out/espeak" "$out/olira-ref" "$out/espeak-ref" "$out/olira-8bit"
mkdir -p "$out"

/usr/bin/python3 - "$count" > "$out/sentences.txt" <<'PY'
import re, sys
text = open("/usr/share/games/fortunes/brasil", encoding="utf-8").read()
taken = 0
for fortune in text.split("\n%\n"):
    lines = [l.strip() for l in fortune.strip().split("\n") if not l.strip().startswith("--")]
    s = " ".join(l for l in lines if l)
    words = s.split()
    if not 6 <= len(words) <= 25 or not re.fullmatch(r"[^\W\d_][\w ,;'-]*[.!?]", s):
        continue
    if re.search(r"[.!?].", s[:-1]) or re.search(r"\d|_", s):
        continue
    print(s)
    taken += 1
    if taken == int(sys.argv[1]):
        break
PY

# Closed sets: initial consonants, voicing, place and vowels.
cat > "$out/words.txt" <<'EOF'
pato bato gato mato rato
faca vaca maca jaca
tia dia via pia
pote bote dote lote
cola gola mola bola sola
toca foca boca roca
tela vela bela sela
capa tapa mapa
pala bala fala mala sala
cama dama lama fama
pena cena
selo pelo gelo
sopa copa
dedo medo cedo
lata data mata
nota bota cota
pino fino sino
cão pão mão
rua lua nua sua
pai vai sai cai
bico fico pico tico
casa caso
pelo pulo
fogo fumo
EOF
cat > "$out/pairs.txt" <<'EOF'
Você vai sair hoje?
Você vai sair hoje.
Ele comprou o livro?
Ele comprou o livro.
A casa é nova?
A casa é nova.
EOF
tr ' ' '\n' < "$out/words.txt" | sed '/^$/d' > "$tmp/w"
cp "$out/sentences.txt" "$tmp/s"
cp "$out/pairs.txt" "$tmp/q"

# Olira: one WAV per line. $1 list, $2 directory, then olira-phonemes options.
olira() {
  local list=$1 dir=$2 i=0
  shift 2
  mkdir -p "$dir"
  while IFS= read -r line; do
    i=$((i + 1))
    printf '%s\n' "$line" | "$build/olira-phonemes" "$@" | "$build/synth-say" "$dir/$(printf %03d $i).wav"
  done < "$list"
}
espeak() {
  local list=$1 dir=$2 i=0
  shift 2
  mkdir -p "$dir"
  while IFS= read -r line; do
    i=$((i + 1))
    espeak-ng -v pt-br "$@" -w "$dir/$(printf %03d $i).wav" "$line"
  done < "$list"
}

# The recorded voice in the background, one process per list: the captured
# sound layer plays in real time.
mkdir -p "$tmp/config/murena"
printf '[TRADUTOR]\nSAPI=NAO\n' > "$tmp/config/murena/Murena.ini"
recorded=""
for set in s w q; do
  XDG_CONFIG_HOME="$tmp/config" VARLO_CONSOLE=headless VARLO_AUDIO="capture:$tmp/capture.$set" \
    "$build/voice-clarity" speak "$tmp/$set" "$out/recorded/$set" < /dev/null > "$tmp/recorded.$set.log" 2>&1 &
  recorded="$recorded $!"
done

for set in s w q; do
  olira "$tmp/$set" "$out/olira/$set"
  espeak "$tmp/$set" "$out/espeak/$set"
done
# References for word identification: two rates and two pitches each.
for speed in -3 3; do
  for pitch in -2 2; do
    olira "$tmp/w" "$out/olira-ref-$speed$pitch/w" -s "$speed" -p "$pitch"
  done
done
for speed in 140 200; do
  for pitch in 35 65; do
    espeak "$tmp/w" "$out/espeak-ref-$speed-$pitch/w" -s "$speed" -p "$pitch"
  done
done
# Olira through the recorded voice's channel (11025 Hz, 8 bits) alone, not
# dithered, so that runs agree.
mkdir -p "$out/olira-8bit/w"
for f in "$out"/olira/w/*.wav; do
  sox -q -D "$f" -r 11025 -b 8 -e unsigned "$tmp/8.wav" && sox -q "$tmp/8.wav" -b 16 -e signed "$out/olira-8bit/w/${f##*/}"
done
for pid in $recorded; do
  wait "$pid" || { cat "$tmp"/recorded.*.log >&2; echo "the recorded voice could not be rendered" >&2; exit 1; }
done

for voice in espeak olira recorded; do
  sox -q "$out/$voice/s/001.wav" -n spectrogram -t "$voice: $(head -n 1 "$out/sentences.txt")" \
    -o "$out/spectrogram-$voice.png" 2>/dev/null || true
done

echo "sentences: $(wc -l < "$out/sentences.txt"), words: $(wc -l < "$tmp/w") in $(wc -l < "$out/words.txt") closed sets"
"$build/voice-clarity" measure "$out" espeak olira recorded
echo
echo "word identification (closed sets), % right and chance:"
ident() {
  read -r score chance <<<"$("$build/voice-clarity" identify "$out" "$1" "${@:3}")"
  printf '  %-52s %3s %%  (chance %s %%)  %s\n' "$2" "$score" "$chance" "${goal:-}"
}
olira_refs="olira-ref--3-2 olira-ref--32 olira-ref-3-2 olira-ref-32"
espeak_refs="espeak-ref-140-35 espeak-ref-140-65 espeak-ref-200-35 espeak-ref-200-65"
goal="" ident olira "Olira against espeak-ng's renderings" $espeak_refs
goal="" ident espeak "espeak-ng against Olira's renderings" $olira_refs
goal="goal >= 85 %" ident recorded "recorded voice against Olira's renderings" $olira_refs
goal="" ident olira-8bit "Olira through 11025 Hz 8 bits, against Olira's" $olira_refs
[ -n "$VOICE_CLARITY_DIR" ] && echo "renderings and spectrograms in $out"
exit 0
