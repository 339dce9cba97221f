// Runs one whole cleaning run through the engine without a window and reports how long each
// part took: load, the walk over every group (keeping the line listed first, unedited) and
// "Speichern unter..." or, with --ersetzen, "Speichern (ersetzen)" of a copy of the file (backup
// and replace). It also reports the peak memory of the run and of the save alone. Every figure
// is measured here, on this run. With --regel the groups are settled instead by one rule command
// from the first group on, keeping each group's first or last line, and its time is reported as
// rule_ms. --spalte, --text and the --ohne-... options set where the serial number stands and
// how keys compare, as the dialog "Seriennummer..." does.

#include "dateien.h"
#include "duplikatensuche.h"
#include "fakemainview.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QString>

namespace {

using Uhr = std::chrono::steady_clock;

struct Optionen
{
    QString datei;
    QString trennzeichen = QStringLiteral(";");
    QString ziel;
    bool ersetzen = false;
    std::optional<Duplikatensuche::Regel> regel;
    // The suggestion's criterion, for --regel vollstaendig, groesste:N and kleinste:N.
    std::optional<Kriterium> kriterium;
    Schluesselregel schluessel;
};

double millisekunden(Uhr::time_point von, Uhr::time_point bis)
{
    return std::chrono::duration<double, std::milli>(bis - von).count();
}

int verwendung(const char *meldung)
{
    std::fprintf(stderr,
                 "tessra-bench: %s\n"
                 "Aufruf: tessra-bench DATEI [--delim TEXT] [--out PFAD] [--ersetzen]\n"
                 "                    [--regel erste|letzte|vollstaendig|groesste:N|kleinste:N]\n"
                 "                    [--spalte N] [--text]\n"
                 "                    [--ohne-gross-klein] [--ohne-leerzeichen] [--ohne-nullen]\n"
                 "        (--delim tab steht für den Tabulator; Vorgabe ist \";\".\n"
                 "        --ersetzen kopiert DATEI nach PFAD und ersetzt die Kopie.)\n",
                 meldung);
    return 2;
}

bool leseKriterium(const QString &wert, Optionen &optionen)
{
    const qsizetype doppelpunkt = wert.indexOf(u':');
    const QString art = wert.left(doppelpunkt);
    bool zahl = doppelpunkt > 0;
    const int spalte = zahl ? wert.sliced(doppelpunkt + 1).toInt(&zahl) : 0;
    if (wert == u"vollstaendig")
        optionen.kriterium = Kriterium::vollstaendigste();
    else if (zahl && spalte >= 1 && art == u"groesste")
        optionen.kriterium = Kriterium::groesster(spalte);
    else if (zahl && spalte >= 1 && art == u"kleinste")
        optionen.kriterium = Kriterium::kleinster(spalte);
    else
        return false;
    optionen.regel = Duplikatensuche::Regel::VorschlagBehalten;
    return true;
}

bool leseOptionen(int argc, char **argv, Optionen &optionen)
{
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        const bool mitWert = argument == u"--delim" || argument == u"--out" ||
                             argument == u"--regel" || argument == u"--spalte";
        if (mitWert && i + 1 >= argc)
            return false;
        if (argument == u"--delim") {
            const QString wert = QString::fromLocal8Bit(argv[++i]);
            optionen.trennzeichen = wert == u"tab" ? QStringLiteral("\t") : wert;
        } else if (argument == u"--out") {
            optionen.ziel = QString::fromLocal8Bit(argv[++i]);
        } else if (argument == u"--ersetzen") {
            optionen.ersetzen = true;
        } else if (argument == u"--regel") {
            const QString wert = QString::fromLocal8Bit(argv[++i]);
            if (wert == u"erste")
                optionen.regel = Duplikatensuche::Regel::ErsteBehalten;
            else if (wert == u"letzte")
                optionen.regel = Duplikatensuche::Regel::LetzteBehalten;
            else if (!leseKriterium(wert, optionen))
                return false;
        } else if (argument == u"--spalte") {
            bool zahl = false;
            optionen.schluessel.spalte = QString::fromLocal8Bit(argv[++i]).toLongLong(&zahl);
            if (!zahl || optionen.schluessel.spalte < 1)
                return false;
        } else if (argument == u"--text") {
            optionen.schluessel.text = true;
        } else if (argument == u"--ohne-gross-klein") {
            optionen.schluessel.grossKleinIgnorieren = true;
        } else if (argument == u"--ohne-leerzeichen") {
            optionen.schluessel.leerzeichenIgnorieren = true;
        } else if (argument == u"--ohne-nullen") {
            optionen.schluessel.nullenIgnorieren = true;
        } else if (optionen.datei.isEmpty() && !argument.startsWith(u"--")) {
            optionen.datei = argument;
        } else {
            return false;
        }
    }
    if (optionen.ziel.isEmpty())
        optionen.ziel = optionen.datei + QStringLiteral(".out");
    return !optionen.datei.isEmpty() && !optionen.trennzeichen.isEmpty();
}

// A message box ends the run: the benchmark measured nothing worth reporting.
bool meldungGezeigt(const FakeMainView &view)
{
    if (view.messages.isEmpty())
        return false;
    const auto &meldung = view.messages.constFirst();
    std::fprintf(stderr, "tessra-bench: Meldung \"%s\":\n%s\n", qPrintable(meldung.title),
                 qPrintable(meldung.text));
    return true;
}

bool statusIst(const FakeMainView &view, const QString &erwartet)
{
    const QString status = view.caption(MainView::Label::lblZeile);
    if (status == erwartet)
        return true;
    std::fprintf(stderr, "tessra-bench: Der Lauf endete mit dem Status \"%s\".\n",
                 qPrintable(status));
    return false;
}

