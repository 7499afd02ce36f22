#!/usr/bin/env python3
"""Checks the compiled help file dovoviza.chm the way a reader opens it.

The file is unpacked with extract_chmLib (Debian package libchm-bin), a CHM
reader that shares no code with the compiler, and then checked: its system
record (title, language, default topic, contents and index files), the table
of contents, the index, the binary topic table, every page's links and
pictures, and that its content is the content of the help/ sources.

The results go to a GoogleTest-shaped XML file, one test case per check, so
that scripts/test counts them like every other suite. The exit code is 0 only
when every check passed.
"""

import argparse
import html
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


class CheckFailed(Exception):
    pass


def require(condition, message):
    if not condition:
        raise CheckFailed(message)


# --- reading the unpacked file -------------------------------------------------

class Page(html.parser.HTMLParser):
    """The parts of an HTML page the checks look at."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []       # href values of <a>
        self.images = []      # src values of <img>
        self.stylesheets = [] # href values of <link rel=stylesheet>
        self.anchors = set()  # name and id values
        self.scripts = 0
        self.title = ""
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        # A link may aim at <a name=...> or at any element's id.
        if tag == "a" and attrs.get("name"):
            self.anchors.add(attrs["name"])
        if attrs.get("id"):
            self.anchors.add(attrs["id"])
        if tag == "a" and attrs.get("href") is not None:
            self.links.append(attrs["href"])
        elif tag == "img":
            self.images.append(attrs.get("src") or "")
        elif tag == "link" and (attrs.get("rel") or "").lower() == "stylesheet":
            self.stylesheets.append(attrs.get("href") or "")
        elif tag == "script":
            self.scripts += 1
        elif tag == "title":
            self._in_title = True

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


class Sitemap(html.parser.HTMLParser):
    """The entries of a .hhc or .hhk file: (name, local, depth) per object."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.entries = []
        self._depth = 0
        self._current = None

    def handle_starttag(self, tag, attrs):
        attrs = {k.lower(): v for k, v in attrs}
        if tag == "ul":
            self._depth += 1
        elif tag == "object" and (attrs.get("type") or "").lower() == "text/sitemap":
            self._current = {"names": [], "locals": [], "depth": self._depth}
        elif tag == "param" and self._current is not None:
            name = (attrs.get("name") or "").lower()
            if name == "name":
                self._current["names"].append(attrs.get("value") or "")
            elif name == "local":
                self._current["locals"].append(attrs.get("value") or "")

    def handle_endtag(self, tag):
        if tag == "ul":
            self._depth -= 1
        elif tag == "object" and self._current is not None:
            self.entries.append(self._current)
            self._current = None


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("cp1252", errors="replace")


def parse_page(path):
    page = Page()
    page.feed(read_text(path))
    page.close()
    return page


def parse_sitemap(path):
    sitemap = Sitemap()
    sitemap.feed(read_text(path))
    sitemap.close()
    return sitemap.entries


def system_records(path):
    """The #SYSTEM file: code -> bytes."""
    with open(path, "rb") as f:
        data = f.read()
    require(len(data) >= 4, "#SYSTEM is shorter than its header")
    records = {}
    pos = 4
    while pos + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, pos)
        require(pos + 4 + length <= len(data), "#SYSTEM record %d runs past the end" % code)
        records[code] = data[pos + 4:pos + 4 + length]
        pos += 4 + length
    return records


def c_string(data, offset=0):
    end = data.find(b"\0", offset)
    if end < 0:
        end = len(data)
    return data[offset:end].decode("cp1252", errors="replace")


def split_target(target):
    """A link's file part and anchor, without query, in the CHM's own form."""
    parsed = urllib.parse.urlsplit(target)
    return urllib.parse.unquote(parsed.path), parsed.fragment


def is_external(target):
    scheme = urllib.parse.urlsplit(target).scheme.lower()
    return scheme in ("http", "https", "mailto", "ftp", "news")


# --- the checks ------------------------------------------------------------------

