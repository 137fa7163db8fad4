#!/usr/bin/env python3
"""Writes the bundled demo content under data/demo/ from the channel texts in
demo_channels_a.py and demo_channels_b.py:

    directory.opml          the channel directory (OPML 2.0)
    feeds/<channel>.xml     one feed per channel, RSS 2.0 or Atom 1.0
    pages/<channel>/*.html  a page per story and an index page per channel
    media/*                 small files the stories carry as enclosures
    seed.json               what a fresh engine subscribes to, disables and alerts on

The channel logos (logos/*.png), media/hillside.png and the pictures of datadir/ are drawn by
the artwork generator (readhall_artwork). Story dates are spread over the two weeks before
REFERENCE_DATE.

Run from anywhere:  python3 scripts/artwork/make_demo.py
"""
import datetime as dt
import html
import json
import math
import os
import struct
import sys
import wave
from email.utils import format_datetime
from xml.sax.saxutils import escape, quoteattr

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from demo_channels_a import CHANNELS_A  # noqa: E402
from demo_channels_b import CHANNELS_B  # noqa: E402

CHANNELS = CHANNELS_A + CHANNELS_B
DEMO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                     "data", "demo"))
REFERENCE_DATE = dt.datetime(2026, 12, 6, 8, 0, tzinfo=dt.timezone.utc)
SPAN = dt.timedelta(days=13, hours=20)
VANTREL_NS = "https://vantrel.example/ns/opml"

# Channels a fresh engine leaves unsubscribed (they wait in the directory) and disables.
UNSUBSCRIBED = {"sixty-four-squares", "marquee-weekly", "bright-lab"}
DISABLED = {"skyward-weather"}
ALERT_RULES = [
    {"name": "Price", "words": ["price"], "category": "Stocks"},
    {"name": "Storms", "words": ["storm", "gale"], "category": ""},
    {"name": "Eclipse", "words": ["eclipse"], "category": ""},
]

ENCLOSURES = {
    "video": ("media/trailer.mp4", "video/mp4"),
    "image": ("media/hillside.png", "image/png"),
    "audio": ("media/night-sky.wav", "audio/wav"),
    "pdf": ("media/staff-handbook.pdf", "application/pdf"),
}


def write(rel, data):
    path = os.path.join(DEMO, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    kwargs = {} if isinstance(data, bytes) else {"encoding": "utf-8", "newline": "\n"}
    with open(path, mode, **kwargs) as f:
        f.write(data)


# ---------------------------------------------------------------------------------------
# Media


def make_wav():
    """A two-note chime, 1.6 seconds, 22050 Hz mono."""
    rate, seconds = 22050, 1.6
    frames = bytearray()
    for i in range(int(rate * seconds)):
        t = i / rate
        a = 0.0
        for start, freq in ((0.0, 659.25), (0.45, 987.77)):
            if t >= start:
                u = t - start
                a += math.sin(2 * math.pi * freq * u) * math.exp(-3.2 * u)
        frames += struct.pack("<h", int(max(-1.0, min(1.0, a * 0.45)) * 32767))
    path = os.path.join(DEMO, "media", "night-sky.wav")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def make_pdf():
    """A one-page PDF with a short text, with a correct cross-reference table."""
    lines = [
        ("F2", 20, "Tidewater Logistics"),
        ("F1", 14, "Staff handbook: summary of changes"),
        ("F1", 11, "1. Leave requests are made through your team leader, two weeks ahead."),
        ("F1", 11, "2. Travel between depots is booked through the depot office."),
        ("F1", 11, "3. Working from home is agreed with your manager, week by week."),
        ("F1", 11, "4. Security passes must be worn on site at all times."),
        ("F1", 9, "Demo document bundled with Readhall."),
    ]
    text = ["BT"]
    y = 760
    for font, size, s in lines:
        s = s.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")
        text.append("/%s %d Tf 1 0 0 1 72 %d Tm (%s) Tj" % (font, size, y, s))
        y -= size + 16
    text.append("ET")
    stream = "\n".join(text).encode("latin-1")
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        b"/Resources << /Font << /F1 5 0 R /F2 6 0 R >> >> >>",
        b"<< /Length " + str(len(stream)).encode() + b" >>\nstream\n" + stream + b"\nendstream",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>",
    ]
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for n, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % n + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for off in offsets:
        out += b"%010d 00000 n \n" % off
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, xref)
    write("media/staff-handbook.pdf", bytes(out))


