#include "tessrafenster.h"

#include <limits>

#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QUrl>

#include "bildschirmleser.h"
#include "dateifehler.h"
#include "fensterbild.h"
#include "gestensperre.h"
#include "handbuch.h"
#include "listenauswahl.h"
#include "listenfokus.h"
#include "listenkontextmenue.h"
#include "programmstart.h"
#include "rahmen.h"
#include "schriften.h"
#include "seriennummerdialog.h"
#include "twips.h"
#include "wartecursor.h"
#include "zeilendelegate.h"
#include "zeilenansicht.h"
#include "zeilenmodell.h"
#include "zugang.h"

namespace {

const QString statusBitteLaden = QStringLiteral("Bitte eine Datei laden");
const QString titelProgrammstart = QStringLiteral("Tessra - Programmstart");
const QColor dunkelrot(128, 0, 0);
const QColor dunkellila(64, 0, 64);

const QString hilfetext =
    QStringLiteral("Die Seriennummern-Datei eingeben. Das verwendete Trennzeichen angeben, evtl. "
                   "durch klicken auf 'Im Editor öffnen' nachsehen. Mit 'Datei laden' wird der "
                   "Suchvorgang gestartet. Ein Fund wird unter 'Duplikatensuche' angezeigt. Alle "
                   "Zeilen mit der gleichen Seriennummer werden aufgelistet. Durch klicken auf die "
                   "entprechende Zeile erscheint diese im unteren Textfeld und kann bei Bedarf "
                   "noch bearbeitet werden. Nach Auswahl der gewünschten (richtigen) Zeile auf "
                   "'Weiter' klicken. Die markierte Zeile wird übernommen und der nächste Fund "
                   "angezeigt. Ist die Suche abgeschlossen, kann durch klick auf 'Speichern' die "
                   "neue Seriennummern-Datei die alte ersetzen. Die Bisherige wird mit der Endung "
                   ".ALT gesichert. 'Speichern unter...' öffnet ein Eingabefenster zur Eingabe des "
                   "Speicherpfades. Mit Reset können im Fehlerfall sämtliche Programmparameter "
                   "zurückgesetzt werden.");

template <typename Widget>
Widget *erzeuge(QWidget *container, const QString &name, const QRect &geometrie)
{
    auto *widget = new Widget(container);
    widget->setObjectName(name);
    widget->setGeometry(geometrie);
    return widget;
}

QPushButton *knopf(QWidget *container, const QString &name, const QString &text,
                   const QRect &geometrie, const QString &tooltip)
{
    auto *knopf = erzeuge<QPushButton>(container, name, geometrie);
    knopf->setText(text);
    knopf->setToolTip(tooltip);
    return knopf;
}

QGroupBox *rahmen(QWidget *container, const QString &name, const QString &titel,
                  const QRect &geometrie)
{
    auto *rahmen = erzeuge<Rahmen>(container, name, geometrie);
    rahmen->setTitle(titel);
    return rahmen;
}

QLabel *neueBeschriftung(QWidget *container, const QString &name, const QString &text,
                         const QRect &geometrie)
{
    auto *label = erzeuge<QLabel>(container, name, geometrie);
    label->setText(text);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit *textfeld(QWidget *container, const QString &name, const QRect &geometrie)
{
    auto *feld = erzeuge<QLineEdit>(container, name, geometrie);
    // Lines of a serial-number file can be long; the default limit would cut them.
    feld->setMaxLength(std::numeric_limits<int>::max());
    return feld;
}

void setzeTextfarbe(QWidget *widget, const QColor &farbe)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, farbe);
    widget->setPalette(palette);
}

// Accepts a drop that carries exactly one local file, as file managers drag it, and gives its
// address; refuses any other, text included. Only the path is taken: the file stays where it
// is, whatever the source proposes.
std::optional<QUrl> nimmDateiAn(QDropEvent &ablage)
{
    ablage.ignore();
    const QMimeData *daten = ablage.mimeData();
    const QList<QUrl> adressen = daten ? daten->urls() : QList<QUrl>();
    if (adressen.size() != 1 || !adressen.constFirst().isLocalFile())
        return std::nullopt;
    if (ablage.possibleActions().testFlag(Qt::CopyAction))
        ablage.setDropAction(Qt::CopyAction);
    else if (ablage.possibleActions().testFlag(Qt::LinkAction))
        ablage.setDropAction(Qt::LinkAction);
    else
        return std::nullopt;
    ablage.accept();
    return adressen.constFirst();
}

// The address keeps a name's bytes percent-encoded; as a path its stray bytes would become
// replacement marks, which name no file.
bool nameIstUtf8(const QUrl &adresse)
{
    return QByteArray::fromPercentEncoding(adresse.path(QUrl::FullyEncoded).toLatin1())
        .isValidUtf8();
}

QFont fett825()
{
    return schrift(Schriftart::MsSansSerif, 8.25, true);
}

} // namespace

TessraFenster::TessraFenster(QWidget *parent)
    : QWidget(parent)
    , m_suche(*this)
    , m_gestensperre(new Gestensperre(*this))
{
    setObjectName(QStringLiteral("TessraFenster"));
    setWindowTitle(QStringLiteral("Tessra"));
    setWindowIcon(fensterbild());
    setFont(dialogSchrift());
    const Twips twips = Twips::fuer(*this);
    setFixedSize(twips.size(6945, 6015));

    baueDateirahmen(twips);
    baueSuchrahmen(twips);
    baueSpeicherknoepfe(twips);
    baueHilfe(twips);
    baueKontextmenue();
    legeTabreihenfolgeFest();
    richteBildschirmleserEin();
    benenneFuerBildschirmleser(*this, {{m_txtPfad, m_frame1->title()},
                                       {m_txtAnderes, QStringLiteral("Anderes Trennzeichen")},
                                       {m_lstZeilen, m_label2->text()},
                                       {m_txtZeile, m_label3->text()},
                                       {m_lblAnzDatensaetze, m_frame5->title()},
                                       {m_lblAnzDuplikate, m_frame3->title()},
                                       {m_frmHilfe, QStringLiteral("Hilfe")},
                                       {m_shape1, QStringLiteral("Hilfe")},
                                       {m_mnuZeilen, m_label2->text()},
                                       {m_mnuVorschlag, m_mnuVorschlag->title()}});
    // Named by its text, which changes.
    alsStatus(*m_lblZeile);
    verbindeBefehle();
    m_txtPfad->setFocus();
    zentriere();
}

