#!/usr/bin/env python3
"""Checks the compiled help file the way a reader opens it: extract_chmLib (libchm-bin), which
shares no code with the compiler, unpacks it; then its system record, contents and index are
checked, and that it holds exactly the help/ sources (the build itself fails on a link to a page
or picture that is not there). One test case per check goes to a GoogleTest-shaped XML file; the
exit code is 0 only when every check passed."""
import argparse, configparser, html, os, re, shutil, struct, subprocess, sys, tempfile
from urllib.parse import unquote, urlsplit
from xml.sax.saxutils import quoteattr

TAG = re.compile(r"<(/?)(\w+)((?:[^>\"']|\"[^\"]*\"|'[^']*')*)>")
ATTRIBUTE = re.compile(r"""([\w-]+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+))""")


def parse(text):
    """A page's or sitemap's tags in order, with the depth of lists each sits in, and its title."""
    text, depth, tags = re.sub(r"<!--.*?-->", "", text, flags=re.S), 0, []
    for end, tag, rest in TAG.findall(text):
        depth += (-1 if end else 1) if tag.lower() == "ul" else 0
        if not end:
            tags.append((tag.lower(), {k.lower(): html.unescape(a or b or c) for k, a, b, c in ATTRIBUTE.findall(rest)}, depth))
    title = re.search(r"<title[^>]*>(.*?)</title>", text, re.I | re.S)
    return tags, " ".join(html.unescape(title.group(1)).split()) if title else ""


def entries(tags):
    """A sitemap's entries: name, pages and depth of each."""
    found, entry = [], None
    for tag, a, depth in tags:
        if tag == "object":
            entry = {"name": None, "locals": [], "depth": depth} if a.get("type", "").lower() == "text/sitemap" else None
            found += [entry] if entry else []
        elif tag == "param" and entry is not None:
            kind, value = a.get("name", "").lower(), a.get("value", "")
            entry["name"] = value.strip() if kind == "name" and entry["name"] is None else entry["name"]
            entry["locals"] += [value] if kind == "local" else []
    return found


def require(condition, message):
    if not condition:
        raise AssertionError(message)


