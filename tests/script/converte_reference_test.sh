#!/bin/bash
# CONVERTE against the reference tools: on Portuguese and random texts, the
# script's URL, Base64 and UTF-8 encodings equal Python's urllib.parse.quote,
# base64 and str.encode, its quoted-printable decodes with Python's quopri
# (lines within 76 characters), and the script decodes what Python and
# coreutils' base64 encoded back into the same text.
# Usage: converte_reference_test.sh BUILD_DIR
set -eu
BUILD=${1:?build directory}
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

python3 - <<'PY'
import base64, quopri, random, urllib.parse
random.seed(14)
# Windows-1252 characters a script string can hold (the five unassigned
# bytes of the code page aside).
chars = [bytes([b]).decode('cp1252') for b in list(range(0x20, 0x7F)) + list(range(0x80, 0x100))
         if b not in (0x81, 0x8D, 0x8F, 0x90, 0x9D)]
samples = ["Ação e informação: você já viu o pão?", "Açúcar, maçã, coração; ÁÉÍÓÚ àèìòù ÂÊÔ ãõ ç",
           "100% = cem por cento & mais ~ /caminho?x=1", "linha = " + "longa " * 30 + "fim  "]
for n in range(40):
    samples.append("".join(random.choice(chars) for _ in range(random.randint(1, 160))).strip() or "x")
samples = [s.replace("#FIM#", "#") for s in samples]
with open("amostras.txt", "w", encoding="utf-8") as f:
    for s in samples:
        f.write(s + "\n")
with open("codificadas.txt", "w", encoding="ascii") as f:
    for s in samples:
        b = s.encode("cp1252")
        f.write(urllib.parse.quote(b, safe="") + "\n")
        f.write(base64.b64encode(s.encode("utf-8")).decode() + "\n")
        f.write(quopri.encodestring(b).decode().rstrip("\n") + "\n#FIM#\n")
PY
# coreutils' base64 wraps its lines; the script takes them joined.
while IFS= read -r line; do
  printf '%s' "$line" | iconv -f utf-8 -t cp1252 | base64 -w 0; echo
done < amostras.txt > coreutils.txt

cat > converte.scr <<'SCR'
ABRE #1 "amostras.txt"
ABRE #2 "nossas.txt" &
ENQUANTO NAO(FDA(#1))
  LE #1 T
  U = T
  CONVERTE U PARA URL
  M = T
  CONVERTE M PARA MIME
  Q = T
  CONVERTE Q PARA QP
  F = T
  CONVERTE F PARA UTF
  CONVERTE F PARA MIME
  ESCREVE #2 U
  ESCREVE #2 M
  ESCREVE #2 F
  ESCREVE #2 Q
  ESCREVE #2 "#FIM#"
FIM ENQUANTO
FECHA #1
FECHA #2
ABRE #1 "codificadas.txt"
ABRE #3 "coreutils.txt"
ABRE #2 "decodificadas.txt" &
ENQUANTO NAO(FDA(#1))
  LE #1 U
  CONVERTE U DE URL
  CONVERTE U PARA MIME
  LE #1 F
  CONVERTE F DE MIME
  CONVERTE F DE UTF
  CONVERTE F PARA MIME
  LE #1 Q
  LE #1 LINHA
  ENQUANTO LINHA <> "#FIM#"
    Q = Q + CHR(10) + LINHA
    LE #1 LINHA
  FIM ENQUANTO
  CONVERTE Q DE QP
  CONVERTE Q PARA MIME
  LE #3 B
  CONVERTE B DE MIME
  CONVERTE B PARA MIME
  ESCREVE #2 U
  ESCREVE #2 F
  ESCREVE #2 Q
  ESCREVE #2 B
FIM ENQUANTO
FECHA #1
FECHA #2
FECHA #3
SCR
VARLO_CONSOLE=headless VARLO_AUDIO=null timeout 60 "$RUNNER" converte.scr < /dev/null

python3 - <<'PY'
import base64, quopri, sys, urllib.parse
samples = open("amostras.txt", encoding="utf-8").read().split("\n")[:-1]
ours = open("nossas.txt", encoding="utf-8").read().split("\n#FIM#\n")[:-1]
back = open("decodificadas.txt", encoding="utf-8").read().split("\n")[:-1]
failures = 0
def check(ok, what, sample):
    global failures
    if not ok:
        failures += 1
        print("FALHOU:", what, repr(sample)[:80])
check(len(ours) == len(samples) and len(back) == 4 * len(samples), "quantidade", len(ours))
for i, s in enumerate(samples):
    b = s.encode("cp1252")
    url, mime, utf, qp = ours[i].split("\n", 3)
    check(url == urllib.parse.quote(b, safe=""), "PARA URL", s)
    check(mime == base64.b64encode(b).decode(), "PARA MIME", s)
    check(base64.b64decode(utf) == s.encode("utf-8"), "PARA UTF", s)
    check(quopri.decodestring(qp.encode()) == b, "PARA QP", s)
    check(all(len(line) <= 76 for line in qp.split("\n")), "linhas QP", s)
    for k, what in enumerate(("DE URL", "DE UTF", "DE QP", "DE MIME (base64 do coreutils)")):
        check(back[4 * i + k] == base64.b64encode(b).decode(), what, s)
print(len(samples), "amostras,", failures, "falhas")
sys.exit(1 if failures else 0)
PY