// What a listener needs beyond the captions: the counters with their numbers, the help page as
// one object over the window, the menu's states, one focus, and what each button does.
void TessraFenster::richteBildschirmleserEin()
{
    alsZaehler(*m_frame5, *m_lblAnzDatensaetze);
    alsZaehler(*m_frame3, *m_lblAnzDuplikate);
    alsSeite(*this, *m_frmHilfe, *m_hilfetext, *m_label1);
    mitEintragszustaenden(*m_mnuZeilen);
    mitEinemFokus(*m_lstZeilen);
    const std::pair<QWidget *, const char *> beschreibungen[] = {
        {m_btnDurchsuchen, "Öffnet ein Fenster, in dem die Datei ausgesucht wird"},
        {m_btnEditor, "Öffnet die Datei im Texteditor"},
        {m_btnExplorer, "Zeigt die Datei im Dateimanager"},
        {m_btnReset, "Bricht die Bearbeitung ab; alle Entscheidungen gehen verloren"},
        {m_btnLaden, "Lädt die Datei und zeigt die erste Gruppe gleicher Seriennummern"},
        {m_btnNaechsteZeile, "Behält die ausgewählte Zeile und zeigt die nächste Gruppe"},
        {m_btnSpeichern, "Ersetzt die Datei durch das Ergebnis und bewahrt den bisherigen "
                         "Inhalt mit der Endung .ALT"},
        {m_btnSpeichernUnter, "Speichert das Ergebnis unter einem Pfad, der erfragt wird"},
        {m_btnHilfe, "Zeigt eine kurze Hilfe, auch mit F1"},
    };
    for (const auto &[control, text] : beschreibungen)
        control->setAccessibleDescription(QString::fromUtf8(text));
}

void TessraFenster::baueDateirahmen(const Twips &t)
{
    m_frame1 = rahmen(this, QStringLiteral("Frame1"), QStringLiteral("Seriennummern-Datei"),
                      t.rect(120, 240, 6735, 1815));
    m_txtPfad = textfeld(m_frame1, QStringLiteral("txtPfad"), t.rect(120, 240, 5055, 285));
    m_btnDurchsuchen =
        knopf(m_frame1, QStringLiteral("btnDurchsuchen"), QStringLiteral("Durchsuchen..."),
              t.rect(5280, 240, 1335, 255), QStringLiteral("Datei aussuchen"));
    m_btnEditor =
        knopf(m_frame1, QStringLiteral("btnEditor"), QStringLiteral("Im Editor öffnen"),
              t.rect(5280, 600, 1335, 255), QStringLiteral("Öffnet die gewählte Datei im Editor"));
    m_btnEditor->setEnabled(false);
    m_btnExplorer = knopf(m_frame1, QStringLiteral("btnExplorer"), QStringLiteral("Explorer"),
                          t.rect(5280, 840, 1335, 255),
                          QStringLiteral("Öffnet den Explorer und markiert die gewählte Datei"));
    m_btnExplorer->setEnabled(false);
    m_btnReset = knopf(m_frame1, QStringLiteral("btnReset"), QStringLiteral("Reset"),
                       t.rect(5280, 1440, 1335, 255), QStringLiteral("Interner Reset"));
    m_btnLaden = knopf(m_frame1, QStringLiteral("btnLaden"), QStringLiteral("Datei laden"),
                       t.rect(3480, 600, 1695, 495),
                       QStringLiteral("Datei laden und Duplikatensuche starten"));
    m_btnLaden->setFont(fett825());
    m_btnLaden->setEnabled(false);
    // In the frame's free space below "Datei laden", level with "Reset".
    m_btnSeriennummer = knopf(m_frame1, QStringLiteral("btnSeriennummer"),
                              QStringLiteral("Seriennummer..."), t.rect(3480, 1440, 1695, 255),
                              QStringLiteral("Spalte der Seriennummer und Vergleich der "
                                             "Seriennummern einstellen"));

    m_frame4 =
        rahmen(m_frame1, QStringLiteral("Frame4"),
               QStringLiteral("Trennzeichen zwischen den Spalten"), t.rect(120, 600, 2895, 1095));
    m_optTab =
        erzeuge<QRadioButton>(m_frame4, QStringLiteral("optTab"), t.rect(240, 240, 1455, 195));
    m_optTab->setText(QStringLiteral("Tab"));
    m_optTab->setChecked(true);
    m_optSemikolon = erzeuge<QRadioButton>(m_frame4, QStringLiteral("optSemikolon"),
                                           t.rect(240, 480, 1215, 195));
    m_optSemikolon->setText(QStringLiteral("Semikolon"));
    m_optAnderes =
        erzeuge<QRadioButton>(m_frame4, QStringLiteral("optAnderes"), t.rect(240, 720, 975, 195));
    m_optAnderes->setText(QStringLiteral("Anderes:"));
    m_txtAnderes = textfeld(m_frame4, QStringLiteral("txtAnderes"), t.rect(1320, 720, 1215, 285));
}