def box(kind, payload):
    return struct.pack(">I4s", 8 + len(payload), kind) + payload


def make_mp4():
    """An ISO media file with a file-type box and a movie header but no track: a valid
    container that players open as an empty clip."""
    ftyp = box(b"ftyp", b"isom" + struct.pack(">I", 512) + b"isomiso2mp41")
    matrix = struct.pack(">9I", 0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000)
    mvhd = box(b"mvhd", struct.pack(">B3xIIII", 0, 0, 0, 1000, 0) +
               struct.pack(">IH10x", 0x00010000, 0x0100) + matrix + b"\0" * 24 +
               struct.pack(">I", 2))
    udta = box(b"udta", box(b"meta", b"\0\0\0\0" + box(b"hdlr", b"\0" * 8 + b"mdirappl" +
                                                       b"\0" * 13)))
    write("media/trailer.mp4", ftyp + box(b"moov", mvhd + udta))


# ---------------------------------------------------------------------------------------
# Dates


def story_dates(index, count):
    """Newest first, spread over SPAN, each channel a little offset from the others."""
    offset = dt.timedelta(minutes=(index * 47) % 300)
    step = SPAN / max(1, count - 1)
    return [REFERENCE_DATE - offset - step * k for k in range(count)]


def created_date(text):
    d = dt.datetime.strptime(text, "%Y-%m-%d").replace(hour=9, tzinfo=dt.timezone.utc)
    return format_datetime(d, usegmt=True)


def rfc822(d):
    return format_datetime(d, usegmt=True)


def rfc3339(d):
    return d.strftime("%Y-%m-%dT%H:%M:%SZ")


# ---------------------------------------------------------------------------------------
# Feeds


def enclosure_attrs(key):
    url, mime = ENCLOSURES[key]
    size = os.path.getsize(os.path.join(DEMO, url))
    return "../" + url, mime, size


def rss_feed(ch, dates):
    stem = ch["stem"]
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<rss version="2.0">',
           "<channel>",
           "  <title>%s</title>" % escape(ch["title"]),
           "  <link>../pages/%s/index.html</link>" % stem,
           "  <description>%s</description>" % escape(ch["description"]),
           "  <language>en</language>",
           "  <lastBuildDate>%s</lastBuildDate>" % rfc822(dates[0]),
           "  <image>",
           "    <url>../logos/%s.png</url>" % stem,
           "    <title>%s</title>" % escape(ch["title"]),
           "    <link>../pages/%s/index.html</link>" % stem,
           "  </image>"]
    for n, (story, when) in enumerate(zip(ch["stories"], dates), start=1):
        headline, summary, _body, category, enc = story
        out.append("  <item>")
        out.append("    <title>%s</title>" % escape(headline))
        out.append("    <link>../pages/%s/%d.html</link>" % (stem, n))
        out.append("    <description>%s</description>" % escape(summary))
        out.append("    <pubDate>%s</pubDate>" % rfc822(when))
        out.append('    <guid isPermaLink="false">%s-%d</guid>' % (stem, n))
        if category:
            out.append("    <category>%s</category>" % escape(category))
        if enc:
            url, mime, size = enclosure_attrs(enc)
            out.append('    <enclosure url=%s length="%d" type=%s/>'
                       % (quoteattr(url), size, quoteattr(mime)))
        out.append("  </item>")
    out += ["</channel>", "</rss>", ""]
    return "\n".join(out)


def atom_feed(ch, dates):
    stem = ch["stem"]
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<feed xmlns="http://www.w3.org/2005/Atom" xml:lang="en">',
           "  <title>%s</title>" % escape(ch["title"]),
           "  <subtitle>%s</subtitle>" % escape(ch["description"]),
           '  <link rel="alternate" type="text/html" href="../pages/%s/index.html"/>' % stem,
           "  <id>urn:readhall-demo:%s</id>" % stem,
           "  <updated>%s</updated>" % rfc3339(dates[0]),
           "  <author><name>%s</name></author>" % escape(ch["byline"]),
           "  <logo>../logos/%s.png</logo>" % stem]
    for n, (story, when) in enumerate(zip(ch["stories"], dates), start=1):
        headline, summary, _body, category, enc = story
        out.append("  <entry>")
        out.append("    <title>%s</title>" % escape(headline))
        out.append('    <link rel="alternate" type="text/html" href="../pages/%s/%d.html"/>'
                   % (stem, n))
        out.append("    <id>urn:readhall-demo:%s:%d</id>" % (stem, n))
        out.append("    <published>%s</published>" % rfc3339(when))
        out.append("    <updated>%s</updated>" % rfc3339(when))
        out.append("    <summary>%s</summary>" % escape(summary))
        if category:
            out.append("    <category term=%s/>" % quoteattr(category))
        if enc:
            url, mime, size = enclosure_attrs(enc)
            out.append('    <link rel="enclosure" href=%s type=%s length="%d"/>'
                       % (quoteattr(url), quoteattr(mime), size))
        out.append("  </entry>")
    out += ["</feed>", ""]
    return "\n".join(out)


