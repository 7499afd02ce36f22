#!/usr/bin/env python3
"""Checks the compiled help file dovoviza.chm the way a reader opens it.

The file is unpacked with extract_chmLib (Debian package libchm-bin), a CHM
reader that shares no code with the compiler, and then checked: its system
record (title, language, default topic, contents and index files), the table
of contents, the index, every page's links and pictures, and that its content
is the content of the help/ sources.

The results go to a GoogleTest-shaped XML file, one test case per check, so
that scripts/test counts them like every other suite. The exit code is 0 only
when every check passed.
"""

import argparse
import html.parser
import os
import posixpath
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse
from xml.sax.saxutils import quoteattr

EXPECTED_TITLE = "Varnek RuvazUv Avuzuza Help"
EXPECTED_LCID = 0x0409
PROJECT_FILE = "dovoviza.hhp"
SUITE = "HelpFile"
PAGE_ENDINGS = (".htm", ".html")


class CheckFailed(Exception):
    pass


def require(condition, message):
    if not condition:
        raise CheckFailed(message)


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("cp1252", errors="replace")


class Page(html.parser.HTMLParser):
    """The links, pictures, anchors, scripts and title of an HTML page."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.links, self.images, self.anchors = [], [], set()
        self.scripts, self.title, self._in_title = 0, "", False
        self.feed(text)
        self.close()
        self.title = " ".join(self.title.split())

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        # A link may aim at <a name=...> or at any element's id.
        for anchor in (attrs.get("name") if tag == "a" else None, attrs.get("id")):
            if anchor:
                self.anchors.add(anchor)
        if tag == "a" and attrs.get("href") is not None:
            self.links.append(attrs["href"])
        elif tag == "link" and (attrs.get("rel") or "").lower() == "stylesheet":
            self.links.append(attrs.get("href") or "")
        elif tag == "img":
            self.images.append(attrs.get("src") or "")
        self.scripts += tag == "script"
        self._in_title |= tag == "title"

    def handle_endtag(self, tag):
        self._in_title &= tag != "title"

    def handle_data(self, data):
        if self._in_title:
            self.title += data


class Sitemap(html.parser.HTMLParser):
    """The entries of a .hhc or .hhk file: {names, locals, depth} per object."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.entries, self._depth, self._current = [], 0, None
        self.feed(text)
        self.close()

    def handle_starttag(self, tag, attrs):
        attrs = {k.lower(): v or "" for k, v in attrs}
        if tag == "ul":
            self._depth += 1
        elif tag == "object" and attrs.get("type", "").lower() == "text/sitemap":
            self._current = {"names": [], "locals": [], "depth": self._depth}
        elif tag == "param" and self._current is not None:
            kind = attrs.get("name", "").lower()
            if kind in ("name", "local"):
                self._current[kind + "s"].append(attrs.get("value", ""))

    def handle_endtag(self, tag):
        if tag == "ul":
            self._depth -= 1
        elif tag == "object" and self._current is not None:
            self.entries.append(self._current)
            self._current = None


def split_target(target):
    """A link's file part and anchor, without query, in the CHM's own form."""
    parsed = urllib.parse.urlsplit(target)
    return urllib.parse.unquote(parsed.path), parsed.fragment


def is_external(target):
    return urllib.parse.urlsplit(target).scheme.lower() in ("http", "https", "mailto", "ftp", "news")


def relative_files(root):
    return {os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
            for folder, _, names in os.walk(root) for name in names}


