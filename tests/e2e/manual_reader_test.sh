#!/bin/bash
# Ctrl+N reads the manual in the program's own reader: what opens is said
# first, H and Shift+H go from section to section, Esc comes back with "De
# volta ao VARLO"; N leaves for the browser, which is announced the same
# way. Prints the seconds of speech heard from Ctrl+N to the menu.
. "$(dirname "$0")/tmux_lib.sh"
CAPTURE="$WORK/sound.cap"
mkdir -p "$WORK/projeto" "$HOME/.config/murena"
# A browser that returns at once, so that none takes the pane.
printf '[MURENA]\nPROG.HTM=true\n' > "$HOME/.config/murena/Murena.ini"
cd "$WORK/projeto"

# The line shown on light grey: the reader's current line.
current_line() {
  tmux -S "$SOCKET" capture-pane -e -p -t e2e:main | grep -F '48;2;192;192;192m' | head -n 1 |
    sed 's/\x1b\[[0-9;]*m//g; s/ *$//'
}

start main "VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt
wait_quiet
before=$(captured)

keys C-n
wait_for "Abrindo o manual no leitor do VARLO"
wait_for "VARLO KET - Manual do usuário" 30
for _ in $(seq 9); do keys h; done
wait_for "8. Ajustes" 10
keys H
for _ in $(seq 50); do [ "$(current_line)" = "7.1. Livros falados DAISY e EPUB" ] && break; sleep 0.1; done
[ "$(current_line)" = "7.1. Livros falados DAISY e EPUB" ] || fail "Shift+H did not go back a section: '$(current_line)'"
keys C-Down
for _ in $(seq 50); do [ "$(current_line)" = "8. Ajustes" ] && break; sleep 0.1; done
[ "$(current_line)" = "8. Ajustes" ] || fail "Ctrl+Down did not go to the next section: '$(current_line)'"
keys Escape
wait_for "De volta ao VARLO" 30
wait_prompt
echo "manual reader: $(heard_since "$before") s of speech heard"

keys C-n
wait_for "VARLO KET - Manual do usuário" 30
keys n
wait_for "Abrindo o manual no navegador; ao sair dele você volta ao VARLO" 30
wait_count "De volta ao VARLO" 2 30
wait_prompt
echo PASS
