#include <QApplication>
#include <QStyleFactory>

#include "tessrafenster.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The window's controls have fixed pixel sizes; Fusion draws them alike on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TessraFenster fenster;
    fenster.show();
    return app.exec();
}
