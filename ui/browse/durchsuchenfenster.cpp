#include "durchsuchenfenster.h"

#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "dateifehler.h"
#include "laufwerke.h"
#include "ordnerliste.h"
#include "bildschirmleser.h"
#include "schriften.h"
#include "twips.h"

namespace {

constexpr int pfadRolle = Qt::UserRole;
// Set on a file whose name is not UTF-8.
constexpr int nichtUtf8Rolle = Qt::UserRole + 1;

// "/home/anna" gives "/", "/home", "/home/anna": the way down a folder list shows above the
// current folder.
QStringList vorfahren(const QString &pfad)
{
    QStringList liste{QStringLiteral("/")};
    QString bisher;
    const QStringList teile = pfad.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &teil : teile) {
        bisher += QLatin1Char('/') + teil;
        liste.append(bisher);
    }
    return liste;
}

// A volume's root already ends with the separator; a second one would make "//daten.txt".
QString pfadVerbinden(const QString &ordner, const QString &name)
{
    if (ordner.endsWith(QLatin1Char('/')))
        return ordner + name;
    return ordner + QLatin1Char('/') + name;
}

QString ordnerName(const QString &pfad)
{
    if (pfad == QStringLiteral("/"))
        return pfad;
    return pfad.section(QLatin1Char('/'), -1);
}

} // namespace

DurchsuchenFenster::DurchsuchenFenster(QWidget *hauptfenster, QLineEdit *txtPfad,
                                       QPushButton *btnDurchsuchen,
                                       std::function<void()> txtPfadChange, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , m_hauptfenster(hauptfenster)
    , m_txtPfad(txtPfad)
    , m_btnDurchsuchen(btnDurchsuchen)
    , m_txtPfadChange(std::move(txtPfadChange))
    , m_ordnerleser(&Ordnerinhalt::lesen)
{
    setObjectName(QStringLiteral("DurchsuchenFenster"));
    setAttribute(Qt::WA_DeleteOnClose);
    // No icon of its own: a window takes its parent's icon, so with the main window as parent
    // both windows show the same one.
    baueOberflaeche();

    connect(m_drive1, &QComboBox::currentIndexChanged, this, [this] { Drive1_Change(); });
    connect(m_dir1, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *eintrag) { dir1Oeffnen(eintrag); });
    connect(m_file1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_file1->selectedItems().isEmpty())
            File1_Click();
    });
    connect(m_file1, &QListWidget::itemDoubleClicked, this, [this] { File1_DblClick(); });
    connect(m_buttonOk, &QPushButton::clicked, this, [this] { Button_ok_Click(); });
    connect(m_buttonAbbr, &QPushButton::clicked, this, [this] { Button_abbr_Click(); });

    // Clicks anywhere in the main window have to be seen before its controls act on them.
    QCoreApplication::instance()->installEventFilter(this);
    Form_Load();
}

void DurchsuchenFenster::setOrdnerleser(Ordnerleser leser)
{
    m_ordnerleser = std::move(leser);
}

