#include "vergleichfenster.h"

#include <algorithm>
#include <utility>

#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "ergebnismodell.h"
#include "fensterbild.h"
#include "gruppenmodell.h"
#include "wartecursor.h"

namespace {

const QString keineGruppe =
    QStringLiteral("Der Suchlauf ist beendet: Es wird keine Gruppe mehr angezeigt.");

// Readable on light and dark backgrounds alike: the theme's selection colour, faint.
QColor toenung(const QWidget &widget, int deckung)
{
    QColor farbe = widget.palette().color(QPalette::Highlight);
    farbe.setAlpha(deckung);
    return farbe;
}

QTableView *tabelle(QWidget *container, const QString &name)
{
    auto *tabelle = new QTableView(container);
    tabelle->setObjectName(name);
    tabelle->setSelectionMode(QAbstractItemView::SingleSelection);
    tabelle->setSelectionBehavior(QAbstractItemView::SelectItems);
    tabelle->setWordWrap(false);
    // One height for every row, so a group of a million records is laid out without asking for
    // any of them.
    tabelle->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabelle->verticalHeader()->setDefaultSectionSize(tabelle->fontMetrics().height() + 6);
    tabelle->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Column widths and the row headers' width are measured on this many rows, not on all.
    tabelle->horizontalHeader()->setResizeContentsPrecision(100);
    tabelle->verticalHeader()->setResizeContentsPrecision(100);
    return tabelle;
}

} // namespace

VergleichFenster::VergleichFenster(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("VergleichFenster"));
    setWindowTitle(QStringLiteral("Tessra - Gruppe vergleichen"));
    setWindowIcon(fensterbild());

    m_lblGruppe = new QLabel(this);
    m_lblGruppe->setObjectName(QStringLiteral("lblGruppe"));
    m_lblGruppe->setTextFormat(Qt::PlainText);
    m_chkNurAbweichende = new QCheckBox(QStringLiteral("Nur abweichende Spalten"), this);
    m_chkNurAbweichende->setObjectName(QStringLiteral("chkNurAbweichende"));

    m_tblGruppe = tabelle(this, QStringLiteral("tblGruppe"));
    m_tblGruppe->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gruppenModell = new GruppenModell(m_tblGruppe);
    m_gruppenModell->setToenung(toenung(*this, 70));
    m_tblGruppe->setModel(m_gruppenModell);

    auto *lblErgebnis = new QLabel(QStringLiteral("Zu behaltender Datensatz (änderbar):"), this);
    lblErgebnis->setObjectName(QStringLiteral("lblErgebnis"));
    m_tblErgebnis = tabelle(this, QStringLiteral("tblErgebnis"));
    m_tblErgebnis->horizontalHeader()->hide();
    m_tblErgebnis->setEditTriggers(QAbstractItemView::DoubleClicked |
                                   QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    m_tblErgebnis->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tblErgebnis->setFixedHeight(m_tblErgebnis->verticalHeader()->defaultSectionSize() +
                                  2 * m_tblErgebnis->frameWidth() +
                                  m_tblErgebnis->horizontalScrollBar()->sizeHint().height());
    m_ergebnisModell = new ErgebnisModell(m_tblErgebnis);
    m_ergebnisModell->setToenung(toenung(*this, 130));
    m_tblErgebnis->setModel(m_ergebnisModell);
    lblErgebnis->setBuddy(m_tblErgebnis);

    auto *hinweis = new QLabel(
        QStringLiteral("Doppelklick oder Leertaste: Zelle übernehmen. Doppelklick auf den "
                       "Zeilenkopf oder Umschalt+Leertaste: ganzen Datensatz übernehmen.\n"
                       "Eingabe: Weiter. Strg+Z: zurücknehmen. Esc: schließen."),
        this);
    hinweis->setObjectName(QStringLiteral("lblHinweis"));
    // The window's width follows the group's columns, not this text.
    hinweis->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblGruppe);
    layout->addWidget(m_chkNurAbweichende);
    layout->addWidget(m_tblGruppe, 1);
    layout->addWidget(lblErgebnis);
    layout->addWidget(m_tblErgebnis);
    layout->addWidget(hinweis);

    connect(m_tblGruppe, &QAbstractItemView::doubleClicked, this,
            &VergleichFenster::uebernimmZelle);
    connect(m_tblGruppe->verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
            &VergleichFenster::uebernimmSatz);
    m_tblGruppe->installEventFilter(this);
    m_tblGruppe->setAccessibleName(QStringLiteral("Datensätze der Gruppe"));
    m_tblErgebnis->setAccessibleName(lblErgebnis->text());
    connect(m_chkNurAbweichende, &QCheckBox::toggled, this, &VergleichFenster::zeigeNurAbweichende);
    connect(m_ergebnisModell, &ErgebnisModell::bearbeitet, this,
            &VergleichFenster::ergebnisGeaendert);
    // The record to keep stands under the group's columns, scrolled and sized with them.
    connect(m_tblGruppe->horizontalScrollBar(), &QScrollBar::valueChanged,
            m_tblErgebnis->horizontalScrollBar(), &QScrollBar::setValue);
    connect(m_tblErgebnis->horizontalScrollBar(), &QScrollBar::valueChanged,
            m_tblGruppe->horizontalScrollBar(), &QScrollBar::setValue);
    connect(m_tblGruppe->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int spalte, int, int breite) { m_tblErgebnis->setColumnWidth(spalte, breite); });
    connect(m_gruppenModell, &QAbstractItemModel::columnsInserted, this, [this] {
        m_ergebnisModell->setSpalten(m_gruppenModell->columnCount());
        gleicheSpaltenAn();
    });

    zeigeKeineGruppe();
    m_tblGruppe->setFocus();
}

