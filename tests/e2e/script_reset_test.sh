#!/bin/bash
# Every run of option E starts on a fresh interpreter: a script that left a
# descriptor open and a search running finds neither on its next run.
. "$(dirname "$0")/tmux_lib.sh"
SUITE="$WORK/suite"
mkdir -p "$SUITE/scripts/varlo" "$WORK/projeto"
cp "$(dirname "$0")/../../data/Murena.ini" "$SUITE/"
export VARLO_SUITE="$SUITE"
cd "$WORK/projeto"

cat > "$SUITE/scripts/varlo/deixa.cmd" <<'SCR'
@inicia
ABRE #1 "deixado.txt" &
BUSCA N "*.cmd"
ESCREVE "rodada", N
SCR

run_script() {
  keys e
  wait_for "Selecione o script com as setas"
  sleep 1
  keys Down
  sleep 1
  keys Enter
}

start main "$BUILD/varlo; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt
run_script
wait_for "rodada deixa.cmd" 30
wait_prompt
run_script
sleep 3
wait_prompt
count=$(screen | grep -c "rodada deixa.cmd")
[ "$count" -eq 2 ] || fail "the second run did not start fresh ($count runs shown)"
screen | grep -q "aberto" && fail "the descriptor stayed open between runs"
echo PASS
