#!/usr/bin/env python3
"""Makes the test workbooks: writes each as OpenDocument flat XML (.fods),
then has LibreOffice Calc and Gnumeric save it as .xlsx and .ods, and each
export its table's sheet as tab text, so that the tests read files written
by real spreadsheet programs. Needs soffice (libreoffice-calc-nogui) and
ssconvert (gnumeric). Run it in this folder."""
import html
import os
import subprocess

HEADING = ["NAME OF ISSUER", "TITLE OF CLASS", "CUSIP", "VALUE", "SHRS OR PRN AMT", "SH/PRN", "PUT/CALL",
           "INVESTMENT DISCRETION", "OTHER MANAGERS", "VOTING AUTHORITY SOLE", "VOTING AUTHORITY SHARED",
           "VOTING AUTHORITY NONE"]
# CUSIPs of digits alone are numbers in the sheet, as a spreadsheet keeps
# them when typed: 037833100 is held as 37833100. A value given as a
# formula is a sum whose cached result is the value.
HOLDINGS = [
    ["APPLE INC", "COM", 37833100, 45213876, 180512, "SH", "", "SOLE", "", 180512, 0, 0],
    ["MICROSOFT CORP", "COM", 594918104, "=38000000+102455", 90396, "SH", "", "SOLE", "", 88000, 0, 2396],
    ["AMAZON COM INC", "COM", 23135106, 21877310, 99716, "SH", "", "DFND", 1, 0, 99716, 0],
    ["JPMORGAN CHASE & CO", "COM", "46625H100", 9870123, 41176, "SH", "", "SOLE", "", 41176, 0, 0],
    ["SPDR S&P 500 ETF TR", "TR UNIT", "78462F103", 5845000, 10000, "SH", "Call", "SOLE", "", 10000, 0, 0],
    ["BERKSHIRE HATHAWAY INC DEL", "CL B NEW", 84670702, 7252500, 16000, "SH", "", "OTR", "1,2", 0, 16000, 0],
    ["EXXON MOBIL CORP", "COM", "30231G102", 3227100, 30000, "SH", "", "SOLE", "", 25000, 3000, 2000],
]
HIDDEN = {"BERKSHIRE HATHAWAY INC DEL"}


def cell(value):
    if value == "":
        return "<table:table-cell/>"
    if isinstance(value, int):
        return f'<table:table-cell office:value-type="float" office:value="{value}"><text:p>{value}</text:p></table:table-cell>'
    if value.startswith("="):
        result = eval(value[1:])
        return (f'<table:table-cell table:formula="of:{html.escape(value)}" office:value-type="float" '
                f'office:value="{result}"><text:p>{result}</text:p></table:table-cell>')
    return f'<table:table-cell office:value-type="string"><text:p>{html.escape(value)}</text:p></table:table-cell>'


def row(cells, hidden=False):
    visibility = ' table:visibility="collapse"' if hidden else ""
    return f"<table:table-row{visibility}>" + "".join(cell(c) for c in cells) + "</table:table-row>"


def sheet(name, rows, hidden_column=None):
    columns = ""
    if hidden_column:
        columns = (f'<table:table-column table:number-columns-repeated="{hidden_column - 1}"/>'
                   '<table:table-column table:visibility="collapse"/>')
    return f'<table:table table:name="{name}">' + columns + "".join(rows) + "</table:table>"


def holdings_rows(title=True, totals=True):
    rows = []
    if title:
        rows += [row(["ACME CAPITAL LLC: 13F HOLDINGS"]),
                 '<table:table-row><table:table-cell><text:p>As of</text:p></table:table-cell>'
                 '<table:table-cell office:value-type="date" office:date-value="2026-09-30">'
                 '<text:p>09/30/26</text:p></table:table-cell></table:table-row>',
                 row([])]
    rows.append(row(HEADING))
    rows += [row(h, h[0] in HIDDEN) for h in HOLDINGS]
    if totals:
        first, last = 5, 4 + len(HOLDINGS)
        total = sum(eval(h[3][1:]) if isinstance(h[3], str) else h[3] for h in HOLDINGS)
        rows += [row([]),
                 '<table:table-row><table:table-cell office:value-type="string"><text:p>TOTAL</text:p>'
                 '</table:table-cell><table:table-cell table:number-columns-repeated="2"/>'
                 f'<table:table-cell table:formula="of:=SUM([.D{first}:.D{last}])" office:value-type="float" '
                 f'office:value="{total}"><text:p>{total}</text:p></table:table-cell></table:table-row>',
                 row(["Values in dollars; a notice of no holdings is filed separately."])]
    return rows


