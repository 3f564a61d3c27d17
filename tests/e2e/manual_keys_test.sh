#!/bin/bash
# Every key the manual's main-menu section names is pressed at the menu, as a
# user reading the manual would: none may be refused as an invalid option,
# and each must give the menu back (Esc answers whatever the option asks).
. "$(dirname "$0")/tmux_lib.sh"
MANUAL="$(dirname "$0")/../../data/manual/varlo.htm"

# The manual's section 2 terms as tmux key names, one a line.
manual_keys() {
  python3 - "$MANUAL" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
section = text.split("<h2>2.")[1].split("<h2>")[0]
for term in re.findall(r"<dt>(.*?)</dt>", section, re.S):
    term = re.sub(r"\s+", " ", term).strip()
    name = term.split(" - ")[0]
    if name.startswith("Seta"):
        print("Down")
    elif re.fullmatch(r"F\d+", name):
        print(name)
    elif re.fullmatch(r"CTRL\+[A-Z]", name):
        print("C-" + name[-1].lower())
    elif re.fullmatch(r"[A-Z]", name):
        print(name.lower())
    elif name == "ESC":
        print("Escape")
    else:
        print("UNKNOWN " + term)
PY
}

P="$WORK/projeto"
mkdir -p "$P" "$HOME/.config/murena"
printf 'Bom dia.\n' > "$P/texto.txt"
# The manual opens in a program that returns at once, so no browser takes the pane.
printf '[MURENA]\nPROG.HTM=true\n' > "$HOME/.config/murena/Murena.ini"
cd "$P"

REFUSED="Opção inválida, aperte F1 para ajuda"
keys_found=$(manual_keys)
echo "$keys_found" | grep -q UNKNOWN && fail "the test cannot press: $(echo "$keys_found" | grep UNKNOWN)"
[ "$(echo "$keys_found" | wc -l)" -ge 15 ] || fail "too few keys read from the manual: $keys_found"

start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

for k in $keys_found; do
  [ "$k" = Escape ] && continue
  before=$(screen | grep -cF "$REFUSED")
  keys "$k"
  sleep 1.5
  [ "$(screen | grep -cF "$REFUSED")" -gt "$before" ] && fail "the manual names $k, which the menu refuses"
  # M asks its question with the menu's own prompt, and screen review leaves
  # the screen as it is: both are left with Esc before anything else.
  case "$k" in m|F9) keys Escape; sleep 2 ;; esac
  for try in 1 2 3 4 5 6; do
    [ "$(screen | grep -v '^ *$' | tail -n 1 | sed 's/ *$//')" = "Qual sua opção ?" ] && break
    keys Escape
    sleep 2
  done
  wait_prompt 30
done

keys Escape
wait_for "Fim do programa" 30
wait_for PROGRAMA-ENCERRADO
echo ok