double median(std::vector<double> werte)
{
    if (werte.empty())
        return 0;
    const auto mitte = werte.begin() + std::ptrdiff_t(werte.size() / 2);
    std::nth_element(werte.begin(), mitte, werte.end());
    return *mitte;
}

// A memory figure of this process from /proc/self/status in MiB: VmHWM is the peak resident
// memory since the start or the last reset, VmRSS what is resident now.
double speicherMb(const QByteArray &feld)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &zeile : status.readAll().split('\n')) {
        if (zeile.startsWith(QByteArray(feld + ':')))
            return zeile.mid(feld.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Lets the peak start again from the memory in use now, so that the save's own peak shows.
bool setzeSpitzenspeicherZurueck()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

} // namespace

int main(int argc, char **argv)
{
    Optionen optionen;
    if (!leseOptionen(argc, argv, optionen))
        return verwendung("ungültige Argumente");
    if (!istLesbareDatei(optionen.datei)) {
        std::fprintf(stderr, "tessra-bench: Die Datei %s kann nicht gelesen werden.\n",
                     qPrintable(optionen.datei));
        return 1;
    }
    // The copy to be replaced is made before the clock starts.
    if (optionen.ersetzen && ((QFile::exists(optionen.ziel) && !QFile::remove(optionen.ziel)) ||
                              !QFile::copy(optionen.datei, optionen.ziel))) {
        std::fprintf(stderr, "tessra-bench: Die Kopie %s kann nicht angelegt werden.\n",
                     qPrintable(optionen.ziel));
        return 1;
    }
    const auto start = Uhr::now();

    FakeMainView view;
    view.waehleTrennzeichen(optionen.trennzeichen);
    view.setTxtPfad(optionen.ersetzen ? optionen.ziel : optionen.datei);
    Duplikatensuche suche(view);
    suche.setzeSchluesselregel(optionen.schluessel);
    suche.setzeVorschlag(optionen.kriterium);
    suche.txtPfad_Change();

    const auto ladeStart = Uhr::now();
    suche.btnLaden_Click();
    const auto ladeEnde = Uhr::now();
    if (meldungGezeigt(view))
        return 1;

    // The engine has already selected the group's first line, so keeping it unedited is just
    // "Weiter" for every group.
    std::vector<double> schritte;
    if (optionen.regel) {
        view.yesNoAnswers.enqueue(true);
        suche.alleWeiterenGruppen(*optionen.regel);
    }
    while (view.isEnabled(MainView::Control::btnNaechsteZeile) && view.messages.isEmpty()) {
        const auto vorher = Uhr::now();
        suche.btnNaechsteZeile_Click();
        schritte.push_back(millisekunden(vorher, Uhr::now()) * 1000.0);
    }
    const auto laufEnde = Uhr::now();
    if (meldungGezeigt(view) || !statusIst(view, QStringLiteral("FERTIG - Bitte Speichern -")))
        return 1;
    const qsizetype zeilen = suche.zustand().Zeilen.size();

    const double ladeSpitzeMb = speicherMb("VmHWM");
    const double vorDemSpeichernMb = speicherMb("VmRSS");
    if (!setzeSpitzenspeicherZurueck())
        std::fprintf(stderr, "tessra-bench: /proc/self/clear_refs ist nicht beschreibbar; "
                             "save_peak_rss_mb gilt für den ganzen Lauf.\n");
    const auto speicherStart = Uhr::now();
    if (optionen.ersetzen) {
        suche.btnSpeichern_Click();
    } else {
        view.answers.enqueue(optionen.ziel);
        // The output of an earlier run is there to be replaced: "Ja" to the question.
        if (QFileInfo(optionen.ziel).isFile())
            view.yesNoAnswers.enqueue(true);
        suche.btnSpeichernUnter_Click();
    }
    const auto speicherEnde = Uhr::now();
    const double speicherSpitzeMb = speicherMb("VmHWM");
    if (meldungGezeigt(view) || !statusIst(view, QStringLiteral("Vorgang abgeschlossen")))
        return 1;

    std::printf("lines=%lld\n", static_cast<long long>(zeilen));
    std::printf("load_ms=%.1f\n", millisekunden(ladeStart, ladeEnde));
    if (optionen.regel) {
        // The question names the groups left, and a rule given at the first group settles all.
        std::printf("rule_question=%s\n",
                    qPrintable(view.yesNoQuestions.value(0).text.section(u'\n', 0, 0)));
        std::printf("rule_ms=%.1f\n", millisekunden(ladeEnde, laufEnde));
    } else {
        std::printf("groups=%zu\n", schritte.size());
        std::printf("walk_ms=%.1f\n", millisekunden(ladeEnde, laufEnde));
    }
    std::printf("save=%s\n", optionen.ersetzen ? "ersetzen" : "unter");
    std::printf("save_ms=%.1f\n", millisekunden(speicherStart, speicherEnde));
    if (!optionen.regel)
        std::printf("step_median_us=%.2f\n", median(schritte));
    std::printf("peak_rss_mb=%.1f\n", std::max(ladeSpitzeMb, speicherSpitzeMb));
    std::printf("load_peak_rss_mb=%.1f\n", ladeSpitzeMb);
    std::printf("rss_before_save_mb=%.1f\n", vorDemSpeichernMb);
    std::printf("save_peak_rss_mb=%.1f\n", speicherSpitzeMb);
    std::printf("total_ms=%.1f\n", millisekunden(start, Uhr::now()));
    return 0;
}
