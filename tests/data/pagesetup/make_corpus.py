#!/usr/bin/env python3
"""Writes the page-setup corpus: flat OpenDocument files that LibreOffice
turns into RTF in the tests, and one RTF that names no paper at all.
Run from this folder: python3 make_corpus.py"""

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
  xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
  xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
  xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
  xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
  office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:font-face-decls>
  <style:font-face style:name="Liberation Serif" svg:font-family="'Liberation Serif'"
    xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"/>
 </office:font-face-decls>
 <office:styles>
  <style:default-style style:family="paragraph">
   <style:paragraph-properties fo:margin-top="0cm" fo:margin-bottom="0cm"/>
   <style:text-properties style:font-name="Liberation Serif" fo:font-size="12pt"/>
  </style:default-style>
 </office:styles>
"""

WORDS = ("alpha bravo charlie delta echo foxtrot golf hotel india juliett kilo lima mike "
         "november oscar papa quebec romeo sierra tango uniform victor whiskey xray yankee zulu").split()


def paragraph(n, words=40, style=None):
    body = " ".join(WORDS[(n * 7 + i) % len(WORDS)] for i in range(words))
    attr = f' text:style-name="{style}"' if style else ""
    return f"   <text:p{attr}>Para{n} {body}</text:p>\n"


def document(automatic, master, body):
    return (HEAD + " <office:automatic-styles>\n" + automatic + " </office:automatic-styles>\n"
            " <office:master-styles>\n" + master + " </office:master-styles>\n"
            " <office:body>\n  <office:text>\n" + body + "  </office:text>\n </office:body>\n</office:document>\n")


def layout(name, width, height, margins, extra="", header=None, footer=None):
    left, right, top, bottom = margins
    parts = [f'  <style:page-layout style:name="{name}">\n'
             f'   <style:page-layout-properties fo:page-width="{width}" fo:page-height="{height}"'
             f' fo:margin-left="{left}" fo:margin-right="{right}" fo:margin-top="{top}" fo:margin-bottom="{bottom}"'
             f'{extra}/>\n']
    if header:
        parts.append(f'   <style:header-style><style:header-footer-properties fo:min-height="{header}"'
                     ' fo:margin-bottom="0.25cm"/></style:header-style>\n')
    if footer:
        parts.append(f'   <style:footer-style><style:header-footer-properties fo:min-height="{footer}"'
                     ' fo:margin-top="0.25cm"/></style:footer-style>\n')
    parts.append("  </style:page-layout>\n")
    return "".join(parts)


def headers_and_fields():
    """A4 with a title page: the first page's header is a line of its own,
    the others' a line and a table of three rows, taller than the top
    margin; every footer shows the page number and the page count. Three
    pages, each opened by a page break, so that no line pitch decides them."""
    automatic = (layout("Layout", "21cm", "29.7cm", ("2cm", "2cm", "1.5cm", "1.5cm"), header="0.5cm", footer="0.5cm")
                 + '  <style:style style:name="Break" style:family="paragraph">'
                 '<style:paragraph-properties fo:break-before="page"/></style:style>\n'
                 '  <style:style style:name="Title" style:family="paragraph" style:master-page-name="FirstPage"/>\n')
    rows = "".join(f"      <table:table-row><table:table-cell><text:p>Head{r}left</text:p></table:table-cell>"
                   f"<table:table-cell><text:p>Head{r}right</text:p></table:table-cell></table:table-row>\n"
                   for r in range(1, 4))
    footer = ("   <style:footer><text:p>Page <text:page-number text:select-page=\"current\">1</text:page-number>"
              " of <text:page-count>1</text:page-count></text:p></style:footer>\n")
    master = ('  <style:master-page style:name="FirstPage" style:page-layout-name="Layout" style:next-style-name="Standard">\n'
              "   <style:header><text:p>Titlepageheader</text:p></style:header>\n" + footer
              + "  </style:master-page>\n"
              '  <style:master-page style:name="Standard" style:page-layout-name="Layout">\n'
              "   <style:header>\n    <text:p>Reportheader</text:p>\n"
              '    <table:table table:name="HeaderTable"><table:table-column table:number-columns-repeated="2"/>\n'
              + rows + "    </table:table>\n   </style:header>\n" + footer
              + "  </style:master-page>\n")
    body = ('   <text:p text:style-name="Title">Firstpage opens here.</text:p>\n'
            + "".join(paragraph(n) for n in range(1, 4))
            + '   <text:p text:style-name="Break">Secondpage opens here.</text:p>\n'
            + "".join(paragraph(n) for n in range(4, 7))
            + '   <text:p text:style-name="Break">Thirdpage opens here.</text:p>\n'
            + "".join(paragraph(n) for n in range(7, 10)))
    return document(automatic, master, body)


def sections():
    """Portrait Letter, a landscape section, and portrait again: page
    breaks between them, each section with its own size."""
    automatic = (layout("Portrait", "8.5in", "11in", ("1in", "1in", "1in", "1in"))
                 + layout("Wide", "11in", "8.5in", ("0.75in", "0.75in", "0.75in", "0.75in"),
                          ' style:print-orientation="landscape"')
                 + '  <style:style style:name="ToWide" style:family="paragraph" style:master-page-name="Wide"/>\n'
                 '  <style:style style:name="ToPortrait" style:family="paragraph" style:master-page-name="Portrait"/>\n')
    master = ('  <style:master-page style:name="Portrait" style:page-layout-name="Portrait"/>\n'
              '  <style:master-page style:name="Wide" style:page-layout-name="Wide"/>\n')
    body = ('   <text:p text:style-name="ToPortrait">Firstsection opens here.</text:p>\n'
            + "".join(paragraph(n) for n in range(1, 4))
            + '   <text:p text:style-name="ToWide">Widesection opens here.</text:p>\n'
            + "".join(paragraph(n) for n in range(4, 7))
            + '   <text:p text:style-name="ToPortrait">Lastsection opens here.</text:p>\n'
            + "".join(paragraph(n) for n in range(7, 9)))
    return document(automatic, master, body)


def columns():
    """A heading across the page, then two columns with a rule between
    them, then three columns."""
    automatic = (layout("Layout", "21cm", "29.7cm", ("2cm", "2cm", "2cm", "2cm"))
                 + '  <style:style style:name="Two" style:family="section"><style:section-properties>'
                 '<style:columns fo:column-count="2" fo:column-gap="1cm">'
                 '<style:column-sep style:width="0.02cm" style:color="#000000" style:height="100%"/>'
                 "</style:columns></style:section-properties></style:style>\n"
                 '  <style:style style:name="Three" style:family="section"><style:section-properties>'
                 '<style:columns fo:column-count="3" fo:column-gap="0.5cm"/></style:section-properties></style:style>\n')
    master = '  <style:master-page style:name="Standard" style:page-layout-name="Layout"/>\n'
    body = ("   <text:p>Columnsheading across the page.</text:p>\n"
            '   <text:section text:style-name="Two" text:name="Two">\n'
            + "".join(paragraph(n, 60) for n in range(1, 13))
            + "   </text:section>\n"
            '   <text:section text:style-name="Three" text:name="Three">\n'
            + "".join(paragraph(n, 30) for n in range(13, 19))
            + "   </text:section>\n")
    return document(automatic, master, body)


def no_paper_rtf():
    """No paper size and no margins: the format's own defaults apply."""
    paras = "".join("\\par " + paragraph(n).strip().replace("<text:p>", "").replace("</text:p>", "") + "\n"
                    for n in range(1, 9))
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Liberation Serif;}}\\fs24\nNopaper opens here.\n" + paras + "}\n"


if __name__ == "__main__":
    for name, text in (("headers-fields.fodt", headers_and_fields()), ("sections.fodt", sections()),
                       ("columns.fodt", columns()), ("no-paper.rtf", no_paper_rtf())):
        with open(name, "w", encoding="utf-8") as out:
            out.write(text)
