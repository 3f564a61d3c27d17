#!/bin/sh
# Olira's letter-to-sound against espeak-ng on a fixed random sample of
# words of /usr/share/dict/brazilian; prints the share of words whose
# phoneme strings agree, stress included (mapping in olira_eval_compare.py).
#   bench/olira_eval.sh [BUILD_DIR] [-v]     (-v lists the disagreements)
# Environment: OLIRA_EVAL_WORDS (2000), OLIRA_EVAL_SEED (2026).
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
shift 2>/dev/null || true
words=${OLIRA_EVAL_WORDS:-2000}
seed=${OLIRA_EVAL_SEED:-2026}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

/usr/bin/python3 - "$words" "$seed" > "$tmp/words" <<'PY'
import random, sys
words = [w.strip() for w in open("/usr/share/dict/brazilian", encoding="utf-8")]
words = sorted(w for w in words if w.isalpha() and w.islower())
for w in random.Random(int(sys.argv[2])).sample(words, int(sys.argv[1])):
    print(w)
PY
"$build/olira-phonemes" -w < "$tmp/words" > "$tmp/olira"
sed 's/$/./' "$tmp/words" | espeak-ng -v pt-br -q -x > "$tmp/espeak"
if [ "$(wc -l < "$tmp/espeak")" -ne "$(wc -l < "$tmp/words")" ]; then
  echo "espeak-ng gave a different number of lines" >&2
  exit 1
fi
paste "$tmp/words" "$tmp/olira" "$tmp/espeak" | /usr/bin/python3 "$here/olira_eval_compare.py" "$@"
