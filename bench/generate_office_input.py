#!/usr/bin/env python3
"""Writes office-style input of a given size for timing whole runs.

  generate_office_input.py rtf SIZE_MB OUT   RTF in the manner of word processors:
      a run per formatting change, list paragraphs, Cyrillic text as \\uN, tables
  generate_office_input.py txt SIZE_MB OUT   the same paragraphs as UTF-8 text
  generate_office_input.py breaks SIZE_MB OUT  line breaks only (empty paragraphs)
"""
import sys

RTF_HEADER = (
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Liberation Serif;}{\\f1\\fswiss\\fcharset204 Arial;}"
    "{\\f2\\fnil\\fcharset2 Symbol;}}{\\colortbl;\\red0\\green0\\blue0;\\red200\\green30\\blue30;}"
    "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}"
    "\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\n")
RTF_PARAGRAPH = (
    "\\pard\\plain\\ql\\sb0\\sa140\\sl276\\slmult1{\\loch\\f0\\fs24 An ordinary paragraph of body text with }"
    "{\\loch\\f0\\fs24\\b bold}{\\loch\\f0\\fs24  and }{\\loch\\f0\\fs24\\i\\cf2 coloured italic}"
    "{\\loch\\f0\\fs24  words, the way word processors write each change of formatting.}\\par\n")
RTF_LIST = "\\pard\\plain\\ls1\\fi-360\\li720{\\loch\\f0\\fs24 A list item}\\par\n"
RTF_CYRILLIC = (
    "\\pard\\plain\\qc{\\loch\\f1\\fs28\\uc1 \\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?, "
    "\\u1084?\\u1080?\\u1088?}\\par\n")
RTF_TABLE = (
    "\\trowd\\trgaph108\\trleft0\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3"
    "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx3000"
    "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx6000"
    "\\pard\\plain\\intbl{\\loch\\f0\\fs20 first cell}\\cell{\\loch\\f0\\fs20 second cell}\\cell\\row\\pard\n")

TEXT_BLOCK = (
    "An ordinary paragraph of body text with bold and coloured italic words, "
    "the way word processors write each change of formatting.\n"
    "A list item\n"
    "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440\n")
TEXT_TABLE = "first cell\tsecond cell\n"


def write_blocks(out, target, header, blocks, table, footer):
    """Writes UTF-8 bytes until the target size is reached."""
    written = out.write(header.encode())
    plain, with_table = "".join(blocks).encode(), ("".join(blocks) + table).encode()
    block = 0
    while written < target:
        written += out.write(with_table if block % 8 == 0 else plain)
        block += 1
    out.write(footer.encode())


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("rtf", "txt", "breaks"):
        sys.exit(__doc__)
    kind, target, path = sys.argv[1], int(float(sys.argv[2]) * (1 << 20)), sys.argv[3]
    if kind == "rtf":
        with open(path, "wb") as out:
            write_blocks(out, target, RTF_HEADER, [RTF_PARAGRAPH, RTF_LIST, RTF_CYRILLIC], RTF_TABLE, "}")
    elif kind == "txt":
        with open(path, "wb") as out:
            write_blocks(out, target, "", [TEXT_BLOCK], TEXT_TABLE, "")
    else:
        with open(path, "wb") as out:
            line = b"\n" * (1 << 20)
            for _ in range(target >> 20):
                out.write(line)
            out.write(b"\n" * (target & ((1 << 20) - 1)))


if __name__ == "__main__":
    main()
