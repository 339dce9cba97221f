#include "testlauf.h"

#include "duplikatensuche.h"
#include "fakemainview.h"
#include "pruefen.h"
#include "testdateien.h"

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

Ergebnis werteAus(Duplikatensuche &suche, FakeMainView &view, const QString &ziel);

} // namespace

Ergebnis behalteErste(const QString &ordner, QByteArrayView datei, const QString &trennzeichen)
{
    const QString eingabe = ordner + QStringLiteral("/eingabe.txt");
    const QString ziel = ordner + QStringLiteral("/ergebnis.txt");
    QFile::remove(ziel);
    if (!legeTestdateiAn(eingabe, datei))
        return {Ausgang::ZuKurz, {}, QStringLiteral("Die Eingabe ließ sich nicht anlegen.")};

    FakeMainView view;
    view.waehleTrennzeichen(trennzeichen);
    view.setTxtPfad(eingabe);
    Duplikatensuche suche(view);
    suche.txtPfad_Change();
    suche.btnLaden_Click();
    if (!laufeDurch(suche, view))
        return {Ausgang::ZuKurz, {}, QStringLiteral("\"Weiter\" endet nicht.")};

    Ergebnis ergebnis = werteAus(suche, view, ziel);
    if (ergebnis.fehler.isEmpty() && testdateiInhalt(eingabe) != datei)
        ergebnis.fehler = QStringLiteral("Die Eingabedatei wurde verändert.");
    return ergebnis;
}

namespace {

// A finished or ended run as the user sees it: the outcome, and for a result what "Speichern
// unter..." writes.
Ergebnis werteAus(Duplikatensuche &suche, FakeMainView &view, const QString &ziel)
{
    Ergebnis ergebnis;
    if (!view.messages.isEmpty()) {
        const auto &meldung = view.messages.constFirst();
        if (meldung.title == u"Tessra - Lohnt sich nicht!")
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
    return ergebnis;
}

enum class Art { Klicken, Regelbefehl, GleicheAutomatisch };

struct Durchlauf
{
    Ergebnis ergebnis;
    QString bild; // the window at the end of the run, before saving
    int gezeigt = 0;
};

// One run settled as `fall` says: by clicking "Weiter" with the rule's line selected, by the
// rule command, or with identical groups settling themselves and the first line kept. After the
// rule command the run is taken back once and the command given again.
Durchlauf fuehreDurch(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                      const Regelfall &fall, Art art)
{
    const QString eingabe = ordner + QStringLiteral("/eingabe.txt");
    const QString ziel = ordner + QStringLiteral("/ergebnis.txt");
    QFile::remove(ziel);
    Durchlauf lauf;
    if (!legeTestdateiAn(eingabe, datei)) {
        lauf.ergebnis.fehler = QStringLiteral("Die Eingabe ließ sich nicht anlegen.");
        return lauf;
    }
    const auto regel = fall.letzte ? Duplikatensuche::Regel::LetzteBehalten
                                   : Duplikatensuche::Regel::ErsteBehalten;
    FakeMainView view;
    view.waehleTrennzeichen(trennzeichen);
    view.setTxtPfad(eingabe);
    Duplikatensuche suche(view);
    suche.setzeGleicheAutomatisch(art == Art::GleicheAutomatisch);
    suche.txtPfad_Change();
    suche.btnLaden_Click();
    while (view.isEnabled(MainView::Control::btnNaechsteZeile) && view.messages.isEmpty()) {
        if (lauf.gezeigt > suche.zustand().Zeilen.size()) {
            lauf.ergebnis.fehler = QStringLiteral("\"Weiter\" endet nicht.");
            return lauf;
        }
        const bool nachRegel = lauf.gezeigt++ >= fall.vorher;
        if (art == Art::Regelbefehl && nachRegel) {
            const QString vorher = view.bild();
            view.yesNoAnswers.enqueue(true);
            suche.alleWeiterenGruppen(regel);
            if (suche.kannZuruecknehmen()) {
                suche.letzteEntscheidungZuruecknehmen();
                if (view.bild() != vorher)
                    lauf.ergebnis.fehler = QStringLiteral("Zurücknehmen zeigt nicht die Gruppe, "
                                                          "bei der die Regel gegeben wurde.");
                view.yesNoAnswers.enqueue(true);
                suche.alleWeiterenGruppen(regel);
            }
            break;
        }
        if (art == Art::Klicken && nachRegel && fall.letzte) {
            view.selectLstZeilenItem(view.lstZeilenCount() - 1);
            suche.LstZeilen_Click();
        }
        suche.btnNaechsteZeile_Click();
    }
    lauf.bild = view.bild();
    if (lauf.ergebnis.fehler.isEmpty())
        lauf.ergebnis = werteAus(suche, view, ziel);
    return lauf;
}

} // namespace

QString pruefeRegeln(const QString &ordner, QByteArrayView datei, const QString &trennzeichen,
                     const Regelfall &fall)
{
    // The two models of keeping the first line agree with each other.
    const auto erste = Referenzmodell::behalteErste(datei, trennzeichen);
    const auto modell = Referenzmodell::behalteNachRegel(datei, trennzeichen, fall.letzte,
                                                         fall.gleicheAutomatisch ? 0 : fall.vorher);
    if (!fall.letzte && (modell.ausgang != erste.ausgang || modell.ergebnis != erste.ergebnis))
        return QStringLiteral("Die Modelle für die erste Zeile weichen voneinander ab.");

    const Art art = fall.gleicheAutomatisch ? Art::GleicheAutomatisch : Art::Regelbefehl;
    const Durchlauf lauf = fuehreDurch(ordner, datei, trennzeichen, fall, art);
    const Durchlauf klick = fuehreDurch(ordner, datei, trennzeichen, fall, Art::Klicken);
    if (!lauf.ergebnis.fehler.isEmpty() || !klick.ergebnis.fehler.isEmpty())
        return lauf.ergebnis.fehler + klick.ergebnis.fehler;
    if (lauf.ergebnis.ausgang != modell.ausgang || lauf.ergebnis.geschrieben != modell.ergebnis)
        return QStringLiteral("Ergebnis weicht vom Modell ab.");
    if (klick.ergebnis.geschrieben != modell.ergebnis)
        return QStringLiteral("Durchklicken weicht vom Modell ab.");
    // Counters, status and messages as if every group had been clicked through.
    if (lauf.bild != klick.bild)
        return QStringLiteral("Fenster am Ende anders als beim Durchklicken:\n") + lauf.bild +
               QStringLiteral("\n--- statt ---\n") + klick.bild;
    if (art == Art::GleicheAutomatisch && lauf.gezeigt != modell.verschiedene)
        return QStringLiteral("%1 Gruppen gezeigt, %2 mit verschiedenen Zeilen")
            .arg(lauf.gezeigt)
            .arg(modell.verschiedene);
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
