#!/usr/bin/env python3
"""Writes the feed corpus: small documents, each with a sidecar "<file>.expect" that says what
reading it must give. The corpus test reads every pair.

    python3 generate.py        (run in this folder; it rewrites every case folder)

Sidecar lines: "key op value". Keys: status, error, title, homePage, description, logoUrl,
updated, author, categories, items, and itemN.<identity|headline|summary|link|published|
updated|categories|author|thumbnail|duration|enclosure.url|enclosure.type|enclosure.length>.
Operators: "=" equals, "~" contains, "!~" does not contain, "^" starts with. Lists are
joined with " | ", dates are ISO 8601 in UTC, an invalid date is empty. Values are trimmed;
"\\n", "\\t" and "\\s" (a space) are escapes. "@url" and "@content-type" give the document's
address and Content-Type.
"""

import base64
import json
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
URL = "http://example.org/feeds/main.xml"
GROUPS = set()
COUNT = 0

ATOM = "http://www.w3.org/2005/Atom"
ATOM03 = "http://purl.org/atom/ns#"
NS = {
    "dc": "http://purl.org/dc/elements/1.1/",
    "dcterms": "http://purl.org/dc/terms/",
    "content": "http://purl.org/rss/1.0/modules/content/",
    "media": "http://search.yahoo.com/mrss/",
    "itunes": "http://www.itunes.com/dtds/podcast-1.0.dtd",
    "atom": ATOM,
    "rdf": "http://www.w3.org/1999/02/22-rdf-syntax-ns#",
}


def xmlns(*prefixes):
    return "".join(' xmlns:%s="%s"' % (p, NS[p]) for p in prefixes)


