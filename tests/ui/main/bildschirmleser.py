"""Reads Tessra as a screen reader does, over AT-SPI: loads a file through accessibility
actions only, then checks what the tree says about the status line, the counters, the focus
and the menu's setting. Usage: bildschirmleser.py DATEI"""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def fehler(text):
    sys.exit("FEHLER: " + text)


def pumpe(sekunden=0.0):
    ende = time.time() + sekunden
    kontext = GLib.MainContext.default()
    while True:
        while kontext.pending():
            kontext.iteration(False)
        if time.time() >= ende:
            return
        time.sleep(0.05)


def warte(bedingung, was, sekunden=15):
    ende = time.time() + sekunden
    while time.time() < ende:
        pumpe()
        ergebnis = bedingung()
        if ergebnis:
            return ergebnis
        time.sleep(0.1)
    fehler("nicht erreicht: " + was)


def alle(objekt):
    yield objekt
    for i in range(objekt.childCount):
        kind = objekt.getChildAtIndex(i)
        if kind is not None:
            yield from alle(kind)


def anwendung():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tessra":
            return app
    return None


def finde(wurzel, rolle, name):
    for objekt in alle(wurzel):
        if objekt.getRoleName() == rolle and objekt.name == name:
            return objekt
    return None


def hat(objekt, zustand):
    return objekt.getState().contains(zustand)


def druecke(objekt):
    aktion = objekt.queryAction()
    if aktion.nActions < 1 or not aktion.doAction(0):
        fehler("keine Aktion: " + objekt.name)


def main():
    datei = sys.argv[1]
    namen = []
    fokusse = []
    pyatspi.Registry.registerEventListener(
        lambda e: namen.append(e.source.name), "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(
        lambda e: e.detail1 and fokusse.append(e.source), "object:state-changed:focused")

    app = warte(anwendung, "Tessra am Bus")
    # The file named at the start stands in the path field, checked, but not loaded yet.
    pfad = warte(lambda: finde(app, "text", "Seriennummern-Datei"), "Pfadfeld")
    if pfad.queryText().getText(0, -1) != datei:
        fehler("Pfadfeld nach dem Start mit der Datei: %r" % pfad.queryText().getText(0, -1))
    laden = finde(app, "push button", "Datei laden")
    if not hat(laden, pyatspi.STATE_ENABLED):
        fehler("Datei laden nach dem Start mit der Datei nicht nutzbar")
    druecke(warte(lambda: finde(app, "radio button", "Semikolon"), "Semikolon"))
    druecke(laden)

    status = warte(lambda: finde(app, "label", "Zeile 2 von 5"), "Status Zeile 2 von 5")
    pumpe(0.5)
    if namen.count("Zeile 2 von 5") != 1:
        fehler("nicht genau ein Ereignis für den neuen Status; gemeldet: %r" % namen)
    for zaehler in ("Datensätze: 1", "Duplikate: 1"):
        if finde(app, "label", zaehler) is None:
            fehler("kein Zähler " + zaehler)
    for doppelt in ("Datensätze", "Duplikate"):
        if any(o.name == doppelt for o in alle(app)):
            fehler("Zähler ohne Zahl: " + doppelt)
    fokussiert = [o.name for o in alle(app) if hat(o, pyatspi.STATE_FOCUSED)]
    if fokussiert != ["Ausgewählte Zeile (noch änderbar):"]:
        fehler("fokussiert: %r" % fokussiert)
    # The list's menu, as Shift+F10 opens it. A popup menu is no child of the application:
    # a screen reader meets its entries by their focus events, as here. The setting is a check
    # box that tells its state.
    setzen = "Gruppen mit gleichen Zeilen automatisch übernehmen"
    for eingeschaltet in (False, True):
        liste = finde(app, "list", "Mehrfache Datensätze:")
        liste.queryComponent().grabFocus()
        warte(lambda: hat(liste, pyatspi.STATE_FOCUSED), "Liste fokussiert")
        fokusse.clear()
        subprocess.run(["xdotool", "key", "shift+F10", "Up", "Up"], check=True)
        eintrag = warte(lambda: next((o for o in fokusse if o.name == setzen), None),
                        "Fokus auf der Einstellung im Menü")
        if eintrag.getRoleName() != "check box":
            fehler("Rolle der Einstellung: " + eintrag.getRoleName())
        if hat(eintrag, pyatspi.STATE_CHECKED) != eingeschaltet:
            fehler("Zustand der Einstellung: nicht %s" % eingeschaltet)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        warte(lambda: not hat(eintrag, pyatspi.STATE_SHOWING), "Menü geschlossen")
    print("Status:", status.name, "| Zähler, Fokus und Menü gelesen")


if __name__ == "__main__":
    main()
