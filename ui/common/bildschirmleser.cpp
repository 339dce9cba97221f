#include "bildschirmleser.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace {

QString beschriftungVon(const QWidget &widget)
{
    if (const auto *knopf = qobject_cast<const QAbstractButton *>(&widget))
        return knopf->text();
    if (const auto *rahmen = qobject_cast<const QGroupBox *>(&widget))
        return rahmen->title();
    if (const auto *label = qobject_cast<const QLabel *>(&widget))
        return label->text();
    return {};
}

} // namespace

void benenneFuerBildschirmleser(
    QWidget &fenster, std::initializer_list<std::pair<QWidget *, QString>> ohneBeschriftung)
{
    // Qt's own inner widgets (a list's viewport, its scroll bars) are named "qt_..." and are
    // announced as part of their control.
    const auto controls = fenster.findChildren<QWidget *>();
    for (QWidget *control : controls) {
        const QString name = control->objectName();
        if (!name.isEmpty() && !name.startsWith(u"qt_"))
            control->setAccessibleName(beschriftungVon(*control));
    }
    for (const auto &[control, name] : ohneBeschriftung)
        control->setAccessibleName(name);
}
