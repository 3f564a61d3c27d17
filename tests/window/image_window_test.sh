#!/bin/bash
# IMAGEM in a script run from the menu: a bitmap and then a JPEG shown at
# their places over the text (the JPEG replacing the bitmap), and a missing
# file reported, the picture shown before it kept.
. "$(dirname "$0")/window_lib.sh"
SCRIPTS="$XDG_DATA_HOME/varlo/scripts"
mkdir -p "$WORK/projeto" "$WORK/suite" "$SCRIPTS"
cd "$WORK/projeto"
cp "$HERE/../../data/Murena.ini" "$WORK/suite/"
ln -s "$HERE/../../data/som" "$WORK/suite/som"   # the recorded voice, made by the build
export VARLO_SUITE="$WORK/suite"
settings
convert -size 50x20 xc:'rgb(0,200,0)' "BMP3:$SCRIPTS/verde.bmp" || fail "no bitmap made"
convert -size 40x30 xc:'rgb(255,0,0)' -quality 95 "$SCRIPTS/vermelho.JPG" || fail "no JPEG made"
cat > "$SCRIPTS/imagem.cmd" <<'SCR'
@inicia
IMAGEM "verde.bmp" 100 200
LE "Verde? " X
IMAGEM "vermelho.JPG" 300 400
LE "Vermelho? " X
IMAGEM "nada.jpg" 0 0
SCR
start_display
start_program "$BUILD/varlo"

# A pixel's colour within 12 of the one wanted on each channel.
near() {
  python3 -c 'import sys
a = [int(v) for v in sys.argv[1].split(",")]; b = [int(v) for v in sys.argv[2].split(",")]
sys.exit(0 if all(abs(x - y) <= 12 for x, y in zip(a, b)) else 1)' "$1" "$2"
}
pixel_is() {   # x y colour
  local got
  got=$(cells pixel "$1" "$2")
  near "$got" "$3" || fail "pixel $1,$2 is $got, not $3"
}

wait_text "Pressionando ENTER usarei o padrão"
keys Return
wait_text "Qual sua opção ?"
wait_caret $ROW 17   # the caret after the prompt
keys e
wait_text "Selecione o script com as setas"
keys Down       # the list of scripts, the only one current
sleep 1
keys Return
wait_text "Verde?" 30
wait_caret $ROW 7
pixel_is 101 201 0,200,0
pixel_is 149 219 0,200,0
pixel_is 150 220 0,0,0
pixel_is 99 199 0,0,0
keys Return
wait_text "Vermelho?"
wait_caret $ROW 10
pixel_is 301 401 255,0,0
pixel_is 339 429 255,0,0
pixel_is 101 201 0,0,0
keys Return
wait_text "Imagem inválida ou não encontrada"
pixel_is 320 410 255,0,0
echo PASS
