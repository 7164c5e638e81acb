#!/bin/sh
# Checks the shipped help manual: every page is well-formed HTML5 in UTF-8 with lang="ja" and no
# scripts or outside resources, ids are unique, every relative link and #anchor resolves, every
# page is reachable from index.html and links back to it, and the previous/next links form one
# chain through all pages.
#
#   scripts/check-help.sh [HELP_DIR]     (default: the help folder beside this script's folder)
#
# Exits 0 when the manual is sound, 1 with one line per fault otherwise.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
dir=${1:-"$here/../help"}
exec python3 - "$dir" <<'PY'
import os
import sys
from html.parser import HTMLParser
from urllib.parse import urlsplit, unquote

root = os.path.realpath(sys.argv[1])
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source", "track", "wbr"}
# Elements whose end tag HTML lets the parser infer; the manual closes them anyway, but a
# missing one is not malformed.
OPTIONAL_END = {"li", "dt", "dd", "p", "tr", "td", "th", "thead", "tbody", "option"}
faults = []


def fault(page, message):
    faults.append(f"{page}: {message}")


class Page(HTMLParser):
    def __init__(self, name):
        super().__init__(convert_charrefs=True)
        self.name = name
        self.stack = []
        self.ids = set()
        self.links = []          # (href, line)
        self.rel = {}            # "prev"/"next" -> set of targets
        self.doctype = False
        self.charset = False
        self.lang = None
        self.title = ""
        self.in_title = False
        self.has_h1 = False

    def handle_decl(self, decl):
        if decl.strip().lower() == "doctype html":
            self.doctype = True

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        line = self.getpos()[0]
        if tag == "html":
            self.lang = a.get("lang")
        if tag == "meta" and (a.get("charset") or "").lower() == "utf-8":
            self.charset = True
        if tag == "title":
            self.in_title = True
        if tag == "h1":
            self.has_h1 = True
        if tag == "script":
            fault(self.name, f"line {line}: <script> (the manual needs no JavaScript)")
        if "id" in a:
            if a["id"] in self.ids:
                fault(self.name, f"line {line}: duplicate id \"{a['id']}\"")
            self.ids.add(a["id"])
        for key in ("href", "src"):
            if key in a and a[key] is not None:
                self.links.append((a[key], line))
                if tag in ("a", "link") and key == "href":
                    for rel in (a.get("rel") or "").split():
                        if rel in ("prev", "next"):
                            self.rel.setdefault(rel, set()).add(a[key])
        if tag not in VOID:
            self.stack.append((tag, line))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.stack.pop()

    def handle_endtag(self, tag):
        line = self.getpos()[0]
        if tag in VOID:
            fault(self.name, f"line {line}: end tag for the void element <{tag}>")
            return
        if tag == "title":
            self.in_title = False
        while self.stack and self.stack[-1][0] != tag and self.stack[-1][0] in OPTIONAL_END:
            self.stack.pop()
        if not self.stack or self.stack[-1][0] != tag:
            opened = self.stack[-1] if self.stack else None
            where = f"<{opened[0]}> of line {opened[1]} is still open" if opened else "nothing is open"
            fault(self.name, f"line {line}: </{tag}> does not match ({where})")
            return
        self.stack.pop()

    def handle_data(self, data):
        if self.in_title:
            self.title += data


def load(name):
    path = os.path.join(root, name)
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except UnicodeDecodeError as e:
        fault(name, f"not UTF-8 ({e})")
        return None
    page = Page(name)
    page.feed(text)
    page.close()
    for tag, line in page.stack:
        if tag not in OPTIONAL_END:
            fault(name, f"<{tag}> of line {line} is never closed")
    if not page.doctype:
        fault(name, "no <!DOCTYPE html>")
    if not page.charset:
        fault(name, 'no <meta charset="utf-8">')
    if page.lang != "ja":
        fault(name, f'<html lang="ja"> expected, found lang={page.lang!r}')
    if not page.title.strip():
        fault(name, "no <title>")
    if not page.has_h1:
        fault(name, "no <h1>")
    return page


if not os.path.isfile(os.path.join(root, "index.html")):
    print(f"{root}: no index.html")
    sys.exit(1)

pages = {}
html_files = sorted(f for f in os.listdir(root) if f.endswith(".html"))
for name in html_files:
    page = load(name)
    if page is not None:
        pages[name] = page


def resolve(page, href, line):
    """The page name a link leads to (None for a link to a non-HTML file), checking it exists."""
    parts = urlsplit(href)
    if parts.scheme or parts.netloc or href.startswith("/"):
        fault(page.name, f"line {line}: {href} is not a relative link")
        return None
    target = page.name if not parts.path else os.path.normpath(unquote(parts.path))
    full = os.path.realpath(os.path.join(root, target))
    if os.path.commonpath([root, full]) != root:
        fault(page.name, f"line {line}: {href} leads outside the help folder")
        return None
    if not os.path.isfile(full):
        fault(page.name, f"line {line}: {href}: no such file")
        return None
    if parts.fragment:
        if not target.endswith(".html"):
            fault(page.name, f"line {line}: {href}: an anchor into a file that is not a page")
        elif target in pages and unquote(parts.fragment) not in pages[target].ids:
            fault(page.name, f"line {line}: {href}: no id \"{unquote(parts.fragment)}\" in {target}")
    return target if target.endswith(".html") else None


edges = {}
for name, page in pages.items():
    edges[name] = set()
    for href, line in page.links:
        target = resolve(page, href, line)
        if target is not None:
            edges[name].add(target)
    if name != "index.html" and "index.html" not in edges[name]:
        fault(name, "no link back to the table of contents (index.html)")
    if not any(href.endswith(".css") for href, _ in page.links):
        fault(name, "no stylesheet")

# Every page reachable from the table of contents.
seen, todo = {"index.html"}, ["index.html"]
while todo:
    for target in edges.get(todo.pop(), ()):
        if target not in seen:
            seen.add(target)
            todo.append(target)
for name in html_files:
    if name not in seen:
        fault(name, "not reachable from index.html")


# Previous/next: one chain from index.html through every page, each step answered backwards.
def single(page, rel):
    targets = pages[page].rel.get(rel, set()) if page in pages else set()
    if len(targets) > 1:
        fault(page, f'rel="{rel}" leads to several pages: {", ".join(sorted(targets))}')
    return os.path.normpath(unquote(urlsplit(next(iter(targets))).path)) if targets else None


chain, current = ["index.html"], "index.html"
while True:
    following = single(current, "next")
    if following is None or following == "index.html":
        break
    if following in chain:
        fault(current, f'rel="next" leads back to {following}, which is earlier in the chain')
        break
    if following not in pages:
        break  # reported as a broken link above
    back = single(following, "prev")
    if back != current:
        fault(following, f'rel="prev" leads to {back}, but {current} is the page before it')
    chain.append(following)
    current = following
for name in html_files:
    if name not in chain:
        fault(name, 'not in the chain of rel="next" links that starts at index.html')

for line in faults:
    print(line)
if faults:
    print(f"check-help: {len(faults)} fault(s) in {root}")
    sys.exit(1)
print(f"check-help: {len(pages)} pages in {root}: well-formed, every link and anchor resolves, all reachable")
PY