void TessraFenster::baueSuchrahmen(const Twips &t)
{
    m_frame2 = rahmen(this, QStringLiteral("Frame2"), QStringLiteral("Duplikatensuche"),
                      t.rect(120, 2160, 6735, 3015));
    m_label2 =
        neueBeschriftung(m_frame2, QStringLiteral("Label2"),
                         QStringLiteral("Mehrfache Datensätze:"), t.rect(120, 240, 1815, 255));
    m_lstZeilen =
        erzeuge<Zeilenansicht>(m_frame2, QStringLiteral("LstZeilen"), t.rect(120, 480, 6495, 1230));
    m_zeilenModell = new ZeilenModell(m_lstZeilen);
    m_lstZeilen->setModel(m_zeilenModell);
    m_lstZeilen->setItemDelegate(new ZeilenDelegate(m_lstZeilen));
    m_lstZeilen->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstZeilen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One row height for all, so a group of any size is laid out without measuring each line.
    m_lstZeilen->setUniformItemSizes(true);
    // The highlighted line is always the one that txtZeile came from.
    behalteListenauswahl(*m_lstZeilen);
    zeigeListenfokus(*m_lstZeilen);
    m_label3 = neueBeschriftung(m_frame2, QStringLiteral("Label3"),
                                QStringLiteral("Ausgewählte Zeile (noch änderbar):"),
                                t.rect(120, 1800, 2655, 255));
    m_lblZeile = neueBeschriftung(m_frame2, QStringLiteral("lblZeile"), statusBitteLaden,
                                  t.rect(2880, 1800, 3735, 255));
    m_lblZeile->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblZeile->setFont(fett825());
    setzeTextfarbe(m_lblZeile, dunkelrot);
    m_txtZeile = textfeld(m_frame2, QStringLiteral("txtZeile"), t.rect(120, 2040, 6495, 285));
    m_btnNaechsteZeile =
        knopf(m_frame2, QStringLiteral("btnNächsteZeile"), QStringLiteral("Weiter"),
              t.rect(2520, 2400, 1695, 495), QStringLiteral("Nächstes Duplikat suchen"));
    // Drawn as the default button; the Enter key itself is handled in keyPressEvent, because
    // a plain window (unlike a dialog) does not route Enter to its default button.
    m_btnNaechsteZeile->setDefault(true);
    m_btnNaechsteZeile->setEnabled(false);
    m_btnVergleichen = knopf(m_frame2, QStringLiteral("btnVergleichen"),
                             QStringLiteral("Vergleichen..."), t.rect(720, 2400, 1695, 495),
                             QStringLiteral("Zeigt die Gruppe als Tabelle (Strg+T)"));
    m_btnVergleichen->setEnabled(false);

    const QString tooltipSerien = QStringLiteral("Anzahl der Seriennummern");
    m_frame5 = rahmen(m_frame2, QStringLiteral("Frame5"), QStringLiteral("Datensätze"),
                      t.rect(4320, 2400, 1095, 495));
    m_frame5->setToolTip(tooltipSerien);
    m_lblAnzDatensaetze = neueBeschriftung(m_frame5, QStringLiteral("lblAnzDatensätze"),
                                           QStringLiteral("0"), t.rect(240, 195, 615, 255));
    m_lblAnzDatensaetze->setToolTip(tooltipSerien);

    const QString tooltipFunde = QStringLiteral("Anzahl der Duplikatenfunde");
    m_frame3 = rahmen(m_frame2, QStringLiteral("Frame3"), QStringLiteral("Duplikate"),
                      t.rect(5520, 2400, 1095, 495));
    m_frame3->setToolTip(tooltipFunde);
    m_lblAnzDuplikate = neueBeschriftung(m_frame3, QStringLiteral("lblAnzDuplikate"),
                                         QStringLiteral("0"), t.rect(240, 195, 615, 255));
    m_lblAnzDuplikate->setToolTip(tooltipFunde);

    for (QLabel *zaehler : {m_lblAnzDatensaetze, m_lblAnzDuplikate}) {
        zaehler->setAlignment(Qt::AlignCenter);
        zaehler->setFont(fett825());
    }
}

void TessraFenster::baueSpeicherknoepfe(const Twips &t)
{
    m_btnSpeichern = knopf(this, QStringLiteral("btnSpeichern"),
                           QStringLiteral("Speichern (ersetzen)"), t.rect(720, 5400, 2295, 495),
                           QStringLiteral("Speichert die neue Datei unter dem Namen der alten. "
                                          "Das Original bekommt die Endung \".ALT\""));
    m_btnSpeichern->setEnabled(false);
    m_btnSpeichernUnter =
        knopf(this, QStringLiteral("btnSpeichernUnter"), QStringLiteral("Speichern unter..."),
              t.rect(3960, 5400, 2295, 495), QStringLiteral("Speicherort auswählen"));
    m_btnSpeichernUnter->setEnabled(false);

    // Straddles the top edge of the file frame, so it must lie above it.
    m_btnHilfe = knopf(this, QStringLiteral("btnHilfe"), QStringLiteral("Hilfe (F1)"),
                       t.rect(2520, 40, 2055, 255), QStringLiteral("Wie gesagt..."));
    m_btnHilfe->setFont(fett825());
    m_btnHilfe->raise();
}

void TessraFenster::baueHilfe(const Twips &t)
{
    m_frmHilfe = erzeuge<QFrame>(this, QStringLiteral("frmHilfe"), t.rect(240, 0, 6495, 5895));
    m_frmHilfe->setFrameShape(QFrame::StyledPanel);
    m_frmHilfe->setAutoFillBackground(true);

    m_shape1 = erzeuge<QFrame>(m_frmHilfe, QStringLiteral("Shape1"), t.rect(120, 240, 6255, 5535));
    m_shape1->setStyleSheet(QStringLiteral(
        "#Shape1 { background: #f7f0f7; border: 2px solid rgb(64, 0, 64); border-radius: 8px; }"));
    // A drawing only: clicks on it belong to the overlay itself.
    m_shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_hilfetext = neueBeschriftung(m_frmHilfe, QStringLiteral("Hilfetext"),
                                   QStringLiteral("Hilfe (klicken zum Schließen)"),
                                   t.rect(360, 360, 5775, 375));
    m_hilfetext->setAlignment(Qt::AlignCenter);
    m_hilfetext->setFont(schrift(Schriftart::ArialBlack, 14.25, true));
    setzeTextfarbe(m_hilfetext, dunkellila);

    // Installed, the page ends by naming the handbook, in the room the text leaves below it.
    m_label1 = neueBeschriftung(
        m_frmHilfe, QStringLiteral("Label1"),
        hilfetextMitHandbuch(hilfetext,
                             installiertesHandbuch(QCoreApplication::applicationDirPath())),
        t.rect(360, 960, 5775, 4335));
    m_label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label1->setWordWrap(true);
    m_label1->setFont(schrift(Schriftart::MsSansSerif, 9.75, true));

    m_label4 = neueBeschriftung(m_frmHilfe, QStringLiteral("Label4"), QStringLiteral("Tessra"),
                                t.rect(5040, 5520, 975, 255));
    m_label4->setFont(schrift(Schriftart::Arial, 8.25, true));
    setzeTextfarbe(m_label4, dunkellila);

    for (QWidget *klickbar : QList<QWidget *>{m_frmHilfe, m_hilfetext, m_label1, m_label4})
        klickbar->installEventFilter(this);
    m_frmHilfe->hide();
    m_frmHilfe->raise();
}

