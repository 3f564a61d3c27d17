#!/bin/bash
# TRANSFERE in a script run from option E reaches the desktop's clipboard:
# under a private Xvfb, xclip reads what the script copied, and the script
# reads back what xclip put there.
. "$(dirname "$0")/tmux_lib.sh"
if ! command -v xclip >/dev/null || ! command -v Xvfb >/dev/null; then
  echo "xclip or Xvfb missing: skipped"
  exit 0
fi
use_private_suite
mkdir -p "$XDG_DATA_HOME/varlo/scripts"

DISPLAY_NUMBER=$((60 + $$ % 30))
Xvfb ":$DISPLAY_NUMBER" -nolisten tcp >/dev/null 2>&1 &
XPID=$!
trap 'kill $XPID 2>/dev/null; cleanup' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
for i in $(seq 50); do [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && break; sleep 0.1; done

cat > "$XDG_DATA_HOME/varlo/scripts/area.cmd" <<'SCR'
@inicia
TRANSFERE PARA "copiado pelo script, com ação"
LE "Copiado. Tecle ENTER " R
TRANSFERE DE X
ESCREVE "lido:", X
SCR

start_at_menu
run_listed_script
wait_for "Copiado. Tecle ENTER" 30
copied=$(xclip -o -selection clipboard 2>/dev/null)
[ "$copied" = "copiado pelo script, com ação" ] || fail "xclip holds '$copied'"
printf 'colado-de-fora' | xclip -selection clipboard
sleep 0.5
keys Enter
wait_for "lido: colado-de-fora" 30
wait_prompt
echo PASS