void DurchsuchenFenster::baueOberflaeche()
{
    QScreen *bildschirm = (m_hauptfenster ? m_hauptfenster.data() : this)->screen();
    const qreal dpi = bildschirm ? bildschirm->logicalDotsPerInch() : 96.0;
    const Twips twips(dpi, dpi);
    const auto platziere = [this, &twips](QWidget *control, const QString &name, int links,
                                          int oben, int breite, int hoehe) {
        control->setObjectName(name);
        control->setGeometry(twips.rect(links, oben, breite, hoehe));
    };
    setFont(dialogSchrift());

    // Created in tab order, so the focus chain needs no repair.
    m_dir1 = new Ordnerliste(this);
    platziere(m_dir1, QStringLiteral("Dir1"), 120, 360, 2295, 4140);
    m_dir1->setIndentation(twips.x(150));

    m_file1 = new QListWidget(this);
    platziere(m_file1, QStringLiteral("File1"), 2520, 360, 2535, 3990);
    m_file1->setSelectionMode(QAbstractItemView::SingleSelection);

    m_buttonOk = new QPushButton(QStringLiteral("OK"), this);
    platziere(m_buttonOk, QStringLiteral("Button_ok"), 2520, 4800, 1215, 300);
    m_buttonAbbr = new QPushButton(QStringLiteral("Abbruch"), this);
    platziere(m_buttonAbbr, QStringLiteral("Button_abbr"), 3840, 4800, 1215, 300);
    for (QPushButton *button : {m_buttonOk, m_buttonAbbr}) {
        // Enter and Escape have no effect on the window as a whole.
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    m_label1 = new QLabel(QStringLiteral("Ordner:"), this);
    platziere(m_label1, QStringLiteral("Label1"), 120, 120, 1575, 255);
    m_label2 = new QLabel(QStringLiteral("Datei:"), this);
    platziere(m_label2, QStringLiteral("Label2"), 2520, 120, 1575, 255);

    m_drive1 = new QComboBox(this);
    platziere(m_drive1, QStringLiteral("Drive1"), 120, 4800, 2295, 315);
    m_label3 = new QLabel(QStringLiteral("Laufwerk:"), this);
    platziere(m_label3, QStringLiteral("Label3"), 120, 4560, 975, 255);

    benenneFuerBildschirmleser(
        *this,
        {{m_dir1, m_label1->text()}, {m_file1, m_label2->text()}, {m_drive1, m_label3->text()}});

    setTabOrder(m_dir1, m_file1);
    setTabOrder(m_file1, m_buttonOk);
    setTabOrder(m_buttonOk, m_buttonAbbr);
    setTabOrder(m_buttonAbbr, m_drive1);
    m_dir1->setFocus();

    setFixedSize(twips.size(5175, 5175));
    if (m_hauptfenster) {
        QRect ziel(QPoint(), size());
        ziel.moveCenter(m_hauptfenster->window()->geometry().center());
        if (bildschirm) {
            const QRect frei = bildschirm->availableGeometry();
            ziel.moveLeft(qBound(frei.left(), ziel.left(), frei.right() - ziel.width()));
            ziel.moveTop(qBound(frei.top(), ziel.top(), frei.bottom() - ziel.height()));
        }
        move(ziel.topLeft());
    }
}

void DurchsuchenFenster::Form_Load()
{
    setWindowTitle(QStringLiteral("Tessra - Datei suchen"));
    m_drive1->blockSignals(true);
    m_drive1->addItems(laufwerke());
    m_drive1->blockSignals(false);

    // The program's current folder, or the nearest folder above it that can be read.
    QString pfad = QDir::currentPath();
    if (pfad.isEmpty())
        pfad = QDir::homePath();
    pfad = QDir::cleanPath(QDir(pfad).absolutePath());
    while (!setzeDir1Pfad(pfad).lesbar() && pfad != QStringLiteral("/"))
        pfad = QDir::cleanPath(pfad + QStringLiteral("/.."));
}

void DurchsuchenFenster::Drive1_Change()
{
    const QString laufwerk = m_drive1->currentText();
    const Ordnerinhalt inhalt = setzeDir1Pfad(laufwerk);
    if (!inhalt.lesbar()) {
        zeigeLaufwerkVon(m_dir1Pfad);
        warneLaufwerksfehler(laufwerk, inhalt);
    }
}

void DurchsuchenFenster::Dir1_Change()
{
    m_file1Pfad = m_dir1Pfad;
    const QSignalBlocker sperre(m_file1);
    m_file1->clear();
    m_file1->addItems(m_dir1Dateien);
    // Listed in name order too, so that picking one can say why it cannot be loaded.
    for (const QString &name : std::as_const(m_dir1NichtUtf8)) {
        int stelle = 0;
        while (stelle < m_file1->count() &&
               QString::compare(m_file1->item(stelle)->text(), name, Qt::CaseInsensitive) <= 0)
            ++stelle;
        auto *eintrag = new QListWidgetItem(name);
        eintrag->setData(nichtUtf8Rolle, true);
        m_file1->insertItem(stelle, eintrag);
    }
}

void DurchsuchenFenster::File1_Click()
{
    m_buttonOk->setEnabled(true);
    setWindowTitle(QStringLiteral("Tessra - ") + m_file1->selectedItems().constFirst()->text());
}

void DurchsuchenFenster::File1_DblClick()
{
    Button_ok_Click();
}

void DurchsuchenFenster::Button_ok_Click()
{
    const QList<QListWidgetItem *> auswahl = m_file1->selectedItems();
    const QString dateiname = auswahl.isEmpty() ? QString() : auswahl.constFirst()->text();
    // Its shown name leads to no file; the window stays, so another can be picked.
    if (!auswahl.isEmpty() && auswahl.constFirst()->data(nichtUtf8Rolle).toBool()) {
        const Dateifehler fehler{
            pfadVerbinden(m_file1Pfad, dateiname), Dateifehler::Grund::NameNichtUtf8, {}};
        warne(QStringLiteral("Tessra - Dateifehler"),
              fehler.meldung(QStringLiteral("kann nicht geladen werden:")));
        return;
    }
    // Not blocked: in the main window a new text runs the path check by itself.
    if (!dateiname.isEmpty() && m_txtPfad)
        m_txtPfad->setText(pfadVerbinden(m_file1Pfad, dateiname));
    if (m_btnDurchsuchen)
        m_btnDurchsuchen->setEnabled(true);
    if (m_txtPfadChange)
        m_txtPfadChange();
    if (m_txtPfad)
        m_txtPfad->setCursorPosition(int(m_txtPfad->text().size()));
    hide();
    schliessen();
}

void DurchsuchenFenster::Button_abbr_Click()
{
    if (m_btnDurchsuchen)
        m_btnDurchsuchen->setEnabled(true);
    if (m_txtPfadChange)
        m_txtPfadChange();
    hide();
    schliessen();
}

void DurchsuchenFenster::Form_QueryUnload(bool &cancel)
{
    // Whoever asks, the window goes the way of "Abbruch", so the main window gets
    // "Durchsuchen..." back.
    cancel = true;
    Button_abbr_Click();
}

void DurchsuchenFenster::Form_Deactivate()
{
    if (isVisible()) {
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
    }
    QApplication::beep();
}

void DurchsuchenFenster::closeEvent(QCloseEvent *event)
{
    if (m_schliessenErlaubt) {
        event->accept();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel);
    // The "Abbruch" steps end by closing the window, but Qt ignores a close asked for while this
    // one is being decided; so this request, refused by the handler, carries theirs out.
    event->setAccepted(!cancel || m_schliessenErlaubt);
}

bool DurchsuchenFenster::eventFilter(QObject *watched, QEvent *event)
{
    // A message box of this window blocks the main window by itself.
    if (!isVisible() || QApplication::activeModalWidget() || !istTeilVomHauptfenster(watched))
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::WindowActivate:
        if (watched == m_hauptfenster->window())
            Form_Deactivate();
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
        Form_Deactivate();
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::KeyRelease:
    case QEvent::ContextMenu:
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        // Refused: a file dragged from elsewhere cannot reach the main window either.
        event->ignore();
        return true;
    default:
        return false;
    }
}