void TessraFenster::baueKontextmenue()
{
    // The right button, the Menu key and Shift+F10 with the focus in the list all ask for it.
    new ListenKontextmenue(m_lstZeilen);
    m_mnuZeilen = new QMenu(this);
    m_mnuZeilen->setObjectName(QStringLiteral("mnuZeilen"));
    const auto eintrag = [this](const QString &name, const QString &text,
                                void (TessraFenster::*handler)()) {
        QAction *aktion = m_mnuZeilen->addAction(text);
        aktion->setObjectName(name);
        connect(aktion, &QAction::triggered, this, handler);
        return aktion;
    };
    m_mnuZuruecknehmen = eintrag(QStringLiteral("mnuZuruecknehmen"),
                                 QStringLiteral("Letzte Entscheidung zurücknehmen"),
                                 &TessraFenster::mnuZuruecknehmen_Click);
    // Shown in the menu only: the window takes the key itself, so that text fields keep theirs.
    m_mnuZuruecknehmen->setShortcut(QKeySequence::Undo);
    m_mnuZuruecknehmen->setShortcutVisibleInContextMenu(true);
    m_mnuErsteBehalten = eintrag(QStringLiteral("mnuErsteBehalten"),
                                 QStringLiteral("Alle weiteren Gruppen: erste Zeile behalten"),
                                 &TessraFenster::mnuErsteBehalten_Click);
    m_mnuLetzteBehalten = eintrag(QStringLiteral("mnuLetzteBehalten"),
                                  QStringLiteral("Alle weiteren Gruppen: letzte Zeile behalten"),
                                  &TessraFenster::mnuLetzteBehalten_Click);
    m_mnuVorschlagBehalten = eintrag(QStringLiteral("mnuVorschlagBehalten"),
                                     QStringLiteral("Alle weiteren Gruppen: Vorschlag behalten"),
                                     &TessraFenster::mnuVorschlagBehalten_Click);
    m_mnuVergleichen =
        eintrag(QStringLiteral("mnuVergleichen"), QStringLiteral("Gruppe als Tabelle vergleichen"),
                &TessraFenster::btnVergleichen_Click);
    m_mnuVergleichen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    m_mnuVergleichen->setShortcutVisibleInContextMenu(true);
    m_mnuGleicheUebernehmen =
        eintrag(QStringLiteral("mnuGleicheUebernehmen"),
                QStringLiteral("Gruppen mit gleichen Zeilen automatisch übernehmen"),
                &TessraFenster::mnuGleicheUebernehmen_Click);
    m_mnuGleicheUebernehmen->setCheckable(true);
    baueVorschlagsmenue();
    // The closed menu uncovers the controls below it: the rest of a double-click on an entry
    // must not reach them.
    connect(m_mnuZeilen, &QMenu::triggered, this, [this] { m_gestensperre->sperreRest(); });
}

void TessraFenster::legeTabreihenfolgeFest()
{
    // Labels and frames hold places in the order but never take the focus, so only the
    // controls that can are chained here, in the layout's order.
    const QList<QWidget *> reihenfolge{
        m_btnSpeichern, m_btnSpeichernUnter, m_btnLaden,       m_txtPfad,     m_txtZeile,
        m_lstZeilen,    m_btnNaechsteZeile,  m_btnDurchsuchen, m_btnEditor,   m_optTab,
        m_optSemikolon, m_optAnderes,        m_txtAnderes,     m_btnExplorer, m_btnReset,
        m_btnHilfe,     m_btnSeriennummer,   m_btnVergleichen,
    };
    for (qsizetype i = 1; i < reihenfolge.size(); ++i)
        setTabOrder(reihenfolge[i - 1], reihenfolge[i]);
}

void TessraFenster::verbindeBefehle()
{
    const auto klick = [this](QPushButton *knopf, void (TessraFenster::*handler)()) {
        connect(knopf, &QPushButton::clicked, this, handler);
    };
    klick(m_btnLaden, &TessraFenster::btnLaden_Click);
    klick(m_btnNaechsteZeile, &TessraFenster::btnNaechsteZeile_Click);
    klick(m_btnSpeichern, &TessraFenster::btnSpeichern_Click);
    klick(m_btnSpeichernUnter, &TessraFenster::btnSpeichernUnter_Click);
    klick(m_btnDurchsuchen, &TessraFenster::btnDurchsuchen_Click);
    klick(m_btnEditor, &TessraFenster::btnEditor_Click);
    klick(m_btnExplorer, &TessraFenster::btnExplorer_Click);
    klick(m_btnReset, &TessraFenster::btnReset_Click);
    klick(m_btnSeriennummer, &TessraFenster::btnSeriennummer_Click);
    klick(m_btnHilfe, &TessraFenster::btnHilfe_Click);
    klick(m_btnVergleichen, &TessraFenster::btnVergleichen_Click);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this), &QShortcut::activated, this,
            [this] {
                if (m_btnVergleichen->isEnabled())
                    btnVergleichen_Click();
            });
    // The button's caption promises the key wherever the focus is; on the page it closes it.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, [this] {
        if (m_frmHilfe->isVisible())
            versteckeHilfe();
        else
            btnHilfe_Click();
    });
    for (QLineEdit *feld : {m_txtPfad, m_txtZeile, m_txtAnderes})
        feld->installEventFilter(this);

    connect(m_txtPfad, &QLineEdit::textChanged, this, &TessraFenster::txtPfad_Change);
    // A new current row covers clicks and arrow keys; a click on the row that is already
    // selected brings back its text after an edit.
    connect(m_lstZeilen->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!m_listeWirdGesetzt)
            LstZeilen_Click();
    });
    connect(m_lstZeilen, &QListView::clicked, this, &TessraFenster::LstZeilen_Click);
    connect(m_lstZeilen, &QWidget::customContextMenuRequested, this,
            &TessraFenster::LstZeilen_ContextMenu);
}

