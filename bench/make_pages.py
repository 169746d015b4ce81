#!/usr/bin/env python3
"""Builds large Shift_JIS pages from the real pages in tests/data/pages.

Every real page is converted to Shift_JIS with iconv (the encoding is named in
its file name), its body content is cut out, and copies of the bodies are
combined into one page: each copy wrapped in nested divs, its ids and anchors
made unique, and followed by tables, lists, forms, scripts and comments whose
Japanese text is taken from the real pages. Lines end in CR LF.

    make_pages.py --pages tests/data/pages --out DIR --megabytes 1 5 20
    make_pages.py --pages tests/data/pages --out DIR --count 40 --kilobytes 200
    make_pages.py ... --real-out DIR    (also every real page on its own, in Shift_JIS)
    make_pages.py ... --exclude NAME... (leave some real pages out of the generated ones)

The same arguments always give the same bytes.
"""

import argparse
import pathlib
import random
import re
import subprocess
import sys

# Encodings by the tag in the file name (NAME.<tag>[-nolabel].html), as iconv names them.
ENCODINGS = {"utf8": "UTF-8", "sjis": None, "eucjp": "EUC-JP", "iso2022jp": "ISO-2022-JP"}

BODY_OPEN = re.compile(rb"<body[^>]*>", re.IGNORECASE)
BODY_CLOSE = re.compile(rb"</body\s*>", re.IGNORECASE)
# Anchors: ids and names, and the links that point at them inside the page.
ANCHOR_ATTR = re.compile(rb'\b(id|name|ID|NAME)="([^"]*)"')
LOCAL_LINK = re.compile(rb'\b(href|HREF)="#([^"]*)"')
# Text between tags that holds Japanese characters. '<' and '>' are never
# Shift_JIS trail bytes, so such a run is always made of whole characters.
TEXT_RUN = re.compile(rb">([^<>]*[\x81-\xfc][^<>]*)<")


def to_shift_jis(path: pathlib.Path) -> bytes:
    tag = path.name.split(".")[-2].split("-")[0]
    if tag not in ENCODINGS:
        sys.exit(f"{path}: no known encoding in the file name")
    data = path.read_bytes()
    if ENCODINGS[tag] is None:
        return data
    # //TRANSLIT turns characters without a Shift_JIS form (no-break spaces) into their nearest.
    return subprocess.run(["iconv", "-f", ENCODINGS[tag], "-t", "CP932//TRANSLIT"],
                          input=data, stdout=subprocess.PIPE, check=True).stdout


CHARSET_LABEL = re.compile(rb"(charset=[\"']?)[A-Za-z0-9_\-]+", re.IGNORECASE)
XML_ENCODING = re.compile(rb"(<\?xml[^>]*encoding=[\"'])[A-Za-z0-9_\-]+", re.IGNORECASE)


def labelled_shift_jis(page: bytes) -> bytes:
    """The page's own charset labels rewritten to the encoding it is now in."""
    page = CHARSET_LABEL.sub(lambda m: m.group(1) + b"Shift_JIS", page)
    return XML_ENCODING.sub(lambda m: m.group(1) + b"Shift_JIS", page)


def body_of(page: bytes) -> bytes:
    opening = BODY_OPEN.search(page)
    start = opening.end() if opening else 0
    closing = BODY_CLOSE.search(page, start)
    return page[start:closing.start() if closing else len(page)]


def japanese_phrases(pages) -> list:
    phrases = []
    for page in pages:
        for run in TEXT_RUN.findall(page):
            text = b" ".join(run.split())
            if 4 <= len(text) <= 80 and b"?" not in text and b"&" not in text:
                phrases.append(text)
    return sorted(set(phrases))


