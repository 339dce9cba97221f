// Drives the real main window (offscreen) through one file and reports, as key=value lines, what
// a user waits for: from the click on "Datei laden" to the first group listed and painted, and
// for each "Weiter" from the click to the next group painted. Every figure is measured here.

#include "tessrafenster.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>

namespace {

using Uhr = std::chrono::steady_clock;

double millisekunden(Uhr::time_point von, Uhr::time_point bis)
{
    return std::chrono::duration<double, std::milli>(bis - von).count();
}

double spitzenspeicherMb()
{
    rusage nutzung{};
    getrusage(RUSAGE_SELF, &nutzung);
    return double(nutzung.ru_maxrss) / 1024.0; // Linux reports kilobytes
}

// The value below which the share `anteil` of the values lie.
double quantil(std::vector<double> werte, double anteil)
{
    if (werte.empty())
        return 0;
    std::sort(werte.begin(), werte.end());
    const auto index = size_t(anteil * double(werte.size() - 1) + 0.5);
    return werte[std::min(index, werte.size() - 1)];
}

template <typename T> T *steuerelement(const QWidget &fenster, const char *name)
{
    auto *widget = fenster.findChild<T *>(QString::fromUtf8(name));
    if (!widget) {
        std::fprintf(stderr, "tessra-fensterbench: Steuerelement %s fehlt\n", name);
        std::exit(1);
    }
    return widget;
}

// Clicks the button and paints the whole window, as the user would see it afterwards.
double klickeUndZeichne(QWidget &fenster, QPushButton *knopf)
{
    const auto vorher = Uhr::now();
    knopf->click();
    fenster.repaint();
    return millisekunden(vorher, Uhr::now());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList argumente = QApplication::arguments();
    if (argumente.size() < 2 || argumente.size() > 3) {
        std::fprintf(stderr, "Aufruf: tessra-fensterbench DATEI [SCHRITTE]\n"
                             "        (Trennzeichen \";\"; Vorgabe 2000 Schritte \"Weiter\")\n");
        return 2;
    }
    const QString datei = argumente[1];
    const int schritte = argumente.size() == 3 ? argumente[2].toInt() : 2000;
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    TessraFenster fenster;
    fenster.setDialogAntwort([](QDialog &dialog) {
        std::fprintf(stderr, "tessra-fensterbench: unerwarteter Dialog \"%s\"\n",
                     qPrintable(dialog.windowTitle()));
        std::exit(1);
    });
    fenster.show();
    QApplication::processEvents();

    steuerelement<QLineEdit>(fenster, "txtPfad")->setText(datei);
    steuerelement<QRadioButton>(fenster, "optSemikolon")->setChecked(true);
    auto *laden = steuerelement<QPushButton>(fenster, "btnLaden");
    auto *weiter = steuerelement<QPushButton>(fenster, "btnNächsteZeile");
    const auto *status = steuerelement<QLabel>(fenster, "lblZeile");
    const auto *duplikate = steuerelement<QLabel>(fenster, "lblAnzDuplikate");
    if (!laden->isEnabled()) {
        std::fprintf(stderr, "tessra-fensterbench: %s ist nicht lesbar\n", qPrintable(datei));
        return 1;
    }

    const double rssVorher = spitzenspeicherMb();
    const double ladeMs = klickeUndZeichne(fenster, laden);
    if (!weiter->isEnabled()) {
        std::fprintf(stderr, "tessra-fensterbench: keine Gruppe gezeigt (%s)\n",
                     qPrintable(status->text()));
        return 1;
    }
    const QString ersteGruppe = duplikate->text();

    std::vector<double> weiterMs;
    while (weiter->isEnabled() && int(weiterMs.size()) < schritte)
        weiterMs.push_back(klickeUndZeichne(fenster, weiter));

    std::printf("file_mb=%.1f\n", double(QFileInfo(datei).size()) / 1048576.0);
    std::printf("first_group_size=%s\n", qPrintable(ersteGruppe));
    std::printf("load_and_show_ms=%.1f\n", ladeMs);
    std::printf("steps=%zu\n", weiterMs.size());
    if (!weiterMs.empty()) {
        std::printf("first_step_ms=%.2f\n", weiterMs.front());
        std::printf("step_median_ms=%.2f\n", quantil(weiterMs, 0.5));
        std::printf("step_p99_ms=%.2f\n", quantil(weiterMs, 0.99));
        std::printf("step_max_ms=%.2f\n", quantil(weiterMs, 1.0));
    }
    std::printf("rss_before_load_mb=%.1f\n", rssVorher);
    std::printf("peak_rss_mb=%.1f\n", spitzenspeicherMb());
    return 0;
}