void TessraFenster::zentriere()
{
    if (const QScreen *bildschirm = screen())
        move(bildschirm->availableGeometry().center() - rect().center());
}

void TessraFenster::setzePfad(const QString &pfad)
{
    m_txtPfad->setText(pfad); // runs the path check, as typing does
}

void TessraFenster::txtPfad_Change()
{
    m_suche.txtPfad_Change();
}

void TessraFenster::btnLaden_Click()
{
    const Wartecursor warten;
    m_suche.btnLaden_Click();
}

void TessraFenster::btnNaechsteZeile_Click()
{
    const Wartecursor warten;
    m_suche.btnNaechsteZeile_Click();
}

void TessraFenster::btnSpeichern_Click()
{
    const Wartecursor warten;
    m_suche.btnSpeichern_Click();
}

void TessraFenster::btnSpeichernUnter_Click()
{
    const Wartecursor warten;
    m_suche.btnSpeichernUnter_Click();
}

void TessraFenster::btnDurchsuchen_Click()
{
    m_suche.Zuruecksetzen();
    m_suche.zeigeStatus(statusBitteLaden);
    m_btnDurchsuchen->setEnabled(false);
    m_btnLaden->setEnabled(false);
    zeigeDurchsuchenFenster();
}

void TessraFenster::zeigeDurchsuchenFenster()
{
    // A fresh window each time: it deletes itself on every way out, having handed the path
    // back and re-enabled "Durchsuchen...". Not modal, so this handler returns at once.
    m_durchsuchen = new DurchsuchenFenster(
        this, m_txtPfad, m_btnDurchsuchen, [this] { txtPfad_Change(); }, this);
    m_durchsuchen->show();
}

void TessraFenster::btnEditor_Click()
{
    meldeProgrammstart(Programmstart::imEditor(m_txtPfad->text()),
                       QStringLiteral("kann in keinem Texteditor geöffnet werden."));
}

void TessraFenster::btnExplorer_Click()
{
    meldeProgrammstart(Programmstart::imDateimanager(m_txtPfad->text()),
                       QStringLiteral("kann in keinem Dateimanager gezeigt werden."));
}

void TessraFenster::meldeProgrammstart(const std::optional<QString> &grund, const QString &was)
{
    if (!grund)
        return;
    QString text = QStringLiteral("Die Datei\n") + m_txtPfad->text() + u'\n' + was;
    if (!grund->isEmpty())
        text += u'\n' + *grund;
    showMessage(text, titelProgrammstart);
}

void TessraFenster::btnReset_Click()
{
    m_suche.Zuruecksetzen();
    m_suche.zeigeStatus(statusBitteLaden);
}

// The dialog only shows and collects the rule; the engine keeps it and loads again with it.
void TessraFenster::btnSeriennummer_Click()
{
    SeriennummerDialog dialog(
        m_suche.schluesselregel(), m_suche.spaltennamen(),
        [this](const Schluesselregel &regel) {
            const Wartecursor warten;
            return m_suche.gruppenMit(regel);
        },
        this);
    if (!fuehreAus(dialog))
        return;
    const Wartecursor warten;
    m_suche.setzeSchluesselregel(dialog.regel());
}

void TessraFenster::LstZeilen_Click()
{
    m_suche.LstZeilen_Click();
    if (vergleichOffen())
        m_vergleich->folgeAuswahl(lstZeilenSelectedIndex());
}

// Each entry is usable only where it can do something; the settings always are.
void TessraFenster::LstZeilen_ContextMenu(const QPoint &stelle)
{
    m_mnuZuruecknehmen->setEnabled(m_suche.kannZuruecknehmen());
    m_mnuErsteBehalten->setEnabled(m_suche.gruppeGezeigt());
    m_mnuLetzteBehalten->setEnabled(m_suche.gruppeGezeigt());
    m_mnuVorschlagBehalten->setEnabled(m_suche.gruppeGezeigt() && m_suche.vorschlagskriterium());
    m_mnuGleicheUebernehmen->setChecked(m_suche.gleicheAutomatisch());
    zeigeVorschlagImMenue();
    m_mnuVergleichen->setEnabled(m_suche.gruppeGezeigt());
    // The list reports the place in its viewport's coordinates.
    m_mnuZeilen->popup(m_lstZeilen->viewport()->mapToGlobal(stelle));
}

void TessraFenster::mnuZuruecknehmen_Click()
{
    const Wartecursor warten;
    m_suche.letzteEntscheidungZuruecknehmen();
    // The comparison shows the group again from its chosen record; a merged one is built back.
    if (vergleichOffen() && m_suche.zusammengefuehrt())
        m_vergleich->stelleWiederHer(*m_suche.zusammengefuehrt());
}

void TessraFenster::mnuErsteBehalten_Click()
{
    const Wartecursor warten;
    m_suche.alleWeiterenGruppen(Duplikatensuche::Regel::ErsteBehalten);
}

void TessraFenster::mnuLetzteBehalten_Click()
{
    const Wartecursor warten;
    m_suche.alleWeiterenGruppen(Duplikatensuche::Regel::LetzteBehalten);
}

void TessraFenster::mnuVorschlagBehalten_Click()
{
    const Wartecursor warten;
    m_suche.alleWeiterenGruppen(Duplikatensuche::Regel::VorschlagBehalten);
}

