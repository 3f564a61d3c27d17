#!/bin/bash
# Accented settings as a user meets them: a UTF-8 settings file shows its
# accented CD path rightly in the form, a path typed there is saved in UTF-8,
# and a second run reads it back.
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/projeto"
mkdir -p "$P" "$HOME/.config/murena"
printf 'Bom dia.\n' > "$P/texto.txt"
INI="$HOME/.config/murena/Murena.ini"
printf '[VARLO]\nCD=/tmp/x/cópia.iso\n' > "$INI"
cd "$P"

start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt
keys a
wait_for "Unidade do CD :  /tmp/x/cópia.iso" 30
keys Down
sleep 0.3
keys Down
sleep 0.3
keys -l "/tmp/x/coração.iso"
wait_for "Unidade do CD :  /tmp/x/coração.iso"
keys Escape
wait_for "Digite uma frase" 60
keys Escape
wait_for "OK, ajustado" 60
grep -qx 'CD=/tmp/x/coração.iso' "$INI" || fail "not saved in UTF-8: $(od -c "$INI" | head)"
wait_prompt
quit_and_start_again "$P"
WINDOW=again keys a
WINDOW=again wait_for "Unidade do CD :  /tmp/x/coração.iso" 30
echo "ok"
