#include "duplikatensuche.h"

#include "dateien.h"

#include <new>

using Control = MainView::Control;
using Label = MainView::Label;

namespace {

const QString titelNixGefunden = QStringLiteral("Tessra - Nix gefunden");
const QString titelDateifehler = QStringLiteral("Tessra - Dateifehler");
const QString titelSpeicherfehler = QStringLiteral("Tessra - Speicherfehler");
const QString titelZeichenproblem = QStringLiteral("Tessra - Zeichenproblem");

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
    m_view.setTxtZeile(QString());
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
    auto gelesen = leseDatei(pfad);
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

void Duplikatensuche::btnNaechsteZeile_Click()
{
    try {
        suchschritt();
    } catch (const std::bad_alloc &) {
        brichAbOhneSpeicher();
    }
}

void Duplikatensuche::suchschritt()
{
    SuchZustand &z = m_zustand;
    const QString gewaehlt = m_view.txtZeile();
    if (!gewaehlt.isEmpty()) {
        // A line taken over as it was listed keeps its bytes; only an edit is encoded anew.
        const qsizetype auswahl = m_view.lstZeilenSelectedIndex();
        const qsizetype quelle = auswahl >= 0 ? m_view.lstZeilenData(auswahl) : -1;
        if (quelle >= 0 && quelle < z.Zeilen.size() && z.Zeilen.text(quelle) == gewaehlt) {
            z.Ergebnis.uebernehmeZeile(quelle);
        } else {
            const auto bytes = z.Zeilen.kodieren(gewaehlt);
            if (!bytes || enthaeltZeilenende(gewaehlt)) {
                m_view.showMessage(
                    QStringLiteral("Die Zeile enthält Zeichen, die in dieser Datei nicht "
                                   "gespeichert werden können.\nBitte die Zeile ändern."),
                    titelZeichenproblem);
                return;
            }
            z.Ergebnis.uebernehmeBearbeitet(*bytes);
        }
    }
    m_view.setTxtZeile(QString());
    m_view.clearLstZeilen();

    while (++z.AktZeile < z.Zeilen.size()) {
        const Seriennummer serie = z.Gruppen.seriennummer(z.Zeilen, z.AktZeile);
        z.Serie = serie.text;
        const qsizetype erste = z.Gruppen.ersteZeile(z.AktZeile);
        if (erste == Gruppenindex::keine) {
            z.Ergebnis.uebernehmeZeile(z.AktZeile);
            continue;
        }
        // The group of this serial number was settled when its first line was reached.
        if (erste != z.AktZeile)
            continue;
        if (serie.mitTrennzeichen)
            ++z.AnzSerien;
        zeigeZeilennummer(z.AktZeile);
        z.AnzFunde = 0;
        m_view.setCaption(Label::lblAnzDatensaetze, zahl(z.AnzSerien));
        zeigeGruppe();
        if (z.AnzFunde != 0) {
            m_view.setCaption(Label::lblAnzDuplikate, zahl(z.AnzFunde));
            return;
        }
        z.Ergebnis.uebernehmeZeile(z.AktZeile);
    }
    beendeSuchlauf();
}

// Lists the current line and every later line with its serial number, in file order, and
// selects the first as the line to keep.
void Duplikatensuche::zeigeGruppe()
{
    SuchZustand &z = m_zustand;
    for (qsizetype zeile = z.Gruppen.naechsteZeile(z.AktZeile); zeile != Gruppenindex::keine;
         zeile = z.Gruppen.naechsteZeile(zeile)) {
        if (++z.AnzFunde == 1)
            m_view.addLstZeilenItem(z.Zeilen.text(z.AktZeile), z.AktZeile);
        m_view.addLstZeilenItem(z.Zeilen.text(zeile), zeile);
    }
    if (z.AnzFunde == 0)
        return;
    m_view.selectLstZeilenItem(0);
    LstZeilen_Click();
    m_view.setEnabled(Control::btnNaechsteZeile, true);
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

void Duplikatensuche::btnSpeichern_Click()
{
    const QString pfad = m_view.txtPfad();
    const QString sicherung = pfad + QStringLiteral(".ALT");

    // The copy must be complete before the file itself is touched.
    auto alt = leseDatei(pfad);
    if (const auto *fehler = std::get_if<Dateifehler>(&alt)) {
        zeigeDateifehler(*fehler,
                         QStringLiteral("kann nicht gelesen werden, daher wurde keine "
                                        "Sicherungskopie angelegt:"),
                         titelSpeicherfehler);
        return;
    }
    if (const auto fehler = schreibeDatei(sicherung, std::get<QByteArray>(alt))) {
        zeigeDateifehler(*fehler, QStringLiteral("kann nicht als Sicherungskopie angelegt werden:"),
                         titelSpeicherfehler);
        return;
    }
    const QByteArray inhalt = m_zustand.Ergebnis.dateiinhalt(m_zustand.Zeilen);
    if (const auto fehler = schreibeDatei(pfad, inhalt)) {
        zeigeDateifehler(*fehler, QStringLiteral("kann nicht gespeichert werden:"),
                         titelSpeicherfehler);
        return;
    }
    schliesseAb();
}

void Duplikatensuche::btnSpeichernUnter_Click()
{
    const QString ziel =
        m_view.askText(QStringLiteral("Bitte den Speicherort eingeben."),
                       QStringLiteral("Seriennummerndatei speichern"), m_view.txtPfad());
    if (ziel.size() <= 3)
        return;
    const QByteArray inhalt = m_zustand.Ergebnis.dateiinhalt(m_zustand.Zeilen);
    if (const auto fehler = schreibeDatei(ziel, inhalt)) {
        zeigeDateifehler(*fehler, QStringLiteral("kann nicht gespeichert werden:"),
                         titelSpeicherfehler);
        return;
    }
    schliesseAb();
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
    m_view.setTxtZeile(m_view.lstZeilenText(auswahl));
    m_view.setEnabled(Control::btnNaechsteZeile, true);
    zeigeZeilennummer(m_view.lstZeilenData(auswahl));
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
