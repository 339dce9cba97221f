#include "testlauf.h"

#include "duplikatensuche.h"
#include "fakemainview.h"
#include "pruefen.h"
#include "testdateien.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace Testlauf {

namespace {

using Ausgang = Referenzmodell::Ausgang;

QString status(const FakeMainView &view)
{
    return view.caption(MainView::Label::lblZeile);
}

// "Datei laden" with the delimiter as the user's own text. True when the load told the user
// that a quote made it read the file line by line; that message is taken away, as the user
// closes it and goes on.
bool lade(FakeMainView &view, Duplikatensuche &suche, const QString &pfad,
          const QString &trennzeichen)
{
    view.waehleTrennzeichen(trennzeichen);
    view.setTxtPfad(pfad);
    suche.txtPfad_Change();
    suche.btnLaden_Click();
    if (view.messages.isEmpty() ||
        view.messages.constFirst().title != u"Tessra - Anführungszeichen")
        return false;
    view.messages.removeFirst();
    return true;
}

// Settles every group with the line the engine selected, unedited. A run can show at most one
// group per line, so more steps than lines means the walk never ends.
bool laufeDurch(Duplikatensuche &suche, const FakeMainView &view)
{
    for (qsizetype schritte = 0;
         view.isEnabled(MainView::Control::btnNaechsteZeile) && view.messages.isEmpty();
         ++schritte) {
        if (schritte > suche.zustand().Zeilen.size())
            return false;
        suche.btnNaechsteZeile_Click();
    }
    return true;
}

} // namespace

namespace {

// What the run ended with, the finished one saved with "Speichern unter..." to `ziel`.
Ergebnis ergebnisVon(Duplikatensuche &suche, FakeMainView &view, const QString &eingabe,
                     const QString &ziel, QByteArrayView datei)
{
    Ergebnis ergebnis;
    if (!view.messages.isEmpty()) {
        const auto &meldung = view.messages.constFirst();
        if (meldung.title == u"Tessra - Lohnt sich nicht!" ||
            meldung.text == u"Die Datei ist leer.")
            ergebnis.ausgang = Ausgang::ZuKurz;
        else if (meldung.title == u"Tessra - Nix gefunden")
            ergebnis.ausgang = Ausgang::NixGefunden;
        else
            ergebnis.fehler = meldung.title + u": " + meldung.text;
    } else if (status(view) == u"Keine doppelten Datensätze vorhanden!") {
        ergebnis.ausgang = Ausgang::KeineDoppelten;
    } else if (status(view) == u"FERTIG - Bitte Speichern -") {
        view.answers.enqueue(ziel);
        suche.btnSpeichernUnter_Click();
        ergebnis.ausgang = Ausgang::Ergebnis;
        ergebnis.geschrieben = testdateiInhalt(ziel);
        if (!view.messages.isEmpty() || status(view) != u"Vorgang abgeschlossen")
            ergebnis.fehler = QStringLiteral("Speichern misslang: ") + status(view);
    } else {
        ergebnis.fehler = QStringLiteral("Unerwarteter Status: ") + status(view);
    }
    if (ergebnis.fehler.isEmpty() && testdateiInhalt(eingabe) != datei)
        ergebnis.fehler = QStringLiteral("Die Eingabedatei wurde verändert.");
    return ergebnis;
}

// One run of `datei` in a fresh window-less engine under `regel`: `vorher` may set the engine up
// before the load, `entscheide` settles the groups; each says what went wrong, or nothing.
template <typename Vorher, typename Entscheide>
Ergebnis lauf(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
              const Schluesselregel &regel, Vorher vorher, Entscheide entscheide)
{
    const QString eingabe = ordner + QStringLiteral("/eingabe.txt");
    const QString ziel = ordner + QStringLiteral("/ergebnis.txt");
    QFile::remove(ziel);
    if (!legeTestdateiAn(eingabe, datei))
        return {Ausgang::ZuKurz, {}, false, QStringLiteral("Die Eingabe ließ sich nicht anlegen.")};

    FakeMainView view;
    Duplikatensuche suche(view);
    suche.setzeSchluesselregel(regel);
    if (const QString fehler = vorher(suche); !fehler.isEmpty())
        return {Ausgang::ZuKurz, {}, false, fehler};
    const bool zeilenweise = lade(view, suche, eingabe, trennzeichen);
    if (const QString fehler = entscheide(suche, view); !fehler.isEmpty())
        return {Ausgang::ZuKurz, {}, false, fehler};
    Ergebnis ergebnis = ergebnisVon(suche, view, eingabe, ziel, datei);
    ergebnis.zeilenweise = zeilenweise;
    return ergebnis;
}

} // namespace

