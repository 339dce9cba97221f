#include "rahmen.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace {

// The caption starts a little in from the left end of the box line, with a gap on either side.
constexpr int beschriftungEinzug = 6;
constexpr int beschriftungLuecke = 2;

} // namespace

void Rahmen::paintEvent(QPaintEvent * /*event*/)
{
    QPainter maler(this);
    const QFontMetrics metrik(font());
    const QString text = title();
    const QRect beschriftung(
        beschriftungEinzug, 0,
        text.isEmpty() ? 0 : metrik.horizontalAdvance(text) + 2 * beschriftungLuecke,
        metrik.height());

    maler.save();
    maler.setClipRegion(QRegion(rect()).subtracted(beschriftung));
    const QRect kasten = rect().adjusted(0, metrik.height() / 2, 0, 0);
    qDrawShadeRect(&maler, kasten, palette(), true, 1, 0);
    maler.restore();

    style()->drawItemText(&maler, beschriftung, Qt::AlignCenter | Qt::TextHideMnemonic, palette(),
                          isEnabled(), text, foregroundRole());
}
