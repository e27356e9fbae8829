#!/usr/bin/env python3
"""Writes the saved-page fixtures beside this script: news, encyclopaedia,
documentation, shop and spreadsheet-export shapes, as sites and editors
save them (navigation, scripts, styles, tables, forms, entities, conditional
comments, declared and undeclared character sets). Run it again after
changing it; the pages are committed."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

NAV = """<nav class="top"><ul><li><a href="/">Home</a></li><li><a href="/world">World</a></li>
<li><a href="/business">Business</a></li><li><a href="/science">Science</a></li><li><a href="/sport">Sport</a></li></ul></nav>"""
SCRIPT = """<script type="text/javascript">
  window.dataLayer = window.dataLayer || [];
  function track(e) { if (e < 3 && e > 0) { dataLayer.push({'event': '<p>ignored</p>'}); } }
</script>"""
STYLE = """<style>body{font-family:Georgia,serif}.byline{color:#666}td,th{padding:2px 6px}</style>"""
FOOTER = """<footer><p>&copy; 2026 The Harbour Gazette &middot; <a href="/privacy">Privacy</a> &middot; <a href="/terms">Terms of use</a></p></footer>"""

NEWS = [
    ("Council approves new tram line to the eastern docks",
     ["The city council voted on Tuesday to build a tram line linking the central station with the eastern docks, ending a debate that has lasted almost ten years.",
      "Construction is expected to begin next spring and to take three years. The line will have eleven stops and run every six minutes at peak hours.",
      "Opponents argued that the &pound;240 million budget would be better spent on buses, while shop owners along the route fear two years of road works."]),
    ("Record harvest lifts grain exports",
     ["Farmers in the northern provinces brought in the largest wheat harvest since records began, according to figures published by the agriculture ministry.",
      "Exports rose by 14&nbsp;% in the third quarter, and port operators report queues of ships waiting to load.",
      "Economists warn that prices could fall sharply if neighbouring countries report similar yields."]),
    ("Museum reopens after a two-year renovation",
     ["The natural history museum reopened its doors on Saturday with a new glass roof, a caf&eacute; and a gallery devoted to the region&rsquo;s fossils.",
      "More than 8,000 visitors came on the first day. The director said the &ldquo;biggest surprise&rdquo; was the queue that formed before dawn.",
      "Entry remains free for children under 16."]),
    ("Storm warning issued for the coast",
     ["The weather service issued an amber warning for gusts of up to 110&nbsp;km/h along the coast from Thursday evening.",
      "Ferry crossings may be cancelled and residents are advised to secure garden furniture.",
      "The storm is expected to weaken as it moves inland on Friday morning."]),
    ("Local team wins the regional cup",
     ["A late goal in extra time gave the Harbour Rovers a 2&ndash;1 victory in the regional cup final on Sunday.",
      "It is the club&rsquo;s first trophy in 23 years. Fans celebrated in the old town square until the early hours.",
      "The coach praised the &ldquo;patience and courage&rdquo; of a young squad."]),
    ("University opens a centre for battery research",
     ["The university has opened a research centre that will study batteries for ships and heavy lorries.",
      "Forty scientists will work in the new building, which was funded jointly by the state and three shipping companies.",
      "The first projects look at cheaper materials and at recycling old cells."]),
]

ENCYCLOPAEDIA = [
    ("Lighthouse", [("History", "Lighthouses have guided ships since antiquity. Early towers burned wood or coal in open fires; oil lamps with reflectors followed in the 18th century."),
                    ("Optics", "A Fresnel lens bends the light of a small lamp into a narrow, powerful beam. Its concentric rings weigh far less than a solid lens of the same size."),
                    ("Automation", "Most lighthouses were automated in the late 20th century, and keepers' cottages were turned into holiday homes or museums.")],
     [("Height", "47 m"), ("Built", "1862"), ("Range", "24 nmi"), ("Light", "Fl(2) W 10s")]),
    ("Otter", [("Description", "Otters are semi-aquatic mammals with long bodies, webbed feet and dense fur that keeps them warm in cold water."),
               ("Diet", "They feed mainly on fish, but also take crabs, frogs and water birds."),
               ("Conservation", "After decades of decline caused by pollution and hunting, populations have recovered in many rivers.")],
     [("Family", "Mustelidae"), ("Mass", "7&ndash;12 kg"), ("Lifespan", "about 10 years")]),
    ("Basalt", [("Formation", "Basalt forms when lava rich in magnesium and iron cools quickly at or near the surface."),
                ("Columns", "As thick flows cool and contract, they can crack into regular hexagonal columns."),
                ("Uses", "Crushed basalt is used in road building, and basalt fibre in heat-resistant textiles.")],
     [("Type", "Igneous"), ("Density", "2.9 g/cm&sup3;"), ("Silica", "45&ndash;52&nbsp;%")]),
    ("Sundial", [("Principle", "A sundial shows the time by the shadow a gnomon casts on a marked surface."),
                 ("Accuracy", "Sundials show apparent solar time, which differs from clock time by up to a quarter of an hour during the year."),
                 ("Mottoes", "Many sundials carry a Latin motto such as <i>tempus fugit</i>.")],
     [("Invented", "before 1500 BC"), ("Parts", "dial, gnomon")]),
    ("Windmill", [("Types", "Post mills turn their whole body into the wind; tower mills turn only the cap."),
                  ("Work", "Windmills ground grain, pumped water out of polders and sawed timber."),
                  ("Today", "Several hundred historic mills are still kept in working order by volunteers.")],
     [("First recorded", "9th century"), ("Sails", "4 to 6")]),
]

DOCS = [
    ("Installing the command-line tools",
     [("p", "The tools run on any recent Linux distribution. You need about 40&nbsp;MB of free disk space."),
      ("h2", "Requirements"),
      ("ul", ["a C++20 compiler", "CMake 3.25 or newer", "libxml2 and libzip"]),
      ("h2", "Building"),
      ("pre", "$ cmake -S . -B build\n$ cmake --build build\n$ sudo cmake --install build"),
      ("p", "If the build fails with <code>undefined reference</code>, check that the development packages are installed.")]),
    ("Configuration file reference",
     [("p", "Settings are read from <code>~/.config/tool/settings.ini</code> when the program starts."),
      ("table", [("Key", "Default", "Meaning"), ("timeout", "120", "seconds before a conversion is stopped"), ("threads", "2", "parallel jobs"), ("locale", "C", "language of messages")]),
      ("p", "Unknown keys are reported once and otherwise ignored."),
      ("dl", [("timeout", "A whole number of seconds, at least 1."), ("threads", "Between 1 and the number of cores.")])]),
    ("Frequently asked questions",
     [("h2", "Why is the first run slow?"),
      ("p", "The first run builds a font cache. Later runs reuse it and start in a fraction of a second."),
      ("h2", "Can I convert several files at once?"),
      ("p", "Yes: give every input before <code>-o</code>; each becomes one page of the output."),
      ("h2", "Where are temporary files kept?"),
      ("p", "In <code>$TMPDIR</code>, and they are removed when the run ends &mdash; also after an error.")]),
    ("Release notes 4.2",
     [("h2", "New"),
      ("ol", ["Tables keep their merged cells.", "Pages that declare no character set are detected.", "A new option <code>--quiet</code>."]),
      ("h2", "Fixed"),
      ("ul", ["A crash on empty input files.", "Wrong page size for A5 documents.", "Slow start with thousands of fonts."]),
      ("p", "Thanks to everyone who reported problems &amp; sent patches.")]),
    ("Keyboard shortcuts",
     [("table", [("Keys", "Action"), ("Ctrl+N", "new page"), ("Ctrl+Z", "undo"), ("Ctrl+Y", "redo"), ("Ctrl+Del", "delete the page")]),
      ("p", "Shortcuts can be changed in the options dialog.")]),
]

COUNTRIES = ["Argentina", "Australia", "Austria", "Belgium", "Brazil", "Canada", "Chile", "Denmark", "Egypt",
             "Finland", "France", "Germany", "Greece", "Iceland", "India", "Ireland", "Italy", "Japan", "Kenya",
             "Mexico", "Netherlands", "Norway", "Peru", "Poland", "Portugal", "Spain", "Sweden", "Uruguay"]


def head(title, charset, extra=""):
    meta = {"meta": f'<meta charset="{charset}">',
            "http-equiv": f'<meta http-equiv="Content-Type" content="text/html; charset={charset}">',
            None: ""}
    kind = "meta" if charset and not charset.startswith("equiv:") else ("http-equiv" if charset else None)
    if kind == "http-equiv":
        charset = charset[6:]
    return (f"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n{meta[kind]}\n<title>{title}</title>\n"
            f"<link rel=\"stylesheet\" href=\"/static/site.css\">\n{STYLE}\n{SCRIPT}\n{extra}</head>\n")


def news_page(i, item, charset):
    title, paragraphs = item
    body = [NAV, '<main><article>', f"<h1>{title}</h1>",
            f'<p class="byline">By <a href="/staff/{i}">Staff reporter</a> &middot; 1{i} March 2026</p>']
    body += [f"<p>{p}</p>" for p in paragraphs]
    body.append('<aside class="related"><h3>Related</h3><ul><li><a href="#">Budget talks resume</a></li>'
                '<li><a href="#">Ferry timetable changes</a></li></ul></aside>')
    body.append("</article></main>")
    body.append('<form action="/newsletter"><label>E-mail <input type="email" name="e"></label> '
                '<button type="submit">Subscribe</button></form>')
    body.append(FOOTER)
    body.append('<noscript><img src="/pixel.gif" alt=""></noscript>')
    return head(title, charset) + "<body>\n" + "\n".join(body) + "\n</body>\n</html>\n"


def encyclopaedia_page(item, charset):
    title, sections, facts = item
    rows = "".join(f"<tr><th>{k}</th><td>{v}</td></tr>" for k, v in facts)
    body = ['<div id="sidebar"><a href="/">Main page</a><br><a href="/random">Random article</a></div>',
            '<div id="content">', f'<h1 id="firstHeading">{title}</h1>',
            '<div class="hatnote">For other uses, see <a href="#">' + title + ' (disambiguation)</a>.</div>',
            f'<table class="infobox"><caption>{title}</caption>{rows}</table>',
            f"<p><b>{title}</b> is the subject of this article.<sup><a href=\"#cite1\">[1]</a></sup></p>",
            '<div id="toc"><h2>Contents</h2><ul>' +
            "".join(f'<li><a href="#s{n}">{n + 1} {s[0]}</a></li>' for n, s in enumerate(sections)) + "</ul></div>"]
    for n, (heading, text) in enumerate(sections):
        body.append(f'<h2 id="s{n}">{heading}<span class="edit">[<a href="#">edit</a>]</span></h2><p>{text}</p>')
    body.append('<h2>References</h2><ol class="references"><li id="cite1">Smith, J. (1998). <i>A field guide</i>. p.&nbsp;12.</li></ol>')
    body.append("</div>")
    return head(title, charset) + "<body>\n" + "\n".join(body) + "\n</body>\n</html>\n"


def docs_block(kind, content):
    if kind in ("p", "h2", "pre"):
        return f"<{kind}>{content}</{kind}>"
    if kind in ("ul", "ol"):
        return f"<{kind}>" + "".join(f"<li>{x}</li>" for x in content) + f"</{kind}>"
    if kind == "dl":
        return "<dl>" + "".join(f"<dt>{a}</dt><dd>{b}</dd>" for a, b in content) + "</dl>"
    head_row, *rows = content
    return ("<table border=\"1\"><thead><tr>" + "".join(f"<th>{h}</th>" for h in head_row) + "</tr></thead><tbody>" +
            "".join("<tr>" + "".join(f"<td>{c}</td>" for c in r) + "</tr>" for r in rows) + "</tbody></table>")


def docs_page(item, charset):
    title, blocks = item
    body = ['<header><a class="logo" href="/">Docs</a> <input type="search" placeholder="Search"></header>',
            '<div class="layout"><nav class="toc"><ol><li><a href="/install">Install</a></li><li><a href="/config">Configure</a></li>'
            '<li><a href="/faq">FAQ</a></li></ol></nav><div class="body">', f"<h1>{title}</h1>"]
    body += [docs_block(k, c) for k, c in blocks]
    body.append('<div class="admonition note"><p class="title">Note</p><p>This page is also available as PDF.</p></div>')
    body.append('</div></div><footer>Last updated 2 May 2026. <a href="/edit">Edit this page</a></footer>')
    return head(title, charset) + "<body>\n" + "\n".join(body) + "\n</body>\n</html>\n"


def form_page(n, chosen):
    options = "".join(f'<option value="{c[:2].upper()}"{" selected" if c == chosen else ""}>{c}</option>'
                      for c in COUNTRIES)
    return head("Order form", "utf-8") + f"""<body>
<h1>Delivery address</h1>
<form method="post" action="/order/{n}">
<p><label for="name">Full name</label> <input id="name" name="name" value="Ann Example"></p>
<p><label for="country">Country</label> <select id="country" name="country">{options}</select></p>
<p><label>Speed</label> <select name="speed"><optgroup label="Standard"><option>Economy (5 days)</option><option>Standard (3 days)</option></optgroup><optgroup label="Fast"><option>Next day</option></optgroup></select></p>
<p><label><input type="checkbox" checked> Send me offers</label></p>
<p><textarea name="note" rows="3">Leave the parcel at the back door.</textarea></p>
<p><button type="submit">Place order</button></p>
</form>
<p>Questions? Call 0800&nbsp;123&nbsp;456.</p>
</body>
</html>
"""


def sheet_page(n, rows):
    """An Excel workbook saved as a web page: Office namespaces, mso
    comments and the downlevel-revealed markers around its column widths."""
    cells = "\n".join("<tr height=20>" + "".join(f"<td class=xl{65 + k}>{c}</td>" for k, c in enumerate(r)) + "</tr>"
                      for r in rows)
    return f"""<html xmlns:o="urn:schemas-microsoft-com:office:office"
xmlns:x="urn:schemas-microsoft-com:office:excel"
xmlns="http://www.w3.org/TR/REC-html40">
<head>
<meta http-equiv=Content-Type content="text/html; charset=windows-1252">
<meta name=ProgId content=Excel.Sheet>
<style>
<!--table {{mso-displayed-decimal-separator:"\\.";}}
.xl65 {{mso-number-format:General;}}
-->
</style>
<!--[if gte mso 9]><xml>
 <x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>Sheet{n}</x:Name>
 </x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook>
</xml><![endif]-->
</head>
<body link=blue vlink=purple>
<table border=0 cellpadding=0 cellspacing=0 width=320 style='border-collapse:collapse;table-layout:fixed'>
<col width=120><col width=100><col width=100>
{cells}
<![if supportMisalignedColumns]>
<tr height=0 style='display:none'>
<td width=120 style='width:90pt'></td><td width=100 style='width:75pt'></td><td width=100 style='width:75pt'></td>
</tr>
<![endif]>
</table>
</body>
</html>
"""


SHEETS = [
    [("Region", "Q1", "Q2"), ("North", "1,204", "1,388"), ("South", "986", "1,020"), ("Total", "2,190", "2,408")],
    [("Item", "Price", "Stock"), ("Hammer", "&pound;12.50", "40"), ("Saw", "&pound;18.00", "12"), ("Drill", "&pound;64.99", "5")],
    [("Name", "Team", "Start"), ("Ann", "Sales", "2024-03-01"), ("Bo", "Support", "2025-11-15")],
    [("Month", "Rain (mm)", "Sun (h)"), ("January", "78", "52"), ("February", "61", "71"), ("March", "55", "110")],
]


def write(name, text, encoding="utf-8"):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(text.encode(encoding, errors="strict"))


def main():
    charsets = ["utf-8", "equiv:utf-8", "windows-1252", "equiv:iso-8859-1", "utf-8", "windows-1252"]
    for i, item in enumerate(NEWS):
        cs = charsets[i]
        encoding = "cp1252" if "1252" in cs or "8859" in cs else "utf-8"
        write(f"news-{i + 1}.html", news_page(i, item, cs), encoding)
    for i, item in enumerate(ENCYCLOPAEDIA):
        write(f"encyclopaedia-{i + 1}.html", encyclopaedia_page(item, "utf-8"))
    for i, item in enumerate(DOCS):
        write(f"docs-{i + 1}.html", docs_page(item, "utf-8" if i % 2 == 0 else "windows-1252"),
              "utf-8" if i % 2 == 0 else "cp1252")
    for n, chosen in enumerate(["Norway", "Chile", None]):
        write(f"form-{n + 1}.html", form_page(n, chosen))
    for n, rows in enumerate(SHEETS):
        write(f"sheet-{n + 1}.html", sheet_page(n + 1, rows), "cp1252")
    # Saved without any declaration: UTF-8 bytes, as editors write them today,
    # and one old page in Windows-1252.
    undeclared = [
        ("Café crème: a short history", "The café crème arrived in Parisian bars in the 1950s. Baristas in Zürich and Köln soon followed; today “crème” is on every menu from Lisbon to Łódź."),
        ("Señor Ortega’s garden", "Every May the señor opens his garden to visitors: 120 rose varieties, a pond with koi and a small café serving crêpes for 3,50 €."),
        ("Smörgåsbord for beginners", "Start with herring, then cold meats, then warm dishes — and never take too much at once. Skål!"),
        ("Αθήνα και Θεσσαλονίκη", "Οι δύο μεγαλύτερες πόλεις της Ελλάδας συνδέονται με τρένο που κάνει περίπου τέσσερις ώρες."),
    ]
    for n, (title, text) in enumerate(undeclared):
        page = (f"<html><head><title>{title}</title></head><body><h1>{title}</h1><p>{text}</p>"
                f"<p>Posted in <a href=\"/food\">Food &amp; drink</a>.</p></body></html>\n")
        write(f"undeclared-utf8-{n + 1}.html", page)
    write("undeclared-1252.html",
          "<html><head><title>Old page</title></head><body><h1>Résumé</h1><p>Naïve café owner seeks "
          "a façade painter — £200 per day.</p></body></html>\n", "cp1252")


if __name__ == "__main__":
    main()
