#!/usr/bin/env bash
# Times whole runs importing Word documents and workbooks: one .docx, ten
# .docx in one run, one .xlsx, ten .xlsx in one run, each as a varnolt run
# to plain text and as LibreOffice's own --convert-to of the same files.
# Then workbooks read by our own readers beside the same runs sent through
# LibreOffice (VARNOLT_OFFICE_READER=libreoffice) and LibreOffice's own
# --convert-to csv: the test suite's workbook as .xlsx and .ods, and a large
# generated one (12 sheets of 5,000 rows by 60 columns, of which A1:AZ150
# is imported).
# Prints wall time and peak memory of each run (RUNS times each).
set -euo pipefail
cd "$(dirname "$0")/.."
varnolt=$(realpath "${VARNOLT:-build/default/cli/varnolt}")
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# soffice with a profile of its own, as varnolt runs it.
office="$work/office.sh"
cat >"$office" <<'SH'
#!/usr/bin/env bash
profile=$(mktemp -d)
soffice --headless -env:UserInstallation="file://$profile" "$@" >/dev/null 2>&1
status=$?
rm -rf "$profile"
exit $status
SH
chmod +x "$office"

# The fixtures: the test suite's sample document, and a workbook of three
# sheets made from CSV.
cp tests/data/office/sample.fodt "$work/sample.fodt"
"$office" --convert-to docx --outdir "$work" "$work/sample.fodt"
python3 - "$work/book.csv" <<'PY'
import sys
with open(sys.argv[1], "w") as out:
    for row in range(150):
        out.write(",".join(f"r{row}c{column}" if column % 3 else str(row * column) for column in range(12)) + "\n")
PY
"$office" --convert-to xlsx --outdir "$work" "$work/book.csv"
mkdir -p "$work/docx" "$work/xlsx" "$work/out"
for i in $(seq -w 1 10); do
  cp "$work/sample.docx" "$work/docx/doc$i.docx"
  cp "$work/book.xlsx" "$work/xlsx/book$i.xlsx"
done

measure() {  # label, command...
  local label=$1
  shift
  for ((i = 1; i <= runs; i++)); do
    /usr/bin/time -f "$label run $i: %e s wall, %M KB peak" "$@" 2>&1 >/dev/null | grep -E "^$label run" || true
  done
}

measure "varnolt 1 docx " "$varnolt" -q "$work/docx/doc01.docx" -o "$work/out/one.txt"
measure "varnolt 10 docx" "$varnolt" -q "$work"/docx/*.docx -o "$work/out/ten.txt"
measure "soffice 1 docx " "$office" --convert-to "txt:Text (encoded):UTF8" --outdir "$work/out" "$work/docx/doc01.docx"
measure "soffice 10 docx" "$office" --convert-to "txt:Text (encoded):UTF8" --outdir "$work/out" "$work"/docx/*.docx
measure "varnolt 1 xlsx " "$varnolt" -q "$work/xlsx/book01.xlsx" -o "$work/out/one.txt"
measure "varnolt 10 xlsx" "$varnolt" -q "$work"/xlsx/*.xlsx -o "$work/out/ten.txt"
measure "soffice 1 xlsx " "$office" --convert-to csv --outdir "$work/out" "$work/xlsx/book01.xlsx"
measure "soffice 10 xlsx" "$office" --convert-to csv --outdir "$work/out" "$work"/xlsx/*.xlsx

cp tests/data/office/workbook.fods "$work/workbook.fods"
python3 - "$work/large.fods" <<'PY'
import sys
head = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document '
        'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
        'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
        'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2" '
        'office:mimetype="application/vnd.oasis.opendocument.spreadsheet"><office:body><office:spreadsheet>\n')
with open(sys.argv[1], "w") as out:
    out.write(head)
    for sheet in range(12):
        out.write(f'<table:table table:name="Sheet{sheet + 1}">\n')
        for row in range(5000):
            cells = []
            for column in range(60):
                if column % 3:
                    cells.append(f'<table:table-cell office:value-type="string"><text:p>r{row}c{column}</text:p></table:table-cell>')
                else:
                    cells.append(f'<table:table-cell office:value-type="float" office:value="{row * column + 0.5}"/>')
            out.write("<table:table-row>" + "".join(cells) + "</table:table-row>\n")
        out.write("</table:table>\n")
    out.write("</office:spreadsheet></office:body></office:document>\n")
PY
for format in xlsx ods; do
  "$office" --convert-to "$format" --outdir "$work" "$work/workbook.fods" "$work/large.fods"
done
ls -l "$work"/*.xlsx "$work"/*.ods | awk '{print $5, $9}'

for book in workbook.xlsx workbook.ods large.xlsx large.ods; do
  measure "varnolt own    $book" "$varnolt" -q "$work/$book" -o "$work/out.txt"
  measure "varnolt office $book" env VARNOLT_OFFICE_READER=libreoffice "$varnolt" -q "$work/$book" -o "$work/out.txt"
  measure "soffice csv    $book" "$office" --convert-to csv --outdir "$work/csv" "$work/$book"
done
