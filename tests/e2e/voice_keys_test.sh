#!/bin/bash
# Option V's key loop as a user drives it: each voice reached by the arrows
# is named with its language, the speed and pitch keys stop at their limits,
# F1, F4, F5, F, V and N do what the help says, and ENTER keeps the voice.
. "$(dirname "$0")/tmux_lib.sh"
mkdir -p "$WORK/projeto"
cd "$WORK/projeto"

count() { screen | grep -cF -- "$1"; }
last_line() { screen | grep -v '^ *$' | tail -n 1 | sed 's/ *$//'; }

# The loop discards keys typed while it is saying something, so a key is
# pressed again when its effect does not come: the screen changes and text
# $2 is among its last $3 lines (default 3).
press() {
  local key=$1 text=$2 lines=${3:-3} before tries=0 i now
  while [ $tries -lt 4 ]; do
    before=$(screen)
    keys "$key"
    for i in $(seq 50); do
      now=$(screen)
      [ "$now" != "$before" ] && grep -v '^ *$' <<<"$now" | tail -n "$lines" | grep -qF -- "$text" && return 0
      sleep 0.1
    done
    tries=$((tries + 1))
  done
  fail "key $key: did not see '$text'"
}

start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

start_voice_trial 5
keys Enter
wait_for "Use as setas, F1 ajuda"
# The first voice is Brazilian Portuguese and is named with its language.
wait_for "Voz 1 de "
screen | grep -E "^Voz 1 de [0-9]+: .+, idioma pt-br" >/dev/null || fail "voice 1 not named with its language"
total=$(screen | sed -n 's/^Voz 1 de \([0-9]*\).*/\1/p' | head -n 1)
[ "$total" -ge 2 ] || fail "fewer than two voices: '$total'"

press Down "Voz 2 de $total: "
screen | grep -E "^Voz 2 de $total: .+, idioma [a-z]" >/dev/null || fail "voice 2 has no name or language"
press Up "Voz 1 de $total: "
# Up at the first voice stays there and names nothing new.
keys Up
press Right "Velocidade : 1"
press Left "Velocidade : 0"
press Left "Velocidade : 0"
press C-Right "Tonalidade : 1"
press C-Left "Tonalidade : 0"
[ "$(count 'Voz 0 de')" -eq 0 ] || fail "Up went below the first voice"

press F1 "CIMA e BAIXO - Selecionar voz" 12
wait_for "F5 - Modo digitação"

# F4 silences the loop: a new speed is then printed alone, without its
# label. A key typed just after a voice is named is never discarded.
press Down "Voz 2 de $total: "
keys F4
sleep 0.5
press Right "1" 1
[ "$(last_line)" = "1" ] || fail "silent mode: the speed was not printed alone: '$(last_line)'"
# Moving to another voice ends the silent mode.
press Up "Voz 1 de $total: "
press Left "Velocidade : 0"

press F5 "Digite qualquer frase e pressione ENTER.  Para sair, ESCAPE"
keys -l "uma frase de prova"
keys Enter
wait_for "uma frase de prova"
keys Enter

press N "Voz atual : 1"
wait_for "Vozes instaladas : $total"

press V "Informe o número da voz :"
keys 3 Enter
wait_for "Informe a velocidade :"
keys Enter
wait_for "Informe a tonalidade :"
keys Enter
wait_for "Voz 3 de $total: "

press F "Reedite a frase :"
keys Home
keys -l "Nova "
wait_for "Nova AJUSTE SAPI"
keys Enter

press Enter "Assumo esta voz para a conversão dos textos ?"
keys s
wait_prompt 60
keys Escape
wait_for PROGRAMA-ENCERRADO 30
echo PASS