class Help:
    """The unpacked CHM and the sources it was built from."""

    def __init__(self, root, sources):
        self.root, self.sources = root, sources
        self.files = relative_files(root)
        self.content_files = {f for f in self.files
                              if not f.startswith(("#", "$", "_#_")) and "/$" not in f}
        self.pages = sorted(f for f in self.content_files if f.lower().endswith(PAGE_ENDINGS))
        self._pages = {}
        self.system = {}  # the #SYSTEM file: code -> bytes
        if "#SYSTEM" in self.files:
            with open(self.path("#SYSTEM"), "rb") as f:
                data = f.read()
            pos = 4
            while pos + 4 <= len(data):
                code, length = struct.unpack_from("<HH", data, pos)
                require(pos + 4 + length <= len(data), "#SYSTEM record %d runs past the end" % code)
                self.system[code] = data[pos + 4:pos + 4 + length]
                pos += 4 + length

    def path(self, rel):
        return os.path.join(self.root, *rel.split("/"))

    def page(self, rel):
        if rel not in self._pages:
            self._pages[rel] = Page(read_text(self.path(rel)))
        return self._pages[rel]

    def system_string(self, code, what):
        require(code in self.system, "#SYSTEM names no %s" % what)
        return self.system[code].split(b"\0")[0].decode("cp1252", errors="replace")

    def require_target(self, target, where):
        """A target resolves to a file inside and, when it has one, to an anchor of that page."""
        path, anchor = split_target(target)
        require(path, "%s: empty target %r" % (where, target))
        require(path in self.files, "%s: %r is not inside the help file" % (where, path))
        require(not anchor or anchor in self.page(path).anchors,
                "%s: %r has no anchor %r" % (where, path, anchor))
        return path

    def sitemap(self, code, what):
        name = self.system_string(code, what)
        require(name in self.files, "%s %r is not inside the help file" % (what, name))
        entries = Sitemap(read_text(self.path(name))).entries
        require(entries, "the %s is empty" % what)
        for entry in entries:
            label = entry["names"][0].strip() if entry["names"] else ""
            require(label, "an entry of the %s has no name" % what)
            for local in entry["locals"]:
                self.require_target(local, "%s entry %r" % (what, label))
        return entries

    def require_every_page(self, entries, what):
        listed = {split_target(local)[0] for e in entries for local in e["locals"]}
        missing = [p for p in self.pages if p not in listed]
        require(not missing, "pages the %s does not lead to: %s" % (what, ", ".join(missing)))


def check_header(h):
    require(h.pages, "the reader found no pages in the help file")
    title = h.system_string(3, "title")
    require(title == EXPECTED_TITLE, "title is %r, expected %r" % (title, EXPECTED_TITLE))
    require(len(h.system.get(4, b"")) >= 4, "#SYSTEM has no language record")
    lcid = struct.unpack_from("<I", h.system[4])[0]
    require(lcid == EXPECTED_LCID, "language is 0x%04x, expected 0x%04x" % (lcid, EXPECTED_LCID))
    topic = h.require_target(h.system_string(2, "default topic"), "default topic")
    require(topic.lower().endswith(PAGE_ENDINGS), "default topic %r is not a page" % topic)
    # The project's settings are the ones the file carries.
    settings, section = {}, None
    for line in read_text(os.path.join(h.sources, PROJECT_FILE)).splitlines():
        line = line.strip()
        if line.startswith("["):
            section = line.strip("[]").upper()
        elif section == "OPTIONS" and "=" in line:
            key, value = line.split("=", 1)
            settings[key.strip().lower()] = value.strip()
    for code, what in ((3, "title"), (2, "default topic"), (0, "contents file"), (1, "index file")):
        require(settings.get(what) == h.system_string(code, what), "%s differs from the project" % what)


def check_contents(h):
    entries = h.sitemap(0, "contents file")
    h.require_every_page(entries, "table of contents")
    require(any(e["depth"] > 1 for e in entries), "the table of contents has no nested entries")
    require(entries[0]["locals"], "the first contents entry opens no page")
    for entry in entries:
        for local in entry["locals"]:
            title = h.page(split_target(local)[0]).title
            require(title == entry["names"][0],
                    "contents entry %r leads to a page titled %r" % (entry["names"][0], title))


def check_index(h):
    entries = h.sitemap(1, "index file")
    require(len(entries) >= 20, "the index has only %d keywords" % len(entries))
    require(all(e["locals"] for e in entries), "an index keyword leads nowhere")
    require(len({e["names"][0] for e in entries}) == len(entries), "the index repeats keywords")
    h.require_every_page(entries, "index")
    # The viewer's Index tab reads these, not the .hhk text.
    for part in ("$WWKeywordLinks/BTree", "$WWKeywordLinks/Data", "$WWKeywordLinks/Map"):
        require(part in h.files and os.path.getsize(h.path(part)) > 0, "%s is missing or empty" % part)


