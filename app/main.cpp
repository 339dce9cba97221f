#include <QApplication>
#include <QFileInfo>
#include <QStyleFactory>

#include <cstdio>
#include <optional>

#include "tessrafenster.h"
#include "uebersetzung.h"

namespace {

// The one file a file manager's "Öffnen mit" hands over, or none; anything more is a mistake
// that is said on the terminal. Qt has taken its own options (-platform and the like) already.
std::optional<QString> startdatei(const QStringList &argumente, bool &gut)
{
    gut = argumente.size() <= 2 && !argumente.value(1).startsWith(u'-');
    if (!gut) {
        std::fputs("tessra: Aufruf: tessra [DATEI]\n"
                   "Tessra nimmt höchstens eine Datei und keine Optionen.\n",
                   stderr);
        return std::nullopt;
    }
    if (argumente.size() < 2)
        return std::nullopt;
    return QFileInfo(argumente[1]).absoluteFilePath();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bool gut = true;
    const std::optional<QString> datei = startdatei(QApplication::arguments(), gut);
    if (!gut)
        return 2;
    // The window's controls have fixed pixel sizes; Fusion draws them alike on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (!ladeDeutscheQtTexte())
        qWarning("Qt's German texts (qtbase_de.qm, package qt6-translations-l10n) are missing; "
                 "Qt's own buttons and menus stay English.");
    TessraFenster fenster;
    // As typed: the path check runs, but nothing loads before the delimiter is chosen.
    if (datei)
        fenster.setzePfad(*datei);
    fenster.show();
    return app.exec();
}
