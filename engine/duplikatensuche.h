#pragma once

#include "dateifehler.h"
#include "mainview.h"
#include "sicheresschreiben.h"
#include "suchzustand.h"

// The duplicate-resolution engine: loads a serial-number file, walks it group by group as the
// user settles each repeated serial number, and writes the result. Each public method is the
// work behind one window command; the window forwards its handlers here.
class Duplikatensuche
{
public:
    explicit Duplikatensuche(MainView &view);

    const SuchZustand &zustand() const { return m_zustand; }

    // Back to the idle state: no file, empty result, counters "0", the path re-checked.
    void Zuruecksetzen();
    // "Datei laden": reads the file named in the path field and runs the first search step.
    void btnLaden_Click();
    // "Weiter": keeps the chosen line of the group shown and walks on to the next group.
    void btnNaechsteZeile_Click();
    // "Speichern (ersetzen)": backs the file up to its ".ALT" name, then replaces it.
    void btnSpeichern_Click();
    // "Speichern unter...": writes the result to a path the user types.
    void btnSpeichernUnter_Click();

    // The path check: the load, editor and file-manager commands need a readable file.
    void txtPfad_Change();
    // The list selection: the chosen line goes into the edit field.
    void LstZeilen_Click();

private:
    bool lade(const QString &pfad);
    void brichAbOhneSpeicher();
    void suchschritt();
    bool waehleTrennzeichen();
    bool uebernehmeGewaehlteZeile(const QString &gewaehlt);
    void zeigeGruppe();
    void zeigeImZeilenfeld(qsizetype zeile);
    void leereZeilenfeld();
    void beendeSuchlauf();
    void zeigeZeilennummer(qsizetype zeile);
    void zeigeDateifehler(const Dateifehler &fehler, const QString &vorgang, const QString &titel);
    bool ersetzenBestaetigt(const QString &pfad);
    Inhalt ergebnis() const;
    void zeigeErsetzungsfehler(const Ersetzungsfehler &fehler, const QString &sicherung);
    void zeigeSpeichermangel();
    void schliesseAb();

    MainView &m_view;
    SuchZustand m_zustand;
    // The line whose cut text the edit field shows, read-only; `keine` when it shows a whole one.
    qsizetype m_gekuerzteZeile = Gruppenindex::keine;
};
