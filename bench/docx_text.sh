#!/usr/bin/env bash
# Whole runs of a .docx to text: a small document (the test suite's feature
# document, saved as .docx by LibreOffice) through varnolt, LibreOffice's own
# --convert-to and, when installed, pandoc; then a generated 20 MB .docx
# through varnolt, with its speed in MB/s of unzipped XML and its peak
# memory against the unzipped size. RUNS times each (3 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
varnolt=$(realpath "${VARNOLT:-build/default/cli/varnolt}")
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

profile="$work/profile"
soffice --headless -env:UserInstallation="file://$profile" --convert-to docx --outdir "$work" \
  tests/data/office/docx-features.fodt >/dev/null 2>&1
small="$work/docx-features.docx"

measure() {  # label, command...
  local label=$1
  shift
  for ((i = 1; i <= runs; i++)); do
    /usr/bin/time -f "$label run $i: %e s wall, %M KB peak" "$@" 2>&1 >/dev/null | grep -E "^$label run" || true
  done
}

measure "varnolt small" "$varnolt" -q "$small" -o "$work/small.txt"
measure "soffice small" soffice --headless -env:UserInstallation="file://$profile" \
  --convert-to "txt:Text (encoded):UTF8" --outdir "$work/out" "$small"
if command -v pandoc >/dev/null; then
  measure "pandoc  small" pandoc "$small" -t plain -o "$work/small-pandoc.txt"
fi

# A generated document: paragraphs of words in a few run formats, a list, a
# table every few hundred paragraphs; text varied so that it packs as real
# documents do (about 4 to 1).
big="$work/big.docx"
python3 - "$big" <<'PY'
import random, sys, zipfile
random.seed(7)
words = [''.join(random.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(random.randint(2, 10))) for _ in range(5000)]
W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'
parts = []
size = 0
n = 0
while size < 20 * 1024 * 1024 * 4:
    n += 1
    runs = []
    for k in range(4):
        text = ' '.join(random.choice(words) for _ in range(random.randint(4, 14)))
        props = ['', '<w:rPr><w:b/></w:rPr>', '<w:rPr><w:i/><w:color w:val="C00000"/></w:rPr>', '<w:rPr><w:sz w:val="28"/></w:rPr>'][k]
        runs.append(f'<w:r>{props}<w:t xml:space="preserve">{text} </w:t></w:r>')
    ppr = '<w:pPr><w:numPr><w:ilvl w:val="0"/><w:numId w:val="1"/></w:numPr></w:pPr>' if n % 10 == 0 else '<w:pPr><w:jc w:val="both"/></w:pPr>'
    p = f'<w:p>{ppr}{"".join(runs)}</w:p>'
    if n % 300 == 0:
        cells = ''.join(f'<w:tc><w:p><w:r><w:t>{random.choice(words)}</w:t></w:r></w:p></w:tc>' for _ in range(4))
        p += '<w:tbl><w:tblGrid>' + '<w:gridCol w:w="2000"/>' * 4 + '</w:tblGrid>' + f'<w:tr>{cells}</w:tr>' * 5 + '</w:tbl>'
    parts.append(p)
    size += len(p)
document = f'<?xml version="1.0" encoding="UTF-8"?><w:document {W}><w:body>{"".join(parts)}</w:body></w:document>'
numbering = (f'<w:numbering {W}><w:abstractNum w:abstractNumId="0"><w:lvl w:ilvl="0"><w:start w:val="1"/>'
             '<w:numFmt w:val="decimal"/><w:lvlText w:val="%1."/><w:pPr><w:ind w:left="720" w:hanging="360"/></w:pPr>'
             '</w:lvl></w:abstractNum><w:num w:numId="1"><w:abstractNumId w:val="0"/></w:num></w:numbering>')
rels = ('<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        '<Relationship Id="r1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/></Relationships>')
docrels = ('<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
           '<Relationship Id="r1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering" Target="numbering.xml"/></Relationships>')
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('_rels/.rels', rels)
    z.writestr('word/_rels/document.xml.rels', docrels)
    z.writestr('word/numbering.xml', numbering)
    z.writestr('word/document.xml', document)
PY
unzipped=$(python3 -c "import sys, zipfile; print(sum(i.file_size for i in zipfile.ZipFile(sys.argv[1]).infolist()))" "$big")
packed=$(stat -c %s "$big")
echo "generated: $((packed / 1048576)) MB packed, $((unzipped / 1048576)) MB of XML"
for ((i = 1; i <= runs; i++)); do
  /usr/bin/time -f "%e %M" -o "$work/time" "$varnolt" -q "$big" -o "$work/big.txt"
  read -r seconds kilobytes <"$work/time"
  python3 - "$unzipped" "$seconds" "$kilobytes" "$i" <<'PY'
import sys
unzipped, seconds, kb, run = int(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
print(f"varnolt big run {run}: {seconds:.2f} s wall, {unzipped / 1048576 / seconds:.1f} MB/s of XML, "
      f"{kb / 1024:.0f} MB peak = {kb * 1024 / unzipped:.2f} x the XML")
PY
done
