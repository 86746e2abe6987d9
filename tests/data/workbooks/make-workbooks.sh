#!/usr/bin/env bash
# Makes the workbooks the import tests read, with programs other than ours:
# python3-openpyxl writes the source workbook, LibreOffice (Debian's
# libreoffice-calc-nogui) saves it again as .xlsx and .ods, computing the
# formula's value as it goes. Run once by hand when the files are to change;
# the build and the tests need neither program.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work/kaynak.xlsx" <<'PY'
import datetime, sys
import openpyxl

book = openpyxl.Workbook()
empty = book.active
empty.title = "Notlar"                      # an empty sheet, first
sheet = book.create_sheet("Müşteriler")
sheet.append(["Adı", "Soyadı", "Cep Telefonu", "Sabit Telefon", "Adres", "İl", "Kayıt Tarihi"])
sheet.append(["Şükrü", "Çağlayan", 5321112233, "0216 333 44 55", "Bağdat Cad. 12", "İstanbul",
              datetime.date(2023, 3, 9)])          # mobile as a number cell
sheet.append(["İpek", "Işık", "05321112234", None, "Kordon 5", "İzmir",
              datetime.date(2024, 12, 31)])        # mobile as a text cell, leading zero
sheet.append([None, "Öztürk", "+90 532 111 22 35", 2123334455, None, "Ankara", None])
sheet["A4"] = '=CONCATENATE("Gül","")'              # a formula: its value is the name
for cell in ("G2", "G3"):
    sheet[cell].number_format = "DD.MM.YYYY"
others = book.create_sheet("Bayiler")
others.append(["Ad", "GSM"])
others.append(["Ömer", "0533 222 33 44"])
book.save(sys.argv[1])
PY

soffice --headless --calc --convert-to xlsx:"Calc MS Excel 2007 XML" --outdir "$work/xlsx" "$work/kaynak.xlsx" >/dev/null
soffice --headless --calc --convert-to ods --outdir "$work/ods" "$work/kaynak.xlsx" >/dev/null
cp "$work/xlsx/kaynak.xlsx" kisiler.xlsx
cp "$work/ods/kaynak.ods" kisiler.ods

# A workbook with one sheet and nothing in it.
: > "$work/bos.csv"
soffice --headless --calc --convert-to xlsx:"Calc MS Excel 2007 XML" --outdir "$work/xlsx" "$work/bos.csv" >/dev/null
cp "$work/xlsx/bos.xlsx" bos.xlsx