def files_in(root):
    return {os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/") for d, _, ns in os.walk(root) for n in ns}


def checks(root, sources):
    files = files_in(root)
    read = lambda rel: open(os.path.join(root, rel), "rb").read() if rel in files else b""
    page = lambda rel: parse(read(rel).decode("cp1252", "replace"))
    content = {f for f in files if not f.startswith(("#", "$", "_#_")) and "/$" not in f}
    pages = sorted(f for f in content if f.lower().endswith((".htm", ".html")))
    data, system, pos = read("#SYSTEM"), {}, 4
    while pos + 4 <= len(data):  # the #SYSTEM file: (code, length, bytes) records
        code, length = struct.unpack_from("<HH", data, pos)
        system[code], pos = data[pos + 4:pos + 4 + length], pos + 4 + length
    string = lambda code: system.get(code, b"").split(b"\0")[0].decode("cp1252", "replace")

    def target(link, where):  # a link's file inside, and its anchor on that page
        path, anchor = unquote(urlsplit(link).path), urlsplit(link).fragment
        require(path in files, "%s: %r is not inside the help file" % (where, link))
        anchors = {a.get(k) for t, a, _ in page(path)[0] for k in ("name", "id") if k == "id" or t == "a"}
        require(not anchor or anchor in anchors, "%s: no anchor in %r" % (where, link))
        return path

    def sitemap(code, what):
        require(string(code) in files, "the %s %r is not inside" % (what, string(code)))
        found = entries(page(string(code))[0])
        require(found and all(e["name"] for e in found), "the %s is empty or has unnamed entries" % what)
        listed = {target(l, "%s entry %r" % (what, e["name"])) for e in found for l in e["locals"]}
        require(set(pages) <= listed, "pages the %s does not lead to: %s" % (what, sorted(set(pages) - listed)))
        return found

    def header():
        require(pages, "the reader found no pages")
        require(string(3) == "Varnek RuvazUv Avuzuza Help", "title is %r" % string(3))
        require(system.get(4, b"")[:4] == struct.pack("<I", 0x0409), "the language is not 0x0409")
        require(target(string(2), "default topic") in pages, "the default topic is no page")
        project = configparser.ConfigParser(allow_no_value=True, interpolation=None, strict=False)
        project.read(os.path.join(sources, "dovoviza.hhp"), encoding="cp1252")
        for code, what in ((3, "title"), (2, "default topic"), (0, "contents file"), (1, "index file")):
            require(project.get("OPTIONS", what, fallback=None) == string(code), "the %s differs from the project's" % what)

    def contents():
        found = sitemap(0, "contents file")
        require(any(e["depth"] > 1 for e in found) and found[0]["locals"], "the contents are flat or open nothing")
        for e in found:
            for l in e["locals"]:
                require(page(target(l, e["name"]))[1] == e["name"], "contents entry %r leads to another title" % e["name"])

    def index():
        found = sitemap(1, "index file")
        require(len(found) >= 20 and len({e["name"] for e in found}) == len(found), "too few or repeated keywords")
        require(all(e["locals"] for e in found), "an index keyword leads nowhere")
        for part in ("BTree", "Data", "Map"):  # what the viewer's Index tab reads
            require(read("$WWKeywordLinks/" + part), "no keyword " + part)

    def the_sources():
        wanted = files_in(sources) - {"dovoviza.hhp"}
        for rel in sorted(wanted):
            require(read(rel) == open(os.path.join(sources, rel), "rb").read(), "%s differs inside" % rel)
        require(not content - wanted, "files inside without a source: %s" % sorted(content - wanted))

    return [("TitleLanguageDefaultTopicAreTheProjects", header), ("ContentsLeadToEveryPageUnderItsTitle", contents),
            ("IndexKeywordsLeadToEveryPage", index), ("ContentIsExactlyTheSources", the_sources)]


def main():
    parser = argparse.ArgumentParser()
    for option in ("--chm", "--sources", "--xml"):
        parser.add_argument(option, required=True)
    args, results = parser.parse_args(), []
    with tempfile.TemporaryDirectory(prefix="dovoviza-help-") as folder:
        reader, root = shutil.which("extract_chmLib"), folder + "/chm"
        unpacked = reader and subprocess.run([reader, args.chm, root], capture_output=True, text=True)
        if not unpacked or unpacked.returncode or not os.path.isdir(root):
            output = unpacked.stdout[-2000:] if unpacked else "not installed"
            results.append(("OpensWithAReader", "extract_chmLib (libchm-bin) cannot open %s: %s" % (args.chm, output)))
        for name, check in [] if results else checks(root, args.sources):
            try:
                results.append((name, check()))
            except (AssertionError, OSError, ValueError, KeyError, struct.error, configparser.Error) as error:
                results.append((name, "%s: %s" % (type(error).__name__, error)))
    counts = 'tests="%d" failures="%d" disabled="0" errors="0"' % (len(results), sum(1 for _, m in results if m))
    cases = "".join('<testcase name="%s" classname="HelpFile">%s</testcase>\n'
                    % (name, '<failure message=%s type=""/>' % quoteattr(m) if m else "") for name, m in results)
    os.makedirs(os.path.dirname(os.path.abspath(args.xml)), exist_ok=True)
    with open(args.xml, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<testsuites %s name="AllTests">\n'
                '<testsuite name="HelpFile" %s>\n%s</testsuite>\n</testsuites>\n' % (counts, counts, cases))
    for name, m in results:
        print("[%s] HelpFile.%s%s" % ("  FAILED  " if m else "       OK ", name, ": " + m if m else ""))
    return 1 if any(m for _, m in results) or not results else 0


if __name__ == "__main__":
    sys.exit(main())
