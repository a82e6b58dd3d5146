#!/usr/bin/python3
"""The anchor for the PDF benchmark: ReportLab drawing the listing's rows
(CSV as tavim-report --list writes it) on A4 pages laid out like ours, with
Liberation faces embedded as subsets. Prints "<bytes> <seconds>"."""
import csv
import sys
import time

from reportlab.lib.pagesizes import A4
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

FONTS = "/usr/share/fonts/truetype/liberation/"
ROWS_PER_PAGE = 52
COLUMNS = [  # x in points, CSV field, right-aligned
    (45, 0, False), (172, 1, False), (331, 2, False),
    (473, 3, True), (500, 4, True), (526, 5, True), (530, 6, False),
]


def main(source, target):
    start = time.monotonic()
    pdfmetrics.registerFont(TTFont("Sans", FONTS + "LiberationSans-Regular.ttf"))
    pdfmetrics.registerFont(TTFont("SansBold", FONTS + "LiberationSans-Bold.ttf"))
    pdfmetrics.registerFont(TTFont("Narrow", FONTS + "LiberationSansNarrow-Regular.ttf"))
    with open(source, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))[1:]
    pdf = canvas.Canvas(target, pagesize=A4, pageCompression=1)
    pdf.setTitle("Listagem")
    width, height = A4
    pages = max(1, (len(rows) + ROWS_PER_PAGE - 1) // ROWS_PER_PAGE)
    for page in range(pages):
        pdf.setFont("SansBold", 11)
        pdf.drawCentredString(width / 2, height - 50, "TAMBRI IMOVEIS LTDA")
        pdf.setFont("Sans", 9)
        pdf.drawRightString(width - 20, height - 50, "Pagina %d" % (page + 1))
        for i, line in enumerate(("Inscrição Municipal: 482.615.907-3 - CNPJ: 64.908.213/0001-57",
                                  "Referente ao mês de FEVEREIRO de 2024",
                                  "Regime especial Processo nº 07.521936.02.14")):
            pdf.drawCentredString(width / 2, height - 64 - 12 * i, line)
        pdf.setFont("Narrow", 5)
        for x, title in ((12, "CÓDIGO"), (45, "LOCADOR"), (172, "IMÓVEL"), (331, "LOCATÁRIO")):
            pdf.drawString(x, height - 98, title)
        pdf.line(9, height - 93, width - 9, height - 93)
        total = [0.0, 0.0, 0.0]
        y = height - 112
        for row in rows[page * ROWS_PER_PAGE:(page + 1) * ROWS_PER_PAGE]:
            for x, field, right in COLUMNS:
                text = row[field]
                if right:
                    pdf.drawRightString(x, y, text)
                else:
                    pdf.drawString(x, y, text)
            for k in range(3):
                total[k] += float(row[3 + k] or 0)
            pdf.line(9, y - 4, width - 9, y - 4)
            y -= 12.75
        pdf.drawString(410, y - 10, "Total da página: %.2f %.2f %.2f" % tuple(total))
        pdf.line(9, y - 14, width - 9, y - 14)
        pdf.showPage()
    pdf.save()
    import os
    print(os.path.getsize(target), round(time.monotonic() - start, 3))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
