#include "uebersetzung.h"

#include <memory>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool ladeDeutscheQtTexte()
{
    auto uebersetzer = std::make_unique<QTranslator>();
    // Named in full, so neither LANG nor the system's languages choose the catalogue.
    if (!uebersetzer->load(QStringLiteral("qtbase_de"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    uebersetzer->setParent(QCoreApplication::instance());
    return QCoreApplication::installTranslator(uebersetzer.release());
}
