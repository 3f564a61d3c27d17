#!/bin/bash
# Option E as a user meets it: the first use creates the scripts directory;
# a script with the label "inicia" writes and reads a line and the menu comes
# back; a script without the label is reported with the label's name.
. "$(dirname "$0")/tmux_lib.sh"
use_private_suite
start_at_menu

# Nothing to choose yet: the directory is made, the user gives up with Esc.
keys e
wait_for "Selecione o script com as setas"
sleep 2
[ -d "$SUITE/scripts/varlo" ] || fail "the scripts directory was not created"
keys Escape
wait_for "Não foi possível selecionar nenhum script" 30
wait_prompt

cat > "$SUITE/scripts/varlo/ola.cmd" <<'SCR'
@inicia
LE "Qual seu nome? " NOME
ESCREVE "Bom dia,", NOME
SCR
printf 'ESCREVE "sem rotulo"\n' > "$SUITE/scripts/varlo/outro.cmd"

run_listed_script
wait_for "Qual seu nome?" 30
keys M a r i a Enter
wait_for "Bom dia, Maria" 30
wait_prompt
[ "$(program_cwd)" = "$WORK/projeto" ] || fail "the project directory was not restored: $(program_cwd)"

run_listed_script 2
wait_for "Rótulo não foi achado dentro do script" 30
wait_for "inicia"
wait_prompt
echo PASS
