#!/usr/bin/python3
"""Agreement of Olira's letter-to-sound with espeak-ng on a fixed sample.

Reads "word<TAB>olira<TAB>espeak" lines on stdin (olira: the phoneme names
of olira-phonemes -w, espeak: espeak-ng -x output) and prints the share of
words whose phoneme strings agree, stress included. With -v the words that
disagree are listed.

Both transcriptions are brought to Olira's phoneme names. espeak-ng symbols:

  espeak-ng        Olira       espeak-ng        Olira
  a e i o u        a e i o u   E O              eh oh
  &                ax          y I j            y (glide, or final e: ix)
  U w              w (glide, or final o: ux)
  V~  VN           nasal vowel (an en in on un), N dropped
  tS dZ            ch dj       S Z              sh zh
  n^               nh          lj l^            lh
  x h              rr          * R r            r
  p b t d k g f v s z m n l     the same
  '                stress on the next vowel     , ; - @- #   dropped

Spellings of the same sounds that the two write differently are made equal:
  - a nasal vowel before m/n and a consonant (or the end) drops the m/n
    (espeak "k'&~mpU", Olira "k >an p ux"); espeak's vowel + m before p or
    b is the nasal vowel ("k,ompR", Olira "k on p r");
  - espeak's nasal e written "eI" + nasal ("t'eImpU", "b'eIN") is "en",
    keeping the nasal glide yn only at the end of the word (bem: en yn);
  - a vowel before a nasal glide is nasal, a glide after a final nasal
    vowel is nasal (pão, mãe: an wn, an yn);
  - final unstressed e and o (Olira ix, ux) are compared as the glides
    y and w, since espeak-ng writes both with the same symbols;
  - coda l is compared as w (espeak-ng keeps [l] after open o);
  - Olira's r2 and s2 (word-final r and s) are r and s.
"""
import sys

VOWELS = {"a", "e", "i", "o", "u", "eh", "oh", "ax", "an", "en", "in", "on", "un"}
GLIDES = {"y", "w", "yn", "wn"}
NASAL = {"a": "an", "ax": "an", "e": "en", "i": "in", "o": "on", "u": "un",
         "eh": "en", "oh": "on", "y": "yn", "w": "wn", "an": "an", "en": "en",
         "in": "in", "on": "on", "un": "un", "yn": "yn", "wn": "wn"}
SIMPLE = {"a": "a", "e": "e", "i": "i", "o": "o", "u": "u", "E": "eh", "O": "oh",
          "&": "ax", "y": "y", "I": "y", "j": "y", "U": "w", "w": "w",
          "S": "sh", "Z": "zh", "x": "rr", "h": "rr", "*": "r", "R": "r", "r": "r",
          "p": "p", "b": "b", "t": "t", "d": "d", "k": "k", "g": "g", "f": "f",
          "v": "v", "s": "s", "z": "z", "m": "m", "n": "n", "l": "l"}


def is_vowel(p):
    return p in VOWELS


def espeak_phonemes(text):
    out = []  # [name, stressed]
    stress = False
    i = 0
    while i < len(text):
        c, two = text[i], text[i:i + 2]
        if c == "'":
            stress = True
        elif c in ",;-#@:":
            pass
        elif two in ("tS", "dZ", "n^", "l^", "lj"):
            out.append([{"tS": "ch", "dZ": "dj", "n^": "nh"}.get(two, "lh"), False])
            i += 1
        elif c in "~N":
            if out and (is_vowel(out[-1][0]) or out[-1][0] in GLIDES):
                out[-1][0] = NASAL[out[-1][0]]
            elif c == "N":
                out.append(["n", False])
        elif c in SIMPLE:
            name = SIMPLE[c]
            out.append([name, stress and is_vowel(name)])
            if is_vowel(name):
                stress = False
        i += 1
    return out


def olira_phonemes(text):
    out = []
    stress = False
    for p in text.split():
        if p == "/":
            continue
        if p.startswith(">"):
            stress, p = True, p[1:]
        p = {"r2": "r", "s2": "s", "ix": "y", "ux": "w"}.get(p, p)
        out.append([p, stress and is_vowel(p)])
        if is_vowel(p):
            stress = False
    return out


def consonant_or_end(ps, i):
    return i >= len(ps) or not (is_vowel(ps[i][0]) or ps[i][0] in GLIDES)


def final_position(ps, i):
    return i >= len(ps) or (ps[i][0] == "s" and i + 1 == len(ps))


def normalize(ps):
    ps = [list(p) for p in ps]
    changed = True
    while changed:
        changed = False
        for i, (p, s) in enumerate(ps):
            nxt = ps[i + 1][0] if i + 1 < len(ps) else None
            # eI + nasal consonant + consonant: a nasal e
            if p == "e" and nxt == "y" and i + 2 < len(ps) and ps[i + 2][0] in ("m", "n") \
                    and consonant_or_end(ps, i + 3):
                ps[i][0] = "en"
                del ps[i + 1:i + 3]
                changed = True
                break
            if is_vowel(p) and p not in NASAL.values() and nxt in ("yn", "wn"):
                ps[i][0] = NASAL[p]
                changed = True
                break
            if p in ("an", "en", "in", "on", "un") and nxt in ("y", "w") and final_position(ps, i + 2):
                ps[i + 1][0] = NASAL[nxt]
                changed = True
                break
            if p in NASAL and is_vowel(p) and p not in NASAL.values() and nxt == "m" \
                    and i + 2 < len(ps) and ps[i + 2][0] in ("p", "b"):
                ps[i][0] = NASAL[p]
                del ps[i + 1]
                changed = True
                break
            if p in ("an", "en", "in", "on", "un") and nxt in ("m", "n") and consonant_or_end(ps, i + 2):
                del ps[i + 1]
                changed = True
                break
            if p in ("an", "en", "in", "on", "un") and nxt in ("yn", "wn") and i + 2 < len(ps) \
                    and not final_position(ps, i + 2):
                del ps[i + 1]
                changed = True
                break
            if p == "l" and consonant_or_end(ps, i + 1) and i > 0 and is_vowel(ps[i - 1][0]):
                ps[i][0] = "w"
                changed = True
                break
    return " ".join(("'" if s else "") + p for p, s in ps)


def main():
    verbose = "-v" in sys.argv
    total = agree = 0
    for line in sys.stdin:
        fields = line.rstrip("\n").split("\t")
        if len(fields) != 3:
            continue
        word, ours, theirs = fields
        a = normalize(olira_phonemes(ours))
        b = normalize(espeak_phonemes(theirs.strip()))
        total += 1
        if a == b:
            agree += 1
        elif verbose:
            print(f"{word}\t{a}\t{b}\t{theirs.strip()}")
    if total:
        print(f"{agree} of {total} words agree: {100.0 * agree / total:.1f} %")
    return 0 if total else 1


if __name__ == "__main__":
    sys.exit(main())