VergleichFenster::~VergleichFenster()
{
    // The models point into the comparison; they must let go of it first.
    m_gruppenModell->setVergleich(nullptr);
    m_ergebnisModell->setVergleich(nullptr, 0);
}

void VergleichFenster::zeigeGruppe(const SuchZustand &zustand, std::vector<qsizetype> zeilen,
                                   qsizetype seriennummernspalte)
{
    auto vergleich =
        std::make_unique<Gruppenvergleich>(zustand, std::move(zeilen), seriennummernspalte);
    m_gruppenModell->setVergleich(vergleich.get());
    m_ergebnisModell->setVergleich(vergleich.get(), m_gruppenModell->columnCount());
    m_vergleich = std::move(vergleich);
    m_lblGruppe->setText(QStringLiteral("Seriennummer der Gruppe: ") +
                         m_vergleich->wert(0, m_vergleich->seriennummernspalte()) +
                         QStringLiteral(" (") + QString::number(m_vergleich->saetze()) +
                         QStringLiteral(" Datensätze)"));
    m_tblGruppe->setEnabled(true);
    m_tblErgebnis->setEnabled(true);
    m_chkNurAbweichende->setEnabled(true);
    m_tblGruppe->scrollToTop();
    m_tblGruppe->setCurrentIndex(m_gruppenModell->index(0, 0));
    // The table was disabled while no group was shown and passed the focus on; the keys that
    // move through the group belong to it.
    if (!m_tblErgebnis->hasFocus())
        m_tblGruppe->setFocus();
    if (m_chkNurAbweichende->isChecked())
        zeigeNurAbweichende();
    gleicheSpaltenAn();
}

void VergleichFenster::zeigeKeineGruppe()
{
    m_gruppenModell->setVergleich(nullptr);
    m_ergebnisModell->setVergleich(nullptr, 0);
    m_vergleich.reset();
    m_lblGruppe->setText(keineGruppe);
    m_tblGruppe->setEnabled(false);
    m_tblErgebnis->setEnabled(false);
    m_chkNurAbweichende->setEnabled(false);
}

void VergleichFenster::folgeAuswahl(qsizetype index)
{
    if (!m_vergleich || index < 0 || index >= m_vergleich->saetze())
        return;
    // The run chose the record the comparison built back to: the taken cells stay marked.
    if (m_vergleich->einzigeQuelle() == index)
        return;
    m_vergleich->behalte(index);
    m_ergebnisModell->aktualisiere();
}

void VergleichFenster::stelleWiederHer(const QString &satz)
{
    if (!m_vergleich)
        return;
    m_vergleich->stelleWiederHer(satz);
    m_ergebnisModell->setSpalten(m_gruppenModell->columnCount());
    m_ergebnisModell->aktualisiere();
}

void VergleichFenster::zeigeAn()
{
    if (!std::exchange(m_groesseGesetzt, true))
        passeGroesseAn();
    show();
    raise();
    activateWindow();
}

bool VergleichFenster::nimmZelleZurueck()
{
    if (!m_vergleich || !m_vergleich->nimmZurueck())
        return false;
    m_ergebnisModell->aktualisiere();
    Q_EMIT ergebnisGeaendert();
    return true;
}

