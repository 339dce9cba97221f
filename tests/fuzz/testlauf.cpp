#include "testlauf.h"

#include "duplikatensuche.h"
#include "fakemainview.h"
#include "testdateien.h"

#include <QFile>

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
    if (ergebnis.fehler.isEmpty() && testdateiInhalt(eingabe) != datei)
        ergebnis.fehler = QStringLiteral("Die Eingabedatei wurde verändert.");
    return ergebnis;
}

} // namespace Testlauf
