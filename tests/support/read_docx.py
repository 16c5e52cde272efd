#!/usr/bin/python3
"""Reads a Word document with python-docx and prints what the tests check, as JSON."""
import json
import sys
import zipfile

import docx
from docx.enum.text import WD_ALIGN_PARAGRAPH


def table_info(table):
    rows = []
    for row in table.rows:
        cells = []
        for cell in row.cells:
            paragraph = cell.paragraphs[0]
            bold = any(run.bold for run in paragraph.runs)
            align = {WD_ALIGN_PARAGRAPH.RIGHT: "right", WD_ALIGN_PARAGRAPH.CENTER: "center"}.get(
                paragraph.alignment, "left")
            cells.append({"text": cell.text, "bold": bold, "align": align})
        rows.append(cells)
    return rows


W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"


def grid_widths(table):
    """The column widths of a table in twips, as its grid gives them."""
    return [int(col.get(W + "w", "0")) for col in table._tbl.iter(W + "gridCol")]


def rows_kept_whole(table):
    return all(row._tr.find(W + "trPr/" + W + "cantSplit") is not None for row in table.rows)


def paragraph_flags(paragraph):
    ppr = paragraph._p.find(W + "pPr")
    return {"text": paragraph.text,
            "keepNext": ppr is not None and ppr.find(W + "keepNext") is not None,
            "pageBreakBefore": ppr is not None and ppr.find(W + "pageBreakBefore") is not None}


def main(path):
    document = docx.Document(path)
    section = document.sections[0]
    header = section.header
    with zipfile.ZipFile(path) as package:
        footer_xml = package.read("word/footer1.xml").decode("utf-8")
        media = sorted(name for name in package.namelist() if name.startswith("word/media/"))
    print(json.dumps({
        "tables": [table_info(t) for t in document.tables],
        "tableWidths": [grid_widths(t) for t in document.tables],
        "rowsKeptWhole": all(rows_kept_whole(t) for t in document.tables),
        "paragraphFlags": [paragraph_flags(p) for p in document.paragraphs if p.text],
        "headerWidths": grid_widths(header.tables[0]) if header.tables else [],
        "headerTitleNoWrap": bool(header.tables) and
            header.tables[0].rows[0].cells[1]._tc.find(W + "tcPr/" + W + "noWrap") is not None,
        "paragraphs": [p.text for p in document.paragraphs],
        "headerCells": [c.text for c in header.tables[0].rows[0].cells] if header.tables else [],
        "headerPictures": len(header.part.package.image_parts) if header.tables else 0,
        "inlineShapes": len(document.inline_shapes),
        "media": media,
        "footerHasPageField": "PAGE" in footer_xml,
        "pageWidthMm": round(section.page_width.mm),
        "pageHeightMm": round(section.page_height.mm),
        "marginsPt": [round(m.pt, 2) for m in (section.top_margin, section.bottom_margin,
                                                 section.left_margin, section.right_margin)],
        "headerDistancePt": round(section.header_distance.pt, 2),
        "portrait": section.page_width < section.page_height,
    }))


if __name__ == "__main__":
    main(sys.argv[1])
