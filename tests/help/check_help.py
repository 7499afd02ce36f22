#!/usr/bin/env python3
"""Checks the compiled help file dovoviza.chm the way a reader opens it.

extract_chmLib (Debian's libchm-bin), a reader that shares no code with the
compiler, unpacks it; then its title, language and default topic, the contents
and the index, every page's links and pictures, and its content against the
help/ sources are checked. Results go to GoogleTest-shaped XML, one test case
per check; the exit code is 0 only when every check passed.
"""

import argparse, html.parser, os, posixpath, struct, subprocess, sys, tempfile
import urllib.parse
from xml.sax.saxutils import quoteattr

TITLE, LCID, PAGES = "Varnek RuvazUv Avuzuza Help", 0x0409, (".htm", ".html")


class Failed(Exception):
    pass


def require(condition, message):
    if not condition:
        raise Failed(message)


def text(path):
    with open(path, "rb") as f:
        return f.read().decode("cp1252", errors="replace")


class Html(html.parser.HTMLParser):
    """A page's links, pictures, anchors and title, or a sitemap's (name, locals) entries."""

    def __init__(self, source):
        super().__init__(convert_charrefs=True)
        self.links, self.images, self.anchors, self.entries = [], [], set(), []
        self.title, self._title, self._entry = "", False, None
        self.feed(source)
        self.title = " ".join(self.title.split())

    def handle_starttag(self, tag, attrs):
        a = {k.lower(): v or "" for k, v in attrs}
        self.anchors.update(x for x in (a.get("id"), a.get("name") if tag == "a" else None) if x)
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
        elif tag == "link" and a.get("rel", "").lower() == "stylesheet":
            self.links.append(a.get("href", ""))
        elif tag == "img":
            self.images.append(a.get("src", ""))
        elif tag == "object" and a.get("type", "").lower() == "text/sitemap":
            self._entry = ["", []]
        elif tag == "param" and self._entry is not None:
            if a.get("name", "").lower() == "name" and not self._entry[0]:
                self._entry[0] = a.get("value", "").strip()
            elif a.get("name", "").lower() == "local":
                self._entry[1].append(a.get("value", ""))
        self._title |= tag == "title"

    def handle_endtag(self, tag):
        self._title &= tag != "title"
        if tag == "object" and self._entry is not None:
            self.entries.append(self._entry)
            self._entry = None

    def handle_data(self, data):
        if self._title:
            self.title += data


def files_below(root):
    return {os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/")
            for d, _, names in os.walk(root) for n in names}


class Chm:
    def __init__(self, root, sources):
        self.root, self.sources, self.files = root, sources, files_below(root)
        self.content = {f for f in self.files if not f.startswith(("#", "$", "_#_")) and "/$" not in f}
        self.pages = sorted(f for f in self.content if f.lower().endswith(PAGES))
        self.system, data, pos = {}, open(self.path("#SYSTEM"), "rb").read(), 4
        while pos + 4 <= len(data):
            code, length = struct.unpack_from("<HH", data, pos)
            self.system[code] = data[pos + 4:pos + 4 + length]
            pos += 4 + length
        require(self.pages, "the reader found no pages")

    def path(self, rel):
        return os.path.join(self.root, *rel.split("/"))

    def html(self, rel):
        return Html(text(self.path(rel)))

    def string(self, code, what):
        require(code in self.system, "#SYSTEM names no " + what)
        return self.system[code].split(b"\0")[0].decode("cp1252", errors="replace")

    def target(self, target, where):
        """A link's file is inside and, when it names one, has its anchor."""
        parts = urllib.parse.urlsplit(target)
        path = urllib.parse.unquote(parts.path)
        require(path in self.files, "%s: %r is not inside the help file" % (where, path))
        require(not parts.fragment or parts.fragment in self.html(path).anchors,
                "%s: %r has no anchor %r" % (where, path, parts.fragment))
        return path

    def sitemap(self, code, what):
        entries = self.html(self.string(code, what)).entries
        require(entries and all(name for name, _ in entries), "the %s is empty or has a nameless entry" % what)
        listed = {self.target(local, "%s entry %r" % (what, name)) for name, ls in entries for local in ls}
        missing = [p for p in self.pages if p not in listed]
        require(not missing, "pages the %s does not lead to: %s" % (what, ", ".join(missing)))
        return entries