// The submenu of the criterion by which each group selects its suggested line.
void TessraFenster::baueVorschlagsmenue()
{
    m_mnuVorschlag = m_mnuZeilen->addMenu(QStringLiteral("Vorschlag"));
    m_mnuVorschlag->setObjectName(QStringLiteral("mnuVorschlag"));
    mitEintragszustaenden(*m_mnuVorschlag);
    auto *gruppe = new QActionGroup(m_mnuVorschlag);
    const auto eintrag = [this, gruppe](const QString &name, const QString &text,
                                        Kriterium::Art art) {
        QAction *aktion = m_mnuVorschlag->addAction(text);
        aktion->setObjectName(name);
        aktion->setCheckable(true);
        aktion->setActionGroup(gruppe);
        aktion->setData(int(art));
        return aktion;
    };
    eintrag(QStringLiteral("mnuKeinVorschlag"), QStringLiteral("Kein Vorschlag"), {})
        ->setData(QVariant());
    eintrag(QStringLiteral("mnuVollstaendigste"), QStringLiteral("Vollständigste Zeile"),
            Kriterium::Art::Vollstaendigste);
    eintrag(QStringLiteral("mnuGroessterWert"), QStringLiteral("Größter Wert in Spalte …"),
            Kriterium::Art::Groesster);
    eintrag(QStringLiteral("mnuKleinsterWert"), QStringLiteral("Kleinster Wert in Spalte …"),
            Kriterium::Art::Kleinster);
    zeigeVorschlagImMenue();
    connect(gruppe, &QActionGroup::triggered, this, &TessraFenster::mnuVorschlag_Click);
}

void TessraFenster::mnuVorschlag_Click(QAction *aktion)
{
    const Wartecursor warten;
    std::optional<Kriterium> kriterium;
    switch (aktion->data().isValid() ? Kriterium::Art(aktion->data().toInt())
                                     : Kriterium::Art::Erste) {
    case Kriterium::Art::Vollstaendigste:
        kriterium = Kriterium::vollstaendigste();
        break;
    case Kriterium::Art::Groesster:
    case Kriterium::Art::Kleinster: {
        const bool groesster = Kriterium::Art(aktion->data().toInt()) == Kriterium::Art::Groesster;
        const auto spalte =
            fragSpalte(groesster ? QStringLiteral("größten") : QStringLiteral("kleinsten"));
        if (!spalte)
            break;
        kriterium = groesster ? Kriterium::groesster(*spalte) : Kriterium::kleinster(*spalte);
        break;
    }
    default:
        break;
    }
    if (kriterium || !aktion->data().isValid())
        m_suche.setzeVorschlag(kriterium);
    zeigeVorschlagImMenue();
}

// Asks for the column by its name in the file's first record or by its number; nothing when
// the user cancelled or named no column, which is said.
std::optional<int> TessraFenster::fragSpalte(const QString &welcherWert)
{
    const QStringList namen = m_suche.spaltennamen();
    QStringList angebot;
    for (qsizetype i = 0; i < namen.size(); ++i)
        angebot.append(QString::number(i + 1) + u": " + namen[i]);
    QInputDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Tessra - Vorschlag"));
    dialog.setLabelText(QStringLiteral("Die Zeile mit dem ") + welcherWert +
                        QStringLiteral(" Wert in dieser Spalte wird vorgeschlagen.\nSpalte "
                                       "(Name aus der ersten Zeile oder Nummer):"));
    dialog.setComboBoxItems(angebot);
    dialog.setComboBoxEditable(true);
    if (!fuehreAus(dialog))
        return std::nullopt;
    const std::optional<int> spalte = spalteAus(dialog.textValue(), namen);
    if (!spalte)
        showMessage(QStringLiteral("Die Spalte „") + dialog.textValue() +
                        QStringLiteral("“ gibt es nicht. Bitte einen Namen aus der ersten Zeile "
                                       "oder eine Nummer ab 1 angeben."),
                    QStringLiteral("Tessra - Vorschlag"));
    return spalte;
}

void TessraFenster::zeigeVorschlagImMenue()
{
    const auto &kriterium = m_suche.vorschlagskriterium();
    for (QAction *aktion : m_mnuVorschlag->actions())
        aktion->setChecked(kriterium
                               ? aktion->data().isValid() &&
                                     Kriterium::Art(aktion->data().toInt()) == kriterium->art()
                               : !aktion->data().isValid());
}

void TessraFenster::mnuGleicheUebernehmen_Click()
{
    const Wartecursor warten;
    m_suche.setzeGleicheAutomatisch(m_mnuGleicheUebernehmen->isChecked());
    // "Abbrechen" keeps the setting as it was.
    m_mnuGleicheUebernehmen->setChecked(m_suche.gleicheAutomatisch());
}

void TessraFenster::btnVergleichen_Click()
{
    if (!m_vergleich) {
        m_vergleich = new VergleichFenster(this);
        connect(m_vergleich, &VergleichFenster::satzGewaehlt, this,
                &TessraFenster::Vergleich_SatzGewaehlt);
        connect(m_vergleich, &VergleichFenster::ergebnisGeaendert, this,
                &TessraFenster::Vergleich_ErgebnisGeaendert);
        connect(m_vergleich, &VergleichFenster::weiterGewuenscht, this, [this] {
            if (m_btnNaechsteZeile->isEnabled())
                btnNaechsteZeile_Click();
        });
        connect(m_vergleich, &VergleichFenster::zuruecknehmenGewuenscht, this,
                &TessraFenster::Vergleich_Zuruecknehmen);
    }
    // Filled before it shows, so that it opens at the size of the group's columns.
    if (!vergleichOffen())
        fuelleVergleich();
    m_vergleich->zeigeAn();
}

bool TessraFenster::vergleichOffen() const
{
    return m_vergleich && m_vergleich->isVisible();
}

void TessraFenster::folgeVergleichDerListe()
{
    if (vergleichOffen())
        fuelleVergleich();
}

void TessraFenster::fuelleVergleich()
{
    if (m_suche.gruppeGezeigt() && m_zeilenModell->rowCount() > 0)
        m_vergleich->zeigeGruppe(m_suche.zustand(), m_zeilenModell->zeilen(),
                                 qsizetype(m_suche.schluesselregel().spalte) - 1);
    else
        m_vergleich->zeigeKeineGruppe();
    m_vergleich->folgeAuswahl(lstZeilenSelectedIndex());
}

