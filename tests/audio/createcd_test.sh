#!/bin/bash
# createcd writes an ISO image that xorriso reads back with the label and
# the files (accented names and the audio subdirectory included), keeps the
# sources, and explains in Portuguese when xorriso is missing or fails.
set -u
createcd="$1/createcd"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FALHA: $*"; exit 1; }

mkdir -p "$work/proj/WAVMP3"
printf 'texto\n' > "$work/proj/LIVRO_001.PAR"
printf 'som' > "$work/proj/WAVMP3/meu livro ação.mp3"
before=$(cd "$work/proj" && find . -type f -exec md5sum {} + | sort)

"$createcd" -r:"$work/disco.iso" -l:meu_disco -eject -v "$work/proj/*.*" >"$work/out" 2>&1 \
  || fail "createcd terminou com erro: $(cat "$work/out")"
[ -f "$work/disco.iso" ] || fail "imagem não criada"
[ ! -e "$work/disco.iso.parcial" ] || fail "arquivo parcial ficou"
listing=$(xorriso -indev "$work/disco.iso" -pvd_info -ls / -ls /WAVMP3 2>&1)
grep -q "Volume id *: 'meu_disco'" <<<"$listing" || fail "rótulo ausente: $listing"
grep -q "'LIVRO_001.PAR'" <<<"$listing" || fail "LIVRO_001.PAR ausente"
grep -q "'meu livro ação.mp3'" <<<"$listing" || fail "mp3 ausente"
joliet=$(xorriso -indev "$work/disco.iso" -rockridge off -ls /WAVMP3 2>&1)
grep -q "meu livro ação.mp3" <<<"$joliet" || fail "nomes Joliet ausentes: $joliet"
after=$(cd "$work/proj" && find . -type f -exec md5sum {} + | sort)
[ "$before" = "$after" ] || fail "arquivos de origem alterados"

# A failed run leaves an older image untouched.
cp "$work/disco.iso" "$work/copia.iso"
"$createcd" -r:"$work/disco.iso" "$work/nada/*.*" >"$work/out" 2>&1 && fail "nada a gravar aceito"
grep -q "Nada a gravar" "$work/out" || fail "sem mensagem: $(cat "$work/out")"
cmp -s "$work/disco.iso" "$work/copia.iso" || fail "imagem anterior alterada"

PATH=/nenhum "$createcd" -r:"$work/outro.iso" "$work/proj/*.*" >"$work/out" 2>&1
[ $? -eq 4 ] || fail "xorriso ausente não detectado"
grep -q "xorriso não está instalado" "$work/out" || fail "mensagem ausente: $(cat "$work/out")"
[ ! -e "$work/outro.iso" ] || fail "imagem criada sem xorriso"
echo ok
