// Drives the real main window (offscreen) through one file and reports, as key=value lines, what
// a user waits for: from the click on "Datei laden" to the first group listed and painted, and
// for each "Weiter" from the click to the next group painted. While the file loads, a timer asks
// the window to paint every 10 ms; the longest pause between two paints is what a user would
// see of a window that does not answer. Every figure is measured here.

#include "tessrafenster.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTimer>

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

// The moments at which a widget was painted, and when the progress box first showed.
class Malprotokoll : public QObject
{
public:
    explicit Malprotokoll(QWidget &fenster)
        : m_fenster(fenster)
    {
        QApplication::instance()->installEventFilter(this);
    }

    std::vector<Uhr::time_point> bilder;
    std::optional<Uhr::time_point> boxGezeigt;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_fenster && event->type() == QEvent::Paint)
            bilder.push_back(Uhr::now());
        if (event->type() == QEvent::Show && !boxGezeigt &&
            watched->objectName() == u"Fortschrittsfenster")
            boxGezeigt = Uhr::now();
        return false;
    }

private:
    QWidget &m_fenster;
};

// The longest time without a paint from `von` to `bis`.
double laengstePause(const std::vector<Uhr::time_point> &bilder, Uhr::time_point von,
                     Uhr::time_point bis)
{
    double laengste = 0;
    Uhr::time_point vorher = von;
    for (const Uhr::time_point bild : bilder) {
        if (bild < von || bild > bis)
            continue;
        laengste = std::max(laengste, millisekunden(vorher, bild));
        vorher = bild;
    }
    return std::max(laengste, millisekunden(vorher, bis));
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
    Malprotokoll protokoll(fenster);
    QTimer zeichnen;
    zeichnen.setInterval(10);
    QObject::connect(&zeichnen, &QTimer::timeout, &fenster, [&fenster] { fenster.repaint(); });
    zeichnen.start();
    const auto ladeStart = Uhr::now();
    const double ladeMs = klickeUndZeichne(fenster, laden);
    const auto ladeEnde = Uhr::now();
    zeichnen.stop();
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
    std::printf("load_longest_pause_ms=%.1f\n",
                laengstePause(protokoll.bilder, ladeStart, ladeEnde));
    std::printf("load_progress_box_ms=%.1f\n",
                protokoll.boxGezeigt ? millisekunden(ladeStart, *protokoll.boxGezeigt) : -1.0);
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
