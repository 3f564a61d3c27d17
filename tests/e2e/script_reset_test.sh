#!/bin/bash
# Every run of option E starts on a fresh interpreter: a script that left a
# descriptor open and a search running finds neither on its next run.
. "$(dirname "$0")/tmux_lib.sh"
use_private_suite
mkdir -p "$XDG_DATA_HOME/varlo/scripts"

cat > "$XDG_DATA_HOME/varlo/scripts/deixa.cmd" <<'SCR'
@inicia
ABRE #1 "deixado.txt" &
BUSCA N "*.cmd"
ESCREVE "rodada", N
SCR

start_at_menu
run_listed_script
wait_for "rodada deixa.cmd" 30
wait_prompt
run_listed_script
sleep 3
wait_prompt
count=$(screen | grep -c "rodada deixa.cmd")
[ "$count" -eq 2 ] || fail "the second run did not start fresh ($count runs shown)"
screen | grep -q "aberto" && fail "the descriptor stayed open between runs"
echo PASS
