#!/bin/bash
# Runs of option E share one interpreter: a script run again keeps its
# variables, and runs again as written when its file was changed; what a run
# leaves open (a descriptor, a search) is released at its end, even when the
# run failed, so the next run finds neither.
. "$(dirname "$0")/tmux_lib.sh"
use_private_suite
mkdir -p "$XDG_DATA_HOME/varlo/scripts"
SCRIPTS="$XDG_DATA_HOME/varlo/scripts"

cat > "$SCRIPTS/deixa.cmd" <<'SCR'
@inicia
SE TIPO(VEZES) <> "inteiro" ENTAO VEZES := 0
SOMA VEZES 1
ABRE #1 "deixado.txt" &
BUSCA N "*.cmd"
ESCREVE "rodada", VEZES, N
SCR
# Fails with descriptor 1 open and a search going on.
cat > "$SCRIPTS/falha.cmd" <<'SCR'
@inicia
ABRE #1 "outro.txt" &
BUSCA N "*.cmd"
ESCREVE "falhando"
DESVIA @nenhum
SCR

start_at_menu
run_listed_script
wait_for "rodada 1 deixa.cmd" 30
wait_prompt
run_listed_script
wait_for "rodada 2 deixa.cmd" 30
wait_prompt
run_listed_script 2
wait_for "falhando" 30
wait_for "Erro de execução do script" 30
wait_prompt
run_listed_script
wait_for "rodada 3 deixa.cmd" 30
wait_prompt
screen | grep -q "aberto" && fail "a descriptor stayed open between runs"

# The file changed: its new text runs, from fresh variables.
sed -i 's/"rodada"/"nova rodada"/' "$SCRIPTS/deixa.cmd"
touch -d '+1 minute' "$SCRIPTS/deixa.cmd"
run_listed_script
wait_for "nova rodada 1 deixa.cmd" 30
wait_prompt
echo PASS
