"""Prints a workbook as JSON for the export tests: per sheet its cells (value, type, bold,
font colour, fill colour), merged ranges and column widths."""
import json
import sys

import openpyxl


def colour(c):
    if c is None or c.type != "rgb" or not isinstance(c.rgb, str):
        return ""
    return c.rgb[-6:].upper()


def main(path):
    book = openpyxl.load_workbook(path)
    out = []
    for ws in book.worksheets:
        cells = {}
        for row in ws.iter_rows():
            for cell in row:
                if cell.value is None and not cell.has_style:
                    continue
                fill = ""
                if cell.fill is not None and cell.fill.fill_type == "solid":
                    fill = colour(cell.fill.fgColor)
                cells[cell.coordinate] = {
                    "v": "" if cell.value is None else str(cell.value),
                    "t": cell.data_type,
                    "bold": bool(cell.font.b),
                    "font": colour(cell.font.color),
                    "fill": fill,
                }
        widths = {k: v.width for k, v in ws.column_dimensions.items() if v.customWidth}
        out.append({"name": ws.title, "maxRow": ws.max_row, "cells": cells,
                    "merges": sorted(str(r) for r in ws.merged_cells.ranges), "widths": widths})
    json.dump(out, sys.stdout)


if __name__ == "__main__":
    main(sys.argv[1])
