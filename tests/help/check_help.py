#!/usr/bin/env python3
"""Checks the compiled help file the way a reader opens it.

extract_chmLib (Debian package libchm-bin), a reader that shares no code with
the compiler, unpacks it; then its system record, contents, index, links and
pictures are checked, and that it holds exactly the help/ sources. Results go
to a GoogleTest-shaped XML file, one test case per check; exit code 0 only
when every check passed.
"""
import argparse, html.parser, os, posixpath, shutil, struct, subprocess, sys, tempfile, urllib.parse
from xml.sax.saxutils import quoteattr

PAGE = (".htm", ".html")


class Page(html.parser.HTMLParser):
    """What a page or a sitemap (.hhc, .hhk) holds: links, pictures, anchors, title, entries."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.links, self.images, self.anchors, self.entries = [], [], set(), []
        self.scripts, self.title, self.depth, self._in_title, self._entry = 0, "", 0, False, None
        self.feed(text)
        self.title = " ".join(self.title.split())

    def handle_starttag(self, tag, attrs):
        a = {k.lower(): v or "" for k, v in attrs}
        self.anchors.update(x for x in (a.get("name") if tag == "a" else None, a.get("id")) if x)
        if tag == "a" and "href" in a or tag == "link" and a.get("rel", "").lower() == "stylesheet":
            self.links.append(a.get("href", ""))
        self.images += [a.get("src", "")] if tag == "img" else []
        self.scripts += tag == "script"
        self._in_title |= tag == "title"
        self.depth += tag == "ul"
        if tag == "object" and a.get("type", "").lower() == "text/sitemap":
            self._entry = {"name": None, "locals": [], "depth": self.depth}
        elif tag == "param" and self._entry is not None:
            kind = a.get("name", "").lower()
            if kind == "name" and self._entry["name"] is None:
                self._entry["name"] = a.get("value", "").strip()
            elif kind == "local":
                self._entry["locals"].append(a.get("value", ""))

    def handle_endtag(self, tag):
        self._in_title &= tag != "title"
        self.depth -= tag == "ul"
        if tag == "object" and self._entry is not None:
            self.entries.append(self._entry)
            self._entry = None

    def handle_data(self, data):
        self.title += data if self._in_title else ""


def require(condition, message):
    if not condition:
        raise AssertionError(message)


def files_in(root):
    return {os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/") for d, _, ns in os.walk(root) for n in ns}


def checks(root, sources):
    files = files_in(root)
    read = lambda rel: open(os.path.join(root, rel), "rb").read()
    page = lambda rel: Page(read(rel).decode("cp1252", "replace"))
    content = {f for f in files if not f.startswith(("#", "$", "_#_")) and "/$" not in f}
    pages = sorted(f for f in content if f.lower().endswith(PAGE))
    data, system, pos = read("#SYSTEM") if "#SYSTEM" in files else b"", {}, 4
    while pos + 4 <= len(data):  # the #SYSTEM file: (code, length, bytes) records
        code, length = struct.unpack_from("<HH", data, pos)
        system[code], pos = data[pos + 4:pos + 4 + length], pos + 4 + length
    string = lambda code: system.get(code, b"").split(b"\0")[0].decode("cp1252", "replace")

    def target(link, where):  # a link's file inside, and its anchor on that page
        parts = urllib.parse.urlsplit(link)
        path = urllib.parse.unquote(parts.path)
        require(path in files, "%s: %r is not inside the help file" % (where, link))
        require(not parts.fragment or parts.fragment in page(path).anchors, "%s: no anchor in %r" % (where, link))
        return path

    def sitemap(code, what):
        require(string(code) in files, "the %s %r is not inside" % (what, string(code)))
        entries = page(string(code)).entries
        require(entries and all(e["name"] for e in entries), "the %s is empty or has unnamed entries" % what)
        listed = {target(l, "%s entry %r" % (what, e["name"])) for e in entries for l in e["locals"]}
        require(set(pages) <= listed, "pages the %s does not lead to: %s" % (what, sorted(set(pages) - listed)))
        return entries

    def header():
        require(pages, "the reader found no pages")
        require(string(3) == "Varnek RuvazUv Avuzuza Help", "title is %r" % string(3))
        require(system.get(4, b"\0" * 4)[:4] == struct.pack("<I", 0x0409), "the language is not 0x0409")
        require(target(string(2), "default topic").lower().endswith(PAGE), "the default topic is no page")
        project, section = {}, None
        for line in open(os.path.join(sources, "dovoviza.hhp"), encoding="cp1252").read().splitlines():
            section = line.strip().strip("[]").upper() if line.strip().startswith("[") else section
            if section == "OPTIONS" and "=" in line:
                project[line.split("=", 1)[0].strip().lower()] = line.split("=", 1)[1].strip()
        for code, what in ((3, "title"), (2, "default topic"), (0, "contents file"), (1, "index file")):
            require(project.get(what) == string(code), "the %s differs from the project's" % what)

    def contents():
        entries = sitemap(0, "contents file")
        require(any(e["depth"] > 1 for e in entries) and entries[0]["locals"], "the contents are flat or open nothing")
        for e in entries:
            for l in e["locals"]:
                require(page(target(l, e["name"])).title == e["name"], "contents entry %r leads to another title" % e["name"])

    def index():
        entries = sitemap(1, "index file")
        names = [e["name"] for e in entries]
        require(len(names) >= 20 and len(set(names)) == len(names), "too few or repeated keywords")
        require(all(e["locals"] for e in entries), "an index keyword leads nowhere")
        for part in ("BTree", "Data", "Map"):  # what the viewer's Index tab reads
            require(read("$WWKeywordLinks/" + part) if "$WWKeywordLinks/" + part in files else b"", "no keyword " + part)

    def links():
        pictures = 0
        for p in pages:
            parsed, base = page(p), posixpath.dirname(p)
            require(not parsed.scripts, "%s needs a script" % p)
            for link in parsed.links:
                if urllib.parse.urlsplit(link).scheme.lower() not in ("http", "https", "mailto"):
                    path, _, anchor = link.partition("#")
                    path = posixpath.normpath(posixpath.join(base, path)) if path else p
                    target(path + ("#" + anchor if anchor else ""), p)
            for src in parsed.images:
                path = posixpath.normpath(posixpath.join(base, src))
                require(src and path in files and read(path), "%s: picture %r is not inside or empty" % (p, src))
                pictures += 1
        require(pictures, "no page shows a picture")

    def the_sources():
        wanted = files_in(sources) - {"dovoviza.hhp"}
        for rel in sorted(wanted):
            require(rel in files and read(rel) == open(os.path.join(sources, rel), "rb").read(), "%s differs inside" % rel)
        require(not content - wanted, "files inside without a source: %s" % sorted(content - wanted))

    return [("TitleLanguageDefaultTopicAreTheProjects", header), ("ContentsLeadToEveryPageUnderItsTitle", contents),
            ("IndexKeywordsLeadToEveryPage", index), ("LinksAndPicturesResolveInside", links),
            ("ContentIsExactlyTheSources", the_sources)]


def run(chm, sources):
    with tempfile.TemporaryDirectory(prefix="dovoviza-help-") as folder:
        reader = shutil.which("extract_chmLib")
        unpacked = subprocess.run([reader, chm, folder + "/chm"], capture_output=True, text=True) if reader else None
        if not reader or unpacked.returncode or not os.path.isdir(folder + "/chm"):
            return [("OpensWithAReader", "extract_chmLib (libchm-bin) cannot open %s: %s"
                     % (chm, unpacked.stdout[-2000:] if unpacked else "not installed"))]
        results = []
        for name, check in checks(folder + "/chm", sources):
            try:
                check()
                results.append((name, None))
            except (AssertionError, OSError, ValueError, KeyError, struct.error) as error:
                results.append((name, "%s: %s" % (type(error).__name__, error)))
        return results


def main():
    parser = argparse.ArgumentParser()
    for option in ("--chm", "--sources", "--xml"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    results = run(args.chm, args.sources)
    failed = sum(1 for _, message in results if message)
    counts = 'tests="%d" failures="%d" disabled="0" errors="0"' % (len(results), failed)
    cases = ['    <testcase name="%s" status="run" classname="HelpFile"%s' % (name, " />" if not message else
             '>\n      <failure message=%s type=""/>\n    </testcase>' % quoteattr(message)) for name, message in results]
    os.makedirs(os.path.dirname(os.path.abspath(args.xml)), exist_ok=True)
    with open(args.xml, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<testsuites %s name="AllTests">\n  <testsuite name="HelpFile" %s>\n'
                '%s\n  </testsuite>\n</testsuites>\n' % (counts, counts, "\n".join(cases)))
    for name, message in results:
        print("[%s] HelpFile.%s%s" % ("  FAILED  " if message else "       OK ", name, ": " + message if message else ""))
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
