#!/bin/bash
# The program in a window as a user meets it, asked for by the settings:
# the greeting in its colours, the project prompt answered with Enter, F1's
# listing, Esc ending it; a storm of keys. Without a display it says why
# and goes on; without a message bus it opens as usual.
. "$(dirname "$0")/window_lib.sh"
mkdir -p "$WORK/projeto"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"
settings "JANELA=SIM"
unset VARLO_CONSOLE

env -u DISPLAY -u WAYLAND_DISPLAY VARLO_CONSOLE=window timeout 60 "$BUILD/varlo" nada.txt \
  < /dev/null > "$WORK/nodisplay.out" 2> "$WORK/nodisplay.err"
grep -qF "Não foi possível abrir a janela do console (não há tela gráfica)" "$WORK/nodisplay.err" \
  || fail "no display: $(cat "$WORK/nodisplay.err")"

start_display

# With no message bus to reach, neither a session nor a system bus, the
# window opens and the program ends cleanly all the same.
bus=$DBUS_SESSION_BUS_ADDRESS
export DBUS_SESSION_BUS_ADDRESS="unix:path=$WORK/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$WORK/no-bus"
start_program "$BUILD/varlo"
wait_row 3 "Informe o diretório de trabalho"
keys Escape
wait_end 20
[ "$STATUS" -eq 0 ] || fail "with no bus, ended with status $STATUS"
export DBUS_SESSION_BUS_ADDRESS=$bus DBUS_SYSTEM_BUS_ADDRESS=$bus

start_program "$BUILD/varlo"

wait_row 0 "VARLO KET - V.2.2 BETA"
# The greeting: white letters on blue, the rest of the row black.
[ "$(cells colours 0 0)" = "0,0,255 255,255,255" ] || fail "greeting cell colours: $(cells colours 0 0)"
[ "$(cells colours 0 40)" = "0,0,0 0,0,0" ] || fail "cell past the greeting: $(cells colours 0 40)"
[ "$(xdotool getwindowname "$WIN")" = "VARLO" ] || fail "title: $(xdotool getwindowname "$WIN")"
wait_row 3 "Informe o diretório de trabalho"

# A storm of a thousand keys in about a second fills the field; what does
# not fit is dropped and the field is emptied and ended as usual.
xdotool type --delay 1 "$(printf 'x%.0s' $(seq 1000))"
sleep 2
keys ctrl+y Return
wait_text "Total de arquivo(s) a converter --- 1"
keys F1
wait_row 24 "Qual sua opção ? "
wait_text "CTRL+N  Consultar manual"
listing=$(row_of "Opções nas teclas:")
[ -n "$listing" ] && [ $((ROW - listing)) -eq 16 ] || fail "the listing is not whole"

wait_row 24 "Qual sua opção ? "
keys Escape
wait_end 20
[ "$STATUS" -eq 0 ] || fail "ended with status $STATUS"
echo PASS
