#!/usr/bin/env python3
"""Generate pytable.cpp, the reading table behind myRetPY.

The table has one entry for every double-byte GBK position, lead byte
0x81..0xFE by second byte 0x40..0xFE (126 x 191 entries).  An entry is the
number (counted from 1) of the character's Mandarin syllable in the syllable
list, written in lower-case ASCII with u-umlaut as "v", or 0 when the position
has no reading.  The symbol rows (lead bytes 0xA1..0xA9), the row 0xFE and the
second byte 0x7F never carry a reading.

Readings come from the Mandarin reading list of go-pinyin (data of
mozillazg/pinyin-data, MIT licence), as the Debian package
golang-github-mozillazg-go-pinyin-dev installs it.  That list gives the
readings of a character with the reading Unicode's Unihan database calls the
customary one (kMandarin) first, so kMandarin cannot tell where that first
reading is an old or literary one nobody types any more: 豉 shi (豆豉 is
douchi), 芎 qiong, 炔 gui, 碡 du, 龈 ken.  The first reading is therefore
checked against the readings of the current standard dictionary, the
通用规范汉字字典 (2013), which Unihan gives as kTGHZ2013 (in page order, so
alphabetically):

  1. A character in OVERRIDES takes the reading given there.
  2. When the standard dictionary lists the character, or, for a traditional
     form it does not list, the simplified form (kSimplifiedVariant), and the
     first reading of the list is not among the standard readings, the
     character takes the first standard reading that go-pinyin also lists
     for it (so 豉 chi, 齦 yin, 鯽 ji); a traditional form takes the reading
     of its simplified form also when go-pinyin lists only an older one
     (嘜 mai as 唛).  KEEP_FIRST names the few characters
     whose first reading stays although the standard dictionary no longer has
     it, because goods are still named with it (桔子, 蕃茄).
  3. Otherwise the first reading of the list.

Characters the standard dictionary does not cover are compared with
kMandarin as well: where the chosen reading differs from kMandarin's
mainland reading and neither OVERRIDES nor REVIEWED decides the character,
the run reports it, so that new disagreements show up together when the
sources are updated.  "--report" lists every character whose reading the
standard dictionary changed.

Python's "gbk" codec maps every position exactly as glibc's iconv "GBK" does,
which is what the program uses at run time.

Run from anywhere, with the standard library only:

    python3 data/pinyin/gen_pytable.py [--report] [--dict pinyin_dict.go]
        [--unihan DIR] [--out output.cpp]

Defaults: the go-pinyin file of the Debian package, the Unihan files of the
Debian package unicode-data (Unihan_Readings.txt.bz2 and
Unihan_Variants.txt.bz2 in /usr/share/unicode, or Unihan.zip there), and
pytable.cpp beside this script.  The output is checked in; the build does not
run this.
"""

import argparse
import bz2
import io
import os
import re
import sys
import unicodedata
import zipfile

DEFAULT_DICT = ("/usr/share/gocode/src/github.com/mozillazg/go-pinyin/"
                "pinyin_dict.go")
DEFAULT_UNIHAN = "/usr/share/unicode"
DEFAULT_OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                           "pytable.cpp")

LEAD_FIRST, LEAD_LAST = 0x81, 0xFE
TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFE
SYMBOL_LEADS = range(0xA1, 0xAA)
MAX_SYLLABLE = 6

# Characters whose first listed reading is not the one people type for the
# names of goods, firms and persons.  Each reading must be one the list
# gives for the character.
OVERRIDES = {
    # Fixed by the program's documented examples: 银行, 商行, 车行 ...
    "行": "hang",
    "还": "huan", "還": "huan",
    # Goods: 空调, 调料, 调味品; 人参, 海参, 西洋参; 番茄; 果脯, 肉脯; 蛤蜊.
    "调": "tiao", "調": "tiao",
    "参": "shen", "參": "shen",
    "茄": "qie",
    "脯": "fu",
    "蛤": "ge",
    # Places, firms and surnames: 成都, 佛山, 厦门, 曾, 翟.
    "都": "du",
    "佛": "fo",
    "厦": "xia", "廈": "xia",
    "曾": "zeng",
    "翟": "zhai",
    # Filed under this reading among the common characters of GB 2312.
    "傀": "kui",
    "椎": "zhui",
    "辗": "zhan", "輾": "zhan",
}

# Characters that keep the first reading of the list although the standard
# dictionary does not give it, because goods and texts still use it.
KEEP_FIRST = {
    "桔": "ju",    # 桔子, 金桔: the everyday form of 橘
    "蕃": "fan",   # 蕃茄, 蕃薯: the everyday form of 番
    "釐": "li",    # the traditional form of 厘 (公釐, 釐米)
    "醱": "fa",    # the traditional form of 发 in 醱酵
}

# Characters outside the standard dictionary whose chosen reading differs from
# kMandarin and which were looked at and left as they are.
REVIEWED = {
    "妳": "ni",     # read ni as the feminine "you"; nai is the old reading
    "咁": "gan",    # Cantonese word; no settled Mandarin reading
    "瞓": "fen",    # Cantonese word; kMandarin not among the listed readings
    "簗": "zhu",    # kMandarin not among the listed readings
    "鸀": "chu",    # kMandarin not among the listed readings
    "麿": "mi",     # kMandarin not among the listed readings
}