def check_links_and_pictures(h):
    pictures = 0
    for page in h.pages:
        parsed, base = h.page(page), posixpath.dirname(page)
        require(not parsed.scripts, "%s needs a script" % page)
        for target in parsed.links:
            if is_external(target):
                continue
            if target.startswith("#"):
                require(target[1:] in parsed.anchors, "%s: no anchor %r" % (page, target))
                continue
            path, anchor = split_target(target)
            joined = posixpath.normpath(posixpath.join(base, path))
            h.require_target(joined + ("#" + anchor if anchor else ""), page)
        for src in parsed.images:
            require(src and not is_external(src), "%s: picture %r is not inside" % (page, src))
            path = posixpath.normpath(posixpath.join(base, split_target(src)[0]))
            require(path in h.files and os.path.getsize(h.path(path)) > 0,
                    "%s: picture %r is not inside the help file or empty" % (page, path))
            pictures += 1
    require(pictures > 0, "no page shows a picture")


def check_content_is_the_sources(h):
    # Every page, picture, style sheet, contents and index file of help/ is
    # inside, byte for byte, and nothing else is: the file was compiled from these sources.
    sources = relative_files(h.sources) - {PROJECT_FILE}
    require(any(s.lower().endswith(PAGE_ENDINGS) for s in sources), "no pages in %s" % h.sources)
    for rel in sorted(sources):
        require(rel in h.files, "%s is not inside the help file" % rel)
        with open(os.path.join(h.sources, rel), "rb") as a, open(h.path(rel), "rb") as b:
            require(a.read() == b.read(), "%s inside differs from its source" % rel)
    extra = sorted(h.content_files - sources)
    require(not extra, "files inside without a source: %s" % ", ".join(extra))


CHECKS = [
    ("TitleLanguageDefaultTopicAreTheProjects", check_header),
    ("ContentsLeadToEveryPageInsideUnderItsTitle", check_contents),
    ("IndexKeywordsLeadToEveryPageInside", check_index),
    ("LinksAndPicturesResolveInside", check_links_and_pictures),
    ("ContentIsExactlyTheSources", check_content_is_the_sources),
]


def run_checks(chm, sources):
    """(name, failure message or None, seconds) per check."""
    with tempfile.TemporaryDirectory(prefix="dovoviza-help-") as folder:
        unpacked = os.path.join(folder, "chm")
        reader = shutil.which("extract_chmLib")
        try:
            require(reader, "extract_chmLib not found: install the Debian package libchm-bin")
            require(os.path.isfile(chm), "%s does not exist" % chm)
            run = subprocess.run([reader, chm, unpacked], stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT, text=True, errors="replace")
            require(run.returncode == 0, "extract_chmLib failed (%d): %s"
                    % (run.returncode, run.stdout[-2000:]))
            help_file = Help(unpacked, sources)
        except CheckFailed as failure:
            return [("OpensWithAReader", str(failure), 0.0)]
        results = []
        for name, check in CHECKS:
            begin, message = time.time(), None
            try:
                check(help_file)
            except CheckFailed as failure:
                message = str(failure)
            except (OSError, ValueError, KeyError, struct.error) as error:
                message = "%s: %s" % (type(error).__name__, error)
            results.append((name, message, time.time() - begin))
        return results


def write_xml(path, results, elapsed):
    failures = sum(1 for _, message, _ in results if message is not None)
    stamp = time.strftime("%Y-%m-%dT%H:%M:%S")
    counts = 'tests="%d" failures="%d" disabled="0" errors="0" time="%.3f" timestamp="%s"' % (
        len(results), failures, elapsed, stamp)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<testsuites %s name="AllTests">' % counts,
             '  <testsuite name="%s" %s skipped="0">' % (SUITE, counts)]
    for name, message, seconds in results:
        head = ('    <testcase name="%s" status="run" result="completed" time="%.3f" '
                'timestamp="%s" classname="%s"' % (name, seconds, stamp, SUITE))
        if message is None:
            lines.append(head + " />")
        else:
            lines += [head + ">", '      <failure message=%s type=""></failure>' % quoteattr(message),
                      "    </testcase>"]
    lines += ["  </testsuite>", "</testsuites>", ""]
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--chm", required=True, help="the compiled help file")
    parser.add_argument("--sources", required=True, help="the help/ folder it was built from")
    parser.add_argument("--xml", required=True, help="where the results go")
    args = parser.parse_args()

    started = time.time()
    results = run_checks(args.chm, args.sources)
    write_xml(args.xml, results, time.time() - started)
    for name, message, _ in results:
        print("[%s] %s.%s%s" % ("  FAILED  " if message else "       OK ", SUITE, name,
                                ": " + message if message else ""))
    failed = sum(1 for _, message, _ in results if message)
    print("%d checks, %d failed" % (len(results), failed))
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
