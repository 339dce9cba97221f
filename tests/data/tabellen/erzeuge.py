#!/usr/bin/env python3
"""Writes the article sheets the export tests start from, as flat OpenDocument spreadsheets:
artikel.fods (with repeated article numbers), artikel-erste.fods (each number's first row kept,
at the place of its first row) and artikel-letzte.fods (each number's last row kept there).
LibreOffice Calc turns them into the CSV files beside them (exportiere.sh)."""

from xml.sax.saxutils import escape

# Article number (text, or a number cell), name, delivery address, remark, price.
ZEILEN = [
    ("0815", "Schraube M6", "Musterstr. 1\n80331 München", "", 0.25),
    ("4711", "Kölnisch Wasser", "Glockengasse 4711\n50667 Köln", "Lieferung; bitte anrufen", 12.5),
    ("00471", "Winkel 3/4\" Messing", "", "Zoll; nicht metrisch", 3),
    (4711, "Kölnisch Wasser", "Glockengasse 4711\n50667 Köln\nHinterhaus", "zweite Lieferung", 12.5),
    ("0042", "\"Super\" Kleber", "Am Markt 2\n\n04109 Leipzig", "Bemerkung über\ndrei\nZeilen", 4),
    ("0815", "Schraube M6", "Musterstr. 1\n80331 München", "Nachbestellung", 0.3),
    ("1234", "Dübel\t8 mm", "Ringstr. 9", "", 1),
    ("00471", "Winkel 3/4\" Messing", "", "Zoll; nicht metrisch", 3),
    ("abc", "Kein Artikel", "", "Text in der ersten Spalte", ""),
    ("0042", "\"Super\" Kleber", "Am Markt 2\n\n04109 Leipzig", "andere Bemerkung;\nmit Semikolon", 4.5),
    ("5555", "Mutter M6", "Postfach 80331\n80331 München", "", 0.1),
    ("0815", "Schraube M6 verzinkt", "Musterstr. 1a\n80331 München", "\"dringend\"", 0.27),
    ("80331", "Plz als Nummer", "", "", 9),
    ("9999", "Einzelstück", "Weg 1\nzweite Zeile", "", 99),
]

KOPF = ("Artikelnr", "Bezeichnung", "Lieferanschrift", "Bemerkung", "Preis")


def schluessel(wert):
    return str(wert)


def behalte(letzte):
    gruppen = {}
    for zeile in ZEILEN:
        gruppen.setdefault(schluessel(zeile[0]), []).append(zeile)
    ergebnis, gesehen = [], set()
    for zeile in ZEILEN:
        k = schluessel(zeile[0])
        if k in gesehen:
            continue
        gesehen.add(k)
        ergebnis.append(gruppen[k][-1] if letzte else zeile)
    return ergebnis


def zelle(wert):
    if wert == "":
        return "<table:table-cell/>"
    if isinstance(wert, (int, float)):
        return (f'<table:table-cell office:value-type="float" office:value="{wert}">'
                f"<text:p>{wert}</text:p></table:table-cell>")
    absaetze = "".join(f"<text:p>{escape(teil)}</text:p>" for teil in wert.split("\n"))
    return f'<table:table-cell office:value-type="string">{absaetze}</table:table-cell>'


def schreibe(name, zeilen):
    reihen = "".join("<table:table-row>" + "".join(zelle(w) for w in z) + "</table:table-row>\n"
                     for z in [KOPF] + list(zeilen))
    with open(name, "w", encoding="utf-8") as datei:
        datei.write(f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Artikel">
{reihen}</table:table></office:spreadsheet></office:body></office:document>
""")


schreibe("artikel.fods", ZEILEN)
schreibe("artikel-erste.fods", behalte(False))
schreibe("artikel-letzte.fods", behalte(True))
