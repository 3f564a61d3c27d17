#!/bin/bash
# The Olira front end and the synthesizer agree: every phoneme the front
# end writes for a range of Portuguese text is one the voice knows, and the
# WAV file lasts exactly the sum of the lines' durations.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/text.txt" <<'TEXT'
A casa dos meus pais fica perto da praia.
Bom dia, senhor! Quantos anos você tem? Tenho trinta e dois.
O filho do ferreiro trabalha com chumbo, zinco e lhama; não há pão nem mãe.
Os amigos chegaram às três horas: rato, carro, honra, guerra, exceção.
Ninho, palha, queijo, quase, gente, gigante, táxi, hexágono, psicologia.
Um homem, uma mulher, muitos irmãos, cães e leões; pôr, pôde, avós, avô.
TEXT
if [ -r /usr/share/games/fortunes/brasil ]; then
  awk 'NR <= 500 && !/^%/' /usr/share/games/fortunes/brasil >> "$work/text.txt"
fi

"$build/olira-phonemes" < "$work/text.txt" > "$work/lines.txt"
if ! "$build/synth-say" -s "$work/out.wav" < "$work/lines.txt" 2> "$work/errors.txt"; then
  echo "synthesizer refused some lines:"
  sort "$work/errors.txt" | uniq -c | sort -rn | head -20
  exit 1
fi

samples=$(awk '$1 !~ /^;/ && NF >= 2 { s += $2 * 16 } END { printf "%d", s }' "$work/lines.txt")
size=$(stat -c %s "$work/out.wav")
if [ "$size" -ne $((44 + 2 * samples)) ]; then
  echo "WAV file has $size bytes, expected $((44 + 2 * samples))"
  exit 1
fi
[ "$samples" -gt $((16000 * 60)) ] || { echo "only $samples samples for the whole text"; exit 1; }
echo "1 passed, 0 failed"
