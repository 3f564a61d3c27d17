#!/bin/bash
# Scripts acting on other programs on a real X desktop: Xvfb with openbox on
# a private session bus (and its accessibility bus), all started and stopped
# here. Windows found by title, minimised, restored, maximised and closed
# (and what needs a window manager before there is one);
# accented text typed into a GTK entry and read back; focus events of a GTK
# dialog followed and its OK button clicked at the centre they report; a
# flood of value changes of a progress bar; the wait for a window title;
# the display lost in the middle of typing.
# Usage: desktop_session_test.sh BUILD_DIR
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
if [ -z "${VARLO_DESKTOP_SESSION:-}" ]; then
  # A runtime directory of its own, so that the accessibility bus's socket is
  # not another session's.
  VARLO_DESKTOP_RUNTIME=$(mktemp -d)
  export VARLO_DESKTOP_SESSION=1 VARLO_DESKTOP_RUNTIME XDG_RUNTIME_DIR=$VARLO_DESKTOP_RUNTIME
  exec dbus-run-session -- bash "$0" "$BUILD" 2> >(grep -v "fd limit\|Activating\|activated\|SpiRegistry" >&2)
fi
# The system bus is the private one too: nothing depends on the machine's.
export DBUS_SYSTEM_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS
RUNNER="$BUILD/varlo-script"
LIVE_TEST="$BUILD/tests/desktop/desktop_tests"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
[ -x "$LIVE_TEST" ] || { echo "desktop_tests not built in $BUILD"; exit 1; }

. "$(dirname "$0")/desktop_lib.sh"

unset WAYLAND_DISPLAY XDG_SESSION_TYPE
export LC_ALL=C.UTF-8 NO_AT_BRIDGE=0 VARLO_AUDIO=null
start_xvfb

failures=0
check() {   # label expected actual
  if [ "$2" == "$3" ]; then
    echo "ok: $1"
  else
    echo "FALHOU: $1"
    echo "  esperado: $2"
    echo "  obtido:   $3"
    failures=$((failures + 1))
  fi
}

wait_window() {
  for _ in $(seq 100); do [ -n "$(window_of "$1")" ] && return 0; sleep 0.1; done
  echo "window $1 never came"
  return 1
}
active_title() { xdotool getactivewindow getwindowname 2>/dev/null; }
# Until the window has the keyboard (a loaded machine is slow to give it).
wait_active() {
  for _ in $(seq 100); do [ "$(active_title)" == "$1" ] && return 0; sleep 0.1; done
  echo "window $1 never got the keyboard"
}
# A program's end, waited for at most 30 s (then it is ended): its status.
wait_program() {
  for _ in $(seq 300); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return; }
    sleep 0.1
  done
  kill "$1" 2>/dev/null
  echo "program $1 did not end" >&2
  return 124
}

# A script from stdin run with keys from a feeder: one ENTER every 0.3 s for
# the script's LE lines that wait for the desktop to catch up. Its output
# ends with "== código N", its exit status (a sanitizer's report changes it).
run_script() {
  local script
  script=$(mktemp "$WORK/sXXXX.scr")
  cat > "$script"
  (for _ in $(seq 40); do sleep 0.3; echo; done) | (cd "$WORK" && timeout 60 "$RUNNER" "$script" 2>&1)
  echo "== código ${PIPESTATUS[1]}"
}
# A script that did not end well shows all it printed, to say why.
ended_well() {
  check "$1: o script terminou bem" "== código 0" "$(tail -1 <<<"$2")"
  [ "$(tail -1 <<<"$2")" == "== código 0" ] || sed 's/^/  | /' <<<"$2"
}

# --- no window manager yet: what needs one is said to have failed -----------
xmessage -title "Sem gerente" "x" >/dev/null 2>&1 &
lonely=$!
started+=($lonely)
wait_window "Sem gerente" || exit 1
out=$(run_script <<'SCR'
JANELA MINIMIZA "sem gerente"
CHECA e
ESCREVE "minimiza sem gerente", e
JANELA NORMAL "sem gerente"
CHECA e
ESCREVE "normal sem gerente", e
SCR
)
ended_well "sem gerente" "$out"
check "MINIMIZA sem gerenciador de janelas" "minimiza sem gerente 1" "$(grep "^minimiza" <<<"$out")"
check "NORMAL sem gerenciador de janelas" "normal sem gerente 0" "$(grep "^normal" <<<"$out")"
kill "$lonely"

start_openbox

