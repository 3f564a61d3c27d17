#!/bin/bash
# Option A shows the engines by name and changes the program's own voice:
# the change is said, stored where start-up reads it, and in force at once.
. "$(dirname "$0")/tmux_lib.sh"
mkdir -p "$WORK/projeto"
cd "$WORK/projeto"
start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

keys a
wait_for "Motor do programa :" 30
screen | grep -qE "Motor da conversão :  (OLIRA|SPEECH DISPATCHER|ESPEAK-NG)" || fail "the conversion's engine is not named"
screen | grep -qF "Voz do programa (motor ou gravada) :  MOTOR" || fail "the program's voice is not shown"
# Tab to "Motor do programa", the 17th field; Ctrl+Y empties it.
for _ in $(seq 16); do keys Tab; done
sleep 0.5
keys C-y
keys -l "oli"
wait_for "Motor do programa :  oli"
keys Escape
wait_for "Motor do programa: OLIRA" 30
wait_for "Digite uma frase ou pressione ENTER" 60
keys Escape
wait_prompt 60
sed -n '/^\[SERVFALA\]/,/^\[/p' "$XDG_CONFIG_HOME/murena/Murena.ini" | grep -qx "TIPOSAPI=3" ||
  fail "the program's engine was not stored: $(cat "$XDG_CONFIG_HOME/murena/Murena.ini")"
keys Escape
wait_for PROGRAMA-ENCERRADO 30
echo PASS
