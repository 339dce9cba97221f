#include "listenfokus.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// The application's style, with the focus marks, for the one list that owns it.
class Listenfokusstil : public QProxyStyle
{
public:
    explicit Listenfokusstil(QWidget &liste)
        : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
    {
        setParent(&liste);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        const bool fokus = option->state.testFlag(State_HasFocus);
        if (fokus && element == PE_Frame) {
            QProxyStyle::drawPrimitive(PE_FrameLineEdit, option, painter, widget);
            return;
        }
        if (fokus && element == PE_FrameFocusRect && option->state.testFlag(State_Item)) {
            zeichneZeilenrahmen(*option, *painter);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    // Light on the selection's colour, in the selection's colour elsewhere.
    static void zeichneZeilenrahmen(const QStyleOption &option, QPainter &maler)
    {
        const QPalette::ColorRole farbe =
            option.state.testFlag(State_Selected) ? QPalette::HighlightedText : QPalette::Highlight;
        maler.save();
        maler.setPen(QPen(option.palette.color(farbe), 1));
        maler.setBrush(Qt::NoBrush);
        maler.drawRect(option.rect.adjusted(1, 1, -2, -2));
        maler.restore();
    }
};

} // namespace

void zeigeListenfokus(QAbstractItemView &liste)
{
    liste.setStyle(new Listenfokusstil(liste));
}