void VergleichFenster::uebernimmZelle(const QModelIndex &zelle)
{
    if (!m_vergleich || !zelle.isValid())
        return;
    m_vergleich->uebernimmZelle(zelle.row(), zelle.column());
    m_ergebnisModell->setSpalten(m_gruppenModell->columnCount());
    m_ergebnisModell->aktualisiere();
    Q_EMIT ergebnisGeaendert();
}

void VergleichFenster::uebernimmSatz(int satz)
{
    if (m_vergleich && satz >= 0 && satz < m_vergleich->saetze())
        Q_EMIT satzGewaehlt(satz);
}

void VergleichFenster::zeigeNurAbweichende()
{
    std::vector<bool> zeigen(size_t(m_gruppenModell->columnCount()), true);
    if (m_vergleich && m_chkNurAbweichende->isChecked()) {
        const Wartecursor warten;
        zeigen = m_vergleich->abweichendeSpalten();
        m_ergebnisModell->setSpalten(m_gruppenModell->columnCount());
    }
    for (int spalte = 0; spalte < m_gruppenModell->columnCount(); ++spalte) {
        const bool verbergen = size_t(spalte) < zeigen.size() && !zeigen[size_t(spalte)];
        m_tblGruppe->setColumnHidden(spalte, verbergen);
        m_tblErgebnis->setColumnHidden(spalte, verbergen);
    }
}

// Both tables' columns and row headers of one width, so each cell of the record to keep stands
// under its column.
void VergleichFenster::gleicheSpaltenAn()
{
    m_tblGruppe->resizeColumnsToContents();
    const int kopf = std::max(m_tblGruppe->verticalHeader()->sizeHint().width(),
                              m_tblErgebnis->verticalHeader()->sizeHint().width());
    m_tblGruppe->verticalHeader()->setFixedWidth(kopf);
    m_tblErgebnis->verticalHeader()->setFixedWidth(kopf);
    for (int spalte = 0; spalte < m_gruppenModell->columnCount(); ++spalte)
        m_tblErgebnis->setColumnWidth(spalte, m_tblGruppe->columnWidth(spalte));
}

// All columns in view where the screen allows it.
void VergleichFenster::passeGroesseAn()
{
    int breite = m_tblGruppe->verticalHeader()->width() + 2 * m_tblGruppe->frameWidth() +
                 m_tblGruppe->verticalScrollBar()->sizeHint().width() + 24;
    for (int spalte = 0; spalte < m_gruppenModell->columnCount(); ++spalte)
        breite += m_tblGruppe->columnWidth(spalte);
    // Up to a dozen rows in view; a larger group scrolls.
    const int zeilen = std::clamp(m_gruppenModell->rowCount(), 3, 12);
    const int tabelle = m_tblGruppe->horizontalHeader()->sizeHint().height() +
                        zeilen * m_tblGruppe->verticalHeader()->defaultSectionSize() +
                        2 * m_tblGruppe->frameWidth() +
                        m_tblGruppe->horizontalScrollBar()->sizeHint().height();
    const int rest = layout()->sizeHint().height() - m_tblGruppe->sizeHint().height();
    QSize groesse(std::max(breite, 480), rest + tabelle);
    if (const QScreen *bildschirm = screen())
        groesse = groesse.boundedTo(bildschirm->availableGeometry().size() * 9 / 10);
    resize(groesse);
}

// A closed window lets go of the group: the run may load another file before it opens again.
void VergleichFenster::closeEvent(QCloseEvent *event)
{
    zeigeKeineGruppe();
    QWidget::closeEvent(event);
}

void VergleichFenster::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT weiterGewuenscht();
        break;
    default:
        if (event->matches(QKeySequence::Undo)) {
            if (!nimmZelleZurueck())
                Q_EMIT zuruecknehmenGewuenscht();
            break;
        }
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

// Space takes the current cell, Shift+Space its whole record; the table would only select.
bool VergleichFenster::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_tblGruppe || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *taste = static_cast<QKeyEvent *>(event);
    if (taste->key() != Qt::Key_Space)
        return false;
    if (taste->modifiers() & Qt::ShiftModifier)
        uebernimmSatz(m_tblGruppe->currentIndex().row());
    else
        uebernimmZelle(m_tblGruppe->currentIndex());
    return true;
}