class Help:
    """The unpacked CHM and the sources it was built from."""

    def __init__(self, root, sources):
        self.root = root
        self.sources = sources
        self.files = set()
        for folder, _, names in os.walk(root):
            for name in names:
                rel = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
                self.files.add(rel)
        self.content_files = {f for f in self.files
                              if not f.startswith(("#", "$", "_#_")) and "/$" not in f}
        self.pages = sorted(f for f in self.content_files if f.lower().endswith((".htm", ".html")))
        self._parsed = {}
        self._system = None

    def path(self, rel):
        return os.path.join(self.root, *rel.split("/"))

    def has(self, rel):
        return rel in self.files

    def page(self, rel):
        if rel not in self._parsed:
            self._parsed[rel] = parse_page(self.path(rel))
        return self._parsed[rel]

    def system(self):
        if self._system is None:
            require(self.has("#SYSTEM"), "the file has no #SYSTEM record")
            self._system = system_records(self.path("#SYSTEM"))
        return self._system

    def system_string(self, code, what):
        records = self.system()
        require(code in records, "#SYSTEM names no %s" % what)
        return c_string(records[code])

    def require_target(self, target, where):
        """A page-relative target of the CHM resolves to a file and, when it has
        one, to an anchor of that page."""
        path, anchor = split_target(target)
        require(path, "%s: empty target %r" % (where, target))
        require(self.has(path), "%s: %r is not inside the help file" % (where, path))
        if anchor:
            require(anchor in self.page(path).anchors,
                    "%s: %r has no anchor %r" % (where, path, anchor))
        return path

    def source_pages(self):
        return sorted(f for f in os.listdir(self.sources) if f.lower().endswith((".htm", ".html")))


def check_opens(h):
    require(h.pages, "the reader found no pages in the help file")


def check_title(h):
    title = h.system_string(3, "title")
    require(title == EXPECTED_TITLE, "title is %r, expected %r" % (title, EXPECTED_TITLE))


def check_language(h):
    records = h.system()
    require(4 in records and len(records[4]) >= 4, "#SYSTEM has no language record")
    lcid = struct.unpack_from("<I", records[4])[0]
    require(lcid == EXPECTED_LCID, "language is 0x%04x, expected 0x%04x" % (lcid, EXPECTED_LCID))


def check_default_topic(h):
    topic = h.system_string(2, "default topic")
    path = h.require_target(topic, "default topic")
    require(path.lower().endswith((".htm", ".html")), "default topic %r is not a page" % path)


def toc_entries(h):
    name = h.system_string(0, "contents file")
    require(h.has(name), "contents file %r is not inside the help file" % name)
    entries = parse_sitemap(h.path(name))
    require(entries, "the table of contents is empty")
    return entries


def check_toc_targets(h):
    entries = toc_entries(h)
    for entry in entries:
        require(entry["names"] and entry["names"][0].strip(), "a contents entry has no name")
        for local in entry["locals"]:
            h.require_target(local, "contents entry %r" % entry["names"][0])


def check_toc_lists_every_page(h):
    listed = set()
    for entry in toc_entries(h):
        for local in entry["locals"]:
            listed.add(split_target(local)[0])
    missing = [p for p in h.pages if p not in listed]
    require(not missing, "pages not in the table of contents: %s" % ", ".join(missing))


def check_toc_names_match_titles(h):
    for entry in toc_entries(h):
        for local in entry["locals"]:
            path, _ = split_target(local)
            if not h.has(path):
                continue  # reported by the targets check
            title = " ".join(h.page(path).title.split())
            require(title == entry["names"][0],
                    "contents entry %r leads to a page titled %r" % (entry["names"][0], title))


def check_toc_has_books(h):
    entries = toc_entries(h)
    require(any(e["depth"] > 1 for e in entries), "the table of contents has no nested entries")
    require(entries[0]["locals"], "the first contents entry opens no page")


def check_index(h):
    name = h.system_string(1, "index file")
    require(h.has(name), "index file %r is not inside the help file" % name)
    entries = parse_sitemap(h.path(name))
    require(len(entries) >= 20, "the index has only %d keywords" % len(entries))
    keywords = set()
    for entry in entries:
        require(entry["names"] and entry["names"][0].strip(), "an index entry has no keyword")
        require(entry["locals"], "index keyword %r leads nowhere" % entry["names"][0])
        keywords.add(entry["names"][0])
        for local in entry["locals"]:
            h.require_target(local, "index keyword %r" % entry["names"][0])
    require(len(keywords) == len(entries), "the index repeats keywords")
    indexed = {split_target(l)[0] for e in entries for l in e["locals"]}
    missing = [p for p in h.pages if p not in indexed]
    require(not missing, "pages no index keyword leads to: %s" % ", ".join(missing))


def check_binary_index(h):
    # The viewer's Index tab reads these, not the .hhk text.
    for part in ("$WWKeywordLinks/BTree", "$WWKeywordLinks/Data", "$WWKeywordLinks/Map"):
        require(h.has(part), "the help file has no %s" % part)
        require(os.path.getsize(h.path(part)) > 0, "%s is empty" % part)