def check_header(h):
    require(h.string(3, "title") == TITLE, "title is %r" % h.string(3, "title"))
    lcid = struct.unpack_from("<I", h.system.get(4, b"\0\0\0\0"))[0]
    require(lcid == LCID, "language is 0x%04x" % lcid)
    topic = h.target(h.string(2, "default topic"), "default topic")
    require(topic.lower().endswith(PAGES), "default topic %r is not a page" % topic)


def check_contents(h):
    for name, locals_ in h.sitemap(0, "contents"):
        for local in locals_:
            title = h.html(urllib.parse.urlsplit(local).path).title
            require(title == name, "contents entry %r leads to a page titled %r" % (name, title))


def check_index(h):
    h.sitemap(1, "index")
    # The viewer's Index tab reads these, not the .hhk text.
    for part in ("$WWKeywordLinks/BTree", "$WWKeywordLinks/Data", "$WWKeywordLinks/Map"):
        require(part in h.files and os.path.getsize(h.path(part)) > 0, part + " is missing or empty")


def check_links(h):
    for page in h.pages:
        parsed, base = h.html(page), posixpath.dirname(page)
        for link in parsed.links + parsed.images:
            if urllib.parse.urlsplit(link).scheme.lower() in ("http", "https", "mailto"):
                require(link not in parsed.images, "%s: picture %r is not inside" % (page, link))
                continue
            if link.startswith("#"):
                require(link[1:] in parsed.anchors, "%s: no anchor %r" % (page, link))
                continue
            parts = urllib.parse.urlsplit(link)
            joined = posixpath.normpath(posixpath.join(base, urllib.parse.unquote(parts.path)))
            h.target(joined + ("#" + parts.fragment if parts.fragment else ""), page)


def check_sources(h):
    # Every file of help/ is inside byte for byte, and nothing else is.
    sources = files_below(h.sources) - {"dovoviza.hhp"}
    for rel in sorted(sources):
        require(rel in h.files, rel + " is not inside the help file")
        with open(os.path.join(h.sources, rel), "rb") as a, open(h.path(rel), "rb") as b:
            require(a.read() == b.read(), rel + " inside differs from its source")
    extra = sorted(h.content - sources)
    require(not extra, "files inside without a source: " + ", ".join(extra))


CHECKS = [("TitleLanguageAndDefaultTopic", check_header), ("ContentsLeadToEveryPageUnderItsTitle", check_contents),
          ("IndexLeadsToEveryPage", check_index), ("LinksAndPicturesResolveInside", check_links),
          ("ContentIsExactlyTheSources", check_sources)]


def run(chm, sources):
    with tempfile.TemporaryDirectory(prefix="dovoviza-help-") as folder:
        try:
            done = subprocess.run(["extract_chmLib", chm, folder + "/chm"], capture_output=True, text=True)
            require(done.returncode == 0, "extract_chmLib failed: " + done.stdout[-500:] + done.stderr[-500:])
            h = Chm(folder + "/chm", sources)
        except (Failed, OSError) as failure:
            return [("OpensWithAReader", str(failure))]
        results = []
        for name, check in CHECKS:
            try:
                check(h)
                results.append((name, None))
            except (Failed, OSError, ValueError, KeyError, struct.error) as failure:
                results.append((name, "%s: %s" % (type(failure).__name__, failure)))
        return results


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    for option in ("--chm", "--sources", "--xml"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    results = run(args.chm, args.sources)
    failed = [r for r in results if r[1]]
    counts = 'tests="%d" failures="%d" disabled="0" errors="0"' % (len(results), len(failed))
    cases = ['    <testcase name="%s" status="run" classname="HelpFile"%s' % (name, (
        '>\n      <failure message=%s type=""></failure>\n    </testcase>' % quoteattr(message))
        if message else " />") for name, message in results]
    os.makedirs(os.path.dirname(os.path.abspath(args.xml)), exist_ok=True)
    with open(args.xml, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<testsuites %s name="AllTests">\n'
                '  <testsuite name="HelpFile" %s>\n%s\n  </testsuite>\n</testsuites>\n'
                % (counts, counts, "\n".join(cases)))
    for name, message in results:
        print("[%s] HelpFile.%s%s" % (" FAILED " if message else "   OK   ", name, ": " + message if message else ""))
    print("%d checks, %d failed" % (len(results), len(failed)))
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
