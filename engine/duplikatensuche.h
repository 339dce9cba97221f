#pragma once

#include "dateifehler.h"
#include "fortschritt.h"
#include "kriterium.h"
#include "gruppengang.h"
#include "gruppenvergleich.h"
#include "mainview.h"
#include "sicheresschreiben.h"
#include "suchzustand.h"

#include <QStringList>

#include <optional>
#include <utility>

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
    // The record to keep that the comparison built. One that has exactly one record's fields
    // is that record, chosen as in the list, so it is kept byte for byte. Any other goes into
    // the edit field as it would stand in the file, and "Weiter" keeps exactly it unless the
    // user edits the field further.
    void uebernimmVergleich(const Gruppenvergleich &vergleich);
    // The merged record the edit field shows as the comparison built it, if it shows one.
    const std::optional<QString> &zusammengefuehrt() const { return m_zusammengefuehrt; }
    // The status line's text, unless it tells why the path names no file to load: then it
    // comes back once the path is fine.
    void zeigeStatus(const QString &text);

    // Which line of every group a rule keeps, unedited: the first, the last, or the one the
    // chosen criterion suggests.
    enum class Regel { ErsteBehalten, LetzteBehalten, VorschlagBehalten };

    // The criterion by which every group shown selects its suggested record; none at program
    // start. Chosen while a group is shown, it selects that group's suggestion at once. A
    // column that no record of the loaded file holds is refused, with a message; false then.
    const std::optional<Kriterium> &vorschlagskriterium() const { return m_gang.kriterium(); }
    bool setzeVorschlag(const std::optional<Kriterium> &kriterium);

    // True while a group waits for the user's choice.
    bool gruppeGezeigt() const;
    bool kannZuruecknehmen() const { return m_gang.kannZuruecknehmen(); }
    // Back to the group shown before the last decision, as the user left it: the record then
    // selected and the edit field's text then, typing included. The result forgets what that
    // decision added. Also from a finished run.
    void letzteEntscheidungZuruecknehmen();
    // After the user agreed, settles the shown group and every later one by the rule and
    // finishes the run as clicking "Weiter" through them would.
    void alleWeiterenGruppen(Regel regel);
    // While on, groups whose lines are all the same settle themselves, keeping the first.
    // Switched on, it also settles the group on show if its lines are all the same. Off at
    // program start.
    bool gleicheAutomatisch() const { return m_gang.gleicheAutomatisch(); }
    void setzeGleicheAutomatisch(bool an);

    // Closing the window: asks first while settled groups would be lost unsaved; true when the
    // window may close.
    bool beendenBestaetigt();

    // Where the serial number stands and how keys compare; it holds until the program ends,
    // whatever is loaded or reset. The first column, byte for byte, at program start.
    const Schluesselregel &schluesselregel() const { return m_regel; }
    // Takes a new rule. A file loaded meanwhile is loaded again with it, after a question when
    // decisions would be lost; "Nein" keeps the rule and the run as they were.
    void setzeSchluesselregel(const Schluesselregel &regel);
    // While a file is loaded: how many groups of several lines the rule would give it.
    std::optional<qsizetype> gruppenMit(const Schluesselregel &regel);
    // While a file is loaded: the fields of its first record, as column names.
    QStringList spaltennamen() const;

    // For tests: every later save tells `beobachter` of its steps, which may fail them.
    void beobachteSpeichern(Speicherbeobachter beobachter)
    {
        m_speicherbeobachter = std::move(beobachter);
    }

private:
    using Gang = Gruppengang::Gang;

    // How the user leaves the group on show, as the history keeps it.
    Gruppengang::Verlassen verlassen() const;
    void zeigeWieVerlassen(const Gruppengang::Verlassen &verlassen);
    template <typename Befehl>
    void abbrechbar(const QString &titel, const QString &text, Befehl befehl);
    void sucheNaechsteGruppe(Gang gang, Fortschritt &fortschritt,
                             const Fortschrittsmeldung &meldung);
    void zeigeNachGang(bool gruppe, const Gang &gang, Fortschritt &fortschritt);
    Kriterium kriteriumFuer(Regel regel) const;
    void zeigeGangStand(const Gang &gang);

    // A rule that would find groups where the run just found none, and what to tell about it.
    struct Vorschlag
    {
        Schluesselregel regel;
        QString pfad;
        QString text;
    };

    bool dateiGeladen() const { return !m_zustand.GeladenerPfad.isEmpty(); }
    void ladeDatei();
    void bieteVorschlagAn();
    std::optional<Vorschlag> vorschlag();
    QString beispiel(const Schluesselregel &regel, qsizetype kopf, qsizetype anzahl) const;
    QString schluesseltext(QByteArrayView schluessel) const;
    QString nixGefunden() const;
    bool lade(const QString &pfad, Fortschritt &fortschritt);
    void brichLadenAb();
    void brichAbOhneSpeicher();
    template <typename Befehl> void ohneSpeichermangel(Befehl befehl);
    void suchschritt(Fortschritt &fortschritt, const Fortschrittsmeldung &meldung);
    bool waehleTrennzeichen();
    void pruefeTrennzeichen(Textdatei &datei, Fortschritt &fortschritt);
    std::optional<Gruppengang::Behalten> gewaehlterSatz(const QString &gewaehlt);
    void zeigeGruppe();
    void zeigeImZeilenfeld(qsizetype zeile);
    void zeigeZusammengefuehrt(const QString &satz);
    void leereZeilenfeld();
    void beendeSuchlauf();
    void zeigeZeilennummer(qsizetype zeile);
    void zeigeDateifehler(const Dateifehler &fehler, const QString &vorgang, const QString &titel);
    void zeigeOffenesAnfuehrungszeichen(const Datensaetze::Teilung::Anfuehrungszeichen &offen);
    bool ersetzenBestaetigt(const QString &pfad);
    bool ueberschreibenBestaetigt(const QString &ziel);
    void zeigePfadproblem(const std::optional<QString> &problem);
    Inhalt ergebnis(Fortschrittsmeldung meldung) const;
    void zeigeErsetzungsfehler(const Ersetzungsfehler &fehler, const QString &sicherung);
    void zeigeSpeichermangel();
    void schliesseAb();

    MainView &m_view;
    SuchZustand m_zustand;
    Gruppengang m_gang{m_zustand};
    Schluesselregel m_regel;
    // Made when a run ends without groups, offered once the command is through.
    std::optional<Vorschlag> m_vorschlag;
    // The line whose cut text the edit field shows, read-only; `keine` when it shows a whole one.
    qsizetype m_gekuerzteZeile = Gruppenindex::keine;
    // The line the edit field was given and the text it was given, so that "Weiter" knows an
    // unchanged line without decoding it again.
    qsizetype m_zeilenfeldZeile = Gruppenindex::keine;
    QString m_zeilenfeldText;
    // Told of each step of a save that touches the disk, for tests; none otherwise.
    Speicherbeobachter m_speicherbeobachter;
    // The record zeigeZusammengefuehrt() put into the edit field.
    std::optional<QString> m_zusammengefuehrt;
    // What the status line showed before it told why the path is no good.
    std::optional<QString> m_statusOhnePfadproblem;
};