ENTRY = re.compile(r'^\s*0x([0-9A-Fa-f]+):\s*"([^"]*)",?\s*$')
SYLLABLE = re.compile(r"^[a-z]{1,%d}$" % MAX_SYLLABLE)
UNIHAN_LINE = re.compile(r"^U\+([0-9A-F]+)\t(k\w+)\t(.*)$")


def plain(reading):
    """Tone-marked pinyin to lower-case ASCII, u-umlaut as v."""
    s = unicodedata.normalize("NFD", reading.strip().lower())
    s = s.replace("u\u0308", "v")
    s = "".join(ch for ch in s if not unicodedata.combining(ch))
    if not SYLLABLE.match(s):
        raise ValueError("unexpected reading %r" % reading)
    return s


def read_dict(path):
    readings = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = ENTRY.match(line)
            if m:
                readings[int(m.group(1), 16)] = [
                    plain(r) for r in m.group(2).split(",") if r.strip()]
    if len(readings) < 20000:
        raise SystemExit("%s: only %d readings found, not a reading list"
                         % (path, len(readings)))
    return readings


def unihan_lines(folder, name):
    """The lines of one Unihan file, from NAME.bz2, NAME or Unihan.zip."""
    packed = os.path.join(folder, name + ".bz2")
    if os.path.exists(packed):
        with bz2.open(packed, "rt", encoding="utf-8") as f:
            return f.read().splitlines()
    loose = os.path.join(folder, name)
    if os.path.exists(loose):
        with open(loose, encoding="utf-8") as f:
            return f.read().splitlines()
    archive = os.path.join(folder, "Unihan.zip")
    if os.path.exists(archive):
        with zipfile.ZipFile(archive) as z:
            return io.TextIOWrapper(z.open(name), encoding="utf-8").read().splitlines()
    raise SystemExit("%s not found in %s (Debian package unicode-data)"
                     % (name, folder))


class Unihan:
    """The Unihan fields the generator checks readings against."""

    def __init__(self, folder):
        self.standard = {}    # kTGHZ2013: readings of the standard dictionary
        self.mandarin = {}    # kMandarin: customary reading, mainland first
        self.simplified = {}  # kSimplifiedVariant
        for line in unihan_lines(folder, "Unihan_Readings.txt"):
            m = UNIHAN_LINE.match(line)
            if not m:
                continue
            cp, field, value = int(m.group(1), 16), m.group(2), m.group(3)
            if field == "kTGHZ2013":
                # "page.position:reading[,reading] ...", in page order.
                found = []
                for entry in value.split():
                    for r in entry.split(":", 1)[1].split(","):
                        p = plain(r)
                        if p not in found:
                            found.append(p)
                self.standard[cp] = found
            elif field == "kMandarin":
                self.mandarin[cp] = plain(value.split()[0])
        for line in unihan_lines(folder, "Unihan_Variants.txt"):
            m = UNIHAN_LINE.match(line)
            if m and m.group(2) == "kSimplifiedVariant":
                cp = int(m.group(1), 16)
                self.simplified[cp] = [int(v.split("<")[0][2:], 16)
                                       for v in m.group(3).split()]
        if len(self.standard) < 8000 or len(self.mandarin) < 20000:
            raise SystemExit("%s: Unihan readings incomplete" % folder)

    def standard_readings(self, cp):
        """Readings of the standard dictionary for the character, or for its
        simplified form when it is a traditional form the dictionary leaves
        out; empty when neither is listed."""
        if cp in self.standard:
            return self.standard[cp]
        found = []
        for s in self.simplified.get(cp, []):
            for r in self.standard.get(s, []):
                if r not in found:
                    found.append(r)
        return found


class Choice:
    """The reading chosen for one character and why."""

    def __init__(self, ch, listed, unihan):
        self.ch = ch
        self.listed = listed
        self.first = listed[0]
        self.standard = unihan.standard_readings(ord(ch))
        self.mandarin = unihan.mandarin.get(ord(ch))
        self.kept = False
        if ch in OVERRIDES:
            self.reading = OVERRIDES[ch]
            self.how = "override"
        elif self.standard and self.first not in self.standard:
            usable = [r for r in self.standard if r in listed]
            if not usable and ord(ch) not in unihan.standard:
                # A traditional form reads as its simplified form, also
                # where go-pinyin lists only an old reading (嘜 mai, 幀 zhen).
                usable = self.standard
            if ch in KEEP_FIRST or not usable:
                self.reading = self.first
                self.how = "first"
                self.kept = True
            else:
                self.reading = usable[0]
                self.how = "standard"
        else:
            self.reading = self.first
            self.how = "first"
        if self.reading not in listed and self.how != "standard":
            raise SystemExit("%s=%s is not among its readings %s"
                             % (ch, self.reading, listed))

    def undecided(self):
        """Why the choice needs a look, or None."""
        if self.kept and self.ch not in KEEP_FIRST:
            return "standard %s, none of them listed" % "/".join(self.standard)
        if (self.how == "first" and not self.standard and self.mandarin
                and self.mandarin != self.reading and self.ch not in REVIEWED):
            return "kMandarin %s" % self.mandarin
        return None