Ergebnis behalteErste(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                      const Schluesselregel &regel)
{
    return lauf(
        ordner, datei, trennzeichen, regel, [](Duplikatensuche &) { return QString(); },
        [](Duplikatensuche &suche, FakeMainView &view) {
            return laufeDurch(suche, view) ? QString() : QStringLiteral("\"Weiter\" endet nicht.");
        });
}

Ergebnis behalteVorschlag(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                          const Kriterium &kriterium, const Schluesselregel &regel, int weiter)
{
    return lauf(
        ordner, datei, trennzeichen, regel,
        [&](Duplikatensuche &suche) {
            return suche.setzeVorschlag(kriterium)
                       ? QString()
                       : QStringLiteral("Der Vorschlag wurde abgelehnt.");
        },
        [&](Duplikatensuche &suche, FakeMainView &view) {
            for (; weiter > 0 && view.isEnabled(MainView::Control::btnNaechsteZeile) &&
                   view.messages.isEmpty();
                 --weiter)
                suche.btnNaechsteZeile_Click();
            if (view.isEnabled(MainView::Control::btnNaechsteZeile) && view.messages.isEmpty()) {
                view.yesNoAnswers.enqueue(true);
                suche.alleWeiterenGruppen(Duplikatensuche::Regel::VorschlagBehalten);
            }
            return QString();
        });
}

namespace {

enum class Art { Klicken, Regelbefehl, GleicheAutomatisch };

struct Durchlauf
{
    QString bild; // the window at the end of the run
    bool fertig = false;
    QByteArray geschrieben;
    int gezeigt = 0;
};

// The command a run gives at group `vorher`: the rule, first answered "Nein", or switching on
// the setting for identical groups. When it settled groups, taking it back must show the group
// as before; then the command is given again.
void gibBefehl(Duplikatensuche &suche, FakeMainView &view, const Regelfall &fall, Art art,
               int gruppenUebrig, QString &fehler)
{
    const auto befehl = [&] {
        view.yesNoAnswers.enqueue(true);
        if (art == Art::Regelbefehl)
            suche.alleWeiterenGruppen(fall.letzte ? Duplikatensuche::Regel::LetzteBehalten
                                                  : Duplikatensuche::Regel::ErsteBehalten);
        else
            suche.setzeGleicheAutomatisch(true);
    };
    const QString vorher = view.bild();
    if (art == Art::Regelbefehl) {
        view.yesNoQuestions.clear();
        suche.alleWeiterenGruppen(Duplikatensuche::Regel::ErsteBehalten);
        const QString frage = view.yesNoQuestions.value(0).text;
        if (view.bild() != vorher || !frage.contains(u' ' + QString::number(gruppenUebrig) + u' '))
            fehler += QStringLiteral("Frage oder \"Nein\" falsch: ") + frage + u'\n';
    }
    befehl();
    // A run that ended without a result has no history left.
    if (view.bild() == vorher || !suche.kannZuruecknehmen())
        return;
    suche.letzteEntscheidungZuruecknehmen();
    if (view.bild() != vorher)
        fehler += QStringLiteral("Zurücknehmen zeigt die Gruppe nicht wie zuvor.\n");
    befehl();
}

// One whole run: "Weiter" for every group shown, with the rule's line selected from group
// `vorher` on, or the command of `art` at that group.
Durchlauf fuehreDurch(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                      const Regelfall &fall, Art art, int gruppenUebrig, QString &fehler)
{
    const QString eingabe = ordner + QStringLiteral("/eingabe.txt");
    const QString ziel = ordner + QStringLiteral("/ergebnis.txt");
    QFile::remove(ziel);
    Durchlauf lauf;
    if (!legeTestdateiAn(eingabe, datei)) {
        fehler += QStringLiteral("Die Eingabe ließ sich nicht anlegen.\n");
        return lauf;
    }
    FakeMainView view;
    Duplikatensuche suche(view);
    lade(view, suche, eingabe, trennzeichen);
    for (; view.isEnabled(MainView::Control::btnNaechsteZeile) && view.messages.isEmpty();
         ++lauf.gezeigt) {
        if (lauf.gezeigt > suche.zustand().Zeilen.size()) {
            fehler += QStringLiteral("\"Weiter\" endet nicht.\n");
            break;
        }
        if (lauf.gezeigt == fall.vorher && art != Art::Klicken) {
            const QString vorher = view.bild();
            gibBefehl(suche, view, fall, art, gruppenUebrig, fehler);
            if (view.bild() != vorher)
                continue;
        }
        if (lauf.gezeigt >= fall.vorher && fall.letzte) {
            view.selectLstZeilenItem(view.lstZeilenCount() - 1);
            suche.LstZeilen_Click();
        }
        suche.btnNaechsteZeile_Click();
    }
    lauf.bild = view.bild();
    lauf.fertig = status(view) == u"FERTIG - Bitte Speichern -";
    if (lauf.fertig) {
        view.answers.enqueue(ziel);
        suche.btnSpeichernUnter_Click();
        lauf.geschrieben = testdateiInhalt(ziel);
    }
    return lauf;
}

} // namespace

