#!/bin/bash
# A catalogue of six books converted on the local cores, ended from outside
# twice (SIGTERM, then SIGKILL) and run again: every book ends done, none is
# made twice, nothing cut ever looks finished, and each book is what the
# one-shot job makes of that book alone.
set -u
varlo=$(realpath "$1/varlo")
work=$(mktemp -d)
job=""
cleanup() {
  [ -n "$job" ] && kill -KILL -- -"$job" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/catalogue_lib.sh"
fail() { echo "FALHA: $*"; tail -5 "$work/erros" "$work"/sozinho/*.saida 2>/dev/null; exit 1; }

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless \
  VARLO_AUDIO=null
mkdir -p "$XDG_CONFIG_HOME/murena" "$XDG_RUNTIME_DIR" "$work/origem/contos"
printf '[VARLO]\nQUEBRARLINHA=4\nCLEK=NAO\n' > "$XDG_CONFIG_HOME/murena/Murena.ini"
fortunes=$(grep -v '^%' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$')
for n in 1 2 3 4 5 6; do
  where="$work/origem"; [ $n -gt 3 ] && where="$work/origem/contos"
  sed -n "$((n * 9)),$((n * 9 + 7))p" <<<"$fortunes" > "$where/Livro $n.txt"
done
D="$work/destino"
folders="Livro_1 Livro_2 Livro_3 contos_Livro_4 contos_Livro_5 contos_Livro_6"

done_count() { states | grep -c ' feito$'; }

# Every book folder in the destination is one the manifest calls done, with
# the files and sizes it lists; no scratch name outside the work area.
check_manifest_matches() {
  local f
  for f in "$D"/*/; do
    f=$(basename "$f")
    states | grep -qx "$f feito" || fail "$1: a pasta $f existe sem estar feita"
    awk -v b="$f" '/^livro /{on=($2==b)} on && /^  arquivo /{print $2, $3}' "$D/manifesto.txt" |
      while read -r size name; do
        [ "$(stat -c %s "$D/$f/$name")" = "$size" ] || echo "$f/$name"
      done | grep -q . && fail "$1: arquivos de $f diferem do manifesto"
  done
}

# What an interruption left under the books' own names, kept to be compared
# at the end with what each book is when whole.
check_nothing_half_made() {
  local stray
  stray=$(find "$D" -path "$D/.catalogo" -prune -o \( -name '*.parcial' -o -name '*.wav' \) -print)
  [ -z "$stray" ] || fail "$1: sobras com cara de prontas: $stray"
  (cd "$D" && find . -path ./.catalogo -prune -o -name '*.mp3' -print | xargs -r md5sum) \
    >> "$work/vistos"
}

# Starts the catalogue in a session of its own and ends it once $1 books are
# done, with signal $2 to the catalogue process alone.
interrupt_after() {
  setsid "$varlo" --catalogo "$work/origem" "$D" 2>>"$work/erros" &
  job=$!
  local i=0
  until [ "$(done_count)" -ge "$1" ]; do
    sleep 0.05; i=$((i + 1))
    [ $i -lt 600 ] || fail "o catálogo não chegou a $1 livros"
    kill -0 $job 2>/dev/null || fail "o catálogo terminou antes de ser interrompido"
  done
  kill -"$2" $job
  { wait $job; } 2>/dev/null
  [ $? -ne 0 ] || fail "um catálogo interrompido terminou com 0"
  # Its books' processes end with it.
  i=0
  while pgrep -s "$job" >/dev/null; do
    sleep 0.05; i=$((i + 1))
    [ $i -lt 200 ] || fail "processos de livros continuaram depois do $2"
  done
  job=""
  check_nothing_half_made "$2"
}

interrupt_after 1 TERM
[ "$(done_count)" -lt 6 ] || fail "o TERM chegou tarde demais para interromper algo"
first=$(stat -c %i "$D"/*/ | sort)
interrupt_after 3 KILL

"$varlo" --catalogo "$work/origem" "$D" 2>>"$work/erros" || fail "a última volta falhou"
[ "$(done_count)" -eq 6 ] || fail "livros feitos: $(states)"
check_manifest_matches "fim"
# Books finished before an interruption were not made again.
for inode in $first; do
  stat -c %i "$D"/*/ | grep -qx "$inode" || fail "um livro pronto foi refeito"
done
for f in $folders; do [ -d "$D/$f" ] || fail "falta a pasta $f"; done
[ -z "$(ls -A "$D/.catalogo" | grep -v -e '\.trava$' -e '\.feito$')" ] ||
  fail "sobras na área de trabalho: $(ls -A "$D/.catalogo")"

# A rerun with nothing changed converts nothing.
"$varlo" --catalogo "$work/origem" "$D" 2>"$work/nada" || fail "a volta sem mudanças falhou"
grep -q ', 0 a converter' "$work/nada" || fail "refez livros prontos: $(cat "$work/nada")"
"$varlo" --catalogo --estado "$D" | grep -q 'prontos: 6' || fail "o estado não diz 6 prontos"

# Each book alone, through the one-shot job, makes the same files.
mkdir "$work/sozinho"
for f in $folders; do
  mkdir "$work/sozinho/$f"
  src=$(awk -v b="$f" '/^livro /{on=($2==b)} on && /^  fonte /{sub(/^  fonte /, ""); print}' \
    "$D/manifesto.txt")
  cp "$work/origem/$src" "$work/sozinho/$f/$f.txt"
  (cd "$work/sozinho/$f" && XDG_RUNTIME_DIR="$work/sozinho/$f" "$varlo" "$f.txt" \
    </dev/null >"$work/sozinho/$f.saida" 2>&1) &
done
wait
for f in $folders; do same_book "$D/$f" "$work/sozinho/$f/$f"; done
# Every MP3 seen after an interruption was already the final one.
(cd "$D" && md5sum --quiet -c "$work/vistos") || fail "um MP3 visto numa interrupção mudou depois"
echo ok
