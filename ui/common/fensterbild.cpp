#include "fensterbild.h"

#include <QString>

QIcon fensterbild()
{
    return QIcon(QStringLiteral(":/tessra/tessra.png"));
}