def case(path, doc, expect, url=URL, content_type=None):
    """path: "group/name.ext"; doc: str (UTF-8) or bytes; expect: list of (key, op, value)."""
    global COUNT
    group = path.split("/")[0]
    if group not in GROUPS:
        GROUPS.add(group)
        shutil.rmtree(os.path.join(HERE, group), ignore_errors=True)
    full = os.path.join(HERE, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    data = doc.encode("utf-8") if isinstance(doc, str) else doc
    with open(full, "wb") as f:
        f.write(data)
    lines = []
    if url != URL:
        lines.append("@url = %s" % url)
    if content_type:
        lines.append("@content-type = %s" % content_type)
    keys = [k for k, _, _ in expect]
    if "status" not in keys:
        lines.append("status = complete")
    for key, op, value in expect:
        value = str(value).replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t")
        if value[:1] == " ":
            value = "\\s" + value[1:]
        if value[-1:] == " ":
            value = value[:-1] + "\\s"
        lines.append("%s %s %s" % (key, op, value))
    with open(full + ".expect", "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    COUNT += 1


def E(**kw):
    """Expectations from keywords: item0_headline="x" is item0.headline = x; a value given as
    ("~", "text") uses that operator."""
    out = []
    for key, value in kw.items():
        key = key.replace("__", ".").replace("_", ".") if key.startswith("item") else key
        key = key.replace("enclosure.length", "enclosure.length")
        if isinstance(value, tuple):
            out.append((key, value[0], value[1]))
        else:
            out.append((key, "=", value))
    return out


def rss(items, channel="", ns="", version="2.0", title="Channel"):
    return ('<?xml version="1.0" encoding="utf-8"?>\n<rss version="%s"%s><channel>'
            "<title>%s</title><link>http://example.org/</link><description>About</description>\n"
            "%s%s\n</channel></rss>\n" % (version, ns, title, channel, "".join(items)))


def item(*parts):
    return "<item>%s</item>\n" % "".join(parts)


def atom(entries, feed="", ns="", title="Feed", namespace=ATOM):
    return ('<?xml version="1.0" encoding="utf-8"?>\n<feed xmlns="%s"%s><title>%s</title>'
            '<id>urn:feed</id><updated>2024-01-02T03:04:05Z</updated>\n%s%s\n</feed>\n'
            % (namespace, ns, title, feed, "".join(entries)))


def entry(*parts):
    return "<entry>%s</entry>\n" % "".join(parts)


# ---------------------------------------------------------------------------------------------
# Entities: every named reference of HTML is read in feed text, whether XML declares it or not.

ENTITIES = [
    ("rArr", "\u21d2"), ("alpha", "\u03b1"), ("hearts", "\u2665"), ("hellip", "\u2026"),
    ("Omega", "\u03a9"), ("omega", "\u03c9"), ("larr", "\u2190"), ("harr", "\u2194"),
    ("infin", "\u221e"), ("ne", "\u2260"), ("le", "\u2264"), ("ge", "\u2265"),
    ("sum", "\u2211"), ("radic", "\u221a"), ("spades", "\u2660"), ("clubs", "\u2663"),
    ("diams", "\u2666"), ("loz", "\u25ca"), ("check", "\u2713"), ("star", "\u2606"),
    ("starf", "\u2605"), ("phone", "\u260e"), ("female", "\u2640"), ("male", "\u2642"),
    ("sharp", "\u266f"), ("flat", "\u266d"), ("euro", "\u20ac"), ("trade", "\u2122"),
    ("Alpha", "\u0391"), ("thetasym", "\u03d1"), ("nabla", "\u2207"), ("isin", "\u2208"),
    ("notin", "\u2209"), ("forall", "\u2200"), ("exist", "\u2203"), ("empty", "\u2205"),
    ("lceil", "\u2308"), ("rfloor", "\u230b"), ("lang", "\u27e8"), ("rang", "\u27e9"),
    ("bigstar", "\u2605"), ("Zopf", "\u2124"), ("Topf", "\U0001d54b"), ("fjlig", "fj"), ("NotEqualTilde", "\u2242\u0338"),
    ("ThickSpace", "\u205f\u200a"), ("nbsp", "\u00a0"), ("mdash", "\u2014"), ("ldquo", "\u201c"),
    ("rsquo", "\u2019"), ("bull", "\u2022"), ("dagger", "\u2020"), ("permil", "\u2030"),
    ("Scaron", "\u0160"), ("oelig", "\u0153"), ("frac12", "\u00bd"), ("sup2", "\u00b2"),
    ("micro", "\u00b5"), ("para", "\u00b6"), ("iexcl", "\u00a1"), ("yuml", "\u00ff"),
]
for name, char in ENTITIES:
    # The entity in the XML itself, undeclared.
    case("entities/xml-%s.xml" % name,
         rss([item("<title>a &%s; b</title><guid>g</guid>" % name)]),
         E(item0_headline="a %s b" % char if name not in ("nbsp", "ThickSpace") else "a b"))

for name, char in ENTITIES[:20]:
    # Escaped once: the HTML of a description names it; the headline is its plain text.
    case("entities/html-%s.xml" % name,
         rss([item("<description>x &amp;%s; y</description><guid>g</guid>" % name)]),
         E(item0_headline="x %s y" % char, item0_summary="x &%s; y" % name))

# The legacy names that HTML reads without ";" too, in escaped HTML.
LEGACY = [("copy", "\u00a9", "&amp;copy 2005", "\u00a9 2005"),
          ("amp", "&", "AT&amp;amp T", "AT& T"),
          ("not", "\u00ac", "&amp;notit;", "\u00acit;"),
          ("reg", "\u00ae", "Brand&amp;reg", "Brand\u00ae"),
          ("eacute", "\u00e9", "caf&amp;eacute au lait", "caf\u00e9 au lait"),
          ("lt", "<", "1 &amp;lt 2", "1 < 2"),
          ("frac34", "\u00be", "&amp;frac34 cup", "\u00be cup"),
          ("nbsp", "\u00a0", "a&amp;nbspb", "a b"),
          ("middot", "\u00b7", "a &amp;middot b", "a \u00b7 b"),
          ("sect", "\u00a7", "&amp;sect5", "\u00a75")]
for name, _, text, plain in LEGACY:
    case("entities/legacy-%s.xml" % name,
         rss([item("<title>%s</title><guid>g</guid>" % text)]), E(item0_headline=plain))

# Names that need ";": without it they stay as written.
for text, plain in [("&amp;hellip and", "&hellip and"), ("&amp;rArr x", "&rArr x"),
                    ("&amp;alpha1", "&alpha1")]:
    case("entities/needs-semicolon-%s.xml" % text.split(";")[1].split()[0],
         rss([item("<title>%s</title><guid>g</guid>" % text)]), E(item0_headline=plain))

# Numeric references: 128..159 are Windows-1252's characters, as HTML reads them.
for number, char in [(146, "\u2019"), (147, "\u201c"), (150, "\u2013"), (151, "\u2014"),
                     (128, "\u20ac"), (133, "\u2026")]:
    case("entities/numeric-%d.xml" % number,
         rss([item("<title>a &#%d; b</title><guid>g</guid>" % number)]),
         E(item0_headline="a %s b" % char))
    case("entities/numeric-escaped-%d.xml" % number,
         rss([item("<title>a &amp;#%d; b</title><guid>g</guid>" % number)]),
         E(item0_headline="a %s b" % char))

case("entities/unknown-kept.xml", rss([item("<title>a &nosuchthing; b</title><guid>g</guid>")]),
     E(item0_headline="a &nosuchthing; b"))
case("entities/in-attribute.xml",
     rss([item('<title>t</title><guid>g</guid><enclosure url="http://example.org/a&hellip;b.mp3" '
               'type="audio/mpeg" length="1"/>')]),
     E(item0_enclosure__url="http://example.org/a\u2026b.mp3"))
case("entities/lt-entity-is-text.xml", rss([item("<title>x &LT; y &AMP; z</title><guid>g</guid>")]),
     E(item0_headline="x < y & z"))
case("entities/declared-wins.xml",
     '<?xml version="1.0"?>\n<!DOCTYPE rss [<!ENTITY hellip "...">]>\n'
     + rss([item("<title>wait&hellip;</title><guid>g</guid>")]).split("\n", 1)[1],
     E(item0_headline="wait..."))

# ---------------------------------------------------------------------------------------------
# Encodings: byte-order mark, then the declaration, then the transport's charset, else UTF-8.

TEXT = "Caf\u00e9 \u201cna\u00efve\u201d \u2014 \u00fcber"
PLAIN_DOC = ('<rss version="2.0"><channel><title>%s</title><item><title>%s</title>'
             "<guid>g</guid></item></channel></rss>" % (TEXT, TEXT))


def decl(encoding):
    return '<?xml version="1.0" encoding="%s"?>\n' % encoding


for codec, label in [("utf-16-le", "utf-16le"), ("utf-16-be", "utf-16be"),
                     ("utf-32-le", "utf-32le"), ("utf-32-be", "utf-32be")]:
    bom = {"utf-16-le": b"\xff\xfe", "utf-16-be": b"\xfe\xff", "utf-32-le": b"\xff\xfe\x00\x00",
           "utf-32-be": b"\x00\x00\xfe\xff"}[codec]
    doc = decl("utf-16" if "16" in codec else "utf-32") + PLAIN_DOC
    case("encodings/%s-bom.xml" % label, bom + doc.encode(codec), E(title=TEXT, item0_headline=TEXT))
    case("encodings/%s-no-bom.xml" % label, doc.encode(codec), E(title=TEXT, item0_headline=TEXT))
    case("encodings/%s-no-declaration.xml" % label, PLAIN_DOC.encode(codec), E(title=TEXT))

case("encodings/utf8-bom.xml", b"\xef\xbb\xbf" + (decl("utf-8") + PLAIN_DOC).encode("utf-8"),
     E(title=TEXT))
case("encodings/utf8-no-declaration.xml", PLAIN_DOC.encode("utf-8"), E(title=TEXT))
LATIN = "Caf\u00e9 \u00fcber na\u00efve"
LATIN_DOC = '<rss version="2.0"><channel><title>%s</title></channel></rss>' % LATIN
case("encodings/latin1-declared.xml", (decl("ISO-8859-1") + LATIN_DOC).encode("latin-1"),
     E(title=LATIN))
case("encodings/latin1-declared-holds-cp1252.xml",
     (decl("iso-8859-1") + PLAIN_DOC).encode("cp1252"), E(title=TEXT))
case("encodings/cp1252-declared.xml", (decl("windows-1252") + PLAIN_DOC).encode("cp1252"),
     E(title=TEXT))
case("encodings/cp1252-bytes-in-utf8.xml",
     (decl("utf-8") + PLAIN_DOC).encode("utf-8").replace(
         "\u201cna\u00efve\u201d".encode("utf-8"), b"\x93na\xefve\x94"),
     E(title=TEXT))
case("encodings/cp1252-bytes-undeclared.xml", PLAIN_DOC.encode("cp1252"), E(title=TEXT))
KOI = "\u041d\u043e\u0432\u043e\u0441\u0442\u0438"  # "Novosti"
KOI_DOC = '<rss version="2.0"><channel><title>%s</title></channel></rss>' % KOI
case("encodings/koi8r-declared.xml", (decl("KOI8-R") + KOI_DOC).encode("koi8-r"), E(title=KOI))
case("encodings/koi8r-from-transport.xml", KOI_DOC.encode("koi8-r"), E(title=KOI),
     content_type="application/rss+xml; charset=KOI8-R")
case("encodings/transport-quoted-charset.xml", KOI_DOC.encode("koi8-r"), E(title=KOI),
     content_type='text/xml; charset="koi8-r"')
case("encodings/declaration-beats-transport.xml",
     (decl("iso-8859-1") + LATIN_DOC).encode("latin-1"), E(title=LATIN),
     content_type="text/xml; charset=utf-8")
case("encodings/bom-beats-declaration.xml",
     b"\xff\xfe" + (decl("iso-8859-1") + PLAIN_DOC).encode("utf-16-le"), E(title=TEXT))
case("encodings/utf16-declared-but-ascii.xml", (decl("UTF-16") + PLAIN_DOC).encode("utf-8"),
     E(title=TEXT))
JA = "\u65e5\u672c\u8a9e\u306e\u30cb\u30e5\u30fc\u30b9"
JA_DOC = '<rss version="2.0"><channel><title>%s</title></channel></rss>' % JA
case("encodings/shift-jis.xml", (decl("Shift_JIS") + JA_DOC).encode("shift_jis"), E(title=JA))
case("encodings/euc-jp.xml", (decl("EUC-JP") + JA_DOC).encode("euc_jp"), E(title=JA))
ZH = "\u4e2d\u6587\u65b0\u95fb"
case("encodings/gb2312.xml",
     (decl("gb2312") + '<rss version="2.0"><channel><title>%s</title></channel></rss>' % ZH)
     .encode("gb2312"), E(title=ZH))
case("encodings/iso-8859-15-euro.xml",
     (decl("iso-8859-15") + '<rss version="2.0"><channel><title>5 \u20ac</title></channel></rss>')
     .encode("iso-8859-15"), E(title="5 \u20ac"))
case("encodings/unknown-declared.xml", decl("x-no-such-charset") + LATIN_DOC,
     [("status", "=", "failed"), ("error", "~", "x-no-such-charset")])
case("encodings/leading-white-space.xml", "\n\n   " + decl("utf-8") + PLAIN_DOC, E(title=TEXT))
case("encodings/control-characters.xml",
     rss([item("<title>bell\x07and\x0bvertical\x1ftab</title><guid>g</guid>")]),
     E(item0_headline="bell and vertical tab"))

# ---------------------------------------------------------------------------------------------
# RSS in every version and namespace form.

RDF_HEAD = ('<?xml version="1.0"?>\n<rdf:RDF xmlns:rdf="%s" xmlns="%%s"%s>\n' % (NS["rdf"], xmlns("dc")))
RDF_BODY = ('<channel rdf:about="http://example.org/"><title>RDF site</title>'
            "<link>http://example.org/</link><description>d</description></channel>\n"
            '<image rdf:about="http://example.org/logo.png"><url>http://example.org/logo.png</url>'
            "</image>\n"
            '<item rdf:about="http://example.org/1"><title>One</title><link>http://example.org/1'
            "</link></item>\n"
            '<item rdf:about="http://example.org/2"><title>Two</title><link>http://example.org/2'
            "</link><dc:date>2020-02-03T04:05:06Z</dc:date></item>\n</rdf:RDF>\n")
for name, ns in [("rss10", "http://purl.org/rss/1.0/"),
                 ("rss10-no-slash", "http://purl.org/rss/1.0"),
                 ("rss090", "http://my.netscape.com/rdf/simple/0.9/"),
                 ("rss090-channel-netscape", "http://channel.netscape.com/rdf/simple/0.9/"),
                 ("rdf-unknown-default-namespace", "http://example.com/rss-namespace#")]:
    case("rss/%s.rdf" % name, RDF_HEAD % ns + RDF_BODY,
         E(title="RDF site", logoUrl="http://example.org/logo.png", items=2,
           item0_identity="http://example.org/1", item1_headline="Two",
           item1_published="2020-02-03T04:05:06Z"))
case("rss/rdf-prefixed-elements.rdf",
     '<rdf:RDF xmlns:rdf="%s" xmlns:rss="http://purl.org/rss/1.0/">'
     '<rss:channel><rss:title>Prefixed</rss:title></rss:channel>'
     '<rss:item rdf:about="urn:x:1"><rss:title>P1</rss:title></rss:item></rdf:RDF>' % NS["rdf"],
     E(title="Prefixed", items=1, item0_identity="urn:x:1", item0_headline="P1"))
case("rss/rdf-about-identity-without-link.rdf",
     '<rdf:RDF xmlns:rdf="%s" xmlns="http://purl.org/rss/1.0/"><channel><title>c</title>'
     '</channel><item rdf:about="urn:isbn:123"><title>Book</title></item></rdf:RDF>' % NS["rdf"],
     E(item0_identity="urn:isbn:123", item0_link=""))
for version in ["0.91", "0.92", "0.93", "0.94", "2.0", "2.0.1"]:
    case("rss/version-%s.xml" % version,
         rss([item("<title>First</title><link>http://example.org/a</link>"
                   "<description>Body</description>")], version=version),
         E(title="Channel", homePage="http://example.org/", items=1, item0_headline="First",
           item0_identity="http://example.org/a", item0_summary="Body"))
case("rss/netscape-091-doctype.xml",
     '<?xml version="1.0" encoding="ISO-8859-1"?>\n<!DOCTYPE rss PUBLIC '
     '"-//Netscape Communications//DTD RSS 0.91//EN" '
     '"http://my.netscape.com/publish/formats/rss-0.91.dtd">\n'
     + rss([item("<title>Old&eacute;</title><link>http://example.org/o</link>")],
           version="0.91").split("\n", 1)[1],
     E(item0_headline="Old\u00e9"))
for name, ns in [("userland-rss2", "http://backend.userland.com/rss2"),
                 ("purl-rss2", "http://purl.org/rss/2.0/"),
                 ("made-up", "http://example.com/our-own-rss")]:
    case("rss/default-namespace-%s.xml" % name,
         rss([item("<title>Namespaced</title><guid>n1</guid><pubDate>Mon, 01 Jan 2024 10:00:00 GMT"
                   "</pubDate>")], ns=' xmlns="%s"' % ns),
         E(title="Channel", items=1, item0_headline="Namespaced", item0_identity="n1",
           item0_published="2024-01-01T10:00:00Z"))
case("rss/items-outside-channel.xml",
     '<rss version="0.92"><channel><title>Sloppy</title></channel>'
     "<item><title>Outside</title><link>http://example.org/o</link></item></rss>",
     E(title="Sloppy", items=1, item0_headline="Outside"))
case("rss/uppercase-root.xml", '<RSS version="2.0"><channel><title>Loud</title></channel></RSS>',
     E(title="Loud", items=0))
case("rss/empty-channel.xml", '<rss version="2.0"><channel/></rss>', E(title="", items=0))
case("rss/channel-fields.xml",
     rss([], channel="<image><url>/img/logo.png</url><title>l</title><link>/</link></image>"
                     "<lastBuildDate>Tue, 10 Jun 2003 09:41:01 GMT</lastBuildDate>"
                     "<managingEditor>editor@example.org (Ed Itor)</managingEditor>"
                     "<category>News</category><category>World / Europe</category>"),
     E(logoUrl="http://example.org/img/logo.png", updated="2003-06-10T09:41:01Z",
       author="Ed Itor", categories="News | World/Europe", description="About"))
case("rss/channel-relative-link-escaped-description.xml",
     '<rss version="2.0"><channel><title>World  &amp; Nation</title><link>/world/</link>'
     "<description>Stories from &lt;b&gt;everywhere&lt;/b&gt;</description></channel></rss>",
     E(title="World & Nation", homePage="http://example.org/world/",
       description="Stories from <b>everywhere</b>"))
case("rss/pubdate-when-no-lastbuilddate.xml",
     rss([], channel="<pubDate>Tue, 10 Jun 2003 04:00:00 GMT</pubDate>"),
     E(updated="2003-06-10T04:00:00Z"))
case("rss/description-markup-unescaped.xml",
     rss([item("<description><p>Kept <b>as</b> markup &amp; text</p></description>")]),
     E(item0_summary="<p>Kept <b>as</b> markup & text</p>", item0_headline="Kept as markup & text"))
case("rss/description-cdata.xml",
     rss([item("<title><![CDATA[A <b>bold</b> title]]></title>"
               "<description><![CDATA[<p>Para</p>]]></description>")]),
     E(item0_headline="A bold title", item0_summary="<p>Para</p>"))
case("rss/encoded-when-description-empty.xml",
     rss([item("<title>t</title><description>  </description>"
               "<content:encoded>&lt;p&gt;Long&lt;/p&gt;</content:encoded>")],
         ns=xmlns("content")),
     E(item0_summary="<p>Long</p>"))
case("rss/description-beats-encoded.xml",
     rss([item("<title>t</title><description>Short</description>"
               "<content:encoded>&lt;p&gt;Long&lt;/p&gt;</content:encoded>")],
         ns=xmlns("content")),
     E(item0_summary="Short"))
case("rss/encoded-when-description-only-tags.xml",
     rss([item("<title>t</title><description>&lt;p&gt;&lt;/p&gt;</description>"
               "<content:encoded>Real</content:encoded>")], ns=xmlns("content")),
     E(item0_summary="Real"))
case("rss/guid-permalink.xml",
     rss([item("<description>Only a body here</description>"
               "<guid>https://example.org/2003/05/30/permalink</guid>")]),
     E(item0_link="https://example.org/2003/05/30/permalink",
       item0_identity="https://example.org/2003/05/30/permalink", item0_headline="Only a body here"))
case("rss/guid-not-permalink.xml",
     rss([item('<title>t</title><guid isPermaLink="false">http://example.org/not-a-page</guid>')]),
     E(item0_link="", item0_identity="http://example.org/not-a-page"))
case("rss/guid-blank-falls-back-to-link.xml",
     rss([item("<title>t</title><guid>   </guid><link>http://example.org/2</link>")]),
     E(item0_identity="http://example.org/2"))
case("rss/identity-hash.xml",
     rss([item("<title>Same</title><pubDate>Mon, 01 Jan 2024 10:00:00 GMT</pubDate>")]),
     E(item0_identity=("^", "hash:")))
case("rss/untitled-long-summary.xml",
     rss([item("<description>A very long body without any title that goes on and on and on well "
               "past the length that a headline in the list can show to anybody</description>")]),
     E(item0_headline="A very long body without any title that goes on and on and on well past "
                      "the..."))
case("rss/item-author-plain.xml", rss([item("<title>t</title><author>Jane Doe</author>")]),
     E(item0_author="Jane Doe"))
case("rss/item-author-email-name.xml",
     rss([item("<title>t</title><author>jane@example.org (Jane Doe)</author>")]),
     E(item0_author="Jane Doe"))
case("rss/item-author-name-address.xml",
     rss([item("<title>t</title><author>Jane Doe &lt;jane@example.org&gt;</author>")]),
     E(item0_author="Jane Doe"))
case("rss/categories.xml",
     rss([item("<title>c</title><category>/Sports//Golf/ </category><category>  </category>"
               "<category>/</category><category>Arts &amp;amp; Culture / Film</category>"
               "<category>Sports/Golf</category>")]),
     E(item0_categories="Sports/Golf | Arts & Culture/Film"))
case("rss/many-items-order.xml",
     rss([item("<title>Item %d</title><guid>%d</guid>" % (i, i)) for i in range(12)]),
     E(items=12, item0_headline="Item 0", item11_headline="Item 11", item5_identity="5"))

# ---------------------------------------------------------------------------------------------
# Atom 1.0, Atom 0.3 and the drafts between.

case("atom/basic.atom",
     atom([entry('<title>First</title><id>urn:e:1</id><link href="http://example.org/1"/>'
                 "<updated>2024-02-03T04:05:06Z</updated><summary>Sum</summary>")],
          feed='<link rel="alternate" href="http://example.org/"/><subtitle>Sub</subtitle>'
               "<logo>http://example.org/logo.png</logo>"),
     E(title="Feed", homePage="http://example.org/", description="Sub",
       logoUrl="http://example.org/logo.png", updated="2024-01-02T03:04:05Z", items=1,
       item0_identity="urn:e:1", item0_headline="First", item0_link="http://example.org/1",
       item0_published="2024-02-03T04:05:06Z", item0_updated="2024-02-03T04:05:06Z",
       item0_summary="Sum"))
case("atom/published-beats-updated.atom",
     atom([entry("<title>t</title><id>i</id><updated>2005-07-31T12:29:29Z</updated>"
                 "<published>2003-12-13T08:29:29-04:00</published>")]),
     E(item0_published="2003-12-13T12:29:29Z", item0_updated="2005-07-31T12:29:29Z"))
case("atom/title-types.atom",
     atom([entry('<title type="text">x &lt; y</title><id>1</id>'),
           entry('<title type="html">a &lt;b&gt;bold&lt;/b&gt; move</title><id>2</id>'),
           entry('<title type="xhtml"><div xmlns="http://www.w3.org/1999/xhtml">an '
                 "<i>xhtml</i> title</div></title><id>3</id>")]),
     E(item0_headline="x < y", item1_headline="a bold move", item2_headline="an xhtml title"))
case("atom/feed-title-html.atom",
     '<feed xmlns="%s"><title type="html">Dive &lt;b&gt;into&lt;/b&gt; mark</title></feed>' % ATOM,
     E(title="Dive into mark"))
case("atom/subtitle-text-is-escaped.atom",
     atom([], feed='<subtitle type="text">A &lt;em&gt;lot&lt;/em&gt;</subtitle>'),
     E(description="A &lt;em&gt;lot&lt;/em&gt;"))
case("atom/content-html.atom",
     atom([entry('<title>t</title><id>i</id><content type="html">&lt;p&gt;Content '
                 "&lt;b&gt;only&lt;/b&gt;&lt;/p&gt;</content>")]),
     E(item0_summary="<p>Content <b>only</b></p>"))
case("atom/content-text.atom",
     atom([entry('<title>t</title><id>i</id><content type="text">1 &lt; 2 &amp; 3</content>')]),
     E(item0_summary="1 &lt; 2 &amp; 3"))
case("atom/content-xhtml-div-dropped.atom",
     atom([entry('<title>t</title><id>i</id><content type="xhtml"><div '
                 'xmlns="http://www.w3.org/1999/xhtml"><p>Hi <a href="http://example.org/x">'
                 "there</a> &amp; more</p></div></content>")]),
     E(item0_summary='<p>Hi <a href="http://example.org/x">there</a> &amp; more</p>'))
case("atom/content-application-xhtml.atom",
     atom([entry('<title>t</title><id>i</id><content type="application/xhtml+xml"><div '
                 'xmlns="http://www.w3.org/1999/xhtml"><p>Inline <em>xhtml</em></p></div>'
                 "</content>")]),
     E(item0_summary="<p>Inline <em>xhtml</em></p>", item0_headline="t"))
case("atom/content-xhtml-prefixed.atom",
     atom([entry('<title>t</title><id>i</id><content type="xhtml"><x:div '
                 'xmlns:x="http://www.w3.org/1999/xhtml"><x:p>Prefixed</x:p></x:div></content>')]),
     E(item0_summary="<p>Prefixed</p>"))
HTML_B64 = base64.b64encode("<p>Decoded <b>HTML</b> \u00e9</p>".encode("utf-8")).decode()
case("atom/content-base64-html.atom",
     atom([entry('<title>t</title><id>i</id><content type="text/html" mode="base64">%s'
                 "</content>" % HTML_B64)], namespace=ATOM03),
     E(item0_summary="<p>Decoded <b>HTML</b> \u00e9</p>"))
case("atom/content-base64-wrapped-lines.atom",
     atom([entry('<title>t</title><id>i</id><content type="text/html" mode="base64">%s\n%s'
                 "</content>" % (HTML_B64[:20], HTML_B64[20:]))], namespace=ATOM03),
     E(item0_summary="<p>Decoded <b>HTML</b> \u00e9</p>"))
case("atom/content-base64-media-type.atom",
     atom([entry('<title>t</title><id>i</id><summary>Picture</summary>'
                 '<content type="image/png">iVBORw0KGgo=</content>')]),
     E(item0_summary="Picture"))
case("atom/content-base64-text-plain.atom",
     atom([entry('<title>t</title><id>i</id><content type="text/plain" mode="base64">%s'
                 "</content>" % base64.b64encode(b"a < b").decode())], namespace=ATOM03),
     E(item0_summary="a &lt; b"))
case("atom/content-relative-links.atom",
     '<feed xmlns="%s" xml:base="http://blog.example.net/"><title>r</title><entry><title>t</title>'
     '<id>i</id><content type="html" xml:base="/2024/post/">&lt;p&gt;&lt;a href="other.html"&gt;'
     'o&lt;/a&gt; &lt;img src=\'/img/a.png?x=1&amp;amp;y=2\' alt="a"&gt; &lt;a href="#top"&gt;t'
     '&lt;/a&gt; &lt;a href="mailto:x@example.org"&gt;m&lt;/a&gt; &lt;img src=pic.jpg&gt;'
     "&lt;/p&gt;</content></entry></feed>" % ATOM,
     E(item0_summary='<p><a href="http://blog.example.net/2024/post/other.html">o</a> '
                     '<img src="http://blog.example.net/img/a.png?x=1&amp;y=2" alt="a"> '
                     '<a href="#top">t</a> <a href="mailto:x@example.org">m</a> '
                     '<img src="http://blog.example.net/2024/post/pic.jpg"></p>'))
case("rss/description-relative-links.xml",
     rss([item('<title>t</title><description>&lt;img src="/i.png"&gt; &lt;a '
               'href="javascript:x()"&gt;j&lt;/a&gt; &lt;a href=\'https://other.example/\'&gt;'
               "a&lt;/a&gt;</description>")]),
     E(item0_summary='<img src="http://example.org/i.png"> <a href="javascript:x()">j</a> '
                     "<a href='https://other.example/'>a</a>"))
case("atom/content-src-is-link.atom",
     atom([entry('<title>t</title><id>i</id><content src="http://example.org/full" '
                 'type="text/html"/>')]),
     E(item0_link="http://example.org/full"))
case("atom/summary-beats-content.atom",
     atom([entry('<title>t</title><id>i</id><summary>S</summary><content type="html">C</content>')]),
     E(item0_summary="S"))
case("atom/links.atom",
     atom([entry('<title>t</title><id>i</id><link rel="self" href="http://example.org/self"/>'
                 '<link rel="related" href="http://elsewhere.example.net/story"/>'),
           entry('<title>t</title><id>j</id><link rel="alternate" type="text/html" '
                 'href="http://example.org/alt"/><link rel="enclosure" type="audio/mpeg" '
                 'length="1337" href="http://example.org/a.mp3"/>')]),
     E(item0_link="http://elsewhere.example.net/story", item1_link="http://example.org/alt",
       item1_enclosure__url="http://example.org/a.mp3", item1_enclosure__type="audio/mpeg",
       item1_enclosure__length=1337))
case("atom/no-id-uses-link.atom",
     atom([entry('<title>t</title><link href="http://example.org/x"/>')]),
     E(item0_identity="http://example.org/x"))
case("atom/xml-base-nested.atom",
     '<feed xmlns="%s" xml:base="https://blog.example.com/atom/"><title>B</title>'
     '<link rel="alternate" href="../"/><logo>logo.png</logo>'
     '<entry xml:base="/2005/"><title>t</title><id>i</id><link href="07/28/atom"/>'
     '<link rel="enclosure" href="audio/p.mp3" type="audio/mpeg"/></entry></feed>' % ATOM,
     E(homePage="https://blog.example.com/", logoUrl="https://blog.example.com/atom/logo.png",
       item0_link="https://blog.example.com/2005/07/28/atom",
       item0_enclosure__url="https://blog.example.com/2005/audio/p.mp3"))
case("atom/xml-base-on-link.atom",
     atom([entry('<title>t</title><id>i</id><link xml:base="http://other.example.net/dir/" '
                 'href="page"/>')]),
     E(item0_link="http://other.example.net/dir/page"))
case("atom/relative-against-document.atom",
     atom([entry('<title>t</title><id>i</id><link href="../stories/1"/>')],
          feed='<icon>/favicon.ico</icon>'),
     E(item0_link="http://example.org/stories/1", logoUrl="http://example.org/favicon.ico"))
case("atom/logo-beats-icon.atom",
     atom([], feed="<logo>http://example.org/logo.png</logo><icon>http://example.org/i.ico</icon>"),
     E(logoUrl="http://example.org/logo.png"))
case("atom/icon-then-logo.atom",
     atom([], feed="<icon>http://example.org/i.ico</icon><logo>http://example.org/logo.png</logo>"),
     E(logoUrl="http://example.org/logo.png"))
case("atom/categories.atom",
     atom([entry('<title>t</title><id>i</id><category term="tech" label="Technology / Standards"/>'
                 '<category term="atom"/><category term=""/>')],
          feed='<category term="feeds"/>'),
     E(categories="feeds", item0_categories="Technology/Standards | atom"))
case("atom/authors.atom",
     atom([entry("<title>own</title><id>1</id><author><name>Mark</name>"
                 "<email>mark@example.org</email></author>"),
           entry("<title>inherits</title><id>2</id>"),
           entry("<title>email only</title><id>3</id><author><email>e@example.org</email></author>")],
          feed="<author><name>Feed Author</name></author>"),
     E(author="Feed Author", item0_author="Mark", item1_author="Feed Author",
       item2_author="e@example.org"))
case("atom/untitled-entry.atom",
     atom([entry('<id>i</id><content type="html">&lt;p&gt;Just content here&lt;/p&gt;</content>')]),
     E(item0_headline="Just content here"))
case("atom/fractional-seconds.atom",
     atom([entry("<title>t</title><id>i</id><updated>2005-08-01T01:02:03.5+02:00</updated>")]),
     E(item0_published="2005-07-31T23:02:03.500Z"))
case("atom/entries-with-dublin-core.atom",
     atom([entry("<id>i</id><dc:title>DC title</dc:title><dc:date>2010-05-06T07:08:09Z</dc:date>"
                 "<dc:creator>Creator</dc:creator><dc:subject>Topic</dc:subject>")],
          ns=xmlns("dc")),
     E(item0_headline="DC title", item0_published="2010-05-06T07:08:09Z", item0_author="Creator",
       item0_categories="Topic"))
ATOM03_DOC = ('<?xml version="1.0"?>\n<feed version="0.3" xmlns="%s">'
              '<title mode="escaped" type="text/html">Old &lt;b&gt;Atom&lt;/b&gt;</title>'
              '<tagline>Tag line</tagline><link rel="alternate" type="text/html" '
              'href="http://example.org/"/><modified>2004-01-02T03:04:05Z</modified>'
              "<author><name>Old Author</name></author>"
              "<entry><title>Entry</title><id>tag:example.org,2004:1</id>"
              '<link rel="alternate" type="text/html" href="http://example.org/e1"/>'
              "<issued>2004-01-01T00:00:00-05:00</issued><modified>2004-01-02T00:00:00Z</modified>"
              '<content type="text/html" mode="escaped">&lt;p&gt;Escaped&lt;/p&gt;</content>'
              "</entry>"
              "<entry><title>XML mode</title><id>tag:example.org,2004:2</id>"
              '<content type="application/xhtml+xml" mode="xml"><div '
              'xmlns="http://www.w3.org/1999/xhtml"><p>Inline</p></div></content></entry>'
              "</feed>\n")
for name, ns in [("atom03", ATOM03),
                 ("draft-07", "http://purl.org/atom/ns#draft-ietf-atompub-format-07"),
                 ("draft-09", "http://purl.org/atom/ns#draft-ietf-atompub-format-09"),
                 ("newformat", "http://example.com/newformat#"),
                 ("necronomicorp", "http://necronomicorp.com/ns/atom#"),
                 ("echo", "http://purl.org/echo/"),
                 ("pie", "http://purl.org/pie/")]:
    case("atom/%s.atom" % name, ATOM03_DOC % ns,
         E(title="Old Atom", description="Tag line", homePage="http://example.org/",
           updated="2004-01-02T03:04:05Z", author="Old Author", items=2,
           item0_identity="tag:example.org,2004:1", item0_link="http://example.org/e1",
           item0_published="2004-01-01T05:00:00Z", item0_summary="<p>Escaped</p>",
           item0_author="Old Author", item1_summary="<p>Inline</p>"))
case("atom/no-namespace-with-version.atom",
     '<feed version="0.3"><title>Bare</title><entry><title>E</title><id>1</id></entry></feed>',
     E(title="Bare", items=1, item0_headline="E"))
case("atom/feed-without-namespace-is-not-atom.xml", "<feed><title>x</title></feed>",
     [("status", "=", "failed"), ("error", "~", "not a feed")])
case("atom/uppercase-namespace.atom",
     '<feed xmlns="http://www.w3.org/2005/atom"><title>Case</title></feed>', E(title="Case"))

# ---------------------------------------------------------------------------------------------
# JSON Feed 1.0 and 1.1.

def jf(items, version="1.1", **feed):
    doc = {"version": "https://jsonfeed.org/version/%s" % version, "title": "JSON"}
    doc.update(feed)
    doc["items"] = items
    return json.dumps(doc, indent=1, ensure_ascii=False)


case("json/basic-11.json",
     jf([{"id": "1", "url": "https://example.org/1", "title": "One",
          "content_html": "<p>Hi</p>", "date_published": "2020-01-02T03:04:05Z",
          "date_modified": "2020-01-03T00:00:00+01:00", "tags": ["a", "b/c"],
          "authors": [{"name": "Ann"}], "image": "https://example.org/1.png"}],
        home_page_url="https://example.org/", description="About <it>",
        icon="https://example.org/icon.png"),
     E(title="JSON", homePage="https://example.org/", description="About &lt;it&gt;",
       logoUrl="https://example.org/icon.png", items=1, item0_identity="1",
       item0_link="https://example.org/1", item0_headline="One", item0_summary="<p>Hi</p>",
       item0_published="2020-01-02T03:04:05Z", item0_updated="2020-01-02T23:00:00Z",
       item0_categories="a | b/c", item0_author="Ann", item0_thumbnail="https://example.org/1.png"))
case("json/basic-10.json",
     jf([{"id": 42, "content_text": "Plain <text> only", "external_url": "https://example.org/x",
          "author": {"name": "Old Style"}}], version="1", author={"name": "Feed Person"}),
     E(author="Feed Person", item0_identity="42", item0_summary="Plain &lt;text&gt; only",
       item0_headline="Plain <text> only", item0_link="https://example.org/x",
       item0_author="Old Style"))
case("json/author-inherited.json",
     jf([{"id": "1", "title": "t"}], authors=[{"name": "Team"}]), E(item0_author="Team"))
case("json/attachments.json",
     jf([{"id": "1", "title": "Episode", "attachments": [
         {"url": "javascript:alert(1)", "mime_type": "audio/mpeg"},
         {"url": "https://example.org/e.m4a", "mime_type": "audio/x-m4a",
          "size_in_bytes": 89970236, "duration_in_seconds": 6629},
         {"url": "https://example.org/e.mp3", "mime_type": "audio/mpeg"}]}]),
     E(item0_enclosure__url="https://example.org/e.m4a", item0_enclosure__type="audio/x-m4a",
       item0_enclosure__length=89970236, item0_duration=6629))
case("json/summary-when-no-content.json", jf([{"id": "1", "summary": "Short & sweet"}]),
     E(item0_summary="Short &amp; sweet", item0_headline="Short & sweet"))
case("json/relative-urls.json", jf([{"id": "1", "url": "/posts/1"}], home_page_url="/"),
     E(homePage="http://example.org/", item0_link="http://example.org/posts/1"))
case("json/no-id-uses-url.json", jf([{"url": "https://example.org/u", "title": "t"}]),
     E(item0_identity="https://example.org/u"))
case("json/favicon-when-no-icon.json", jf([], favicon="https://example.org/f.ico"),
     E(logoUrl="https://example.org/f.ico", items=0))
case("json/banner-image.json", jf([{"id": "1", "banner_image": "https://example.org/b.jpg"}]),
     E(item0_thumbnail="https://example.org/b.jpg"))
case("json/bom.json", b"\xef\xbb\xbf" + jf([{"id": "1", "title": "BOM"}]).encode("utf-8"),
     E(item0_headline="BOM"))
case("json/not-a-json-feed.json", json.dumps({"hello": "world"}),
     [("status", "=", "failed"), ("error", "~", "not a feed")])
case("json/not-json-at-all.json", "{ this is not json",
     [("status", "=", "failed"), ("error", "^", "line 1, column")])
TRUNC = jf([{"id": str(i), "title": "Story %d" % i} for i in range(3)])
case("json/truncated-keeps-complete-items.json", TRUNC[:TRUNC.index('"Story 2"')],
     [("status", "=", "partial"), ("error", "^", "line "), ("items", "=", "2"),
      ("title", "=", "JSON"), ("item1.headline", "=", "Story 1")])
case("json/javascript-url-dropped.json",
     jf([{"id": "1", "title": "t", "url": "javascript:alert(1)"}], home_page_url="data:text/html,x"),
     E(homePage="", item0_link="", item0_headline="t"))
case("json/many-items.json", jf([{"id": str(i)} for i in range(40)]),
     E(items=40, item39_identity="39"))

# ---------------------------------------------------------------------------------------------
# Channel Definition Format.

CDF = ('<?xml version="1.0"?>\n<CHANNEL HREF="http://example.org/index.html" '
       'LASTMOD="1998-11-05T22:12" BASE="http://example.org/cdf/">\n'
       "<TITLE>CDF Channel</TITLE><ABSTRACT>What &amp; why</ABSTRACT>\n"
       '<LOGO HREF="icon.gif" STYLE="ICON"/><LOGO HREF="wide.gif" STYLE="IMAGE"/>\n'
       '<ITEM HREF="first.html" LASTMOD="1998-11-05T22:12:00"><TITLE>First item</TITLE>'
       "<ABSTRACT>Item abstract</ABSTRACT></ITEM>\n"
       '<CHANNEL HREF="sub.html"><TITLE>Sub channel</TITLE>'
       '<ITEM HREF="sub1.html"><TITLE>Sub item</TITLE></ITEM>'
       '<CHANNEL><TITLE>Deeper</TITLE><ITEM HREF="deep.html"><TITLE>Deep item</TITLE></ITEM>'
       "</CHANNEL></CHANNEL>\n</CHANNEL>\n")
case("cdf/channel.cdf", CDF,
     E(title="CDF Channel", homePage="http://example.org/index.html",
       description="What &amp; why", logoUrl="http://example.org/cdf/wide.gif",
       updated="1998-11-05T22:12:00Z", items=3, item0_headline="First item",
       item0_link="http://example.org/cdf/first.html",
       item0_identity="http://example.org/cdf/first.html", item0_summary="Item abstract",
       item0_published="1998-11-05T22:12:00Z", item0_categories="",
       item1_headline="Sub item", item1_categories="Sub channel",
       item2_categories="Sub channel/Deeper"))
case("cdf/lowercase.cdf",
     '<channel href="http://example.org/"><title>lower</title>'
     '<item href="http://example.org/a"><title>a</title></item></channel>',
     E(title="lower", items=1, item0_link="http://example.org/a"))
case("cdf/value-attributes.cdf",
     '<CHANNEL HREF="http://example.org/"><TITLE VALUE="From value"/>'
     '<ITEM HREF="http://example.org/v"><TITLE VALUE="Item value"/></ITEM></CHANNEL>',
     E(title="From value", item0_headline="Item value"))
case("cdf/icon-only.cdf",
     '<CHANNEL><TITLE>i</TITLE><LOGO HREF="http://example.org/i.ico" STYLE="ICON"/></CHANNEL>',
     E(logoUrl="http://example.org/i.ico", items=0))
case("cdf/javascript-item-dropped-link.cdf",
     '<CHANNEL><TITLE>j</TITLE><ITEM HREF="javascript:void(0)"><TITLE>Kept</TITLE></ITEM></CHANNEL>',
     E(items=1, item0_headline="Kept", item0_link=""))
case("cdf/relative-to-document.cdf",
     '<CHANNEL HREF="/"><ITEM HREF="x.html"><TITLE>x</TITLE></ITEM></CHANNEL>',
     E(homePage="http://example.org/", item0_link="http://example.org/feeds/x.html"))

# ---------------------------------------------------------------------------------------------
# Fields from the common extension modules.

DC_RSS = xmlns("dc", "dcterms")
case("fields/dc-title-fallback.xml",
     rss([item("<dc:title>DC headline</dc:title><guid>g</guid>")], ns=DC_RSS),
     E(item0_headline="DC headline"))
case("fields/title-beats-dc-title.xml",
     rss([item("<title>Own</title><dc:title>DC</dc:title>")], ns=DC_RSS), E(item0_headline="Own"))
case("fields/dc-description-fallback.xml",
     rss([item("<title>t</title><dc:description>Plain &lt;text&gt;</dc:description>")], ns=DC_RSS),
     E(item0_summary="Plain &lt;text&gt;"))
case("fields/dc-date.xml",
     rss([item("<title>t</title><dc:date>2003-05-27T08:37:32+01:00</dc:date>")], ns=DC_RSS),
     E(item0_published="2003-05-27T07:37:32Z"))
case("fields/pubdate-beats-dc-date.xml",
     rss([item("<title>t</title><dc:date>2003-05-27T08:37:32Z</dc:date>"
               "<pubDate>Tue, 03 Jun 2003 09:39:21 GMT</pubDate>")], ns=DC_RSS),
     E(item0_published="2003-06-03T09:39:21Z"))
for term in ["issued", "created", "date"]:
    case("fields/dcterms-%s.xml" % term,
         rss([item("<title>t</title><dcterms:%s>2011-01-02</dcterms:%s>" % (term, term))], ns=DC_RSS),
         E(item0_published="2011-01-02T00:00:00Z"))
case("fields/dcterms-modified.xml",
     rss([item("<title>t</title><pubDate>Sun, 02 Jan 2011 10:00:00 GMT</pubDate>"
               "<dcterms:modified>2011-02-03T04:05:06Z</dcterms:modified>")], ns=DC_RSS),
     E(item0_published="2011-01-02T10:00:00Z", item0_updated="2011-02-03T04:05:06Z"))
case("fields/dcterms-modified-only.xml",
     rss([item("<title>t</title><dcterms:modified>2011-02-03T04:05:06Z</dcterms:modified>")],
         ns=DC_RSS),
     E(item0_published="2011-02-03T04:05:06Z", item0_updated="2011-02-03T04:05:06Z"))
case("fields/dc-creator.xml", rss([item("<title>t</title><dc:creator>Dee Sea</dc:creator>")], ns=DC_RSS),
     E(item0_author="Dee Sea"))
case("fields/dc-subject.xml",
     rss([item("<title>t</title><dc:subject>Politics/Europe//Brussels</dc:subject>")], ns=DC_RSS),
     E(item0_categories="Politics/Europe/Brussels"))
case("fields/channel-dc.xml",
     '<rss version="2.0"%s><channel><dc:title>DC channel</dc:title><dc:description>D</dc:description>'
     "<dc:date>2012-03-04T05:06:07Z</dc:date><dc:creator>Pub</dc:creator></channel></rss>" % DC_RSS,
     E(title="DC channel", description="D", updated="2012-03-04T05:06:07Z", author="Pub"))
case("fields/channel-dcterms-modified.xml",
     '<rss version="2.0"%s><channel><title>c</title><dcterms:modified>2012-03-04T05:06:07Z'
     "</dcterms:modified></channel></rss>" % DC_RSS, E(updated="2012-03-04T05:06:07Z"))

MEDIA = xmlns("media")
case("fields/media-content.xml",
     rss([item('<title>t</title><media:content url="pics/chart.png" medium="image" '
               'fileSize="4096"/>')], ns=MEDIA),
     E(item0_enclosure__url="http://example.org/feeds/pics/chart.png",
       item0_enclosure__type="image/*", item0_enclosure__length=4096))
case("fields/media-content-typed-duration.xml",
     rss([item('<title>t</title><media:content url="http://example.org/v.mp4" type="video/mp4" '
               'duration="185"/>')], ns=MEDIA),
     E(item0_enclosure__type="video/mp4", item0_duration=185))
case("fields/media-thumbnail.xml",
     rss([item('<title>t</title><media:thumbnail url="http://example.org/t.jpg" width="75"/>'
               '<media:thumbnail url="http://example.org/t2.jpg"/>')], ns=MEDIA),
     E(item0_thumbnail="http://example.org/t.jpg"))
case("fields/media-group.xml",
     rss([item("<guid>g</guid><media:group><media:title>Group title</media:title>"
               '<media:content url="http://example.org/low.mp4" type="video/mp4"/>'
               '<media:content url="http://example.org/high.mp4" type="video/mp4"/>'
               '<media:thumbnail url="http://example.org/g.jpg"/>'
               '<media:description type="plain">Group &lt;desc&gt;</media:description>'
               "</media:group>")], ns=MEDIA),
     E(item0_headline="Group title", item0_enclosure__url="http://example.org/low.mp4",
       item0_thumbnail="http://example.org/g.jpg", item0_summary="Group &lt;desc&gt;"))
case("fields/media-content-children.xml",
     rss([item('<title>t</title><media:content url="http://example.org/c.mp4" type="video/mp4">'
               '<media:thumbnail url="http://example.org/c.jpg"/><media:category>Film/Short'
               "</media:category></media:content>")], ns=MEDIA),
     E(item0_thumbnail="http://example.org/c.jpg", item0_categories="Film/Short"))
case("fields/media-in-atom.atom",
     atom([entry('<id>yt:1</id><title>Video</title><media:group><media:title>MT</media:title>'
                 '<media:content url="https://example.org/v" type="application/x-shockwave-flash"/>'
                 '<media:thumbnail url="https://example.org/v.jpg"/><media:description>About '
                 "the video</media:description></media:group>")], ns=MEDIA),
     E(item0_headline="Video", item0_thumbnail="https://example.org/v.jpg",
       item0_summary="About the video", item0_enclosure__url="https://example.org/v"))
case("fields/enclosure-beats-media.xml",
     rss([item('<title>t</title><media:content url="http://example.org/m.mp4" type="video/mp4"/>'
               '<enclosure url="http://example.org/e.mp3" type="audio/mpeg" length="10"/>')],
         ns=MEDIA),
     E(item0_enclosure__url="http://example.org/e.mp3"))
case("fields/first-usable-enclosure.xml",
     rss([item('<title>t</title><enclosure url="" type="audio/mpeg"/>'
               '<enclosure url="javascript:alert(1)" type="audio/mpeg"/>'
               '<enclosure url="data:audio/mpeg;base64,AAAA" type="audio/mpeg"/>'
               '<enclosure url="http://example.org/real.mp3" type="audio/mpeg" length="99"/>'
               '<enclosure url="http://example.org/second.mp3" type="audio/mpeg"/>')]),
     E(item0_enclosure__url="http://example.org/real.mp3", item0_enclosure__length=99))
case("fields/enclosure-bad-length.xml",
     rss([item('<title>t</title><enclosure url="http://example.org/a.mp3" type="audio/mpeg" '
               'length="-5"/>')]),
     E(item0_enclosure__length=0))
case("fields/enclosure-relative.xml",
     rss([item('<title>t</title><enclosure url="/media/launch.mp4" length="12216320" '
               'type="video/mp4"/>')]),
     E(item0_enclosure__url="http://example.org/media/launch.mp4", item0_enclosure__length=12216320))
case("fields/no-enclosure.xml", rss([item("<title>t</title>")]),
     E(item0_enclosure__url="", item0_enclosure__type="", item0_enclosure__length=0))

IT = xmlns("itunes")
case("fields/itunes-podcast.xml",
     rss([item("<title>Episode 1</title><itunes:duration>1:02:03</itunes:duration>"
               '<itunes:image href="http://example.org/ep1.jpg"/><itunes:author>Host</itunes:author>'
               '<enclosure url="http://example.org/ep1.mp3" type="audio/mpeg" length="1"/>')],
         channel='<itunes:image href="http://example.org/show.jpg"/>'
                 '<itunes:category text="Technology"><itunes:category text="Gadgets"/>'
                 '</itunes:category><itunes:category text="Arts &amp; Culture"/>'
                 "<itunes:author>Network</itunes:author>", ns=IT),
     E(logoUrl="http://example.org/show.jpg", categories="Technology/Gadgets | Arts & Culture",
       author="Network", item0_duration=3723, item0_thumbnail="http://example.org/ep1.jpg",
       item0_author="Host"))
for text, seconds in [("59", 59), ("3600", 3600), ("10:30", 630), ("1:00:00", 3600),
                      ("00:45:10", 2710), ("12:34.5", 754), ("90:00", 5400), ("soon", 0),
                      ("1:75", 0), ("", 0)]:
    case("fields/itunes-duration-%s.xml" % (text.replace(":", "-").replace(".", "_") or "empty"),
         rss([item("<title>t</title><itunes:duration>%s</itunes:duration>" % text)], ns=IT),
         E(item0_duration=seconds))
case("fields/itunes-summary-fallback.xml",
     rss([item("<title>t</title><itunes:summary>Show notes &amp; links</itunes:summary>")], ns=IT),
     E(item0_summary="Show notes &amp; links"))
case("fields/itunes-item-category.xml",
     rss([item('<title>t</title><itunes:category text="News"><itunes:category text="Politics"/>'
               "</itunes:category>")], ns=IT),
     E(item0_categories="News/Politics"))
case("fields/image-beats-itunes-image.xml",
     rss([], channel='<image><url>http://example.org/small.png</url></image>'
                     '<itunes:image href="http://example.org/big.jpg"/>', ns=IT),
     E(logoUrl="http://example.org/small.png"))
case("fields/atom-link-in-rss.xml",
     rss([item('<title>t</title><atom:link rel="alternate" href="http://example.org/al"/>')],
         channel='<atom:link rel="self" href="http://example.org/feed"/>', ns=xmlns("atom")),
     E(item0_link="http://example.org/al"))
case("fields/xml-base-in-rss.xml",
     '<rss version="2.0"><channel xml:base="http://base.example.net/c/"><title>b</title>'
     '<link>home</link><item xml:base="items/"><title>t</title><link>one</link></item>'
     "</channel></rss>",
     E(homePage="http://base.example.net/c/home", item0_link="http://base.example.net/c/items/one"))
case("fields/xml-base-relative-to-document.xml",
     '<rss version="2.0" xml:base="sub/"><channel><title>b</title><item><title>t</title>'
     "<link>page</link></item></channel></rss>",
     E(item0_link="http://example.org/feeds/sub/page"))

# ---------------------------------------------------------------------------------------------
# Dates in the forms feeds write them.

DATES = [
    ("rfc822", "Sat, 07 Sep 2002 09:42:31 GMT", "2002-09-07T09:42:31Z"),
    ("rfc822-offset", "Sat, 07 Sep 2002 11:42:31 +0200", "2002-09-07T09:42:31Z"),
    ("rfc822-offset-colon", "Sat, 07 Sep 2002 04:12:31 -05:30", "2002-09-07T09:42:31Z"),
    ("rfc822-two-digit-offset", "Sat, 07 Sep 2002 11:42:31 +02", "2002-09-07T09:42:31Z"),
    ("rfc822-pst", "Sat, 07 Sep 2002 01:42:31 PST", "2002-09-07T09:42:31Z"),
    ("rfc822-edt", "Fri, 30 May 2003 11:06:42 EDT", "2003-05-30T15:06:42Z"),
    ("rfc822-cest", "Sat, 07 Sep 2002 11:42:31 CEST", "2002-09-07T09:42:31Z"),
    ("rfc822-jst", "Sat, 07 Sep 2002 18:42:31 JST", "2002-09-07T09:42:31Z"),
    ("rfc822-no-weekday", "07 Sep 2002 09:42:31 GMT", "2002-09-07T09:42:31Z"),
    ("rfc822-no-seconds", "07 Sep 2002 09:42 GMT", "2002-09-07T09:42:00Z"),
    ("rfc822-no-zone", "Sat, 07 Sep 2002 09:42:31", "2002-09-07T09:42:31Z"),
    ("rfc822-no-time", "07 Sep 2002", "2002-09-07T00:00:00Z"),
    ("rfc822-two-digit-year", "7 Sep 02 09:42:31 UT", "2002-09-07T09:42:31Z"),
    ("rfc822-full-names", "Saturday, 07 September 2002 09:42:31 Z", "2002-09-07T09:42:31Z"),
    ("rfc822-lower-case", "sat, 07 sep 2002 09:42:31 gmt", "2002-09-07T09:42:31Z"),
    ("rfc822-comment", "Sat, 07 Sep 2002 11:42:31 +0200 (CEST)", "2002-09-07T09:42:31Z"),
    ("rfc822-one-digit-hour", "Sat, 07 Sep 2002 9:42:31 GMT", "2002-09-07T09:42:31Z"),
    ("rfc822-military-zone", "Sat, 07 Sep 2002 09:42:31 A", "2002-09-07T09:42:31Z"),
    ("rfc850", "Saturday, 07-Sep-02 09:42:31 GMT", "2002-09-07T09:42:31Z"),
    ("asctime", "Sat Sep  7 09:42:31 2002", "2002-09-07T09:42:31Z"),
    ("rfc3339", "2002-09-07T09:42:31Z", "2002-09-07T09:42:31Z"),
    ("rfc3339-offset", "2002-09-07t11:42:31+02:00", "2002-09-07T09:42:31Z"),
    ("rfc3339-millis", "2002-09-07T09:42:31.250Z", "2002-09-07T09:42:31.250Z"),
    ("rfc3339-space", "2002-09-07 09:42:31Z", "2002-09-07T09:42:31Z"),
    ("w3c-minutes", "2002-09-07T09:42Z", "2002-09-07T09:42:00Z"),
    ("w3c-day", "2002-09-07", "2002-09-07T00:00:00Z"),
    ("w3c-month", "2002-09", "2002-09-01T00:00:00Z"),
    ("w3c-year", "2002", "2002-01-01T00:00:00Z"),
    ("leap-second", "2016-12-31T23:59:60Z", "2016-12-31T23:59:59Z"),
    ("invalid-words", "yesterday", ""),
    ("invalid-february", "31 Feb 2002 10:00:00 GMT", ""),
    ("invalid-month", "07 Foo 2002 10:00:00 GMT", ""),
    ("invalid-hour", "07 Sep 2002 25:00:00 GMT", ""),
    ("invalid-zone", "07 Sep 2002 10:00:00 XYZ", ""),
    ("invalid-rfc3339-month", "2002-13-07T09:42:31Z", ""),
]
for name, text, expected in DATES:
    case("dates/%s.xml" % name, rss([item("<title>t</title><pubDate>%s</pubDate>" % text)]),
         E(item0_published=expected))

# ---------------------------------------------------------------------------------------------
# Addresses: relative ones resolve, and only the schemes a reader follows are kept.

for scheme, link in [("javascript", "javascript:alert(document.cookie)"),
                     ("javascript-mixed-case", "JaVaScRiPt:alert(1)"),
                     ("javascript-spaces", "  javascript:alert(1)"),
                     ("data", "data:text/html;base64,PHNjcmlwdD4="),
                     ("vbscript", "vbscript:msgbox(1)"),
                     ("file", "file:///etc/passwd"),
                     ("mailto", "mailto:someone@example.org"),
                     ("ftp", "ftp://example.org/file"),
                     ("about", "about:blank"),
                     ("http-without-host", "http:///path")]:
    case("links/refused-%s.xml" % scheme,
         rss([item("<title>Kept story</title><guid>k</guid><link>%s</link>"
                   '<enclosure url="%s" type="audio/mpeg"/>' % (link.replace("&", "&amp;"),
                                                                 link.replace("&", "&amp;")))],
             channel="<image><url>%s</url></image>" % link),
         E(items=1, item0_headline="Kept story", item0_link="", item0_identity="k",
           item0_enclosure__url="", logoUrl=""))
case("links/atom-javascript-link.atom",
     atom([entry('<title>t</title><id>i</id><link href="javascript:alert(1)"/>'
                 '<link rel="enclosure" href="data:x" type="image/png"/>')],
          feed='<link href="javascript:x"/><logo>javascript:y</logo>'),
     E(homePage="", logoUrl="", item0_link="", item0_enclosure__url="", item0_headline="t"))
case("links/xml-base-javascript-ignored.atom",
     atom([entry('<title>t</title><id>i</id><link xml:base="javascript:alert(1)//" href="x"/>')]),
     E(item0_link="http://example.org/feeds/x"))
case("links/xml-base-invalid-host-ignored.atom",
     atom([entry('<title>t</title><id>i</id><link xml:base="http://%s.example/" href="x"/>'
                 % ("a" * 70))]),
     E(item0_link="http://example.org/feeds/x"))
case("links/overlong-host-label-dropped.xml",
     rss([item("<title>t</title><link>http://%s.example/page</link>" % ("b" * 64))]),
     E(item0_link="", item0_headline="t"))
case("links/xml-base-file-refused.atom",
     atom([entry('<title>t</title><id>i</id><link xml:base="file:///etc/" href="passwd"/>')]),
     E(item0_link="http://example.org/feeds/passwd"))
case("links/file-allowed-in-local-document.xml",
     rss([item('<title>t</title><link>story.html</link><enclosure url="file:///srv/media/a.mp3" '
               'type="audio/mpeg"/>')]),
     E(item0_link="file:///srv/feeds/story.html", item0_enclosure__url="file:///srv/media/a.mp3"),
     url="file:///srv/feeds/local.xml")
case("links/https-kept.xml", rss([item("<title>t</title><link>https://example.org/s</link>")]),
     E(item0_link="https://example.org/s"))
case("links/protocol-relative.xml", rss([item("<title>t</title><link>//cdn.example.net/x</link>")]),
     E(item0_link="http://cdn.example.net/x"))
case("links/feed-scheme.xml",
     rss([item("<title>t</title><link>feed://example.org/other.xml</link>")]),
     E(item0_link="http://example.org/other.xml"))
case("links/spaces-in-path.xml", rss([item("<title>t</title><link>http://example.org/a b</link>")]),
     E(item0_link="http://example.org/a b"))
case("links/relative-without-document-address.xml",
     rss([item("<title>t</title><link>stories/1</link>")]), E(item0_link="stories/1"), url="")
case("links/permalink-guid-javascript.xml",
     rss([item("<title>t</title><guid>javascript:alert(1)</guid>")]),
     E(item0_link="", item0_identity="javascript:alert(1)"))

# ---------------------------------------------------------------------------------------------
# Damaged documents: the stories before the fault are kept and the fault is named.

GOOD = [item("<title>Good %d</title><guid>g%d</guid>" % (i, i)) for i in range(3)]
WHOLE = rss(GOOD + [item("<title>Last</title><guid>last</guid>")])
for name, cut_before in [("mid-last-item", "<guid>last"), ("mid-tag", "uid>last"),
                         ("before-channel-end", "</channel>"), ("before-rss-end", "</rss>"),
                         ("mid-attribute", None)]:
    if cut_before is None:
        doc = WHOLE.replace("<item><title>Last", '<item a="unterminated><title>Last')
        doc = doc[:doc.index("unterminated") + 5]
    else:
        doc = WHOLE[:WHOLE.index(cut_before)]
    kept = 4 if cut_before in ("</channel>", "</rss>") else 3
    case("malformed/truncated-%s.xml" % name, doc,
         [("status", "=", "partial"), ("error", "^", "line "), ("title", "=", "Channel"),
          ("items", "=", kept), ("item2.headline", "=", "Good 2")])
case("malformed/truncated-in-channel-title.xml", WHOLE[:WHOLE.index("nnel</title>")],
     [("status", "=", "partial"), ("items", "=", 0)])
case("malformed/truncated-atom.atom",
     atom([entry("<title>A%d</title><id>%d</id>" % (i, i)) for i in range(4)]).split("<id>3")[0],
     [("status", "=", "partial"), ("items", "=", 3), ("item2.headline", "=", "A2")])
case("malformed/mismatched-tag-in-item.xml",
     rss(GOOD + [item("<title>Bad</titel><guid>b</guid>")] + GOOD),
     [("status", "=", "partial"), ("error", "~", "line 6"), ("items", "=", 3)])
case("malformed/html-br-in-description.xml",
     rss(GOOD[:2] + [item("<title>t</title><description>one<br>two</description>")]),
     [("status", "=", "partial"), ("items", "=", 2)])
case("malformed/duplicate-attribute.xml",
     rss(GOOD[:1] + [item('<title>t</title><enclosure url="a" url="b"/>')]),
     [("status", "=", "partial"), ("items", "=", 1)])
case("malformed/junk-after-root.xml", WHOLE + "<rss>again</rss>",
     [("status", "=", "partial"), ("items", "=", 4)])
case("malformed/bare-ampersands.xml",
     rss([item("<title>AT&T & Johnson&Johnson &&amp; co</title><guid>g</guid>"
               "<link>http://example.org/?a=1&b=2</link>")], title="Tom & Jerry"),
     E(title="Tom & Jerry", item0_headline="AT&T & Johnson&Johnson && co",
       item0_link="http://example.org/?a=1&b=2"))
case("malformed/bare-ampersand-in-attribute.xml",
     rss([item('<title>t</title><enclosure url="http://example.org/a.mp3?x=1&y=2" '
               'type="audio/mpeg"/>')]),
     E(item0_enclosure__url="http://example.org/a.mp3?x=1&y=2"))
case("malformed/stray-less-than.xml",
     rss([item("<title>a < b and 1<2 and <3</title><guid>g</guid>")]),
     E(item0_headline="a < b and 1<2 and <3"))
case("malformed/less-than-in-attribute.xml",
     rss([item('<title>t</title><category domain="a<b">c</category>')]), E(item0_categories="c"))
case("malformed/unbalanced-quote-in-title-html.xml",
     rss([item('<title>&lt;b class="x&gt;Quoted headline&lt;/b&gt;</title><guid>g</guid>')]),
     E(item0_headline="Quoted headline"))
case("malformed/unbalanced-quote-cdata.xml",
     rss([item("<title><![CDATA[<a href='x>Breaking</a> news]]></title><guid>g</guid>")]),
     E(item0_headline="Breaking news"))
case("malformed/undeclared-unknown-prefix.xml",
     rss(GOOD + [item("<title>t</title><foo:bar>x</foo:bar>")]), E(items=4))
case("malformed/undeclared-customary-prefixes.xml",
     rss([item("<title>t</title><dc:creator>Un Declared</dc:creator>"
               "<itunes:duration>1:00</itunes:duration>"
               '<media:thumbnail url="http://example.org/u.jpg"/>'
               "<content:encoded>Encoded</content:encoded>")]),
     E(item0_author="Un Declared", item0_duration=60, item0_thumbnail="http://example.org/u.jpg",
       item0_summary="Encoded"))
case("malformed/undeclared-rdf-prefix.rdf",
     '<rdf:RDF xmlns="http://purl.org/rss/1.0/"><channel><title>No rdf</title></channel>'
     '<item rdf:about="urn:u:1"><title>U</title></item></rdf:RDF>',
     E(title="No rdf", items=1, item0_identity="urn:u:1"))
case("malformed/prefix-declared-inside-only.xml",
     rss([item('<title>t</title><x:a xmlns:x="urn:x">1</x:a>')]), E(items=1))
ATTRS = " ".join('a%d="v"' % i for i in range(200))
case("malformed/too-many-attributes-keeps-earlier.xml",
     rss(GOOD[:2] + [item("<title %s>t</title>" % ATTRS)] + GOOD),
     [("status", "=", "partial"), ("error", "~", "more than 128 attributes"), ("items", "=", 2)])
case("malformed/deep-nesting.xml",
     rss(GOOD[:1] + [item("<description>%s</description>" % ("<div>" * 300 + "x" + "</div>" * 300))]),
     [("status", "=", "partial"), ("error", "~", "nested deeper"), ("items", "=", 1)])
case("malformed/long-doctype.xml",
     '<?xml version="1.0"?>\n<!DOCTYPE rss [%s]>\n<rss version="2.0"><channel><title>x</title>'
     "</channel></rss>" % ("<!ENTITY e%d \"value\">" % 0 + "<!-- %s -->" % ("x" * 20000)),
     [("status", "=", "failed"), ("error", "~", "document type declaration")])
case("malformed/not-xml.txt", "plain text, not XML", [("status", "=", "failed")])
case("malformed/html-page.html",
     "<!DOCTYPE html><html><head><title>Page</title></head><body><p>hello</p></body></html>",
     [("status", "=", "failed")])
case("malformed/xhtml-page.html",
     '<html xmlns="http://www.w3.org/1999/xhtml"><head><title>Page</title></head></html>',
     [("status", "=", "failed"), ("error", "~", "not a feed"), ("error", "~", "<html>")])
case("malformed/empty.xml", "   \n", [("status", "=", "failed"), ("error", "~", "empty")])
case("malformed/binary.bin", b"\x00\x01\x02\xff\xfe\x89PNG\r\n", [("status", "=", "failed")])
case("malformed/only-declaration.xml", '<?xml version="1.0"?>\n', [("status", "=", "failed")])
case("malformed/entity-bomb.xml",
     '<?xml version="1.0"?>\n<!DOCTYPE rss [<!ENTITY a0 "lollollol">' +
     "".join('<!ENTITY a%d "%s">' % (i, ("&a%d;" % (i - 1)) * 10) for i in range(1, 10)) +
     ']>\n<rss version="2.0"><channel><title>&a9;</title></channel></rss>',
     [("status", "!~", "complete"), ("items", "=", 0)])
case("malformed/external-entity-not-read.xml",
     '<?xml version="1.0"?>\n<!DOCTYPE rss [<!ENTITY secret SYSTEM "file:///etc/hostname">]>\n'
     '<rss version="2.0"><channel><title>x&secret;y</title></channel></rss>',
     [("title", "!~", "localhost")])
case("malformed/many-items-fine.xml", rss([item("<guid>%d</guid>" % i) for i in range(300)]),
     E(items=300))

# ---------------------------------------------------------------------------------------------
# Headlines: the plain text of whatever the title holds.

for name, title, expected in [
        ("escaped-html", "Star City &lt;em&gt;launch&lt;/em&gt;\n   postponed",
         "Star City launch postponed"),
        ("double-escaped", "Second &amp;amp; third", "Second & third"),
        ("script-dropped", "x&lt;script&gt;alert('&lt;b&gt;')&lt;/script&gt;y", "xy"),
        ("style-dropped", "&lt;style&gt;p{}&lt;/style&gt;Styled", "Styled"),
        ("comment-dropped", "a&lt;!-- hidden --&gt;b", "ab"),
        ("block-tags-separate", "One&lt;br/&gt;two&lt;p&gt;three", "One two three"),
        ("angle-in-attribute", "&lt;a title=\"1 &gt; 0\"&gt;link&lt;/a&gt;", "link"),
        ("white-space", "  lots \t of\n\n space  ", "lots of space"),
        ("nbsp-collapses", "a&amp;nbsp;&amp;nbsp;b", "a b"),
        ("cdata-markup", "<![CDATA[<i>CDATA</i> & more]]>", "CDATA & more"),
        ("numeric-zero", "a&amp;#0;b", "a\ufffdb"),
        ("hex-reference", "&amp;#x41;&amp;#X42;", "AB"),
        ("astral", "&#x1F600; smile", "\U0001f600 smile"),
        ("lone-less-than-kept", "1 &lt; 2", "1 < 2"),
        ("unterminated-tag", "text &lt;b", "text"),
]:
    case("headlines/%s.xml" % name, rss([item("<title>%s</title><guid>g</guid>" % title)]),
         E(item0_headline=expected))

print("%d cases in %d groups" % (COUNT, len(GROUPS)))