def check_topic_table(h):
    # #TOPICS: 16-byte records; the third field points into #URLTBL (12-byte
    # records whose third field points into #URLSTR: two words, then the name).
    for part in ("#TOPICS", "#URLTBL", "#URLSTR", "#STRINGS"):
        require(h.has(part), "the help file has no %s" % part)
    with open(h.path("#TOPICS"), "rb") as f:
        topics = f.read()
    with open(h.path("#URLTBL"), "rb") as f:
        urltbl = f.read()
    with open(h.path("#URLSTR"), "rb") as f:
        urlstr = f.read()
    with open(h.path("#STRINGS"), "rb") as f:
        strings = f.read()
    require(topics and len(topics) % 16 == 0, "#TOPICS has a broken size")
    found = {}
    for i in range(len(topics) // 16):
        _, title_offset, url_offset, _, _ = struct.unpack_from("<IIIHH", topics, 16 * i)
        require(url_offset + 12 <= len(urltbl), "topic %d points past #URLTBL" % i)
        _, topic_index, str_offset = struct.unpack_from("<III", urltbl, url_offset)
        require(topic_index == i, "#URLTBL entry of topic %d names topic %d" % (i, topic_index))
        require(str_offset + 8 < len(urlstr), "topic %d points past #URLSTR" % i)
        local = c_string(urlstr, str_offset + 8)
        title = c_string(strings, title_offset) if title_offset < len(strings) else ""
        h.require_target(local, "topic %d" % i)
        # A page comes first under its own title (search results show it);
        # index keywords may add more topics for the same page after it.
        found.setdefault(local, title)
    for page in h.pages:
        require(page in found, "the topic table does not list %s" % page)
        expected = " ".join(h.page(page).title.split())
        require(found[page] == expected,
                "the topic table titles %s %r, the page says %r" % (page, found[page], expected))


def check_links(h):
    for page in h.pages:
        parsed = h.page(page)
        base = posixpath.dirname(page)
        for target in parsed.links + parsed.stylesheets:
            if is_external(target):
                continue
            if target.startswith("#"):
                require(target[1:] in parsed.anchors, "%s: no anchor %r" % (page, target))
                continue
            path, anchor = split_target(target)
            joined = posixpath.normpath(posixpath.join(base, path))
            h.require_target(joined + ("#" + anchor if anchor else ""), page)


def check_pictures(h):
    pictures = 0
    for page in h.pages:
        base = posixpath.dirname(page)
        for src in h.page(page).images:
            require(src and not is_external(src), "%s: picture %r is not inside" % (page, src))
            path = posixpath.normpath(posixpath.join(base, split_target(src)[0]))
            require(h.has(path), "%s: picture %r is not inside the help file" % (page, path))
            require(os.path.getsize(h.path(path)) > 0, "%s: picture %r is empty" % (page, path))
            pictures += 1
    require(pictures > 0, "no page shows a picture")


def check_no_scripts(h):
    with_scripts = [p for p in h.pages if h.page(p).scripts]
    require(not with_scripts, "pages with scripts: %s" % ", ".join(with_scripts))


def check_pages_from_sources(h):
    sources = h.source_pages()
    require(sources, "no pages in %s" % h.sources)
    require(sorted(sources) == h.pages,
            "pages inside %s differ from the sources %s" % (h.pages, sources))


def check_content_from_sources(h):
    # Every page, picture, style sheet, contents and index file of help/ is
    # inside, byte for byte: the file was compiled from these sources.
    compared = 0
    for folder, _, names in os.walk(h.sources):
        for name in names:
            if name == PROJECT_FILE:
                continue
            source = os.path.join(folder, name)
            rel = os.path.relpath(source, h.sources).replace(os.sep, "/")
            require(h.has(rel), "%s is not inside the help file" % rel)
            with open(source, "rb") as a, open(h.path(rel), "rb") as b:
                require(a.read() == b.read(), "%s inside differs from its source" % rel)
            compared += 1
    require(compared > 0, "no sources compared")
    extra = sorted(h.content_files - {
        os.path.relpath(os.path.join(f, n), h.sources).replace(os.sep, "/")
        for f, _, ns in os.walk(h.sources) for n in ns})
    require(not extra, "files inside without a source: %s" % ", ".join(extra))


def check_project_names_the_files(h):
    # The project's settings are the ones the file carries.
    settings = {}
    with open(os.path.join(h.sources, PROJECT_FILE), encoding="cp1252") as f:
        section = None
        for line in f:
            line = line.strip()
            if line.startswith("["):
                section = line.strip("[]").upper()
            elif section == "OPTIONS" and "=" in line:
                key, value = line.split("=", 1)
                settings[key.strip().lower()] = value.strip()
    require(settings.get("title") == h.system_string(3, "title"), "title differs from the project")
    require(settings.get("default topic") == h.system_string(2, "default topic"),
            "default topic differs from the project")
    require(settings.get("contents file") == h.system_string(0, "contents file"),
            "contents file differs from the project")
    require(settings.get("index file") == h.system_string(1, "index file"),
            "index file differs from the project")


CHECKS = [
    ("OpensWithAReader", check_opens),
    ("TitleIsTheProgramsHelpTitle", check_title),
    ("LanguageIsEnglish", check_language),
    ("DefaultTopicIsAPageInside", check_default_topic),
    ("ProjectSettingsAreCarried", check_project_names_the_files),
    ("ContentsTargetsExist", check_toc_targets),
    ("ContentsListEveryPage", check_toc_lists_every_page),
    ("ContentsNamesAreThePageTitles", check_toc_names_match_titles),
    ("ContentsHaveBooks", check_toc_has_books),
    ("IndexKeywordsLeadToPagesInside", check_index),
    ("BinaryIndexIsThere", check_binary_index),
    ("TopicTableListsEveryPage", check_topic_table),
    ("LinksResolveInside", check_links),
    ("PicturesAreInside", check_pictures),
    ("PagesNeedNoScripts", check_no_scripts),
    ("PagesAreTheSourcePages", check_pages_from_sources),
    ("ContentIsTheSources", check_content_from_sources),
]


# --- running and reporting -----------------------------------------------------

def unpack(chm, target):
    reader = shutil.which("extract_chmLib")
    if reader is None:
        raise CheckFailed("extract_chmLib not found: install the Debian package libchm-bin "
                          "(scripts/bootstrap does)")
    if not os.path.isfile(chm):
        raise CheckFailed("%s does not exist" % chm)
    run = subprocess.run([reader, chm, target], stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, text=True, errors="replace")
    if run.returncode != 0:
        raise CheckFailed("extract_chmLib failed (%d): %s" % (run.returncode, run.stdout[-2000:]))


def write_xml(path, results, elapsed):
    failures = sum(1 for _, message, _ in results if message is not None)
    stamp = time.strftime("%Y-%m-%dT%H:%M:%S")
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<testsuites tests="%d" failures="%d" disabled="0" errors="0" time="%.3f" '
        'timestamp="%s" name="AllTests">' % (len(results), failures, elapsed, stamp),
        '  <testsuite name="%s" tests="%d" failures="%d" disabled="0" skipped="0" errors="0" '
        'time="%.3f" timestamp="%s">' % (SUITE, len(results), failures, elapsed, stamp),
    ]
    for name, message, seconds in results:
        head = ('    <testcase name="%s" status="run" result="completed" time="%.3f" '
                'timestamp="%s" classname="%s"' % (name, seconds, stamp, SUITE))
        if message is None:
            lines.append(head + " />")
        else:
            lines.append(head + ">")
            lines.append("      <failure message=%s type=\"\"></failure>" % quoteattr(message))
            lines.append("    </testcase>")
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
    results = []
    with tempfile.TemporaryDirectory(prefix="dovoviza-help-") as folder:
        unpacked = os.path.join(folder, "chm")
        try:
            unpack(args.chm, unpacked)
            help_file = Help(unpacked, args.sources)
        except CheckFailed as failure:
            help_file = None
            results.append(("OpensWithAReader", str(failure), 0.0))
        if help_file is not None:
            for name, check in CHECKS:
                begin = time.time()
                try:
                    check(help_file)
                    message = None
                except CheckFailed as failure:
                    message = str(failure)
                except (OSError, ValueError, struct.error) as error:
                    message = "%s: %s" % (type(error).__name__, error)
                results.append((name, message, time.time() - begin))

    write_xml(args.xml, results, time.time() - started)
    failed = [name for name, message, _ in results if message is not None]
    for name, message, _ in results:
        print("[%s] %s.%s%s" % ("  FAILED  " if message else "       OK ", SUITE, name,
                                ": " + message if message else ""))
    print("%d checks, %d failed" % (len(results), len(failed)))
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
