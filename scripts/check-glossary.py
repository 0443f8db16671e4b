#!/usr/bin/env python3
"""Lists the German words that names in the code are built from and that GLOSSARY.md does not explain.

Names are the identifiers of the code folders (comments and string literals left out), split into words at
underscores and at case changes (`BerechneQuerschnitt`, `m_dLaenge`, `iNorm`). A word is German when the German
word list holds it (ae, oe, ue, ss read as the umlauts and sharp s, too) and the English one does not; a word that
neither list holds is tried as a compound of German words (`Bemessungslauf` = Bemessung(s) + Lauf) and then
stands for its parts, unless the glossary explains the compound itself. The glossary explains a word when it holds the word itself or a form of it that differs by a
German ending. Exit status 1 when a word is missing, 2 when a word list is missing.
"""
import argparse
import itertools
import os
import re
import sys

CODE_FOLDERS = ["platform", "designcode", "geometry", "formula", "controls", "framework", "document", "engine",
                "transfer", "column", "framework_ui", "editor", "column_ui", "report", "module", "host"]
GERMAN_LIST = "/usr/share/dict/ngerman"
ENGLISH_LIST = "/usr/share/dict/american-english"

# Short names and abbreviations of our own or of the window-system style that a German list happens to hold.
NOT_GERMAN = {
    "abs", "alf", "arg", "cdc", "ctrl", "dir", "div", "ext", "inst", "nsec", "oem", "pos", "reg", "rtc", "ecu",
    "mrd", "akt", "allg", "bitmaps", "hotspot", "kap", "fakt", "phi", "kappa", "alfa", "rad", "graf", "splitter",
    "sektabel", "plotwerk",
}

# Endings by which a German word's forms differ (Setze, setzen, gesetzt are covered by "Setze" and "gesetzt").
ENDINGS = ["", "e", "n", "en", "r", "s", "es", "er", "ern", "em", "t", "et", "st", "te", "ten", "ung", "ungen"]

IDENT = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
WORD = re.compile(r"[A-Z]+(?=[A-Z][a-z])|[A-Z]?[a-z]+|[A-Z]+")


def strip_comments_and_strings(src):
    src = re.sub(r"//[^\n]*|/\*.*?\*/", " ", src, flags=re.S)
    src = re.sub(r'R"\((.*?)\)"', '""', src, flags=re.S)
    src = re.sub(r'"(\\.|[^"\\\n])*"', '""', src)
    return re.sub(r"'(\\.|[^'\\\n])*'", "''", src)


def split_name(name):
    """The words of an identifier, lower case, three letters or more; none of a constant in capitals (the window
    system's CBS_HASSTRINGS is not split into words)."""
    if name.upper() == name:
        return []
    words = []
    for part in name.split("_"):
        words += [w.lower() for w in WORD.findall(part) if len(w) >= 3]
    return words


def spellings(word):
    """The word with each ae, oe, ue, ss read either way."""
    pieces = re.split(r"(ae|oe|ue|ss)", word)
    choices = [{"ae": ["ae", "ä"], "oe": ["oe", "ö"], "ue": ["ue", "ü"], "ss": ["ss", "ß"]}.get(p, [p])
               for p in pieces]
    return {"".join(c) for c in itertools.product(*choices)}


class Lexicon:
    def __init__(self, german_path, english_path):
        self.german = self._read(german_path)
        self.english = self._read(english_path)

    @staticmethod
    def _read(path):
        with open(path, encoding="utf-8", errors="replace") as f:
            return {line.strip().lower() for line in f if line.strip()}

    def in_german(self, word):
        return any(s in self.german for s in spellings(word))

    def is_german(self, word):
        return word not in NOT_GERMAN and word not in self.english and self.in_german(word)

    def compound_parts(self, word, depth=0):
        """German parts of a compound of up to three words (a linking s allowed), or None."""
        if depth == 2:
            return [word] if self.in_german(word) and len(word) >= 4 else None
        for cut in range(len(word) - 3, 3, -1):
            head, tail = word[:cut], word[cut:]
            for h in (head, head[:-1] if head.endswith("s") else None):
                if not h or len(h) < 4 or not self.in_german(h):
                    continue
                if self.in_german(tail) and len(tail) >= 4:
                    return [h, tail]
                rest = self.compound_parts(tail, depth + 1)
                if rest:
                    return [h] + rest
        return None

    def german_words(self, word):
        """The German words a word of a name stands for (none for an English or unknown word)."""
        if word in NOT_GERMAN or word in self.english:
            return []
        if self.in_german(word):
            return [word]
        parts = self.compound_parts(word)
        if parts and any(p not in self.english for p in parts):
            return [p for p in parts if self.is_german(p)]
        return []


def glossary_words(path):
    with open(path, encoding="utf-8") as f:
        return {w.lower() for w in re.findall(r"[A-Za-zÄÖÜäöüß]+", f.read())}


def covered(word, known):
    return any(word == k + e or k == word + e for k in known for e in ENDINGS if k[:3] == word[:3])


def code_files(root):
    for folder in CODE_FOLDERS:
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    yield os.path.join(dirpath, name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    parser.add_argument("--glossary", help="the glossary to check against (default ROOT/GLOSSARY.md)")
    parser.add_argument("--german", default=GERMAN_LIST)
    parser.add_argument("--english", default=ENGLISH_LIST)
    parser.add_argument("--all", action="store_true", help="list every German word found, explained or not")
    args = parser.parse_args()
    for path in (args.german, args.english):
        if not os.path.exists(path):
            print(f"check-glossary: the word list {path} is missing (scripts/install-deps.sh installs it)",
                  file=sys.stderr)
            return 2
    lexicon = Lexicon(args.german, args.english)
    known = glossary_words(args.glossary or os.path.join(args.root, "GLOSSARY.md"))

    seen = {}  # German word -> (identifier, file) of its first use
    verdict = {}
    for path in code_files(args.root):
        with open(path, encoding="utf-8", errors="replace") as f:
            text = strip_comments_and_strings(f.read())
        for name in set(IDENT.findall(text)):
            for word in split_name(name):
                if word not in verdict:
                    if covered(word, known):  # explained as it stands, compounds too
                        verdict[word] = [word] if lexicon.is_german(word) else []
                    else:
                        verdict[word] = lexicon.german_words(word)
                for german in verdict[word]:
                    where = name if german == word else f"{name}, part of {word}"
                    seen.setdefault(german, (where, os.path.relpath(path, args.root)))

    missing = sorted(w for w in seen if not covered(w, known))
    for word in sorted(seen) if args.all else missing:
        name, path = seen[word]
        print(f"{word:24} {name} ({path})")
    print(f"German words in names: {len(seen)}, not in the glossary: {len(missing)}")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
