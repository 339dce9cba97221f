#include "duplikatensuche.h"

#include "anzeigetext.h"
#include "dateien.h"
#include "sicheresschreiben.h"

#include <algorithm>
#include <new>

using Control = MainView::Control;
using Label = MainView::Label;

namespace {

const QString titelNixGefunden = QStringLiteral("Tessra - Nix gefunden");
const QString titelDateifehler = QStringLiteral("Tessra - Dateifehler");
const QString titelSpeicherfehler = QStringLiteral("Tessra - Speicherfehler");
const QString titelZeichenproblem = QStringLiteral("Tessra - Zeichenproblem");
const QString titelDateiGeaendert = QStringLiteral("Tessra - Datei geändert");

// Only spaces count here; a tab in front of a path is left as it is.
QString ohneLeerzeichen(const QString &text)
{
    qsizetype anfang = 0;
    qsizetype ende = text.size();
    while (anfang < ende && text[anfang] == u' ')
        ++anfang;
    while (ende > anfang && text[ende - 1] == u' ')
        --ende;
    return text.sliced(anfang, ende - anfang);
}

// An edited line must stay one line in the saved file, whatever its line ends; a QLineEdit
// keeps a pasted CR or LF.
bool enthaeltZeilenende(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

QString zahl(qsizetype wert)
{
    return QString::number(wert);
}

} // namespace

Duplikatensuche::Duplikatensuche(MainView &view)
    : m_view(view)
{
}

void Duplikatensuche::Zuruecksetzen()
{
    m_view.setEnabled(Control::btnLaden, true);
    m_view.setEnabled(Control::btnSpeichern, false);
    m_view.setEnabled(Control::btnSpeichernUnter, false);
    m_view.setEnabled(Control::txtPfad, true);
    m_view.focusTxtPfad();
    m_view.selectTxtPfad(0, m_view.txtPfad().size());
    txtPfad_Change();
    leereZeilenfeld();
    m_view.setCaption(Label::lblAnzDuplikate, QStringLiteral("0"));
    m_view.setCaption(Label::lblAnzDatensaetze, QStringLiteral("0"));
    m_view.clearLstZeilen();
    m_zustand.AktZeile = 0;
    m_zustand.AnzSerien = 0;
    m_zustand.AnzFunde = 0;
    m_zustand.Serie = {};
    m_zustand.Ergebnis = {};
    m_zustand.Zeilen = {};
    m_zustand.Gruppen = {};
    m_zustand.GeladenerPfad.clear();
    m_zustand.GeladenerStand = {};
    m_schritte.clear();
}

void Duplikatensuche::btnLaden_Click()
{
    Zuruecksetzen();
    m_view.setEnabled(Control::btnSpeichern, false);
    m_view.setEnabled(Control::btnSpeichernUnter, false);
    m_view.setEnabled(Control::txtPfad, false);
    m_view.setTxtPfad(ohneLeerzeichen(m_view.txtPfad()));
    txtPfad_Change();
    const QString pfad = m_view.txtPfad();
    if (pfad.size() <= 3)
        return;
    if (!waehleTrennzeichen())
        return;

    try {
        if (!lade(pfad))
            return;
    } catch (const std::bad_alloc &) {
        brichAbOhneSpeicher();
        return;
    }

    if (m_zustand.Zeilen.size() >= 4) {
        m_zustand.AnzSerien = 0;
        m_zustand.AktZeile = -1;
        m_zustand.Ergebnis = {};
        m_view.setEnabled(Control::btnLaden, false);
        btnNaechsteZeile_Click();
        return;
    }
    m_view.showMessage(QStringLiteral("In der Datei sind nur ") + zahl(m_zustand.Zeilen.size()) +
                           QStringLiteral(" Zeilen vorhanden.\nManuell gehts schneller..."),
                       QStringLiteral("Tessra - Lohnt sich nicht!"));
    Zuruecksetzen();
}

// Reads the file into `Zeilen` and, for a file long enough to be searched, finds which lines
// share a serial number. False when the file could not be read, which was reported.
bool Duplikatensuche::lade(const QString &pfad)
{
    auto gelesen = leseDatei(pfad, &m_zustand.GeladenerStand);
    m_zustand.GeladenerPfad = pfad;
    if (const auto *fehler = std::get_if<Dateifehler>(&gelesen)) {
        zeigeDateifehler(*fehler, QStringLiteral("kann nicht gelesen werden:"), titelDateifehler);
        Zuruecksetzen();
        return false;
    }
    Textdatei datei = Textdatei::ausBytes(std::get<QByteArray>(std::move(gelesen)));
    // An empty file leaves the one empty line of the reset state.
    if (datei.size() > 0)
        m_zustand.Zeilen = std::move(datei);
    if (m_zustand.Zeilen.size() >= 4)
        m_zustand.Gruppen = Gruppenindex(m_zustand.Zeilen, m_zustand.Trennzeichen);
    return true;
}

// Memory ran out while loading or listing a group. What was built so far goes first, so that
// the message box has memory to work with; nothing has been written.
void Duplikatensuche::brichAbOhneSpeicher()
{
    m_zustand = SuchZustand{};
    m_view.clearLstZeilen();
    m_view.showMessage(QStringLiteral("Die Datei\n") + m_view.txtPfad() +
                           QStringLiteral("\nist zu groß für den verfügbaren Arbeitsspeicher."),
                       titelDateifehler);
    Zuruecksetzen();
}

bool Duplikatensuche::waehleTrennzeichen()
{
    switch (m_view.selectedDelimiter()) {
    case MainView::Delimiter::Tab:
        m_zustand.Trennzeichen = QStringLiteral("\t");
        return true;
    case MainView::Delimiter::Semikolon:
        m_zustand.Trennzeichen = QStringLiteral(";");
        return true;
    case MainView::Delimiter::Anderes:
        if (m_view.txtAnderes().isEmpty()) {
            m_view.showMessage(QStringLiteral("Bitte ein Trennzeichen eingeben bzw. auswählen!"),
                               QStringLiteral("Tessra - Trennzeichenproblem"));
            Zuruecksetzen();
            return false;
        }
        m_zustand.Trennzeichen = m_view.txtAnderes();
        return true;
    case MainView::Delimiter::None:
        break;
    }
    return true;
}

// Runs a command that walks or lists a group; memory running out on the way ends the run as it
// does while loading.
template <typename Befehl> void Duplikatensuche::ohneSpeichermangel(Befehl befehl)
{
    try {
        befehl();
    } catch (const std::bad_alloc &) {
        brichAbOhneSpeicher();
    }
}

void Duplikatensuche::btnNaechsteZeile_Click()
{
    ohneSpeichermangel([this] { suchschritt(); });
}

void Duplikatensuche::suchschritt()
{
    const QString gewaehlt = m_view.txtZeile();
    const Schritt schritt = aktuellerSchritt();
    if (!gewaehlt.isEmpty() && !uebernehmeGewaehlteZeile(gewaehlt))
        return;
    // "Weiter" after a reset stores what the field holds, but no group was decided.
    if (gruppeGezeigt())
        m_schritte.push_back(schritt);
    leereZeilenfeld();
    m_view.clearLstZeilen();
    sucheNaechsteGruppe({});
}

// Walks on from the line after AktZeile and shows the next group that needs the user; past the
// last line the run finishes.
void Duplikatensuche::sucheNaechsteGruppe(Gang gang)
{
    while (geheZumNaechstenKopf(gang)) {
        if (!m_gleicheAutomatisch || !zeilenGleich(m_zustand.AktZeile)) {
            zeigeGruppe();
            return;
        }
        behalteNachRegel(Regel::ErsteBehalten, gang);
    }
    zeigeGangStand(gang);
    beendeSuchlauf();
}

// Moves AktZeile on to the next line that heads a group of several lines, passing every line
// without a serial number and every unique one into the result and counting the serial numbers
// met; false past the last line. The walk of "Weiter" and the rules share it, so both count
// alike.
bool Duplikatensuche::geheZumNaechstenKopf(Gang &gang)
{
    SuchZustand &z = m_zustand;
    while (++z.AktZeile < z.Zeilen.size()) {
        const qsizetype erste = z.Gruppen.ersteZeile(z.AktZeile);
        if (erste == Gruppenindex::keine) {
            z.Ergebnis.uebernehmeZeile(z.AktZeile);
            continue;
        }
        // The group of this serial number was settled when its first line was reached. Such a
        // line is passed without reading it, so a step right after a huge group stays quick.
        if (erste != z.AktZeile)
            continue;
        const Seriennummer serie = z.Gruppen.seriennummer(z.Zeilen, z.AktZeile);
        z.Serie = serie.text;
        if (serie.mitTrennzeichen)
            ++z.AnzSerien;
        gang.statuszeile = z.AktZeile;
        z.AnzFunde = 0;
        if (z.Gruppen.naechsteZeile(z.AktZeile) != Gruppenindex::keine)
            return true;
        z.Ergebnis.uebernehmeZeile(z.AktZeile);
    }
    return false;
}

// Settles the group at AktZeile without showing it: the kept line, unedited, takes the place
// of the group's first line, as if the user had selected it and clicked "Weiter".
void Duplikatensuche::behalteNachRegel(Regel regel, Gang &gang)
{
    SuchZustand &z = m_zustand;
    qsizetype letzte = z.AktZeile;
    z.AnzFunde = 0;
    for (qsizetype zeile = z.Gruppen.naechsteZeile(letzte); zeile != Gruppenindex::keine;
         zeile = z.Gruppen.naechsteZeile(zeile)) {
        letzte = zeile;
        ++z.AnzFunde;
    }
    const qsizetype behalten = regel == Regel::ErsteBehalten ? z.AktZeile : letzte;
    z.Ergebnis.uebernehmeZeile(behalten);
    gang.statuszeile = behalten;
    gang.funde = z.AnzFunde;
}

bool Duplikatensuche::zeilenGleich(qsizetype kopf) const
{
    const SuchZustand &z = m_zustand;
    const QByteArrayView erste = z.Zeilen.bytes(kopf);
    for (qsizetype zeile = z.Gruppen.naechsteZeile(kopf); zeile != Gruppenindex::keine;
         zeile = z.Gruppen.naechsteZeile(zeile)) {
        if (z.Zeilen.bytes(zeile) != erste)
            return false;
    }
    return true;
}

// The captions a walk leaves when it shows no group: only the last of them would have stayed
// in view while clicking through.
void Duplikatensuche::zeigeGangStand(const Gang &gang)
{
    if (gang.statuszeile != Gruppenindex::keine) {
        zeigeZeilennummer(gang.statuszeile);
        m_view.setCaption(Label::lblAnzDatensaetze, zahl(m_zustand.AnzSerien));
    }
    if (gang.funde >= 0)
        m_view.setCaption(Label::lblAnzDuplikate, zahl(gang.funde));
}

bool Duplikatensuche::gruppeGezeigt() const
{
    const SuchZustand &z = m_zustand;
    return z.AktZeile >= 0 && z.Gruppen.ersteZeile(z.AktZeile) == z.AktZeile &&
           z.Gruppen.naechsteZeile(z.AktZeile) != Gruppenindex::keine;
}

Duplikatensuche::Schritt Duplikatensuche::aktuellerSchritt() const
{
    return {m_zustand.AktZeile, m_zustand.Ergebnis.stand(), m_zustand.AnzSerien};
}

void Duplikatensuche::letzteEntscheidungZuruecknehmen()
{
    ohneSpeichermangel([&] {
        if (m_schritte.empty())
            return;
        const Schritt schritt = m_schritte.back();
        m_schritte.pop_back();
        SuchZustand &z = m_zustand;
        z.Ergebnis.kehreZurueck(schritt.ergebnis);
        z.AktZeile = schritt.aktZeile;
        z.AnzSerien = schritt.anzSerien;
        z.Serie = z.Gruppen.seriennummer(z.Zeilen, z.AktZeile).text;
        // A finished run is running again: nothing to save, and the file stays as loaded.
        m_view.setEnabled(Control::btnSpeichern, false);
        m_view.setEnabled(Control::btnSpeichernUnter, false);
        m_view.setEnabled(Control::txtPfad, false);
        m_view.setEnabled(Control::btnLaden, false);
        zeigeGruppe();
    });
}

void Duplikatensuche::alleWeiterenGruppen(Regel regel)
{
    ohneSpeichermangel([&] {
        if (!gruppeGezeigt())
            return;
        const qsizetype anzahl = verbleibendeGruppen();
        const QString gruppen =
            anzahl == 1 ? QStringLiteral("Es ist noch 1 Gruppe übrig, die angezeigte.")
                        : QStringLiteral("Es sind noch ") + zahl(anzahl) +
                              QStringLiteral(" Gruppen übrig, die angezeigte eingeschlossen.");
        const QString zeile = regel == Regel::ErsteBehalten ? QStringLiteral("die erste")
                                                            : QStringLiteral("die letzte");
        if (!m_view.askYesNo(gruppen + QStringLiteral("\nVon jeder Gruppe ") + zeile +
                                 QStringLiteral(" Zeile unverändert behalten und die übrigen "
                                                "Zeilen entfernen?"),
                             QStringLiteral("Tessra - Alle weiteren Gruppen")))
            return;
        m_schritte.push_back(aktuellerSchritt());
        leereZeilenfeld();
        m_view.clearLstZeilen();
        // No view call per group: the window gets the end state once.
        Gang gang;
        do
            behalteNachRegel(regel, gang);
        while (geheZumNaechstenKopf(gang));
        zeigeGangStand(gang);
        beendeSuchlauf();
    });
}

qsizetype Duplikatensuche::verbleibendeGruppen() const
{
    return gruppenZwischen(m_zustand.AktZeile, m_zustand.Zeilen.size());
}

// The walk goes from top to bottom, so every group that starts above the line under examination
// is settled; past the last line all of them are.
qsizetype Duplikatensuche::entschiedeneGruppen() const
{
    return gruppenZwischen(0, std::min(m_zustand.AktZeile, m_zustand.Zeilen.size()));
}

// The groups of several lines whose first line lies in [von, bis).
qsizetype Duplikatensuche::gruppenZwischen(qsizetype von, qsizetype bis) const
{
    const SuchZustand &z = m_zustand;
    qsizetype anzahl = 0;
    for (qsizetype zeile = std::max(von, qsizetype(0)); zeile < bis; ++zeile) {
        if (z.Gruppen.ersteZeile(zeile) == zeile &&
            z.Gruppen.naechsteZeile(zeile) != Gruppenindex::keine)
            ++anzahl;
    }
    return anzahl;
}

bool Duplikatensuche::beendenBestaetigt()
{
    const qsizetype anzahl = entschiedeneGruppen();
    if (anzahl == 0)
        return true;
    const QString verloren =
        anzahl == 1 ? QStringLiteral("Die Entscheidung über 1 Gruppe ist noch nicht gespeichert "
                                     "und geht beim Beenden verloren.")
                    : QStringLiteral("Die Entscheidungen über ") + zahl(anzahl) +
                          QStringLiteral(" Gruppen sind noch nicht gespeichert und gehen beim "
                                         "Beenden verloren.");
    return m_view.askYesNo(verloren + QStringLiteral("\n\nTessra trotzdem beenden?"),
                           QStringLiteral("Tessra - Beenden"));
}

void Duplikatensuche::setzeGleicheAutomatisch(bool an)
{
    ohneSpeichermangel([&] {
        m_gleicheAutomatisch = an;
        if (!an || !gruppeGezeigt() || !zeilenGleich(m_zustand.AktZeile))
            return;
        m_schritte.push_back(aktuellerSchritt());
        leereZeilenfeld();
        m_view.clearLstZeilen();
        Gang gang;
        behalteNachRegel(Regel::ErsteBehalten, gang);
        sucheNaechsteGruppe(gang);
    });
}

// Adds the line in the edit field to the result; false when it cannot be stored.
bool Duplikatensuche::uebernehmeGewaehlteZeile(const QString &gewaehlt)
{
    SuchZustand &z = m_zustand;
    // A line too long to edit was shown cut: it goes back whole, never as the cut text.
    if (m_gekuerzteZeile != Gruppenindex::keine) {
        z.Ergebnis.uebernehmeZeile(m_gekuerzteZeile);
        return true;
    }
    // A line taken over as it was listed keeps its bytes; only an edit is encoded anew.
    const qsizetype auswahl = m_view.lstZeilenSelectedIndex();
    const qsizetype quelle = auswahl >= 0 ? m_view.lstZeilenData(auswahl) : -1;
    if (quelle >= 0 && quelle < z.Zeilen.size() && z.Zeilen.text(quelle) == gewaehlt) {
        z.Ergebnis.uebernehmeZeile(quelle);
        return true;
    }
    const auto bytes = z.Zeilen.kodieren(gewaehlt);
    if (!bytes || enthaeltZeilenende(gewaehlt)) {
        m_view.showMessage(QStringLiteral("Die Zeile enthält Zeichen, die in dieser Datei nicht "
                                          "gespeichert werden können.\nBitte die Zeile ändern."),
                           titelZeichenproblem);
        return false;
    }
    z.Ergebnis.uebernehmeBearbeitet(*bytes);
    return true;
}

// Lists the group at AktZeile, its first line and every later line with its serial number in
// file order, selects the first as the line to keep, and shows the group's counters.
void Duplikatensuche::zeigeGruppe()
{
    SuchZustand &z = m_zustand;
    std::vector<qsizetype> gruppe{z.AktZeile};
    for (qsizetype zeile = z.Gruppen.naechsteZeile(z.AktZeile); zeile != Gruppenindex::keine;
         zeile = z.Gruppen.naechsteZeile(zeile))
        gruppe.push_back(zeile);
    z.AnzFunde = qsizetype(gruppe.size()) - 1;
    m_view.setCaption(Label::lblAnzDatensaetze, zahl(z.AnzSerien));
    m_view.setLstZeilen({std::move(gruppe),
                         [this](qsizetype zeile) {
                             return anzeigetext(m_zustand.Zeilen, zeile, listenzeileGrenze).text;
                         },
                         z.Trennzeichen});
    m_view.selectLstZeilenItem(0);
    LstZeilen_Click();
    m_view.setEnabled(Control::btnNaechsteZeile, true);
    m_view.setCaption(Label::lblAnzDuplikate, zahl(z.AnzFunde));
}

void Duplikatensuche::beendeSuchlauf()
{
    m_view.setEnabled(Control::btnNaechsteZeile, false);
    m_view.setEnabled(Control::btnSpeichern, true);
    m_view.setEnabled(Control::btnSpeichernUnter, true);
    m_view.setEnabled(Control::txtPfad, true);
    if (m_zustand.AnzSerien == 0) {
        m_view.showMessage(QStringLiteral("Keine Seriennummern gefunden.\n"
                                          "Evtl. das Trennzeichen kontrollieren."),
                           titelNixGefunden);
        Zuruecksetzen();
    } else if (wertIstNull(m_view.caption(Label::lblAnzDuplikate).toLatin1())) {
        m_view.setCaption(Label::lblZeile, QStringLiteral("Keine doppelten Datensätze vorhanden!"));
        Zuruecksetzen();
    } else {
        // An empty result is a result too: every group may have been emptied on purpose.
        m_view.setCaption(Label::lblZeile, QStringLiteral("FERTIG - Bitte Speichern -"));
    }
}

// The result as the writer takes it: streamed from the loaded bytes and the edited lines.
Inhalt Duplikatensuche::ergebnis() const
{
    return [this](const Schreibziel &ziel) {
        return m_zustand.Ergebnis.schreibeInhalt(m_zustand.Zeilen, ziel);
    };
}

void Duplikatensuche::btnSpeichern_Click()
{
    const QString pfad = m_view.txtPfad();
    const QString sicherung = pfad + QStringLiteral(".ALT");
    if (!ersetzenBestaetigt(pfad))
        return;

    std::optional<Ersetzungsfehler> fehler;
    try {
        fehler = ersetzeMitSicherung(pfad, sicherung, ergebnis());
    } catch (const std::bad_alloc &) {
        zeigeSpeichermangel();
        return;
    }
    if (fehler) {
        zeigeErsetzungsfehler(*fehler, sicherung);
        // The file holds what it held before (a failed rewrite in place was undone), so a
        // second try must not claim that another program changed it. After a rewrite that
        // could not be undone it does ask, as "Ja" would overwrite the only good copy.
        if (fehler->schritt == Ersetzungsfehler::Schritt::Ersetzen && !fehler->nurInSicherung) {
            m_zustand.GeladenerPfad = pfad;
            m_zustand.GeladenerStand = dateistand(pfad).value_or(Dateistand{});
        }
        return;
    }
    schliesseAb();
}

// Replacing a file that is not the one loaded, or no longer as it was loaded, throws away
// content the user has never seen; that needs a yes first.
bool Duplikatensuche::ersetzenBestaetigt(const QString &pfad)
{
    const std::optional<Dateistand> jetzt = dateistand(pfad);
    if (!jetzt)
        return true;
    const Dateistand &geladen = m_zustand.GeladenerStand;
    const bool geladeneDatei = pfad == m_zustand.GeladenerPfad || jetzt->selbeDatei(geladen);
    if (geladeneDatei && *jetzt == geladen)
        return true;
    const QString sicherung = pfad + QStringLiteral(".ALT");
    const QString frage =
        geladeneDatei
            ? QStringLiteral("Die Datei\n") + pfad +
                  QStringLiteral("\nwurde seit dem Laden von einem anderen Programm geändert.\n"
                                 "Beim Ersetzen gehen diese Änderungen in der Datei verloren; sie "
                                 "bleiben nur in der Sicherungskopie\n") +
                  sicherung + QStringLiteral("\nerhalten.\n\nDie Datei trotzdem ersetzen?")
            : QStringLiteral("Der Pfad wurde nach dem Laden geändert und nennt jetzt eine andere, "
                             "schon vorhandene Datei:\n") +
                  pfad +
                  QStringLiteral("\nBeim Ersetzen geht ihr Inhalt in der Datei verloren; er "
                                 "bleibt nur in der Sicherungskopie\n") +
                  sicherung +
                  QStringLiteral("\nerhalten.\n\nDiese Datei trotzdem durch das Ergebnis "
                                 "ersetzen?");
    return m_view.askYesNo(frage, titelDateiGeaendert);
}

void Duplikatensuche::btnSpeichernUnter_Click()
{
    const QString ziel =
        m_view.askText(QStringLiteral("Bitte den Speicherort eingeben."),
                       QStringLiteral("Seriennummerndatei speichern"), m_view.txtPfad());
    if (ziel.size() <= 3)
        return;
    std::optional<Dateifehler> fehler;
    try {
        fehler = schreibeDatei(ziel, ergebnis());
    } catch (const std::bad_alloc &) {
        zeigeSpeichermangel();
        return;
    }
    if (fehler) {
        zeigeDateifehler(*fehler, QStringLiteral("kann nicht gespeichert werden:"),
                         titelSpeicherfehler);
        return;
    }
    schliesseAb();
}

void Duplikatensuche::zeigeErsetzungsfehler(const Ersetzungsfehler &fehler,
                                            const QString &sicherung)
{
    switch (fehler.schritt) {
    case Ersetzungsfehler::Schritt::Lesen:
        zeigeDateifehler(fehler.fehler,
                         QStringLiteral("kann nicht gelesen werden, daher wurde keine "
                                        "Sicherungskopie angelegt:"),
                         titelSpeicherfehler);
        return;
    case Ersetzungsfehler::Schritt::Sicherung:
        zeigeDateifehler(fehler.fehler,
                         QStringLiteral("kann nicht als Sicherungskopie angelegt werden:"),
                         titelSpeicherfehler);
        return;
    case Ersetzungsfehler::Schritt::Ersetzen:
        zeigeDateifehler(fehler.fehler,
                         fehler.nurInSicherung
                             ? QStringLiteral("kann nicht gespeichert werden. Der bisherige "
                                              "Inhalt steht nur noch in der Sicherungskopie\n") +
                                   sicherung + QStringLiteral("\nGrund:")
                             : QStringLiteral("kann nicht gespeichert werden:"),
                         titelSpeicherfehler);
        return;
    }
}

void Duplikatensuche::zeigeSpeichermangel()
{
    m_view.showMessage(QStringLiteral("Zum Speichern ist nicht genug Arbeitsspeicher frei.\n"
                                      "Die Datei ist unverändert; das Ergebnis kann erneut oder "
                                      "an anderer Stelle gespeichert werden."),
                       titelSpeicherfehler);
}

void Duplikatensuche::schliesseAb()
{
    Zuruecksetzen();
    m_view.setCaption(Label::lblZeile, QStringLiteral("Vorgang abgeschlossen"));
}

void Duplikatensuche::txtPfad_Change()
{
    const QString pfad = m_view.txtPfad();
    const bool lesbar = ohneLeerzeichen(pfad).size() > 3 && istLesbareDatei(pfad);
    m_view.setEnabled(Control::btnLaden, lesbar);
    m_view.setEnabled(Control::btnEditor, lesbar);
    m_view.setEnabled(Control::btnExplorer, lesbar);
}

void Duplikatensuche::LstZeilen_Click()
{
    const qsizetype auswahl = m_view.lstZeilenSelectedIndex();
    if (auswahl < 0)
        return;
    const qsizetype zeile = m_view.lstZeilenData(auswahl);
    zeigeImZeilenfeld(zeile);
    m_view.setEnabled(Control::btnNaechsteZeile, true);
    zeigeZeilennummer(zeile);
}

void Duplikatensuche::zeigeImZeilenfeld(qsizetype zeile)
{
    const Anzeigetext anzeige = anzeigetext(m_zustand.Zeilen, zeile, zeilenfeldGrenze);
    m_view.setTxtZeile(anzeige.text);
    m_view.setTxtZeileReadOnly(anzeige.gekuerzt);
    m_gekuerzteZeile = anzeige.gekuerzt ? zeile : Gruppenindex::keine;
}

void Duplikatensuche::leereZeilenfeld()
{
    m_view.setTxtZeile(QString());
    m_view.setTxtZeileReadOnly(false);
    m_gekuerzteZeile = Gruppenindex::keine;
}

void Duplikatensuche::zeigeZeilennummer(qsizetype zeile)
{
    m_view.setCaption(Label::lblZeile, QStringLiteral("Zeile ") + zahl(zeile + 1) +
                                           QStringLiteral(" von ") + zahl(m_zustand.Zeilen.size()));
}

void Duplikatensuche::zeigeDateifehler(const Dateifehler &fehler, const QString &vorgang,
                                       const QString &titel)
{
    m_view.showMessage(QStringLiteral("Die Datei\n") + fehler.pfad + u'\n' + vorgang + u'\n' +
                           fehler.grundText(),
                       titel);
}
