#!/bin/bash
# Each folder of src/ is a layer that may include only itself and the layers
# below it. Fails on every #include "layer/..." that points up or sideways,
# naming file and line.
set -u
src="$(cd "$(dirname "$0")/../../src" && pwd)"
layers=(base platform console frontends sound engines speech widgets script production shell)

rank_of() {
  local i
  for i in "${!layers[@]}"; do
    [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
  done
  echo -1
}

status=0
for dir in "$src"/*/; do
  name=$(basename "$dir")
  if [ "$(rank_of "$name")" -lt 0 ]; then
    echo "src/$name/ is not a known layer (${layers[*]})"
    status=1
  fi
done

while IFS=: read -r file line text; do
  from=${file#"$src"/}; from=${from%%/*}
  to=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\)\/.*/\1/p' <<<"$text")
  [ -n "$to" ] || continue
  from_rank=$(rank_of "$from")
  to_rank=$(rank_of "$to")
  if [ "$to_rank" -lt 0 ] || [ "$to_rank" -gt "$from_rank" ]; then
    echo "src/${file#"$src"/}:$line: layer $from includes $to, which is not below it: $text"
    status=1
  fi
done < <(grep -rn --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src")

[ $status = 0 ] && echo "every include of src/ looks down"
exit $status