# ---------------------------------------------------------------------------------------
# Story pages

STYLE = """body { margin: 0; font-family: "DejaVu Sans", "Segoe UI", sans-serif; color: #263248;
  background: #f4f6fa; line-height: 1.55; }
header { background: #1b263b; color: #fff; padding: 14px 28px; display: flex;
  align-items: center; gap: 14px; }
header img { width: 40px; height: 40px; }
header a { color: #fff; text-decoration: none; font-weight: bold; font-size: 18px; }
main { max-width: 720px; margin: 0 auto; padding: 24px 28px 40px; background: #fff;
  min-height: 60vh; }
h1 { font-size: 28px; line-height: 1.25; margin: 8px 0 6px; }
.meta { color: #5b6778; font-size: 13px; margin-bottom: 18px; }
.tag { display: inline-block; background: #e6ebf2; color: #1f5fbf; border-radius: 10px;
  padding: 1px 10px; font-size: 12px; margin-left: 6px; }
.lede { font-size: 18px; color: #1b263b; }
.attachment { margin-top: 22px; padding: 12px 16px; background: #fff7e0;
  border-left: 4px solid #f2c14e; }
footer { max-width: 720px; margin: 0 auto; padding: 14px 28px; color: #5b6778;
  font-size: 12px; }
ul.stories { list-style: none; padding: 0; }
ul.stories li { padding: 10px 0; border-bottom: 1px solid #e6ebf2; }
ul.stories a { color: #1f5fbf; font-weight: bold; text-decoration: none; }
ul.stories .when { color: #5b6778; font-size: 12px; display: block; }
"""

ATTACHMENT_NOTES = {
    "video": "This story comes with a video clip (MP4). Use Play to watch it.",
    "image": "This story comes with a photograph (PNG).",
    "audio": "This story comes with an audio guide. Use Play to listen to it.",
    "pdf": "This story comes with a document (PDF). Use Place Files to save it.",
}


def page_head(title, stem, ch_title):
    return ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<title>%s</title>\n<link rel=\"stylesheet\" href=\"../story.css\">\n</head>\n<body>\n"
            "<header><img src=\"../../logos/%s.png\" alt=\"\">"
            "<a href=\"index.html\">%s</a></header>\n"
            % (html.escape(title), stem, html.escape(ch_title)))


def story_page(ch, n, story, when):
    headline, summary, body, category, enc = story
    out = [page_head(headline, ch["stem"], ch["title"]), "<main>\n"]
    out.append("<h1>%s</h1>\n" % html.escape(headline))
    tag = ' <span class="tag">%s</span>' % html.escape(category) if category else ""
    out.append('<div class="meta">%s &middot; %s%s</div>\n'
               % (html.escape(ch["byline"]), when.strftime("%A %-d %B %Y, %H:%M UTC"), tag))
    out.append('<p class="lede">%s</p>\n' % html.escape(summary))
    out.append("<p>%s</p>\n" % html.escape(body))
    if enc:
        url, _mime = ENCLOSURES[enc]
        out.append('<div class="attachment">%s <a href="../../%s">Open the attachment</a>.</div>\n'
                   % (html.escape(ATTACHMENT_NOTES[enc]), url))
    nav = []
    if n > 1:
        nav.append('<a href="%d.html">&larr; Newer story</a>' % (n - 1))
    if n < len(ch["stories"]):
        nav.append('<a href="%d.html">Older story &rarr;</a>' % (n + 1))
    if nav:
        out.append("<p>%s</p>\n" % " &nbsp;&middot;&nbsp; ".join(nav))
    out.append("</main>\n<footer>%s &mdash; %s</footer>\n</body>\n</html>\n"
               % (html.escape(ch["title"]), html.escape(ch["description"])))
    return "".join(out)


