#!/bin/bash
# TRANSFERE in a script run from option E reaches the desktop's clipboard:
# under a private Xvfb, xclip reads what the script copied, and the script
# reads back what xclip put there.
. "$(dirname "$0")/tmux_lib.sh"
if ! command -v xclip >/dev/null || ! command -v Xvfb >/dev/null; then
  echo "xclip or Xvfb missing: skipped"
  exit 0
fi
SUITE="$WORK/suite"
mkdir -p "$SUITE/scripts/varlo" "$WORK/projeto"
cp "$(dirname "$0")/../../data/Murena.ini" "$SUITE/"
export VARLO_SUITE="$SUITE"
cd "$WORK/projeto"

DISPLAY_NUMBER=$((60 + $$ % 30))
Xvfb ":$DISPLAY_NUMBER" -nolisten tcp >/dev/null 2>&1 &
XPID=$!
trap 'kill $XPID 2>/dev/null; cleanup' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
for i in $(seq 50); do [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && break; sleep 0.1; done

cat > "$SUITE/scripts/varlo/area.cmd" <<'SCR'
@inicia
TRANSFERE PARA "copiado pelo script, com ação"
LE "Copiado. Tecle ENTER " R
TRANSFERE DE X
ESCREVE "lido:", X
SCR

start main "$BUILD/varlo; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt
keys e
wait_for "Selecione o script com as setas"
sleep 1
keys Down
sleep 1
keys Enter
wait_for "Copiado. Tecle ENTER" 30
copied=$(xclip -o -selection clipboard 2>/dev/null)
[ "$copied" = "copiado pelo script, com ação" ] || fail "xclip holds '$copied'"
printf 'colado-de-fora' | xclip -selection clipboard
sleep 0.5
keys Enter
wait_for "lido: colado-de-fora" 30
wait_prompt
echo PASS