def listed_readings(ch, readings):
    listed = readings.get(ord(ch))
    if not listed:
        # Compatibility ideographs (row FD) read as their unified form.
        unified = unicodedata.normalize("NFKC", ch)
        if len(unified) == 1:
            listed = readings.get(ord(unified))
    return listed


def character_at(lead, trail):
    if lead in SYMBOL_LEADS or lead == 0xFE or trail == 0x7F:
        return None
    try:
        return bytes([lead, trail]).decode("gbk")
    except UnicodeDecodeError:
        return None


def build(readings, unihan):
    choices = []
    for lead in range(LEAD_FIRST, LEAD_LAST + 1):
        for trail in range(TRAIL_FIRST, TRAIL_LAST + 1):
            ch = character_at(lead, trail)
            listed = listed_readings(ch, readings) if ch else None
            choices.append(Choice(ch, listed, unihan) if listed else None)
    for table in (OVERRIDES, KEEP_FIRST, REVIEWED):
        for ch, reading in table.items():
            ch.encode("gbk")  # every listed character must be a GBK character
            if reading not in (readings.get(ord(ch)) or []):
                raise SystemExit("%s=%s is not among its readings" % (ch, reading))
    for ch, reading in KEEP_FIRST.items():
        if readings[ord(ch)][0] != reading:
            raise SystemExit("KEEP_FIRST %s=%s is no longer the first reading"
                             % (ch, reading))
    chosen = [c.reading if c else None for c in choices]
    syllables = sorted({s for s in chosen if s})
    number = {s: i + 1 for i, s in enumerate(syllables)}
    return syllables, [number[s] if s else 0 for s in chosen], \
        [c for c in choices if c]


def report(choices, full):
    changed = [c for c in choices if c.how == "standard"]
    initials = [c for c in changed if c.reading[0] != c.first[0]]
    print("%d characters take the standard reading instead of the first "
          "listed one (%d of them with another initial)"
          % (len(changed), len(initials)))
    if full:
        for c in changed:
            print("  %s %s -> %s  (listed %s)"
                  % (c.ch, c.first, c.reading, ",".join(c.listed)))
    open_ = [(c, c.undecided()) for c in choices if c.undecided()]
    if open_:
        print("%d characters to decide (OVERRIDES, KEEP_FIRST or REVIEWED):"
              % len(open_))
        for c, why in open_:
            print("  %s %s (listed %s; %s)"
                  % (c.ch, c.reading, ",".join(c.listed), why))


def write(out, source, syllables, table):
    rows = LEAD_LAST - LEAD_FIRST + 1
    cols = TRAIL_LAST - TRAIL_FIRST + 1
    lines = [
        "// Generated by gen_pytable.py from %s" % os.path.basename(source),
        "// (go-pinyin, data of mozillazg/pinyin-data, MIT licence), checked",
        "// against the Unihan database (kTGHZ2013, kMandarin). Do not edit;",
        "// change the generator and run it again.",
        "// %d syllables; %d of %d positions carry a reading."
        % (len(syllables), sum(1 for n in table if n), len(table)),
        "",
        '#include "data/pinyin/pytable.h"',
        "",
        "namespace PyTable {",
        "",
        "static_assert(LeadCount == %d && TrailCount == %d);" % (rows, cols),
        "",
        "const int SyllableCount = %d;" % len(syllables),
        "",
        "const char *const Syllables[%d] = {" % len(syllables),
    ]
    for i in range(0, len(syllables), 10):
        lines.append("    " + " ".join('"%s",' % s for s in syllables[i:i + 10]))
    lines += ["};", "", "const unsigned short Readings[LeadCount * TrailCount] = {"]
    for r in range(rows):
        lines.append("    // lead byte 0x%02X" % (LEAD_FIRST + r))
        row = table[r * cols:(r + 1) * cols]
        for i in range(0, cols, 16):
            lines.append("    " + " ".join("%d," % n for n in row[i:i + 16]))
    lines += ["};", "", "} // namespace PyTable", ""]
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


def main(argv):
    ap = argparse.ArgumentParser(description="Generate pytable.cpp.")
    ap.add_argument("--dict", default=DEFAULT_DICT,
                    help="go-pinyin's pinyin_dict.go")
    ap.add_argument("--unihan", default=DEFAULT_UNIHAN,
                    help="folder with the Unihan files or Unihan.zip")
    ap.add_argument("--out", default=DEFAULT_OUT)
    ap.add_argument("--report", action="store_true",
                    help="list every character the standard dictionary changed")
    args = ap.parse_args(argv[1:])
    syllables, table, choices = build(read_dict(args.dict), Unihan(args.unihan))
    write(args.out, args.dict, syllables, table)
    print("%s: %d syllables, %d entries, %d with a reading"
          % (args.out, len(syllables), len(table), sum(1 for n in table if n)))
    report(choices, args.report)


if __name__ == "__main__":
    main(sys.argv)