bool DurchsuchenFenster::istTeilVomHauptfenster(QObject *objekt) const
{
    if (!m_hauptfenster || !objekt->isWidgetType())
        return false;
    return static_cast<QWidget *>(objekt)->window() == m_hauptfenster->window();
}

void DurchsuchenFenster::dir1Oeffnen(QTreeWidgetItem *eintrag)
{
    const QString pfad = eintrag->data(0, pfadRolle).toString();
    const Ordnerinhalt inhalt = setzeDir1Pfad(pfad);
    if (inhalt.lesbar())
        return;
    // The click that opened the entry also highlighted it; the highlight belongs to the folder
    // still shown.
    for (QTreeWidgetItemIterator it(m_dir1); *it; ++it) {
        if ((*it)->data(0, pfadRolle).toString() == m_dir1Pfad)
            m_dir1->setCurrentItem(*it);
    }
    warneLaufwerksfehler(pfad, inhalt);
}

Ordnerinhalt DurchsuchenFenster::setzeDir1Pfad(const QString &pfad)
{
    Ordnerinhalt inhalt = m_ordnerleser(pfad);
    if (!inhalt.lesbar())
        return inhalt;
    m_dir1Pfad = pfad;
    m_dir1Dateien = inhalt.dateien;
    m_dir1NichtUtf8 = inhalt.nichtUtf8;
    zeigeOrdnerbaum(pfad, inhalt.ordner);
    zeigeLaufwerkVon(pfad);
    Dir1_Change();
    return inhalt;
}

void DurchsuchenFenster::zeigeOrdnerbaum(const QString &pfad, const QStringList &unterordner)
{
    const QSignalBlocker sperre(m_dir1);
    m_dir1->clear();
    const QIcon offen = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon zu = style()->standardIcon(QStyle::SP_DirClosedIcon);

    QTreeWidgetItem *aktuell = nullptr;
    for (const QString &vorfahr : vorfahren(pfad)) {
        auto *eintrag = aktuell ? new QTreeWidgetItem(aktuell) : new QTreeWidgetItem(m_dir1);
        eintrag->setText(0, ordnerName(vorfahr));
        eintrag->setIcon(0, offen);
        eintrag->setData(0, pfadRolle, vorfahr);
        aktuell = eintrag;
    }
    for (const QString &name : unterordner) {
        auto *eintrag = new QTreeWidgetItem(aktuell);
        eintrag->setText(0, name);
        eintrag->setIcon(0, zu);
        eintrag->setData(0, pfadRolle, pfadVerbinden(pfad, name));
    }
    m_dir1->expandAll();
    m_dir1->setCurrentItem(aktuell);
    m_dir1->scrollToItem(aktuell);
}

void DurchsuchenFenster::zeigeLaufwerkVon(const QString &pfad)
{
    QStringList punkte;
    for (int i = 0; i < m_drive1->count(); ++i)
        punkte.append(m_drive1->itemText(i));
    QString punkt = laufwerkVon(pfad, punkte);

    const QSignalBlocker sperre(m_drive1);
    if (punkt.isEmpty()) {
        // A folder on a volume the list leaves out still shows where it lives.
        punkt = QStorageInfo(pfad).rootPath();
        if (punkt.isEmpty())
            punkt = QStringLiteral("/");
        m_drive1->addItem(punkt);
    }
    m_drive1->setCurrentIndex(m_drive1->findText(punkt));
}

void DurchsuchenFenster::warneLaufwerksfehler(const QString &pfad, const Ordnerinhalt &inhalt)
{
    warne(QStringLiteral("Tessra - Laufwerksfehler"),
          QStringLiteral("Der Ordner ") + pfad + QStringLiteral(" kann nicht gelesen werden.\n") +
              inhalt.fehlerText());
}

void DurchsuchenFenster::warne(const QString &titel, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, titel, text, QMessageBox::Ok, this);
    box.setFont(font());
    box.exec();
}

void DurchsuchenFenster::schliessen()
{
    m_schliessenErlaubt = true;
    close();
}
