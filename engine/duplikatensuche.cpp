#include "duplikatensuche.h"

#include "anzeigetext.h"
#include "dateien.h"
#include "datensaetze.h"
#include "sicheresschreiben.h"
#include "trennzeichenwahl.h"

#include <QFileInfo>

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

using Control = MainView::Control;
using Label = MainView::Label;

namespace {

const QString titelNixGefunden = QStringLiteral("Tessra - Nix gefunden");
const QString titelDateifehler = QStringLiteral("Tessra - Dateifehler");
const QString titelSpeicherfehler = QStringLiteral("Tessra - Speicherfehler");
const QString titelZeichenproblem = QStringLiteral("Tessra - Zeichenproblem");
const QString titelDateiGeaendert = QStringLiteral("Tessra - Datei geändert");
const QString titelUnterbrochen = QStringLiteral("Tessra - Speichern unterbrochen");
const QString titelAlleWeiteren = QStringLiteral("Tessra - Alle weiteren Gruppen");
const QString titelSpeichern = QStringLiteral("Tessra - Datei wird gespeichert");
const QString titelErsetzen = QStringLiteral("Tessra - Datei ersetzen");
const QString titelSeriennummer = QStringLiteral("Tessra - Seriennummer");

// How the parts of a load share its progress bar, about as they share its time.
constexpr double gelesenBis = 0.35;
constexpr double geteiltBis = 0.55;
constexpr double indiziertBis = 0.95;
// A replace copies the file and writes the result, which take about the same time.
constexpr double gesichertBis = 0.5;

QString sicherungVon(const QString &pfad)
{
    return pfad + QStringLiteral(".ALT");
}

// A save reports the backup's copy up to `gesichert` of the bar, and offers "Abbrechen" until
// it first changes a name on the disk.
Speicherverlauf speicherverlauf(Fortschritt &fortschritt, double gesichert,
                                const Speicherbeobachter &beobachter)
{
    return {fortschritt.teil(0, gesichert), [&fortschritt] { fortschritt.ohneAbbrechen(); },
            [&fortschritt] { fortschritt.halteWach(); }, beobachter};
}

// What an interrupted rewrite left, as the load and the save tell it.
QString speichernWarUnterbrochen(const QString &pfad)
{
    return QStringLiteral("Das letzte Speichern der Datei\n") + pfad +
           QStringLiteral("\nwurde unterbrochen; die Datei ist womöglich unvollständig.\n"
                          "Die Sicherungskopie\n") +
           sicherungVon(pfad) + QStringLiteral("\nenthält den Inhalt von vor diesem Speichern.");
}

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

QString zahl(qsizetype wert)
{
    return QString::number(wert);
}

// Where a character of a record's text stands in the edit field, counted from 1.
QString anzeigestelle(QStringView text, qsizetype pos)
{
    return zahl(alsAnzeige(text.first(pos).toString()).size() + 1);
}

// Why the path names no file to load; a readable file with a path this short is refused too.
QString pfadstatus(const std::optional<Dateifehler> &fehler)
{
    return fehler ? fehler->lesegrundKurz() : QStringLiteral("Pfad zu kurz");
}

QString kodierungsname(Textdatei::Kodierung kodierung)
{
    switch (kodierung) {
    case Textdatei::Kodierung::Utf8:
        return QStringLiteral("UTF-8");
    case Textdatei::Kodierung::Windows1252:
        return QStringLiteral("Windows-1252");
    case Textdatei::Kodierung::Utf16Le:
    case Textdatei::Kodierung::Utf16Be:
        return QStringLiteral("UTF-16");
    }
    return {};
}

// Names the character by its code too: it may be one that shows as nothing.
QString nichtKodierbar(const Textdatei &datei, const QString &text)
{
    const qsizetype stelle = datei.ersteNichtKodierbareStelle(text);
    const bool paar = stelle >= 0 && text[stelle].isHighSurrogate() && stelle + 1 < text.size();
    const QString zeichen = stelle >= 0 ? text.sliced(stelle, paar ? 2 : 1) : QString();
    if (zeichen.isEmpty())
        return QStringLiteral("Die Zeile enthält Zeichen, die in dieser Datei nicht gespeichert "
                              "werden können.");
    const char32_t code = zeichen.toUcs4().value(0);
    return QStringLiteral("Das Zeichen „") + alsAnzeige(zeichen) + QStringLiteral("“ (U+") +
           QStringLiteral("%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper() +
           QStringLiteral(") an Stelle ") + anzeigestelle(text, stelle) +
           QStringLiteral(" kann in dieser Datei (") + kodierungsname(datei.kodierung()) +
           QStringLiteral(") nicht gespeichert werden.");
}

// Why an edited record cannot be stored as it is, in words that name the character; nothing
// when it reads back as the one record the user sees.
std::optional<QString> satzproblem(const Textdatei &datei, const QString &text,
                                   const QString &trennzeichen)
{
    using Art = Datensaetze::Satzfehler::Art;
    if (datei.zeilenweise()) {
        const auto umbruch = std::find_if(text.begin(), text.end(),
                                          [](QChar c) { return c == u'\r' || c == u'\n'; });
        if (umbruch == text.end())
            return std::nullopt;
        return QStringLiteral("Der Zeilenumbruch (↵) an Stelle ") +
               anzeigestelle(text, umbruch - text.begin()) +
               QStringLiteral(" kann in dieser Datei nicht gespeichert werden, weil sie Zeile "
                              "für Zeile gelesen wird.");
    }
    const auto fehler = Datensaetze::pruefeSatz(text, trennzeichen);
    if (!fehler)
        return std::nullopt;
    const QString stelle = anzeigestelle(text, fehler->stelle);
    switch (fehler->art) {
    case Art::OffenesAnfuehrungszeichen:
        return QStringLiteral("Das Anführungszeichen (\") an Stelle ") + stelle +
               QStringLiteral(" öffnet ein Feld, das nicht richtig geschlossen wird.\nSo "
                              "gespeichert, würde die Datei beim nächsten Laden nicht mehr richtig "
                              "in Zeilen geteilt.");
    case Art::UmbruchAusserhalb:
        return QStringLiteral("Der Zeilenumbruch (↵) an Stelle ") + stelle +
               QStringLiteral(" steht außerhalb von Anführungszeichen.\nSo gespeichert, würde er "
                              "die Zeile beim nächsten Laden in zwei Zeilen teilen. Ein "
                              "Zeilenumbruch in einer Zelle gehört in ein Feld mit "
                              "Anführungszeichen.");
    case Art::ZuVieleUmbrueche:
        return QStringLiteral("Das Feld ab Stelle ") + stelle +
               QStringLiteral(" enthält mehr als ") + zahl(Datensaetze::zeilenendenGrenze) +
               QStringLiteral(" Zeilenumbrüche (↵).\nSo gespeichert, würde die Datei beim "
                              "nächsten Laden Zeile für Zeile gelesen.");
    }
    return std::nullopt;
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
    m_gang.vergiss();
}

void Duplikatensuche::btnLaden_Click()
{
    ladeDatei();
    bieteVorschlagAn();
}

void Duplikatensuche::ladeDatei()
{
    m_vorschlag.reset();
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
        Fortschritt fortschritt(m_view, QStringLiteral("Tessra - Datei wird geladen"),
                                QStringLiteral("Die Datei\n") + pfad +
                                    QStringLiteral("\nwird gelesen und nach Seriennummern "
                                                   "durchsucht, die mehrfach vorkommen."));
        if (!lade(pfad, fortschritt))
            return;
        if (m_zustand.Zeilen.size() == 0) {
            fortschritt.beende();
            m_view.showMessage(QStringLiteral("Die Datei ist leer."), titelDateifehler);
            Zuruecksetzen();
            return;
        }
        if (m_zustand.Zeilen.size() >= 4) {
            m_gang.beginne();
            m_view.setEnabled(Control::btnLaden, false);
            suchschritt(fortschritt, fortschritt.teil(indiziertBis, 1));
            return;
        }
    } catch (const std::bad_alloc &) {
        brichAbOhneSpeicher();
        return;
    } catch (const Fortschritt::Abbruch &) {
        brichLadenAb();
        return;
    }
    m_view.showMessage(QStringLiteral("In der Datei sind nur ") + zahl(m_zustand.Zeilen.size()) +
                           QStringLiteral(" Zeilen vorhanden.\nManuell gehts schneller..."),
                       QStringLiteral("Tessra - Lohnt sich nicht!"));
    Zuruecksetzen();
}

// Reads the file into `Zeilen` and, for a file long enough to be searched, finds which lines
// share a serial number. False when the file could not be read, which was reported. The box
// goes for every message on the way; the work after it gets a new one when it takes long.
bool Duplikatensuche::lade(const QString &pfad, Fortschritt &fortschritt)
{
    auto gelesen = leseDatei(pfad, &m_zustand.GeladenerStand, fortschritt.teil(0, gelesenBis));
    m_zustand.GeladenerPfad = pfad;
    if (const auto *fehler = std::get_if<Dateifehler>(&gelesen)) {
        fortschritt.beende();
        zeigeDateifehler(*fehler, QStringLiteral("kann nicht gelesen werden:"), titelDateifehler);
        Zuruecksetzen();
        return false;
    }
    if (speichernUnterbrochen(pfad, sicherungVon(pfad))) {
        fortschritt.beende();
        m_view.showMessage(speichernWarUnterbrochen(pfad), titelUnterbrochen);
    }
    Textdatei datei =
        Textdatei::ausBytes(std::get<QByteArray>(std::move(gelesen)), m_zustand.Trennzeichen,
                            fortschritt.teil(gelesenBis, geteiltBis));
    // A file too short to search is refused anyway; asking about it first would be noise.
    if (datei.size() >= 4)
        pruefeTrennzeichen(datei, fortschritt);
    m_zustand.Zeilen = std::move(datei);
    if (m_zustand.Zeilen.size() >= 4)
        m_zustand.Gruppen = Gruppenindex(m_zustand.Zeilen, m_zustand.Trennzeichen, m_regel,
                                         fortschritt.teil(geteiltBis, indiziertBis));
    // A criterion chosen before loading reads this file's column; one the file lacks finds no
    // value, so each group suggests its first line.
    m_gang.bestimmeLesart(fortschritt.teil(indiziertBis, indiziertBis));
    if (const auto &offen = m_zustand.Zeilen.offenesAnfuehrungszeichen()) {
        fortschritt.beende();
        zeigeOffenesAnfuehrungszeichen(*offen);
    }
    return true;
}

// Before any group: a file that the chosen delimiter splits nowhere, while a usual one splits most
// of its records, would show every whole record as a serial number of its own.
void Duplikatensuche::pruefeTrennzeichen(Textdatei &datei, Fortschritt &fortschritt)
{
    const auto vorschlag = schlageTrennzeichenVor(datei, m_zustand.Trennzeichen);
    if (!vorschlag)
        return;
    fortschritt.beende();
    const QString name = trennzeichenName(vorschlag->trennzeichen);
    if (!m_view.askYesNo(QStringLiteral("Das gewählte Trennzeichen (") +
                             trennzeichenName(m_zustand.Trennzeichen) +
                             QStringLiteral(") kommt in keiner Zeile der Datei vor, das "
                                            "Trennzeichen ") +
                             name + QStringLiteral(" aber in ") + zahl(vorschlag->saetze) +
                             QStringLiteral(" von ") + zahl(vorschlag->von) +
                             QStringLiteral(" Zeilen.\n\nDie Datei mit ") + name +
                             QStringLiteral(" als Trennzeichen laden?"),
                         QStringLiteral("Tessra - Trennzeichen")))
        return;
    m_zustand.Trennzeichen = vorschlag->trennzeichen;
    if (vorschlag->trennzeichen == u"\t")
        m_view.selectDelimiter(MainView::Delimiter::Tab, {});
    else if (vorschlag->trennzeichen == u";")
        m_view.selectDelimiter(MainView::Delimiter::Semikolon, {});
    else
        m_view.selectDelimiter(MainView::Delimiter::Anderes, vorschlag->trennzeichen);
    datei.teileNeu(m_zustand.Trennzeichen, fortschritt.teil(gelesenBis, geteiltBis));
}

// "Abbrechen" while loading: what was read goes, and the window is idle, as after "Reset".
void Duplikatensuche::brichLadenAb()
{
    m_zustand = SuchZustand{};
    Zuruecksetzen();
    zeigeStatus(QStringLiteral("Bitte eine Datei laden"));
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

// Runs a command that walks on through the file, with a progress box should that take long.
// "Abbrechen" leaves the run as it was before the command: the walk touches the window only
// once it is through, so the window still shows what it showed.
template <typename Befehl>
void Duplikatensuche::abbrechbar(const QString &titel, const QString &text, Befehl befehl)
{
    ohneSpeichermangel([&] {
        const Gruppengang::Stand vorher = m_gang.stand();
        Fortschritt fortschritt(m_view, titel, text);
        try {
            befehl(fortschritt);
        } catch (const Fortschritt::Abbruch &) {
            m_gang.kehreZurueck(vorher);
        }
    });
}

void Duplikatensuche::btnNaechsteZeile_Click()
{
    m_vorschlag.reset();
    abbrechbar(
        QStringLiteral("Tessra - Suche läuft"),
        QStringLiteral("Die nächste Seriennummer, die mehrfach vorkommt, wird gesucht."),
        [this](Fortschritt &fortschritt) { suchschritt(fortschritt, fortschritt.teil(0, 1)); });
    bieteVorschlagAn();
}

void Duplikatensuche::suchschritt(Fortschritt &fortschritt, const Fortschrittsmeldung &meldung)
{
    // An empty field keeps nothing of the group. "Weiter" after a reset stores what the field
    // holds, but no group was decided.
    const QString gewaehlt = m_view.txtZeile();
    const auto behalten = gewaehlt.isEmpty() ? Gruppengang::Behalten() : gewaehlterSatz(gewaehlt);
    if (!behalten)
        return;
    m_gang.entscheide(*behalten, verlassen());
    sucheNaechsteGruppe({}, fortschritt, meldung);
}

// Walks on from the line after AktZeile and shows the next group that needs the user; past the
// last line the run finishes. `meldung` hears of the walk's place in the file.
void Duplikatensuche::sucheNaechsteGruppe(Gang gang, Fortschritt &fortschritt,
                                          const Fortschrittsmeldung &meldung)
{
    const bool gefunden = m_gang.naechsteGruppe(gang, meldung);
    zeigeNachGang(gefunden, gang, fortschritt);
}

// The walk is through: the box goes, and the window gets once what the walk leaves, the next
// group or the end of the run.
void Duplikatensuche::zeigeNachGang(bool gruppe, const Gang &gang, Fortschritt &fortschritt)
{
    fortschritt.beende();
    leereZeilenfeld();
    m_view.clearLstZeilen();
    if (gruppe) {
        zeigeGruppe();
        return;
    }
    zeigeGangStand(gang);
    beendeSuchlauf();
}

Kriterium Duplikatensuche::kriteriumFuer(Regel regel) const
{
    switch (regel) {
    case Regel::ErsteBehalten:
        return Kriterium::erste();
    case Regel::LetzteBehalten:
        return Kriterium::letzte();
    case Regel::VorschlagBehalten:
        break;
    }
    return m_gang.kriterium().value_or(Kriterium::erste());
}

// Reading the column of a file of millions of lines takes a while; "Abbrechen" keeps the
// suggestion as it was.
bool Duplikatensuche::setzeVorschlag(const std::optional<Kriterium> &kriterium)
{
    bool gesetzt = false;
    ohneSpeichermangel([&] {
        const QString titel = QStringLiteral("Tessra - Vorschlag");
        Fortschritt fortschritt(m_view, titel,
                                QStringLiteral("Die Werte der Spalte werden gelesen, um zu "
                                               "bestimmen, wie sie verglichen werden."));
        try {
            gesetzt = m_gang.setzeKriterium(kriterium, fortschritt.teil(0, 1));
        } catch (const Fortschritt::Abbruch &) {
            return;
        }
        fortschritt.beende();
        if (!gesetzt) {
            m_view.showMessage(QStringLiteral("Keine Zeile der Datei hat eine Spalte ") +
                                   zahl(kriterium->spalte()) +
                                   QStringLiteral(".\nDer Vorschlag bleibt, wie er war."),
                               titel);
            return;
        }
        if (gruppeGezeigt())
            zeigeGruppe();
    });
    return gesetzt;
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
    return m_gang.gruppeGezeigt();
}

Gruppengang::Verlassen Duplikatensuche::verlassen() const
{
    const QString zeilenfeld = m_view.txtZeile();
    Gruppengang::Verlassen verlassen{m_view.lstZeilenSelectedIndex()};
    if (zeilenfeld != m_zeilenfeldText)
        verlassen.zeilenfeld = zeilenfeld;
    else if (m_zusammengefuehrt)
        verlassen.zusammengefuehrt = m_zusammengefuehrt;
    return verlassen;
}

// The group as the decision found it; zeigeGruppe() has shown it as it first came.
void Duplikatensuche::zeigeWieVerlassen(const Gruppengang::Verlassen &verlassen)
{
    if (verlassen.auswahl >= 0 && verlassen.auswahl < m_view.lstZeilenCount() &&
        verlassen.auswahl != m_view.lstZeilenSelectedIndex()) {
        m_view.selectLstZeilenItem(verlassen.auswahl);
        LstZeilen_Click();
    }
    if (verlassen.zusammengefuehrt)
        zeigeZusammengefuehrt(*verlassen.zusammengefuehrt);
    else if (verlassen.zeilenfeld)
        m_view.setTxtZeile(*verlassen.zeilenfeld);
}

void Duplikatensuche::letzteEntscheidungZuruecknehmen()
{
    ohneSpeichermangel([&] {
        if (!m_gang.kannZuruecknehmen())
            return;
        const Gruppengang::Verlassen verlassen = m_gang.nimmZurueck();
        // A finished run is running again: nothing to save, and the file stays as loaded.
        m_view.setEnabled(Control::btnSpeichern, false);
        m_view.setEnabled(Control::btnSpeichernUnter, false);
        m_view.setEnabled(Control::txtPfad, false);
        m_view.setEnabled(Control::btnLaden, false);
        zeigeGruppe();
        zeigeWieVerlassen(verlassen);
    });
}

void Duplikatensuche::alleWeiterenGruppen(Regel regel)
{
    const QString zeile = regel == Regel::ErsteBehalten ? QStringLiteral("die erste")
                          : regel == Regel::LetzteBehalten
                              ? QStringLiteral("die letzte")
                              : QStringLiteral("die vorgeschlagene (") +
                                    kriteriumFuer(regel).name() + QStringLiteral(")");
    const QString text = QStringLiteral("Von jeder weiteren Gruppe wird ") + zeile +
                         QStringLiteral(" Zeile behalten.");
    abbrechbar(titelAlleWeiteren, text, [&](Fortschritt &fortschritt) {
        if (!gruppeGezeigt())
            return;
        const qsizetype anzahl = m_gang.verbleibendeGruppen();
        const QString gruppen =
            anzahl == 1 ? QStringLiteral("Es ist noch 1 Gruppe übrig, die angezeigte.")
                        : QStringLiteral("Es sind noch ") + zahl(anzahl) +
                              QStringLiteral(" Gruppen übrig, die angezeigte eingeschlossen.");
        if (!m_view.askYesNo(gruppen + QStringLiteral("\nVon jeder Gruppe ") + zeile +
                                 QStringLiteral(" Zeile unverändert behalten und die übrigen "
                                                "Zeilen entfernen?"),
                             titelAlleWeiteren))
            return;
        // No view call per group: the window gets the end state once.
        Gang gang;
        m_gang.alleNach(kriteriumFuer(regel), verlassen(), fortschritt.teil(0, 1), gang);
        zeigeNachGang(false, gang, fortschritt);
    });
}

bool Duplikatensuche::beendenBestaetigt()
{
    const qsizetype anzahl = m_gang.entschiedeneGruppen();
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
    abbrechbar(QStringLiteral("Tessra - Gruppen mit gleichen Zeilen"),
               QStringLiteral("Gruppen mit gleichen Zeilen werden übernommen, bis eine Gruppe "
                              "mit Unterschieden kommt."),
               [&](Fortschritt &fortschritt) {
                   m_gang.setzeGleicheAutomatisch(an);
                   if (!an || !gruppeGezeigt() || !m_gang.zeilenGleich(m_zustand.AktZeile))
                       return;
                   Gang gang;
                   const bool gefunden =
                       m_gang.uebernimmGleiche(verlassen(), fortschritt.teil(0, 1), gang);
                   zeigeNachGang(gefunden, gang, fortschritt);
               });
}

// The record the edit field holds, as the result takes it; nothing when it cannot be stored,
// which was reported.
std::optional<Gruppengang::Behalten> Duplikatensuche::gewaehlterSatz(const QString &gewaehlt)
{
    const SuchZustand &z = m_zustand;
    // A line too long to edit was shown cut: it goes back whole, never as the cut text.
    if (m_gekuerzteZeile != Gruppenindex::keine)
        return m_gekuerzteZeile;
    // A line taken over as it was listed keeps its bytes; only an edit is encoded anew.
    const qsizetype auswahl = m_view.lstZeilenSelectedIndex();
    const qsizetype quelle = auswahl >= 0 ? m_view.lstZeilenData(auswahl) : -1;
    const bool ausDerDatei = quelle >= 0 && quelle < z.Zeilen.size();
    const bool wieGezeigt = gewaehlt == m_zeilenfeldText;
    if (ausDerDatei && !m_zusammengefuehrt &&
        ((wieGezeigt && quelle == m_zeilenfeldZeile) ||
         anzeigetext(z.Zeilen, quelle, zeilenfeldGrenze).text == gewaehlt))
        return quelle;
    const QString original = m_zusammengefuehrt ? *m_zusammengefuehrt
                             : ausDerDatei      ? z.Zeilen.text(quelle)
                                                : QString();
    // A merged record goes as it was built: its breaks are each the one its field held. A new
    // break in a cell is written as spreadsheets write it there.
    const QString text = m_zusammengefuehrt && wieGezeigt ? *m_zusammengefuehrt
                                                          : ausAnzeige(gewaehlt, original, u"\n");
    if (const auto problem = satzproblem(z.Zeilen, text, z.Trennzeichen)) {
        m_view.showMessage(*problem + QStringLiteral("\nBitte die Zeile ändern."),
                           titelZeichenproblem);
        return std::nullopt;
    }
    auto bytes = z.Zeilen.kodieren(text);
    if (!bytes) {
        m_view.showMessage(nichtKodierbar(z.Zeilen, text) +
                               QStringLiteral("\nBitte die Zeile ändern."),
                           titelZeichenproblem);
        return std::nullopt;
    }
    return std::move(*bytes);
}

// Lists the group at AktZeile, its first line and every later line with its serial number in
// file order, selects the first as the line to keep, and shows the group's counters.
void Duplikatensuche::zeigeGruppe()
{
    SuchZustand &z = m_zustand;
    std::vector<qsizetype> gruppe = m_gang.gruppe();
    z.AnzFunde = qsizetype(gruppe.size()) - 1;
    // The lines of a group lie anywhere in the file: those a list shows first are asked for at
    // once.
    for (size_t i = 0; i < std::min<size_t>(gruppe.size(), 64); ++i)
        z.Zeilen.holeVoraus(gruppe[i]);
    z.Serie = z.Gruppen.seriennummer(z.Zeilen, z.AktZeile);
    m_view.setCaption(Label::lblAnzDatensaetze, zahl(z.AnzSerien));
    const qsizetype vorschlag = m_gang.vorschlag(gruppe);
    m_view.setLstZeilen({std::move(gruppe),
                         [this](qsizetype zeile) {
                             return anzeigetext(m_zustand.Zeilen, zeile, listenzeileGrenze).text;
                         },
                         z.Trennzeichen, m_regel, vorschlag});
    m_view.selectLstZeilenItem(std::max(vorschlag, qsizetype(0)));
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
        m_view.showMessage(nixGefunden(), titelNixGefunden);
        m_vorschlag = vorschlag();
        Zuruecksetzen();
    } else if (wertIstNull(m_view.caption(Label::lblAnzDuplikate).toLatin1())) {
        zeigeStatus(QStringLiteral("Keine doppelten Datensätze vorhanden!"));
        m_vorschlag = vorschlag();
        Zuruecksetzen();
    } else {
        // An empty result is a result too: every group may have been emptied on purpose.
        zeigeStatus(QStringLiteral("FERTIG - Bitte Speichern -"));
    }
}

// A column that no record reaches is named: the user chose it, and it is the likelier mistake.
QString Duplikatensuche::nixGefunden() const
{
    if (m_regel.spalte > 1 && dateiGeladen() && !m_zustand.Gruppen.spalteGefunden())
        return QStringLiteral("Keine Seriennummern gefunden.\nKein Datensatz hat eine Spalte ") +
               zahl(m_regel.spalte) +
               QStringLiteral(".\nEvtl. das Trennzeichen oder die Spalte der Seriennummer "
                              "kontrollieren.");
    return QStringLiteral("Keine Seriennummern gefunden.\nEvtl. das Trennzeichen kontrollieren.");
}

// The first option, in the order users need them, that gives the loaded file more groups than
// the rule in force; then text keys together with each compare option, since text keys that
// differ only in case, spaces or zeros form no group by the text option alone.
std::optional<Duplikatensuche::Vorschlag> Duplikatensuche::vorschlag()
{
    struct Option
    {
        bool Schluesselregel::*feld;
        QString name;
    };
    const Option text{&Schluesselregel::text, QStringLiteral("Auch Text als Seriennummer")};
    const Option vergleiche[] = {
        {&Schluesselregel::nullenIgnorieren, QStringLiteral("Führende Nullen ignorieren")},
        {&Schluesselregel::leerzeichenIgnorieren, QStringLiteral("Leerzeichen ignorieren")},
        {&Schluesselregel::grossKleinIgnorieren,
         QStringLiteral("Groß-/Kleinschreibung ignorieren")},
    };
    std::vector<std::vector<Option>> versuche{{text}};
    for (const Option &option : vergleiche)
        versuche.push_back({option});
    for (const Option &option : vergleiche)
        versuche.push_back({text, option});

    SuchZustand &z = m_zustand;
    if (!dateiGeladen())
        return std::nullopt;
    const qsizetype bisher = m_gang.gruppenZwischen(0, z.Zeilen.size());
    for (const std::vector<Option> &versuch : versuche) {
        Schluesselregel regel = m_regel;
        QStringList namen;
        for (const Option &option : versuch) {
            if (regel.*option.feld)
                break;
            regel.*option.feld = true;
            namen.append(u'"' + option.name + u'"');
        }
        if (namen.size() < qsizetype(versuch.size()))
            continue;
        const Gruppenindex::Ueberblick ueberblick =
            Gruppenindex::ueberblick(z.Zeilen, z.Trennzeichen, regel);
        if (ueberblick.gruppen <= bisher)
            continue;
        const QString text =
            (namen.size() == 1 ? QStringLiteral("Mit der Einstellung ")
                               : QStringLiteral("Mit den Einstellungen ")) +
            namen.join(QStringLiteral(" und ")) + QStringLiteral(" ergibt die Datei ") +
            zahl(ueberblick.gruppen) +
            (ueberblick.gruppen == 1 ? QStringLiteral(" Gruppe") : QStringLiteral(" Gruppen")) +
            QStringLiteral(" mit gleicher Seriennummer, zum Beispiel:\n") +
            beispiel(regel, ueberblick.groessteGruppe, ueberblick.groessteAnzahl) +
            QStringLiteral(".\n\n") +
            (namen.size() == 1 ? QStringLiteral("Die Datei mit dieser Einstellung neu laden?")
                               : QStringLiteral("Die Datei mit diesen Einstellungen neu laden?"));
        return Vorschlag{regel, z.GeladenerPfad, text};
    }
    return std::nullopt;
}

// "`US` kommt 29-mal vor" for the group that starts at `kopf`, and a few of the other ways the
// file spells its serial number where the rule lets them differ.
QString Duplikatensuche::beispiel(const Schluesselregel &regel, qsizetype kopf,
                                  qsizetype anzahl) const
{
    const SuchZustand &z = m_zustand;
    const QByteArray trenner = z.Zeilen.schluesselTrennzeichen(z.Trennzeichen);
    const bool windows1252 = z.Zeilen.kodierung() == Textdatei::Kodierung::Windows1252;
    QByteArray puffer;
    const Seriennummer serie = regel.lies(z.Zeilen.schluesselbytes(kopf), trenner);
    const QByteArray form = regel.vergleichsform(serie.text(), windows1252, puffer).toByteArray();
    QStringList schreibweisen{schluesseltext(serie.text())};
    for (qsizetype zeile = kopf + 1;
         zeile < z.Zeilen.size() && schreibweisen.size() < 4 && regel.vergleichtFrei(); ++zeile) {
        const Seriennummer andere = regel.lies(z.Zeilen.schluesselbytes(zeile), trenner);
        if (!regel.istSeriennummer(andere) ||
            regel.vergleichsform(andere.text(), windows1252, puffer) != form)
            continue;
        const QString text = schluesseltext(andere.text());
        if (!schreibweisen.contains(text))
            schreibweisen.append(text);
    }
    QString text = u'`' + schreibweisen.constFirst() + QStringLiteral("` kommt ") + zahl(anzahl) +
                   QStringLiteral("-mal vor");
    if (schreibweisen.size() > 1)
        text += QStringLiteral(", auch als `") +
                schreibweisen.sliced(1).join(QStringLiteral("`, `")) + u'`';
    return text;
}

// Key bytes as text: the file's own encoding, UTF-8 for a UTF-16 file (Textdatei::schluesselbytes).
QString Duplikatensuche::schluesseltext(QByteArrayView schluessel) const
{
    switch (m_zustand.Zeilen.kodierung()) {
    case Textdatei::Kodierung::Utf16Le:
    case Textdatei::Kodierung::Utf16Be:
        return QString::fromUtf8(schluessel);
    default:
        return alsAnzeige(m_zustand.Zeilen.dekodieren(schluessel));
    }
}

// After the command is through, so that "Ja" loads as "Datei laden" would.
void Duplikatensuche::bieteVorschlagAn()
{
    while (m_vorschlag) {
        const Vorschlag vorschlag = *std::exchange(m_vorschlag, std::nullopt);
        if (!m_view.askYesNo(vorschlag.text, titelSeriennummer))
            return;
        m_regel = vorschlag.regel;
        m_view.setTxtPfad(vorschlag.pfad);
        ladeDatei();
    }
}

void Duplikatensuche::setzeSchluesselregel(const Schluesselregel &regel)
{
    if (regel == m_regel)
        return;
    if (!dateiGeladen()) {
        m_regel = regel;
        return;
    }
    const qsizetype anzahl = m_gang.entschiedeneGruppen();
    if (anzahl > 0) {
        const QString verloren = anzahl == 1 ? QStringLiteral("Die Entscheidung über 1 Gruppe geht")
                                             : QStringLiteral("Die Entscheidungen über ") +
                                                   zahl(anzahl) + QStringLiteral(" Gruppen gehen");
        if (!m_view.askYesNo(verloren + QStringLiteral(" beim neuen Laden verloren.\n\nDie Datei "
                                                       "mit der neuen Einstellung neu laden?"),
                             titelSeriennummer))
            return;
    }
    m_regel = regel;
    m_view.setTxtPfad(m_zustand.GeladenerPfad);
    btnLaden_Click();
}

std::optional<qsizetype> Duplikatensuche::gruppenMit(const Schluesselregel &regel)
{
    if (!dateiGeladen())
        return std::nullopt;
    return Gruppenindex::ueberblick(m_zustand.Zeilen, m_zustand.Trennzeichen, regel).gruppen;
}

QStringList Duplikatensuche::spaltennamen() const
{
    if (!dateiGeladen())
        return {};
    QStringList namen = feldtexte(m_zustand.Zeilen.text(0), m_zustand.Trennzeichen);
    for (QString &name : namen)
        name = alsAnzeige(name);
    return namen;
}

// The result as the writer takes it: streamed from the loaded bytes and the edited lines.
Inhalt Duplikatensuche::ergebnis(Fortschrittsmeldung meldung) const
{
    return [this, meldung = std::move(meldung)](const Schreibziel &ziel) {
        return m_zustand.Ergebnis.schreibeInhalt(m_zustand.Zeilen, ziel, meldung);
    };
}

void Duplikatensuche::btnSpeichern_Click()
{
    const QString pfad = m_view.txtPfad();
    const QString sicherung = sicherungVon(pfad);
    if (!ersetzenBestaetigt(pfad))
        return;

    std::optional<Ersetzungsfehler> fehler;
    try {
        Fortschritt fortschritt(m_view, titelSpeichern,
                                QStringLiteral("Die Sicherungskopie\n") + sicherung +
                                    QStringLiteral("\nwird angelegt, dann ersetzt das Ergebnis "
                                                   "die Datei\n") +
                                    pfad);
        fehler =
            ersetzeMitSicherung(pfad, sicherung, ergebnis(fortschritt.teil(gesichertBis, 1)),
                                speicherverlauf(fortschritt, gesichertBis, m_speicherbeobachter));
    } catch (const std::bad_alloc &) {
        zeigeSpeichermangel();
        return;
    } catch (const Fortschritt::Abbruch &) {
        // Stopped before anything took a name: every file is as it was, the result ready.
        return;
    }
    if (fehler && fehler->schritt == Ersetzungsfehler::Schritt::Bestaetigen) {
        // The result is in the file: the run is over, and nothing may save it once more over
        // the backup, which holds the old content.
        schliesseAb();
        zeigeErsetzungsfehler(*fehler, sicherung);
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
    const QString sicherung = sicherungVon(pfad);
    // After an interrupted rewrite the backup may be the only complete copy left.
    if (speichernUnterbrochen(pfad, sicherung) &&
        !m_view.askYesNo(speichernWarUnterbrochen(pfad) +
                             QStringLiteral("\nBeim Ersetzen wird die Sicherungskopie mit dem "
                                            "jetzigen Inhalt der Datei überschrieben.\n\n"
                                            "Die Sicherungskopie trotzdem überschreiben?"),
                         titelUnterbrochen))
        return false;
    const std::optional<Dateistand> jetzt = dateistand(pfad);
    if (!jetzt)
        return true;
    const Dateistand &geladen = m_zustand.GeladenerStand;
    const bool geladeneDatei = pfad == m_zustand.GeladenerPfad || jetzt->selbeDatei(geladen);
    if (geladeneDatei && *jetzt == geladen)
        return true;
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
    if (ziel.size() <= 3 || !ueberschreibenBestaetigt(ziel))
        return;
    std::optional<Dateifehler> fehler;
    try {
        Fortschritt fortschritt(m_view, titelSpeichern,
                                QStringLiteral("Das Ergebnis wird gespeichert in\n") + ziel);
        fehler = schreibeDatei(ziel, ergebnis(fortschritt.teil(0, 1)),
                               speicherverlauf(fortschritt, 0, m_speicherbeobachter));
    } catch (const std::bad_alloc &) {
        zeigeSpeichermangel();
        return;
    } catch (const Fortschritt::Abbruch &) {
        return;
    }
    if (fehler) {
        zeigeDateifehler(*fehler, QStringLiteral("kann nicht gespeichert werden:"),
                         titelSpeicherfehler);
        return;
    }
    schliesseAb();
}

// The box offers the loaded file's own path: one Enter must not replace it, nor any other file,
// without a question. A folder is left to the writer, which names the fault.
bool Duplikatensuche::ueberschreibenBestaetigt(const QString &ziel)
{
    const std::optional<Dateistand> jetzt = dateistand(ziel);
    if (!jetzt || !QFileInfo(ziel).isFile())
        return true;
    const bool geladeneDatei =
        ziel == m_zustand.GeladenerPfad || jetzt->selbeDatei(m_zustand.GeladenerStand);
    const QString frage =
        geladeneDatei
            ? QString(
                  QStringLiteral("Die Datei\n") + ziel +
                  QStringLiteral("\nist die geladene Datei. Beim Speichern unter diesem Namen geht "
                                 "ihr jetziger Inhalt verloren; \"Speichern unter...\" legt keine "
                                 "Sicherungskopie an.\n\"Speichern (ersetzen)\" ersetzt sie und "
                                 "bewahrt den jetzigen Inhalt als\n") +
                  sicherungVon(ziel) + QStringLiteral("\n\nDie geladene Datei trotzdem ersetzen?"))
            : QStringLiteral("Die Datei\n") + ziel +
                  QStringLiteral("\nist schon vorhanden. Beim Speichern wird ihr Inhalt durch das "
                                 "Ergebnis ersetzt.\n\nDie Datei ersetzen?");
    return m_view.askYesNo(frage, titelErsetzen);
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
    case Ersetzungsfehler::Schritt::Bestaetigen:
        zeigeDateifehler(fehler.fehler,
                         QStringLiteral("wurde gespeichert, aber das System konnte nicht "
                                        "bestätigen, dass sie sicher auf dem Datenträger steht. "
                                        "Die Sicherungskopie\n") +
                             sicherung + QStringLiteral("\nenthält den bisherigen Inhalt. Grund:"),
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
    zeigeStatus(QStringLiteral("Vorgang abgeschlossen"));
}

void Duplikatensuche::txtPfad_Change()
{
    const QString pfad = m_view.txtPfad();
    const std::optional<Dateifehler> fehler = lesefehler(pfad);
    const bool lesbar = ohneLeerzeichen(pfad).size() > 3 && !fehler;
    m_view.setEnabled(Control::btnLaden, lesbar);
    m_view.setEnabled(Control::btnEditor, lesbar);
    m_view.setEnabled(Control::btnExplorer, lesbar);
    // An empty field is where every run starts; it needs no reason.
    zeigePfadproblem(lesbar || ohneLeerzeichen(pfad).isEmpty() ? std::nullopt
                                                               : std::optional(pfadstatus(fehler)));
}

// The status says why the path is no good for as long as it is, then shows again what it showed.
void Duplikatensuche::zeigePfadproblem(const std::optional<QString> &problem)
{
    if (problem) {
        if (!m_statusOhnePfadproblem)
            m_statusOhnePfadproblem = m_view.caption(Label::lblZeile);
        m_view.setCaption(Label::lblZeile, *problem);
    } else if (m_statusOhnePfadproblem) {
        m_view.setCaption(Label::lblZeile, *std::exchange(m_statusOhnePfadproblem, std::nullopt));
    }
}

void Duplikatensuche::zeigeStatus(const QString &text)
{
    if (m_statusOhnePfadproblem)
        m_statusOhnePfadproblem = text;
    else
        m_view.setCaption(Label::lblZeile, text);
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
    m_zusammengefuehrt.reset();
    m_zeilenfeldZeile = zeile;
    m_zeilenfeldText = anzeige.text;
}

void Duplikatensuche::uebernimmVergleich(const Gruppenvergleich &vergleich)
{
    if (const auto quelle = vergleich.einzigeQuelle()) {
        if (*quelle != m_view.lstZeilenSelectedIndex())
            m_view.selectLstZeilenItem(*quelle);
        LstZeilen_Click();
        return;
    }
    zeigeZusammengefuehrt(vergleich.ergebnissatz());
}

void Duplikatensuche::zeigeZusammengefuehrt(const QString &satz)
{
    const QString anzeige = alsAnzeige(satz);
    m_view.setTxtZeile(anzeige);
    m_view.setTxtZeileReadOnly(false);
    m_gekuerzteZeile = Gruppenindex::keine;
    m_zeilenfeldText = anzeige;
    m_zusammengefuehrt = satz;
}

void Duplikatensuche::leereZeilenfeld()
{
    m_zusammengefuehrt.reset();
    m_view.setTxtZeile(QString());
    m_view.setTxtZeileReadOnly(false);
    m_gekuerzteZeile = Gruppenindex::keine;
    m_zeilenfeldZeile = Gruppenindex::keine;
    m_zeilenfeldText.clear();
}

void Duplikatensuche::zeigeZeilennummer(qsizetype zeile)
{
    zeigeStatus(QStringLiteral("Zeile ") + zahl(zeile + 1) + QStringLiteral(" von ") +
                zahl(m_zustand.Zeilen.size()));
}

void Duplikatensuche::zeigeOffenesAnfuehrungszeichen(
    const Datensaetze::Teilung::Anfuehrungszeichen &offen)
{
    const QString zeile = zahl(offen.zeile);
    QString grund;
    switch (offen.stoerung) {
    case Datensaetze::Stoerung::NichtGeschlossen:
        grund = QStringLiteral("das bis zum Ende der Datei nicht geschlossen wird.");
        break;
    case Datensaetze::Stoerung::ZuVieleZeilenenden:
        grund = QStringLiteral("das erst nach mehr als ") + zahl(Datensaetze::zeilenendenGrenze) +
                QStringLiteral(" Zeilenumbrüchen geschlossen würde.");
        break;
    case Datensaetze::Stoerung::TextNachSchluss:
        grund = QStringLiteral("das über mehrere Zeilen reicht, aber nach seinem schließenden "
                               "Anführungszeichen nicht mit dem Trennzeichen endet.");
        break;
    }
    m_view.showMessage(
        QStringLiteral("In Zeile ") + zeile +
            QStringLiteral(" beginnt ein Feld mit einem Anführungszeichen (\"), ") + grund +
            QStringLiteral("\nDie Datei wird deshalb Zeile für Zeile gelesen: Jeder "
                           "Zeilenumbruch beendet eine Zeile, auch in einem Feld mit "
                           "Anführungszeichen.\nEnthalten Zellen Zeilenumbrüche, bitte das "
                           "Anführungszeichen in Zeile ") +
            zeile + QStringLiteral(" prüfen und die Datei neu laden."),
        QStringLiteral("Tessra - Anführungszeichen"));
}

void Duplikatensuche::zeigeDateifehler(const Dateifehler &fehler, const QString &vorgang,
                                       const QString &titel)
{
    m_view.showMessage(fehler.meldung(vorgang), titel);
}