// A record taken whole in the comparison is chosen as a click in the list chooses it.
void TessraFenster::Vergleich_SatzGewaehlt(qsizetype index)
{
    selectLstZeilenItem(index);
    m_suche.LstZeilen_Click();
}

void TessraFenster::Vergleich_ErgebnisGeaendert()
{
    if (m_vergleich && m_vergleich->vergleich())
        m_suche.uebernimmVergleich(*m_vergleich->vergleich());
}

void TessraFenster::Vergleich_Zuruecknehmen()
{
    mnuZuruecknehmen_Click();
}

void TessraFenster::btnHilfe_Click()
{
    // The page takes the keys while it is shown, so none reaches a control it covers.
    m_fokusVorHilfe = focusWidget();
    m_frmHilfe->show();
    m_frmHilfe->setFocus();
    // A double-click on the button must not close the page it has just opened.
    m_gestensperre->sperreRest();
}

void TessraFenster::frmHilfe_Click()
{
    versteckeHilfe();
}

void TessraFenster::Hilfetext_Click()
{
    versteckeHilfe();
}

void TessraFenster::Label1_Click()
{
    versteckeHilfe();
}

void TessraFenster::Label4_Click()
{
    versteckeHilfe();
}

// The keys that click a button close the page, as a click does; every other key is kept from the
// controls under it, Tab included.
void TessraFenster::frmHilfe_KeyPress(const QKeyEvent &taste)
{
    switch (taste.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        versteckeHilfe();
        break;
    default:
        break;
    }
}

void TessraFenster::versteckeHilfe()
{
    // Back first: a page that goes while it has the focus would pass it on to the next control.
    if (m_fokusVorHilfe)
        m_fokusVorHilfe->setFocus();
    m_frmHilfe->hide();
    // The rest of a double-click would land on the control the page uncovered.
    m_gestensperre->sperreRest();
}

void TessraFenster::Form_Unload()
{
    // The browse and comparison windows are windows of their own; they must not outlive the
    // program's main window.
    if (m_durchsuchen)
        m_durchsuchen->close();
    if (m_vergleich)
        m_vergleich->close();
}

// False keeps the window open.
bool TessraFenster::Form_QueryUnload()
{
    return m_suche.beendenBestaetigt();
}

void TessraFenster::closeEvent(QCloseEvent *event)
{
    // While long work runs the window stays; its box offers "Abbrechen" for that.
    if (m_arbeitLaeuft || !Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

bool TessraFenster::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && textfeldOhneEigenesUndo(watched, event)) {
        mnuZuruecknehmen_Click();
        return true;
    }
    if (watched == m_txtPfad)
        return txtPfad_Ablage(event);
    if (watched == m_frmHilfe && event->type() == QEvent::KeyPress) {
        frmHilfe_KeyPress(*static_cast<QKeyEvent *>(event));
        return true;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return QWidget::eventFilter(watched, event);
    const auto *maus = static_cast<QMouseEvent *>(event);
    auto *widget = qobject_cast<QWidget *>(watched);
    // A click ends where it began; releasing outside the control cancels it.
    if (maus->button() != Qt::LeftButton || !widget ||
        !widget->rect().contains(maus->position().toPoint()))
        return QWidget::eventFilter(watched, event);
    if (watched == m_frmHilfe)
        frmHilfe_Click();
    else if (watched == m_hilfetext)
        Hilfetext_Click();
    else if (watched == m_label1)
        Label1_Click();
    else if (watched == m_label4)
        Label4_Click();
    return true;
}

bool TessraFenster::txtPfad_Ablage(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        if (m_arbeitLaeuft)
            event->ignore();
        else
            nimmDateiAn(*static_cast<QDropEvent *>(event));
        return true;
    case QEvent::Drop:
        if (m_arbeitLaeuft) {
            event->ignore();
            return true;
        }
        if (const auto adresse = nimmDateiAn(*static_cast<QDropEvent *>(event))) {
            const QString datei = adresse->toLocalFile();
            if (nameIstUtf8(*adresse))
                m_txtPfad->setText(datei); // runs the path check, as typing does
            else
                showMessage(Dateifehler{datei, Dateifehler::Grund::NameNichtUtf8, {}}.meldung(
                                QStringLiteral("kann nicht geladen werden:")),
                            QStringLiteral("Tessra - Dateifehler"));
        }
        return true;
    default:
        return false;
    }
}

// Ctrl+Z in a text field undoes its typing while there is any; after that the field has no use
// for it, and it takes back the last decision as it does anywhere else.
bool TessraFenster::textfeldOhneEigenesUndo(QObject *watched, QEvent *event) const
{
    const auto *feld = qobject_cast<QLineEdit *>(watched);
    return feld && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo) &&
           (feld->isReadOnly() || !feld->isUndoAvailable());
}

// Keys come here that the control with the focus has no use for.
void TessraFenster::keyPressEvent(QKeyEvent *event)
{
    // From a text field Ctrl+Z comes through the event filter; from anywhere else here.
    if (event->matches(QKeySequence::Undo)) {
        mnuZuruecknehmen_Click();
        event->accept();
        return;
    }
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A button with the focus takes Enter for itself; in the path field Enter means "Datei
    // laden", anywhere else "Weiter".
    auto *knopf = qobject_cast<QPushButton *>(focusWidget());
    if (!knopf)
        knopf = focusWidget() == m_txtPfad ? m_btnLaden : m_btnNaechsteZeile;
    if (knopf->isEnabled())
        knopf->click();
    event->accept();
}

void TessraFenster::setDialogAntwort(DialogAntwort antwort)
{
    m_dialogAntwort = std::move(antwort);
}

void TessraFenster::setUhr(Fortschrittsfenster::Uhr uhr)
{
    m_uhr = std::move(uhr);
}

std::unique_ptr<Fortschrittsanzeige> TessraFenster::zeigeFortschritt(const QString &title,
                                                                     const QString &text)
{
    return std::make_unique<Fortschrittsfenster>(*this, m_arbeitLaeuft, title, text, m_uhr);
}

