#!/bin/bash
# Option E as a user of an installed copy meets it, whose suite data cannot
# be written: the first use creates the user's own scripts directory;
# a script with the label "inicia" writes and reads a line and the menu comes
# back; a script without the label is reported with the label's name.
. "$(dirname "$0")/tmux_lib.sh"
use_private_suite
chmod a-w "$SUITE"
start_at_menu

# Nothing to choose yet: the directory is made, the user gives up with Esc.
keys e
wait_for "Selecione o script com as setas"
sleep 2
[ -d "$XDG_DATA_HOME/varlo/scripts" ] || fail "the scripts directory was not created"
screen | grep -qF "ERRO" && fail "option E failed on a suite that cannot be written"
keys Escape
wait_for "Não foi possível selecionar nenhum script" 30
wait_prompt

cat > "$XDG_DATA_HOME/varlo/scripts/ola.cmd" <<'SCR'
@inicia
LE "Qual seu nome? " NOME
ESCREVE "Bom dia,", NOME
SCR
printf 'ESCREVE "sem rotulo"\n' > "$XDG_DATA_HOME/varlo/scripts/outro.cmd"

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
