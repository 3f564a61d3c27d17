#!/bin/bash
# Option E of an installed copy offers the example scripts installed with
# the data after the user's own, marked as examples; a user's script of the
# same name is the one offered; a chosen example runs.
. "$(dirname "$0")/tmux_lib.sh"
unset VARLO_SUITE
PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" > "$WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(tail -5 "$WORK/install.log")"
[ -f "$PREFIX/share/varlo/scripts/saudacao.cmd" ] || fail "the examples were not installed"
mkdir -p "$WORK/projeto" "$XDG_DATA_HOME/varlo/scripts"
cd "$WORK/projeto"
printf '@inicia\nESCREVE "relogio do usuario"\n' > "$XDG_DATA_HOME/varlo/scripts/relogio.cmd"

start main "$PREFIX/bin/varlo; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

keys e
wait_for "Selecione o script com as setas"
sleep 1
keys Down
wait_for "saudacao.cmd (exemplo)"
list=$(screen)
[ "$(grep -c 'relogio.cmd' <<<"$list")" -eq 1 ] || fail "relogio.cmd not listed once"
grep -q 'relogio.cmd (exemplo)' <<<"$list" && fail "the example shadowed the user's own script"
# The user's own come first.
first=$(grep -n 'relogio.cmd' <<<"$list" | cut -d: -f1)
example=$(grep -n '(exemplo)' <<<"$list" | head -n 1 | cut -d: -f1)
[ "$first" -lt "$example" ] || fail "the examples were listed before the user's own"
keys Escape
wait_prompt 30

# The user's relogio.cmd, then agenda, baixar, calculadora, leitor, saudacao.
run_listed_script 6
wait_for "Qual seu nome?" 30
keys M a r i a Enter
wait_for "Bom dia, Maria" 30
wait_prompt
run_listed_script 1
wait_for "relogio do usuario" 30
wait_prompt
echo PASS
