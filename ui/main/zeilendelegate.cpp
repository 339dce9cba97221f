#include "zeilendelegate.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

#include "datensaetze.h"
#include "zeilenmodell.h"

namespace {

// Rows measured for the common width: every row of an ordinary group, and a quick answer for a
// huge one, whose later rows may then be cut at the list's edge.
constexpr int gemesseneZeilen = 1000;

using Bereiche = QList<std::pair<qsizetype, qsizetype>>;

QList<QStringView> spalten(QStringView text, QStringView trennzeichen)
{
    QList<QStringView> teile;
    for (const auto &[anfang, laenge] : Datensaetze::felder(text, trennzeichen))
        teile.append(text.sliced(anfang, laenge));
    return teile;
}

const QStyle *stilVon(const QStyleOptionViewItem &option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

// Whether the rule reads the same serial number in both rows. The rows are display text; as
// UTF-8 they are what the rule reads in any file.
bool gleicheSerie(QStringView zeile, QStringView erste, QStringView trennzeichen,
                  const Schluesselregel &regel)
{
    const QByteArray trenner = trennzeichen.toUtf8();
    const QByteArray eins = zeile.toUtf8();
    const QByteArray zwei = erste.toUtf8();
    const Seriennummer a = regel.lies(eins, trenner);
    const Seriennummer b = regel.lies(zwei, trenner);
    QByteArray pufferA;
    QByteArray pufferB;
    return regel.istSeriennummer(a) && regel.istSeriennummer(b) &&
           regel.vergleichsform(a.text(), false, pufferA) ==
               regel.vergleichsform(b.text(), false, pufferB);
}

QFont fett(QFont schrift)
{
    schrift.setWeight(QFont::Bold);
    return schrift;
}

} // namespace

Bereiche abweichendeSpalten(QStringView zeile, QStringView erste, QStringView trennzeichen,
                            const Schluesselregel &regel)
{
    if (trennzeichen.isEmpty() || zeile == erste)
        return {};
    // Spellings the options make one serial number are no difference. Without the options the
    // column is compared as text, as ever, so a quoted spelling of the key still shows.
    const qsizetype gleicheSpalte =
        regel.vergleichtFrei() && gleicheSerie(zeile, erste, trennzeichen, regel) ? regel.spalte - 1
                                                                                  : -1;
    const QList<QStringView> vorbild = spalten(erste, trennzeichen);
    Bereiche bereiche;
    qsizetype nummer = 0;
    for (const QStringView spalte : spalten(zeile, trennzeichen)) {
        if (nummer != gleicheSpalte && (nummer >= vorbild.size() || spalte != vorbild.at(nummer)))
            bereiche.append({spalte.data() - zeile.data(), spalte.size()});
        ++nummer;
    }
    return bereiche;
}

// The display text turns line feeds into line separators; the first row and the delimiter
// must be compared in the same form.
Bereiche ZeilenDelegate::fetteSpalten(const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    if (index.row() == 0)
        return {};
    const QModelIndex erste = index.siblingAtRow(0);
    QString trennzeichen = erste.data(ZeilenModell::TrennzeichenRolle).toString();
    trennzeichen.replace(u'\n', QChar::LineSeparator);
    const auto *modell = qobject_cast<const ZeilenModell *>(index.model());
    return abweichendeSpalten(option.text, displayText(erste.data(), option.locale), trennzeichen,
                              modell ? modell->regel() : Schluesselregel());
}

void ZeilenDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QStyle *stil = stilVon(opt);
    const Bereiche bereiche = fetteSpalten(opt, index);
    if (bereiche.isEmpty()) {
        stil->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        return;
    }

    // Background, selection and focus as for any row; then the text, with the bold parts, where
    // and in the colour the style would put it.
    const int rand = stil->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    const QRect textfeld = stil->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget)
                               .adjusted(rand, 0, -rand, 0);
    const QString text = opt.text;
    opt.text.clear();
    stil->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    QTextLayout layout(text, opt.font);
    QTextOption textoption;
    textoption.setWrapMode(QTextOption::ManualWrap);
    textoption.setTextDirection(opt.direction);
    layout.setTextOption(textoption);
    QTextCharFormat fettFormat;
    fettFormat.setFontWeight(QFont::Bold);
    QList<QTextLayout::FormatRange> formate;
    for (const auto &[anfang, laenge] : bereiche)
        formate.append({int(anfang), int(laenge), fettFormat});
    layout.setFormats(formate);
    qreal hoehe = 0;
    layout.beginLayout();
    for (QTextLine zeile = layout.createLine(); zeile.isValid(); zeile = layout.createLine()) {
        zeile.setLineWidth(textfeld.width());
        zeile.setPosition(QPointF(0, hoehe));
        hoehe += zeile.height();
    }
    layout.endLayout();

    QPalette::ColorGroup gruppe =
        opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (gruppe == QPalette::Normal && !(opt.state & QStyle::State_Active))
        gruppe = QPalette::Inactive;
    const auto rolle =
        opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setClipRect(textfeld);
    painter->setPen(opt.palette.color(gruppe, rolle));
    layout.draw(painter,
                QPointF(textfeld.left(), textfeld.top() + (textfeld.height() - int(hoehe)) / 2));
    painter->restore();
}

// What the style asks for the row, plus the room its bold parts take beyond their plain width.
QSize ZeilenDelegate::zeilengroesse(const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QSize groesse = stilVon(opt)->sizeFromContents(QStyle::CT_ItemViewItem, &opt, {}, opt.widget);
    const QFontMetrics normal(opt.font);
    const QFontMetrics breit(fett(opt.font));
    for (const auto &[anfang, laenge] : fetteSpalten(opt, index)) {
        const QString teil = opt.text.sliced(anfang, laenge);
        groesse.rwidth() += breit.horizontalAdvance(teil) - normal.horizontalAdvance(teil);
    }
    return groesse;
}

QSize ZeilenDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize groesse = zeilengroesse(option, index);
    const QAbstractItemModel *modell = index.model();
    if (!modell)
        return groesse;
    const int anzahl = std::min(modell->rowCount(), gemesseneZeilen);
    for (int zeile = 0; zeile < anzahl; ++zeile) {
        const QSize andere = zeilengroesse(option, modell->index(zeile, 0));
        groesse.setWidth(std::max(groesse.width(), andere.width()));
    }
    return groesse;
}
