#!/bin/bash
# varlo-script at a terminal reads the keys typed there, arrows and all,
# speaks what the script says, and gives the terminal back as it found it.
. "$(dirname "$0")/tmux_lib.sh"
CAPTURE="$WORK/sound.cap"
cat > "$WORK/t.cmd" <<'SCR'
@inicia
LE "Qual seu nome? " NOME
ESCREVE "Bom dia,", NOME
LE "Uma tecla: " K &
ESCREVE "tecla", K
SCR
start main "env PS1='PRONTO> ' bash --norc --noprofile"
wait_for 'PRONTO>'
keys -l "stty -a | grep -o -- '-\?icanon' > $WORK/before; VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo-script $WORK/t.cmd inicia; echo FIM-\$?; stty -a | grep -o -- '-\?icanon' > $WORK/after"
keys Enter
wait_for "Qual seu nome?"
keys -l "Maria"
keys Enter
wait_for "Bom dia, Maria"
wait_for "Uma tecla:"
keys Down
wait_for "tecla #0#80"
wait_for "FIM-0"
for _ in $(seq 50); do [ -s "$WORK/after" ] && break; sleep 0.1; done
[ "$(cat "$WORK/after")" = "$(cat "$WORK/before")" ] ||
  fail "the terminal was left in another mode: $(cat "$WORK/before") -> $(cat "$WORK/after")"
[ "$(captured)" -gt 20000 ] || fail "the script was not spoken: $(captured) bytes captured"
echo PASS