# --- windows by title --------------------------------------------------------
xmessage -title "Bloco de notas" "texto" >/dev/null 2>&1 &
started+=($!)
xmessage -title "Calculadora" "conta" >/dev/null 2>&1 &
calculator=$!
started+=($calculator)
wait_window "Bloco de notas" && wait_window "Calculadora" || exit 1

out=$(run_script <<'SCR'
JANELA MINIMIZA "Bloco*"
CHECA e
ESCREVE "fim Bloco", e
JANELA MINIMIZA "*Bloco"
CHECA e
ESCREVE "inicio Bloco", e
JANELA NORMAL "CALC"
CHECA e
CAPTURA ATIVA t
ESCREVE "normal", e, t
JANELA MAXIMIZA "nenhuma janela assim"
CHECA e
ESCREVE "nenhuma", e
longo = "x"
REPETE i 14
  CONCATENA longo longo
FIM REPETE
JANELA FECHA longo
CHECA e
ESCREVE "longo", TAMANHO(longo), e
ESPERA 1 "calc"
CHECA e
ESCREVE "espera achou", e
ESPERA 1 "Nunca"
CHECA e
ESCREVE "espera nunca", e
SCR
)
ended_well "janelas" "$out"
check "Bloco* não casa com Bloco de notas" "fim Bloco 1" "$(grep "^fim Bloco" <<<"$out")"
check "*Bloco minimiza" "inicio Bloco 0" "$(grep "^inicio Bloco" <<<"$out")"
check "NORMAL ativa a Calculadora" "normal 0 Calculadora" "$(grep "^normal" <<<"$out")"
check "nenhuma janela" "nenhuma 1" "$(grep "^nenhuma" <<<"$out")"
check "título de 16384 caracteres" "longo 16384 1" "$(grep "^longo" <<<"$out")"
check "ESPERA acha a janela da frente pelo título" "espera achou 0" "$(grep "^espera achou" <<<"$out")"
check "ESPERA por uma janela que não vem" "espera nunca 1" "$(grep "^espera nunca" <<<"$out")"
check "Bloco de notas minimizado" "Iconic" "$(wm_state "Bloco de notas")"
check "Calculadora à vista" "Normal" "$(wm_state "Calculadora")"
check "janela ativa" "Calculadora" "$(active_title)"

out=$(run_script <<'SCR'
JANELA MAXIMIZA "*calc"
CHECA e
ESCREVE "maximiza", e
JANELA NORMAL "*bloco"
CHECA e
LE
CAPTURA TITULO t
ESCREVE "volta", e, t
JANELA FECHA "calculadora"
CHECA e
ESCREVE "fecha", e
SCR
)
ended_well "maximiza" "$out"
check "MAXIMIZA" "maximiza 0" "$(grep "^maximiza" <<<"$out")"
check "NORMAL restaura e ativa" "volta 0 Bloco de notas" "$(grep "^volta" <<<"$out")"
check "Bloco de notas restaurado" "Normal" "$(wm_state "Bloco de notas")"
check "FECHA pede o fechamento" "fecha 0" "$(grep "^fecha" <<<"$out")"
closed=no
for _ in $(seq 50); do kill -0 "$calculator" 2>/dev/null || { closed=yes; break; }; sleep 0.1; done
check "a Calculadora fechou" "yes" "$closed"

# --- typing into a GTK entry -------------------------------------------------
zenity --entry --title "Entrada" --text "Nome" >"$WORK/typed" 2>/dev/null &
entry=$!
started+=($entry)
wait_window "Entrada" || exit 1
wait_active "Entrada"
out=$(run_script <<'SCR'
DIGITA "Olá, José"
CHECA e
CAPTURA CAMPO c
ESCREVE "campo", e, c
CAPTURA FOCO f
CHECA e
ESCREVE "foco", e, f
ACIONA ENTER
SCR
)
wait_program "$entry"
ended_well "digita" "$out"
check "DIGITA e CAPTURA CAMPO" "campo 0 Olá, José" "$(grep "^campo" <<<"$out")"
check "CAPTURA FOCO" "foco 0 Olá, José" "$(grep "^foco" <<<"$out")"
check "ACIONA ENTER: o programa recebeu o texto" "Olá, José" "$(cat "$WORK/typed")"