def document(sheets):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
            'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
            'xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" '
            'xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0" '
            'xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" '
            'office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
            '<office:automatic-styles>'
            '<number:date-style style:name="N37"><number:month/><number:text>/</number:text><number:day/>'
            '<number:text>/</number:text><number:year/></number:date-style>'
            '<number:boolean-style style:name="N99"><number:boolean/></number:boolean-style>'
            '<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N37"/>'
            '<style:style style:name="ce2" style:family="table-cell" style:data-style-name="N99"/>'
            '</office:automatic-styles>'
            '<office:body><office:spreadsheet>' + "".join(sheets) +
            '</office:spreadsheet></office:body></office:document>\n')


# Cells no table holds, as filers' sheets come to have them: a value cell
# formatted as a date, a yes-or-no value, a formula's error; and a name
# typed with a line break in its cell.
def slips_rows():
    rows = [row(HEADING)]
    date = ('<table:table-cell table:style-name="ce1" office:value-type="date" office:date-value="2026-09-30">'
            '<text:p>09/30/26</text:p></table:table-cell>')
    boolean = ('<table:table-cell table:style-name="ce2" office:value-type="boolean" office:boolean-value="true">'
               '<text:p>TRUE</text:p></table:table-cell>')
    error = ('<table:table-cell table:formula="of:=1/0" office:value-type="float" office:value="0" '
             'calcext:value-type="error"><text:p>#DIV/0!</text:p></table:table-cell>')
    broken = ('<table:table-cell office:value-type="string"><text:p>BERKSHIRE HATHAWAY</text:p>'
              '<text:p>INC DEL</text:p></table:table-cell>')
    for h in HOLDINGS:
        cells = [cell(c) for c in h]
        if h[0] == "APPLE INC":
            cells[3] = date
        if h[0] == "AMAZON COM INC":
            cells[4] = boolean
        if h[0] == "EXXON MOBIL CORP":
            cells[3] = error
        if h[0] == "BERKSHIRE HATHAWAY INC DEL":
            cells[0] = broken
        rows.append("<table:table-row>" + "".join(cells) + "</table:table-row>")
    return rows


WORKBOOKS = {
    # A notes sheet first; the table under a title, with a hidden row, a
    # hidden column (other managers) and a totals row.
    "holdings": [sheet("Notes", [row(["Prepared by the back office."])]), sheet("Holdings", holdings_rows(), 9)],
    # Last quarter's table kept beside this quarter's.
    "two-tables": [sheet("2026Q2", holdings_rows(False, False)), sheet("2026Q3", holdings_rows(False, False))],
    "slips": [sheet("Holdings", slips_rows())],
}

for name, sheets in WORKBOOKS.items():
    with open(name + ".fods", "w") as source:
        source.write(document(sheets))
    for kind in ("xlsx", "ods"):
        subprocess.run(["soffice", "--headless", "--convert-to", kind, "--outdir", "calc", name + ".fods"],
                       check=True, stdout=subprocess.DEVNULL)
        os.replace(f"calc/{name}.{kind}", f"calc-{name}.{kind}")
    os.rmdir("calc")
    # Gnumeric reads no flat OpenDocument: it saves from Calc's .ods.
    for kind in ("xlsx", "ods"):
        subprocess.run(["ssconvert", f"calc-{name}.ods", f"gnumeric-{name}.{kind}"], check=True,
                       stderr=subprocess.DEVNULL)
# The table sheet as each program exports it to tab text.
subprocess.run(["ssconvert", "-O", "separator='\t' sheet=Holdings format=preserve", "calc-holdings.ods",
                "gnumeric-holdings-export.txt"], check=True, stderr=subprocess.DEVNULL)
subprocess.run(["soffice", "--headless", "--convert-to",
                "txt:Text - txt - csv (StarCalc):9,34,76,1,,0,false,true,false,false,false,2",
                "--outdir", "calc", "holdings.fods"], check=True, stdout=subprocess.DEVNULL)
os.replace("calc/holdings-Holdings.txt", "calc-holdings-export.txt")
os.rmdir("calc")
for name in WORKBOOKS:
    os.remove(name + ".fods")