class PageWriter:
    def __init__(self, bodies, phrases, seed):
        self.bodies = bodies
        self.phrases = phrases
        self.rng = random.Random(seed)
        self.parts = []
        self.size = 0
        self.copies = 0

    def put(self, *chunks):
        for chunk in chunks:
            data = chunk.encode("ascii") if isinstance(chunk, str) else chunk
            self.parts.append(data)
            self.size += len(data)

    def phrase(self):
        return self.rng.choice(self.phrases)

    def gap(self):
        self.put(self.rng.choice(["\n", "\n", "", " ", "\n  ", "\t"]))

    def page(self, target):
        self.put('<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">\n'
                 '<html lang="ja">\n<head>\n'
                 '<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">\n<title>')
        self.put(self.phrase(), "</title>\n"
                 '<style type="text/css">\n<!--\nbody { margin: 0; }\n.chapter { padding: 4px; }\n-->\n</style>\n'
                 '<script type="text/javascript">\nfunction toggle(id) {\n'
                 '  var e = document.getElementById(id);\n  if (e) { e.style.display = e.style.display == "none" ? "" : "none"; }\n'
                 "}\n</script>\n</head>\n<body>\n")
        closing = b"</body>\n</html>\n"
        while self.size + len(closing) < target:
            self.chapter()
        self.put(closing)
        return b"".join(self.parts).replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")

    def chapter(self):
        self.copies += 1
        n = self.copies
        wrappers = 1 + self.rng.randrange(3)
        for level in range(wrappers):
            self.put(f'<div class="chapter level{level}" id="c{n}-{level}">')
            self.gap()
        self.put(f'<h2><a name="top-c{n}">', self.phrase(), "</a></h2>\n")
        self.put(f"<!-- {n} -->\n")
        self.real_body(n)
        for _ in range(1 + self.rng.randrange(4)):
            self.rng.choice([self.table, self.listing, self.form, self.script, self.comment, self.paragraph])(n)
        for _ in range(wrappers):
            self.put("</div>")
            self.gap()
        self.put("\n")

    def real_body(self, n):
        body = self.bodies[(n - 1) % len(self.bodies)]
        suffix = f"-c{n}".encode("ascii")
        body = ANCHOR_ATTR.sub(lambda m: m.group(1) + b'="' + m.group(2) + suffix + b'"', body)
        body = LOCAL_LINK.sub(lambda m: m.group(1) + b'="#' + m.group(2) + suffix + b'"', body)
        self.put('<div class="page-body">\n', body.strip(), "\n</div>\n")

    def table(self, n):
        # Old pages often write their tables in capitals; closing tags match their opening ones.
        upper = self.rng.randrange(3) == 0
        self.put('<TABLE BORDER="1">' if upper else self.rng.choice(['<table border="1" cellpadding="2">', '<table class="list">\n']))
        for row in range(1 + self.rng.randrange(6)):
            self.put("<TR>" if upper else "<tr>")
            for col in range(3):
                cell = self.rng.randrange(8)
                if cell == 0:
                    self.put("<TD></TD>" if upper else "<td></td>")
                elif cell == 1:
                    self.put("<td><ul><li>", self.phrase(), "</li><li>", self.phrase(), "</li></ul></td>")
                elif upper:
                    self.put("<TD>", self.phrase(), "</TD>")
                else:
                    self.put("<td>", self.phrase(), "</td>")
                self.gap()
            self.put("</TR>\n" if upper else "</tr>\n")
        self.put("</TABLE>" if upper else "</table>")
        self.gap()

    def listing(self, n):
        kind = self.rng.choice(["ul", "ol", "UL"])
        self.put(f"<{kind}>\n")
        for item in range(1 + self.rng.randrange(6)):
            self.put("<li>", self.phrase())
            if self.rng.randrange(4) == 0:
                self.put(f'<a href="#top-c{n}">', self.phrase(), "</a>")
            self.put("</li>")
            self.gap()
        self.put(f"</{kind}>\n")

    def form(self, n):
        self.put(f'<form action="/cgi-bin/search.cgi" method="get" name="f{n}">\n<fieldset><legend>', self.phrase(),
                 '</legend>\n<input type="text" name="query" size="30"> ',
                 '<select name="max">\n<option value="10">', self.phrase(), '</option>\n<option value="20">',
                 self.phrase(), "</option>\n</select>\n",
                 '<textarea name="note" rows="2" cols="40">', self.phrase(), "</textarea>\n",
                 '<input type="submit" value="OK"></fieldset>\n</form>\n')

    def script(self, n):
        self.put('<script type="text/javascript">\n<!--\n',
                 f"var count{n} = 0;\nfor (var i = 0; i < 10; i++) {{ if (i % 2 == 0) count{n} += i; }}\n",
                 f"document.write(\"<span class='count'>\" + count{n} + \"</span>\");\n// -->\n</script>\n")

    def comment(self, n):
        self.put("<!-- ", self.phrase(), " -->")
        self.gap()

    def paragraph(self, n):
        self.put("<p>", self.phrase(), "<br>\n", self.phrase(), f' <a href="#c{n}-0">', self.phrase(), "</a></p>\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--pages", required=True, type=pathlib.Path, help="folder of the real pages")
    parser.add_argument("--out", required=True, type=pathlib.Path, help="folder for the generated pages")
    parser.add_argument("--megabytes", type=int, nargs="*", default=[], help="one page of each size: page-<N>mb.html")
    parser.add_argument("--count", type=int, default=0, help="this many pages of --kilobytes each: page-NN.html")
    parser.add_argument("--kilobytes", type=int, default=200)
    parser.add_argument("--real-out", type=pathlib.Path, help="also write every real page, in Shift_JIS, here")
    parser.add_argument("--exclude", nargs="*", default=[], help="file names of real pages to leave out")
    args = parser.parse_args()

    paths = sorted(args.pages.glob("*.html"))
    if args.real_out:
        args.real_out.mkdir(parents=True, exist_ok=True)
        for path in paths:
            (args.real_out / path.name).write_bytes(labelled_shift_jis(to_shift_jis(path)))
    real = [to_shift_jis(path) for path in paths if path.name not in args.exclude]
    if not real:
        sys.exit(f"{args.pages}: no pages")
    bodies = [body_of(page) for page in real]
    phrases = japanese_phrases(real)
    args.out.mkdir(parents=True, exist_ok=True)

    for megabytes in args.megabytes:
        data = PageWriter(bodies, phrases, seed=megabytes).page(megabytes << 20)
        (args.out / f"page-{megabytes}mb.html").write_bytes(data)
    for index in range(args.count):
        data = PageWriter(bodies, phrases, seed=1000 + index).page(args.kilobytes << 10)
        (args.out / f"page-{index + 1:02d}.html").write_bytes(data)


if __name__ == "__main__":
    main()