def index_page(ch, dates):
    out = [page_head(ch["title"], ch["stem"], ch["title"]), "<main>\n"]
    out.append("<h1>%s</h1>\n<p class=\"lede\">%s</p>\n<ul class=\"stories\">\n"
               % (html.escape(ch["title"]), html.escape(ch["description"])))
    for n, (story, when) in enumerate(zip(ch["stories"], dates), start=1):
        out.append('<li><a href="%d.html">%s</a><span class="when">%s</span></li>\n'
                   % (n, html.escape(story[0]), when.strftime("%-d %B %Y")))
    out.append("</ul>\n</main>\n</body>\n</html>\n")
    return "".join(out)


# ---------------------------------------------------------------------------------------
# Directory and seed


def outline_attrs(ch):
    attrs = [("type", "rss"), ("text", ch["title"]), ("title", ch["title"]),
             ("xmlUrl", "feeds/%s.xml" % ch["stem"]),
             ("htmlUrl", "pages/%s/index.html" % ch["stem"]),
             ("description", ch["description"]), ("created", created_date(ch["created"]))]
    if "category" in ch:
        attrs.append(("category", ch["category"]))
    attrs += sorted(ch["attrs"].items())
    return " ".join("%s=%s" % (k, quoteattr(v)) for k, v in attrs)


def directory_opml():
    tree = {}
    loose = []
    for ch in CHANNELS:
        if not ch["folders"]:
            loose.append(ch)
            continue
        node = tree
        for name in ch["folders"]:
            node = node.setdefault(name, {})
        node.setdefault(None, []).append(ch)

    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<opml version="2.0" xmlns:vantrel="%s">' % VANTREL_NS,
           "<head>",
           "  <title>Vantrel Channel Directory</title>",
           "  <dateCreated>%s</dateCreated>" % created_date("2024-10-01"),
           "  <dateModified>%s</dateModified>" % rfc822(REFERENCE_DATE),
           "  <ownerName>Vantrel Demo</ownerName>",
           "</head>",
           "<body>"]

    def emit(node, depth):
        pad = "  " * depth
        for ch in node.get(None, []):
            out.append("%s<outline %s/>" % (pad, outline_attrs(ch)))
        for name in sorted(k for k in node if k is not None):
            out.append("%s<outline text=%s>" % (pad, quoteattr(name)))
            emit(node[name], depth + 1)
            out.append("%s</outline>" % pad)

    for ch in loose:
        out.append("  <outline %s/>" % outline_attrs(ch))
    emit(tree, 1)
    out += ["</body>", "</opml>", ""]
    return "\n".join(out)


def seed():
    subscribe = ["feeds/%s.xml" % ch["stem"] for ch in CHANNELS if ch["stem"] not in UNSUBSCRIBED]
    disabled = ["feeds/%s.xml" % s for s in sorted(DISABLED)]
    return json.dumps({"subscribe": subscribe, "disabled": disabled, "alertRules": ALERT_RULES},
                      indent=2) + "\n"


def check():
    stems = [ch["stem"] for ch in CHANNELS]
    assert len(stems) == len(set(stems)), "duplicate channel"
    for ch in CHANNELS:
        assert 10 <= len(ch["stories"]) <= 40, ch["stem"]
        for story in ch["stories"]:
            assert len(story) == 5, (ch["stem"], story[0])
            assert story[4] in (None, *ENCLOSURES), (ch["stem"], story[0])
    assert DISABLED.isdisjoint(UNSUBSCRIBED)
    headlines = " ".join(s[0].lower() for ch in CHANNELS for s in ch["stories"])
    for rule in ALERT_RULES:
        assert any(w in headlines for w in rule["words"]), rule["name"]


def main():
    check()
    make_wav()
    make_pdf()
    make_mp4()
    write("pages/story.css", STYLE)
    for index, ch in enumerate(CHANNELS):
        dates = story_dates(index, len(ch["stories"]))
        feed = rss_feed(ch, dates) if ch["format"] == "rss" else atom_feed(ch, dates)
        write("feeds/%s.xml" % ch["stem"], feed)
        write("pages/%s/index.html" % ch["stem"], index_page(ch, dates))
        for n, (story, when) in enumerate(zip(ch["stories"], dates), start=1):
            write("pages/%s/%d.html" % (ch["stem"], n), story_page(ch, n, story, when))
    write("directory.opml", directory_opml())
    write("seed.json", seed())
    print("%d channels, %d stories" % (len(CHANNELS), sum(len(c["stories"]) for c in CHANNELS)))


if __name__ == "__main__":
    main()