QString pruefeRegeln(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                     const Regelfall &fall)
{
    const auto modell =
        Referenzmodell::behalteNachRegel(datei, trennzeichen, fall.letzte, fall.vorher);
    const int gruppen = int(modell.verschieden.size());
    const auto erste = Referenzmodell::behalteErste(datei, trennzeichen);
    if (!fall.letzte && (modell.ausgang != erste.ausgang || modell.ergebnis != erste.ergebnis))
        return QStringLiteral("Die Modelle für die erste Zeile weichen voneinander ab.");

    QString fehler;
    const Art art = fall.gleicheAutomatisch ? Art::GleicheAutomatisch : Art::Regelbefehl;
    const Durchlauf lauf =
        fuehreDurch(ordner, datei, trennzeichen, fall, art, gruppen - fall.vorher, fehler);
    const Durchlauf klick = fuehreDurch(ordner, datei, trennzeichen, fall, Art::Klicken, 0, fehler);
    if (!fehler.isEmpty())
        return fehler;
    // Counters, status, messages and result as if every group had been clicked through.
    if (lauf.bild != klick.bild || lauf.geschrieben != klick.geschrieben)
        return QStringLiteral("Anders als beim Durchklicken:\n") + lauf.bild +
               QStringLiteral("\n--- statt ---\n") + klick.bild;
    if (lauf.fertig != (modell.ausgang == Ausgang::Ergebnis) || lauf.geschrieben != modell.ergebnis)
        return QStringLiteral("Ergebnis weicht vom Modell ab.");
    // With the setting on from group `vorher`, later groups of identical lines are not shown.
    const int gezeigt = gruppen <= fall.vorher
                            ? gruppen
                            : fall.vorher + 1 +
                                  int(std::count(modell.verschieden.begin() + fall.vorher + 1,
                                                 modell.verschieden.end(), true));
    if (art == Art::GleicheAutomatisch && lauf.gezeigt != gezeigt)
        return QStringLiteral("%1 Gruppen gezeigt statt %2.").arg(lauf.gezeigt).arg(gezeigt);
    return {};
}

// Every run writes and saves a file; in memory that costs no disk and no wear. libFuzzer ends
// without running destructors, so `make fuzz` hands over a folder it removes itself.
QString arbeitsordner()
{
    static const QString vorgegeben = qEnvironmentVariable("TESSRA_FUZZ_ORDNER");
    if (!vorgegeben.isEmpty())
        return vorgegeben;
    static const QTemporaryDir ordner(QDir(QStringLiteral("/dev/shm")).exists()
                                          ? QStringLiteral("/dev/shm/tessra-fuzz-XXXXXX")
                                          : QDir::tempPath() +
                                                QStringLiteral("/tessra-fuzz-XXXXXX"));
    pruefe(ordner.isValid(), "Arbeitsordner angelegt");
    return ordner.path();
}

} // namespace Testlauf