bool TessraFenster::fuehreAus(QDialog &dialog)
{
    const Wartecursor::Pause pause;
    // A dialog is a window of its own and would otherwise take the application's font.
    dialog.setFont(font());
    if (m_dialogAntwort) {
        m_dialogAntwort(dialog);
        return dialog.result() == QDialog::Accepted;
    }
    return dialog.exec() == QDialog::Accepted;
}

void TessraFenster::showMessage(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    // Paths and lines from the file are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    fuehreAus(box);
}

QString TessraFenster::askText(const QString &prompt, const QString &title,
                               const QString &defaultText)
{
    QInputDialog dialog(this);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    // Whatever fits the path field fits here too.
    if (auto *feld = dialog.findChild<QLineEdit *>())
        feld->setMinimumWidth(m_txtPfad->width());
    return fuehreAus(dialog) ? dialog.textValue() : QString();
}

bool TessraFenster::askYesNo(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, this);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
    // Enter alone must not do what cannot be undone.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    fuehreAus(box);
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

QWidget *TessraFenster::steuerelement(Control control) const
{
    switch (control) {
    case Control::txtPfad:
        return m_txtPfad;
    case Control::btnLaden:
        return m_btnLaden;
    case Control::btnEditor:
        return m_btnEditor;
    case Control::btnExplorer:
        return m_btnExplorer;
    case Control::btnSpeichern:
        return m_btnSpeichern;
    case Control::btnSpeichernUnter:
        return m_btnSpeichernUnter;
    case Control::btnNaechsteZeile:
        return m_btnNaechsteZeile;
    }
    Q_UNREACHABLE();
    return nullptr;
}

QLabel *TessraFenster::beschriftung(Label label) const
{
    switch (label) {
    case Label::lblZeile:
        return m_lblZeile;
    case Label::lblAnzDatensaetze:
        return m_lblAnzDatensaetze;
    case Label::lblAnzDuplikate:
        return m_lblAnzDuplikate;
    }
    Q_UNREACHABLE();
    return nullptr;
}

bool TessraFenster::isEnabled(Control control) const
{
    return steuerelement(control)->isEnabled();
}

void TessraFenster::setEnabled(Control control, bool enabled)
{
    steuerelement(control)->setEnabled(enabled);
}

QString TessraFenster::caption(Label label) const
{
    return beschriftung(label)->text();
}

void TessraFenster::setCaption(Label label, const QString &text)
{
    beschriftung(label)->setText(text);
    switch (label) {
    case Label::lblZeile:
        return; // a label named by its text announces a new one itself
    case Label::lblAnzDatensaetze:
        zaehlerGeaendert(*m_frame5);
        return;
    case Label::lblAnzDuplikate:
        zaehlerGeaendert(*m_frame3);
        return;
    }
}

QString TessraFenster::txtPfad() const
{
    return m_txtPfad->text();
}

void TessraFenster::setTxtPfad(const QString &text)
{
    const QSignalBlocker stumm(m_txtPfad);
    m_txtPfad->setText(text);
}

void TessraFenster::focusTxtPfad()
{
    m_txtPfad->setFocus();
}

void TessraFenster::selectTxtPfad(qsizetype start, qsizetype length)
{
    m_txtPfad->setSelection(int(start), int(length));
}

MainView::Delimiter TessraFenster::selectedDelimiter() const
{
    if (m_optTab->isChecked())
        return Delimiter::Tab;
    if (m_optSemikolon->isChecked())
        return Delimiter::Semikolon;
    if (m_optAnderes->isChecked())
        return Delimiter::Anderes;
    return Delimiter::None;
}

QString TessraFenster::txtAnderes() const
{
    return m_txtAnderes->text();
}

void TessraFenster::selectDelimiter(Delimiter delimiter, const QString &anderes)
{
    switch (delimiter) {
    case Delimiter::Tab:
        m_optTab->setChecked(true);
        return;
    case Delimiter::Semikolon:
        m_optSemikolon->setChecked(true);
        return;
    case Delimiter::Anderes:
        m_optAnderes->setChecked(true);
        m_txtAnderes->setText(anderes);
        return;
    case Delimiter::None:
        return;
    }
}

QString TessraFenster::txtZeile() const
{
    return m_txtZeile->text();
}

void TessraFenster::setTxtZeile(const QString &text)
{
    m_txtZeile->setText(text);
    // Long lines show their beginning, where the serial number stands.
    m_txtZeile->setCursorPosition(0);
}

void TessraFenster::setTxtZeileReadOnly(bool readOnly)
{
    m_txtZeile->setReadOnly(readOnly);
}

void TessraFenster::clearLstZeilen()
{
    setLstZeilen({});
}

void TessraFenster::setLstZeilen(Zeilenliste liste)
{
    const QScopedValueRollback stumm(m_listeWirdGesetzt, true);
    m_zeilenModell->setListe(std::move(liste));
    // A new group starts at the beginning of its records, where the serial number stands.
    m_lstZeilen->horizontalScrollBar()->setValue(0);
    m_lstZeilen->scrollToTop();
    m_btnVergleichen->setEnabled(m_zeilenModell->rowCount() > 0);
    folgeVergleichDerListe();
}

qsizetype TessraFenster::lstZeilenCount() const
{
    return m_zeilenModell->rowCount();
}

qsizetype TessraFenster::lstZeilenSelectedIndex() const
{
    const QModelIndex aktuell = m_lstZeilen->currentIndex();
    return aktuell.isValid() && m_lstZeilen->selectionModel()->isSelected(aktuell) ? aktuell.row()
                                                                                   : -1;
}

qsizetype TessraFenster::lstZeilenData(qsizetype index) const
{
    return m_zeilenModell->zeile(int(index));
}

void TessraFenster::selectLstZeilenItem(qsizetype index)
{
    const QScopedValueRollback stumm(m_listeWirdGesetzt, true);
    m_lstZeilen->setCurrentIndex(m_zeilenModell->index(int(index)));
    if (vergleichOffen())
        m_vergleich->folgeAuswahl(index);
}
