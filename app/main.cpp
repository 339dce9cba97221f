#include <QApplication>
#include <QStyleFactory>

#include "tessrafenster.h"
#include "uebersetzung.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The window's controls have fixed pixel sizes; Fusion draws them alike on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (!ladeDeutscheQtTexte())
        qWarning("Qt's German texts (qtbase_de.qm, package qt6-translations-l10n) are missing; "
                 "Qt's own buttons and menus stay English.");
    TessraFenster fenster;
    fenster.show();
    return app.exec();
}