# --- focus events of a GTK dialog, and a click at a button's centre ----------
zenity --entry --title "Pergunta" --text "Nome" >"$WORK/clicked" 2>/dev/null &
dialog=$!
started+=($dialog)
wait_window "Pergunta" || exit 1
wait_active "Pergunta"
out=$(run_script <<'SCR'
MSAA MONITORA
CHECA e
MSAA CHECA n
ESCREVE "monitora", e, n
DIGITA "clique"
ACIONA TAB
REPETE i 20
  LE
  MSAA CHECA n
  SE n = 1 ENTAO QUEBRA
FIM REPETE
ESCREVE "checa", n
REPETE i 20
  MSAA CAPTURA NOME nome
  SE nome = "OK" ENTAO QUEBRA
  ACIONA TAB
  LE
FIM REPETE
MSAA CAPTURA TIPO papel
MSAA CAPTURA ESTADO estados
MSAA CAPTURA AREA area
ESCREVE "botao", nome, papel
SE estados *=* "focused" ENTAO ESCREVE "estado focused"
ACIONA SHIFT+TAB
ACIONA SHIFT+TAB
SEPARA partes area " "
CLICA NULO 0 0
MOUSE CAPTURA ox oy
x = INTEIRO(partes[0]) + INTEIRO(partes[2]) / 2 - ox
y = INTEIRO(partes[1]) + INTEIRO(partes[3]) / 2 - oy
CLICA x y
CHECA e
ESCREVE "clica", e
MSAA FIM
CLICA 5000 5000
CHECA e
ESCREVE "fora da tela", e
SCR
)
wait_program "$dialog"
dialog_status=$?
ended_well "msaa" "$out"
check "MSAA MONITORA" "monitora 0 0" "$(grep "^monitora" <<<"$out")"
check "MSAA CHECA depois de TAB" "checa 1" "$(grep "^checa" <<<"$out")"
check "MSAA CAPTURA NOME e TIPO" "botao OK push button" "$(grep "^botao" <<<"$out")"
check "MSAA CAPTURA ESTADO" "estado focused" "$(grep "^estado" <<<"$out")"
check "CLICA no centro do botão" "clica 0" "$(grep "^clica" <<<"$out")"
check "OK pressionado" "0 clique" "$dialog_status $(cat "$WORK/clicked")"
check "coordenadas fora da tela" "fora da tela 1" "$(grep "^fora da tela" <<<"$out")"

# --- a flood of value changes -----------------------------------------------
mkfifo "$WORK/progress"
zenity --progress --title "Progresso" --text "cópia" <"$WORK/progress" >/dev/null 2>&1 &
started+=($!)
exec 7>"$WORK/progress"
wait_window "Progresso" || exit 1
run_script >"$WORK/flood.out" <<'SCR' &
MSAA MONITORA
papel = ""
REPETE i 30
  LE
  MSAA CHECA n
  MSAA CAPTURA TIPO papel
  SE papel = "progress bar" ENTAO QUEBRA
FIM REPETE
MSAA CAPTURA VALOR valor
ESCREVE "fluxo", n, papel
SE valor <> "" ENTAO ESCREVE "com valor"
SCR
flood=$!
sleep 0.5
for i in $(seq 5000); do echo $((i % 99)); done >&7
wait_program "$flood"
exec 7>&-
ended_well "fluxo" "$(cat "$WORK/flood.out")"
check "milhares de eventos: o último vale" "fluxo 1 progress bar" "$(grep "^fluxo" "$WORK/flood.out")"
check "VALOR da barra de progresso" "com valor" "$(grep "^com valor" "$WORK/flood.out")"

# --- waiting for a window title; windows that are gone ------------------------
"$LIVE_TEST" --gtest_brief=1 --gtest_filter='LiveDesktopTest.*' >"$WORK/live.log" 2>&1
live_status=$?
check "espera pelo título da janela, janelas que sumiram" "0" "$live_status"
[ "$live_status" -eq 0 ] || cat "$WORK/live.log"

# --- the display goes away while text is being typed (last: it ends all) ----
xterm -T "Terminal" -e sleep 60 >/dev/null 2>&1 &
started+=($!)
wait_window "Terminal" || exit 1
run_script >"$WORK/lost.out" <<'SCR' &
texto = "abc "
REPETE i 8
  CONCATENA texto texto
FIM REPETE
DIGITA texto
CHECA e
ESCREVE "digitando", e
JANELA NORMAL "Terminal"
CHECA e
ESCREVE "depois", e
SCR
typing=$!
sleep 1
kill "${started[0]}"
wait_program "$typing"
ended_well "tela perdida" "$(cat "$WORK/lost.out")"
check "tela perdida durante DIGITA" "digitando 1" "$(grep "^digitando" "$WORK/lost.out")"
check "o comando seguinte diz por quê" "A tela gráfica não respondeu" "$(grep -o "A tela gráfica não respondeu" "$WORK/lost.out")"
check "e o script vai até o fim" "depois 1" "$(grep "^depois" "$WORK/lost.out")"

echo "$failures falhas"
[ "$failures" -eq 0 ]
