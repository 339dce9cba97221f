#include "durchsuchenfenster.h"
#include "tessrafenster.h"
#include "testdateien.h"
#include "uebersetzung.h"
#include "zeilendelegate.h"
#include "zeilenmodell.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// What one message or input box showed, and how the test answered it.
struct Dialog
{
    QString art; // "Meldung" or "Eingabe"
    QString titel;
    QString text;
    QString vorgabe;
};

// Counts the paint events of one widget.
class Malzaehler : public QObject
{
public:
    explicit Malzaehler(QWidget &widget) { widget.installEventFilter(this); }
    int anzahl = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++anzahl;
        return false;
    }
};

// keyClicks cannot send characters outside ASCII; these go one by one as text events.
void tippe(QWidget *widget, const QString &text)
{
    for (const QChar zeichen : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(zeichen),
                            Qt::NoModifier);
}

} // namespace

class TstTessraFenster : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void zeigtEntwurfszustand();
    void steuerelementeStehenAmPlatz_data();
    void steuerelementeStehenAmPlatz();
    void tooltips_data();
    void tooltips();
    void texteWerdenNichtAbgeschnitten();
    void rahmenlinieUmschliesstDieSteuerelemente();
    void tabulatorFolgtDerReihenfolge();
    void hilfeDecktAllesAbUndSchliesstBeimKlick_data();
    void hilfeDecktAllesAbUndSchliesstBeimKlick();
    void doppelklickAufDieHilfeErreichtNurSie_data();
    void doppelklickAufDieHilfeErreichtNurSie();
    void pfadpruefung_data();
    void pfadpruefung();
    void ablageImPfadfeld_data();
    void ablageImPfadfeld();
    void optionenSchliessenSichAus();
    void resetWaehrendEinerGruppe();
    void listenauswahlZeigtZeilennummer();
    void listeBehaeltIhreZeile_data();
    void listeBehaeltIhreZeile();
    void enterImZeilenfeld();
    void nurMitDerTastatur();
    void schliessenFragtVorVerlorenenEntscheidungen_data();
    void schliessenFragtVorVerlorenenEntscheidungen();
    void ganzerLaufErsetztDieDatei();
    void speichernUnterFragtNachDemOrt();
    void speichernUnterFragtVorDemErsetzen_data();
    void speichernUnterFragtVorDemErsetzen();
    void trennzeichenfrage_data();
    void trennzeichenfrage();
    void zuruecknehmenStelltDieWahlWiederHer_data();
    void zuruecknehmenStelltDieWahlWiederHer();
    void gruppeZeigtSichMitDemTrennzeichenDesLaufs();
    void eingabefensterSprichtDeutschUndFasstDenPfad();
    void windows1252MitCrLfBleibtByteGenau();
    void utf16ExportBleibtByteGenau();
    void langeZeileBleibtGanz();
    void tabellenexportMitUmbruechen();
    void kurzeDateiMeldetWarnung();
    void durchsuchenSetztZurueck();
    void schliessenSchliesstWeitereFenster();
    void namenFuerBildschirmleser();
    void bildschirmleser_data();
    void bildschirmleser();
    void grosseGruppeHoltNurGezeichneteTexte();
    void wartecursorNurWaehrendDerArbeit();
    void kontextmenue_data();
    void kontextmenue();
    void kontextmenueBefehle();
    void doppelklickImMenueErreichtNurEs();
    void abweichendeSpalten_data();
    void abweichendeSpalten();
    void unterschiedeFett();
    void seriennummernspalte_data();
    void seriennummernspalte();
    void seriennummerDialog();
    void fortschrittBeimLangenLaden_data();
    void fortschrittBeimLangenLaden();

private:
    template <typename T> T *ctl(const QString &name) const
    {
        auto *widget = m_fenster->findChild<T *>(name);
        if (!widget)
            qFatal("control %s missing", qPrintable(name));
        return widget;
    }
    QPushButton *knopf(const QString &name) const { return ctl<QPushButton>(name); }
    QLineEdit *feld(const QString &name) const { return ctl<QLineEdit>(name); }
    QString status() const { return ctl<QLabel>(QStringLiteral("lblZeile"))->text(); }
    QListView *liste() const { return ctl<QListView>(QStringLiteral("LstZeilen")); }
    int eintraege() const { return liste()->model()->rowCount(); }

    void klicke(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    // An option reacts to clicks on its circle and caption, not on the free space beside them.
    void klicke(QRadioButton *option)
    {
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    }
    void klickeEintrag(int zeile);
    QString legeAn(const QString &name, const QByteArray &inhalt);
    QMenu *oeffneKontextmenue(bool perTaste);
    void waehleImMenue(const QString &name);
    void ladeMitSemikolon(const QString &pfad);
    void gehe(const QStringList &schritte, const QString &pfad);
    QStringList zustandOhneHilfe() const;

    std::unique_ptr<QTemporaryDir> m_ordner;
    std::unique_ptr<TessraFenster> m_fenster;
    QList<Dialog> m_dialoge;
    QStringList m_antworten; // for input boxes; an empty queue cancels
};

void TstTessraFenster::initTestCase()
{
    QVERIFY(ladeDeutscheQtTexte());
}

void TstTessraFenster::init()
{
    m_ordner = std::make_unique<QTemporaryDir>();
    QVERIFY(m_ordner->isValid());
    m_dialoge.clear();
    m_antworten.clear();
    m_fenster = std::make_unique<TessraFenster>();
    m_fenster->setDialogAntwort([this](QDialog &dialog) {
        QCOMPARE(dialog.font(), m_fenster->font());
        if (auto *box = qobject_cast<QMessageBox *>(&dialog)) {
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            m_dialoge.append({QStringLiteral("Meldung"), box->windowTitle(), box->text(), {}});
            box->accept();
        } else if (auto *eingabe = qobject_cast<QInputDialog *>(&dialog)) {
            QCOMPARE(eingabe->inputMode(), QInputDialog::TextInput);
            m_dialoge.append({QStringLiteral("Eingabe"), eingabe->windowTitle(),
                              eingabe->labelText(), eingabe->textValue()});
            if (m_antworten.isEmpty()) {
                eingabe->reject();
            } else {
                eingabe->setTextValue(m_antworten.takeFirst());
                eingabe->accept();
            }
        }
    });
    m_fenster->show();
    QVERIFY(QTest::qWaitForWindowActive(m_fenster.get()));
}

void TstTessraFenster::cleanup()
{
    m_fenster.reset();
    m_ordner.reset();
}

QString TstTessraFenster::legeAn(const QString &name, const QByteArray &inhalt)
{
    const QString pfad = m_ordner->filePath(name);
    if (!legeTestdateiAn(pfad, inhalt))
        qFatal("cannot write %s", qPrintable(pfad));
    return pfad;
}

void TstTessraFenster::klickeEintrag(int zeile)
{
    QListView *lst = liste();
    const QRect bereich = lst->visualRect(lst->model()->index(zeile, 0));
    QTest::mouseClick(lst->viewport(), Qt::LeftButton, {}, bereich.center());
}

void TstTessraFenster::ladeMitSemikolon(const QString &pfad)
{
    QLineEdit *txtPfad = feld(QStringLiteral("txtPfad"));
    txtPfad->clear();
    QTest::keyClicks(txtPfad, pfad);
    klicke(ctl<QRadioButton>(QStringLiteral("optSemikolon")));
    QVERIFY(knopf(QStringLiteral("btnLaden"))->isEnabled());
    klicke(knopf(QStringLiteral("btnLaden")));
}

// The steps of a run as a user clicks them.
void TstTessraFenster::gehe(const QStringList &schritte, const QString &pfad)
{
    for (const QString &schritt : schritte) {
        if (schritt == u"laden")
            ladeMitSemikolon(pfad);
        else if (schritt == u"gleiche")
            waehleImMenue(QStringLiteral("mnuGleicheUebernehmen"));
        else if (schritt == u"weiter")
            klicke(knopf(QStringLiteral("btnNächsteZeile")));
        else if (schritt == u"reset")
            klicke(knopf(QStringLiteral("btnReset")));
        else if (schritt == u"speichern")
            klicke(knopf(QStringLiteral("btnSpeichern")));
    }
}

// What every control but the help page shows: name, enabled state and text.
QStringList TstTessraFenster::zustandOhneHilfe() const
{
    QStringList bild;
    for (auto *widget : m_fenster->findChildren<QWidget *>()) {
        if (widget->parentWidget() == ctl<QWidget>(QStringLiteral("frmHilfe")) ||
            widget->objectName() == QStringLiteral("frmHilfe"))
            continue;
        QString text;
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            text = button->text() + (button->isChecked() ? u"*" : u"");
        else if (auto *label = qobject_cast<QLabel *>(widget))
            text = label->text();
        else if (auto *zeile = qobject_cast<QLineEdit *>(widget))
            text = zeile->text();
        bild.append(widget->objectName() + u':' + (widget->isEnabled() ? u"an:" : u"aus:") + text);
    }
    return bild;
}

void TstTessraFenster::zeigtEntwurfszustand()
{
    for (const char *name : {"btnDurchsuchen", "btnReset", "btnHilfe"})
        QVERIFY2(knopf(QString::fromLatin1(name))->isEnabled(), name);
    for (const QString &name :
         {QStringLiteral("btnLaden"), QStringLiteral("btnEditor"), QStringLiteral("btnExplorer"),
          QStringLiteral("btnNächsteZeile"), QStringLiteral("btnSpeichern"),
          QStringLiteral("btnSpeichernUnter")})
        QVERIFY2(!knopf(name)->isEnabled(), qPrintable(name));
    for (const char *name : {"txtPfad", "txtAnderes", "txtZeile"}) {
        QVERIFY(feld(QString::fromLatin1(name))->isEnabled());
        QVERIFY(feld(QString::fromLatin1(name))->text().isEmpty());
    }
    QVERIFY(ctl<QRadioButton>(QStringLiteral("optTab"))->isChecked());
    QVERIFY(!ctl<QRadioButton>(QStringLiteral("optSemikolon"))->isChecked());
    QVERIFY(!ctl<QRadioButton>(QStringLiteral("optAnderes"))->isChecked());
    QCOMPARE(eintraege(), 0);
    QCOMPARE(ctl<QLabel>(QStringLiteral("lblAnzDatensätze"))->text(), QStringLiteral("0"));
    QCOMPARE(ctl<QLabel>(QStringLiteral("lblAnzDuplikate"))->text(), QStringLiteral("0"));
    QCOMPARE(status(), QStringLiteral("Bitte eine Datei laden"));
    QVERIFY(!ctl<QWidget>(QStringLiteral("frmHilfe"))->isVisible());
    QCOMPARE(QApplication::focusWidget(), feld(QStringLiteral("txtPfad")));
    QCOMPARE(m_fenster->windowTitle(), QStringLiteral("Tessra"));
    QVERIFY(!m_fenster->windowIcon().isNull());
    QCOMPARE(m_fenster->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
}

void TstTessraFenster::steuerelementeStehenAmPlatz_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("geometrie");
    QTest::addColumn<QString>("text");

    // Pixels at 96 DPI: the layout's twips divided by 15, rounded.
    const auto zeile = [](const char *name, const char *container, QRect geometrie,
                          const QString &text) {
        QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(container) << geometrie
                            << text;
    };
    zeile("btnHilfe", "TessraFenster", {168, 3, 137, 17}, QStringLiteral("Hilfe (F1)"));
    zeile("Frame1", "TessraFenster", {8, 16, 449, 121}, QStringLiteral("Seriennummern-Datei"));
    zeile("txtPfad", "Frame1", {8, 16, 337, 19}, {});
    zeile("btnEditor", "Frame1", {352, 40, 89, 17}, QStringLiteral("Im Editor öffnen"));
    zeile("btnLaden", "Frame1", {232, 40, 113, 33}, QStringLiteral("Datei laden"));
    zeile("btnSeriennummer", "Frame1", {232, 96, 113, 17}, QStringLiteral("Seriennummer..."));
    zeile("Frame4", "Frame1", {8, 40, 193, 73},
          QStringLiteral("Trennzeichen zwischen den Spalten"));
    zeile("optSemikolon", "Frame4", {16, 32, 81, 13}, QStringLiteral("Semikolon"));
    zeile("txtAnderes", "Frame4", {88, 48, 81, 19}, {});
    zeile("Frame2", "TessraFenster", {8, 144, 449, 201}, QStringLiteral("Duplikatensuche"));
    zeile("LstZeilen", "Frame2", {8, 32, 433, 82}, {});
    zeile("lblZeile", "Frame2", {192, 120, 249, 17}, QStringLiteral("Bitte eine Datei laden"));
    zeile("txtZeile", "Frame2", {8, 136, 433, 19}, {});
    zeile("btnNächsteZeile", "Frame2", {168, 160, 113, 33}, QStringLiteral("Weiter"));
    zeile("btnVergleichen", "Frame2", {48, 160, 113, 33}, QStringLiteral("Vergleichen..."));
    zeile("lblAnzDuplikate", "Frame3", {16, 13, 41, 17}, QStringLiteral("0"));
    zeile("btnSpeichernUnter", "TessraFenster", {264, 360, 153, 33},
          QStringLiteral("Speichern unter..."));
    zeile("frmHilfe", "TessraFenster", {16, 0, 433, 393}, {});
    zeile("Shape1", "frmHilfe", {8, 16, 417, 369}, {});
    zeile("Label1", "frmHilfe", {24, 64, 385, 289}, {});
    zeile("Label4", "frmHilfe", {336, 368, 65, 17}, QStringLiteral("Tessra"));
}

void TstTessraFenster::steuerelementeStehenAmPlatz()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, geometrie);
    QFETCH(QString, text);

    QCOMPARE(m_fenster->logicalDpiX(), 96);
    QCOMPARE(m_fenster->size(), QSize(463, 401));
    QCOMPARE(m_fenster->minimumSize(), m_fenster->maximumSize());
    auto *widget = ctl<QWidget>(name);
    QCOMPARE(widget->parentWidget()->objectName(), container);
    QCOMPARE(widget->geometry(), geometrie);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), text);
    else if (auto *label = qobject_cast<QLabel *>(widget); label && !text.isEmpty())
        QCOMPARE(label->text(), text);
    else if (auto *rahmen = qobject_cast<QGroupBox *>(widget))
        QCOMPARE(rahmen->title(), text);
}

void TstTessraFenster::tooltips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tooltip");

    const auto zeile = [](const char *name, const QString &tooltip) {
        QTest::newRow(name) << QString::fromUtf8(name) << tooltip;
    };
    zeile("btnHilfe", QStringLiteral("Wie gesagt..."));
    zeile("btnSpeichern", QStringLiteral("Speichert die neue Datei unter dem Namen der alten. Das "
                                         "Original bekommt die Endung \".ALT\""));
    zeile("btnSpeichernUnter", QStringLiteral("Speicherort auswählen"));
    zeile("btnDurchsuchen", QStringLiteral("Datei aussuchen"));
    zeile("btnEditor", QStringLiteral("Öffnet die gewählte Datei im Editor"));
    zeile("btnExplorer", QStringLiteral("Öffnet den Explorer und markiert die gewählte Datei"));
    zeile("btnReset", QStringLiteral("Interner Reset"));
    zeile("btnLaden", QStringLiteral("Datei laden und Duplikatensuche starten"));
    zeile("btnNächsteZeile", QStringLiteral("Nächstes Duplikat suchen"));
    zeile("Frame5", QStringLiteral("Anzahl der Seriennummern"));
    zeile("lblAnzDatensätze", QStringLiteral("Anzahl der Seriennummern"));
    zeile("Frame3", QStringLiteral("Anzahl der Duplikatenfunde"));
    zeile("lblAnzDuplikate", QStringLiteral("Anzahl der Duplikatenfunde"));
}

void TstTessraFenster::tooltips()
{
    QFETCH(QString, name);
    QFETCH(QString, tooltip);
    QCOMPARE(ctl<QWidget>(name)->toolTip(), tooltip);
}

void TstTessraFenster::texteWerdenNichtAbgeschnitten()
{
    // Every caption must fit its fixed box at 96 DPI with the fonts that stand in for the
    // layout's faces; the longest status text counts for the status line.
    ctl<QLabel>(QStringLiteral("lblZeile"))
        ->setText(QStringLiteral("Keine doppelten Datensätze vorhanden!"));
    const auto passt = [](QWidget *widget, const QString &text, int rand) {
        const QFontMetrics metrik(widget->font());
        const QSize noetig(metrik.horizontalAdvance(text) + 2 * rand, metrik.height());
        return noetig.width() <= widget->width() && noetig.height() <= widget->height();
    };
    for (auto *button : m_fenster->findChildren<QPushButton *>())
        QVERIFY2(passt(button, button->text(), 4), qPrintable(button->objectName()));
    for (auto *option : m_fenster->findChildren<QRadioButton *>())
        QVERIFY2(passt(option, option->text(), 10), qPrintable(option->objectName()));
    for (auto *rahmen : m_fenster->findChildren<QGroupBox *>())
        QVERIFY2(passt(rahmen, rahmen->title(), 4), qPrintable(rahmen->objectName()));
    for (auto *label : m_fenster->findChildren<QLabel *>()) {
        if (label->wordWrap())
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                     qPrintable(label->objectName()));
        else
            QVERIFY2(passt(label, label->text(), 0), qPrintable(label->objectName()));
    }
    QCOMPARE(ctl<QLabel>(QStringLiteral("Label1"))->text().size(), 863);
    const QFont status = ctl<QLabel>(QStringLiteral("lblZeile"))->font();
    QVERIFY(status.bold());
    QCOMPARE(status.pointSizeF(), 8.25);
    QCOMPARE(ctl<QLabel>(QStringLiteral("lblZeile"))->palette().color(QPalette::WindowText),
             QColor(128, 0, 0));
    QCOMPARE(ctl<QLabel>(QStringLiteral("Hilfetext"))->font().pointSizeF(), 14.25);
    // The stand-in faces are really there, not some fallback of the font system.
    const QStringList serifenlos{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    for (const char *name : {"lblZeile", "Label2", "Hilfetext", "Label4"}) {
        const QFontInfo info(ctl<QLabel>(QString::fromLatin1(name))->font());
        QVERIFY2(serifenlos.contains(info.family()), qPrintable(info.family()));
    }
}

void TstTessraFenster::rahmenlinieUmschliesstDieSteuerelemente()
{
    for (auto *rahmen : m_fenster->findChildren<QGroupBox *>()) {
        // The frame alone, without its controls, on a transparent ground: what it paints is its
        // caption and its box line.
        QImage bild(rahmen->size(), QImage::Format_ARGB32);
        bild.fill(Qt::transparent);
        rahmen->render(&bild, {}, {}, {});
        const int spalte = bild.width() - 3; // right of every caption
        const int zeile = bild.height() / 2;
        // From an edge inwards, past the line, to the first pixel inside the box.
        const auto innen = [](int von, int schritt, int ende, const auto &gemalt) {
            int i = von;
            while (i != ende && !gemalt(i))
                i += schritt;
            while (i != ende && gemalt(i))
                i += schritt;
            return i;
        };
        const auto inSpalte = [&](int y) { return qAlpha(bild.pixel(spalte, y)) != 0; };
        const auto inZeile = [&](int x) { return qAlpha(bild.pixel(x, zeile)) != 0; };
        const QRect kasten(
            QPoint(innen(0, 1, bild.width(), inZeile), innen(0, 1, bild.height(), inSpalte)),
            QPoint(innen(bild.width() - 1, -1, -1, inZeile),
                   innen(bild.height() - 1, -1, -1, inSpalte)));
        const auto controls = rahmen->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (const QWidget *control : controls)
            QVERIFY2(kasten.contains(control->geometry()),
                     qPrintable(rahmen->objectName() + u'>' + control->objectName()));
    }
}

void TstTessraFenster::tabulatorFolgtDerReihenfolge()
{
    // The whole chain, as when every control is usable.
    const QStringList erwartet{
        QStringLiteral("btnSpeichern"),    QStringLiteral("btnSpeichernUnter"),
        QStringLiteral("btnLaden"),        QStringLiteral("txtPfad"),
        QStringLiteral("txtZeile"),        QStringLiteral("LstZeilen"),
        QStringLiteral("btnNächsteZeile"), QStringLiteral("btnDurchsuchen"),
        QStringLiteral("btnEditor"),       QStringLiteral("optTab"),
        QStringLiteral("optSemikolon"),    QStringLiteral("optAnderes"),
        QStringLiteral("txtAnderes"),      QStringLiteral("btnExplorer"),
        QStringLiteral("btnReset"),        QStringLiteral("btnHilfe"),
        QStringLiteral("btnSeriennummer"), QStringLiteral("btnVergleichen")};
    QStringList kette;
    QWidget *widget = knopf(QStringLiteral("btnSpeichern"));
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            kette.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != knopf(QStringLiteral("btnSpeichern")));
    QCOMPARE(kette, erwartet);

    // At start Tab passes only the usable controls and, of the options, only the selected one.
    const QStringList mitTab{QStringLiteral("txtZeile"),       QStringLiteral("LstZeilen"),
                             QStringLiteral("btnDurchsuchen"), QStringLiteral("optTab"),
                             QStringLiteral("txtAnderes"),     QStringLiteral("btnReset"),
                             QStringLiteral("btnHilfe"),       QStringLiteral("btnSeriennummer"),
                             QStringLiteral("txtPfad")};
    QStringList besucht;
    for (qsizetype i = 0; i < mitTab.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        besucht.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(besucht, mitTab);
}

void TstTessraFenster::hilfeDecktAllesAbUndSchliesstBeimKlick_data()
{
    QTest::addColumn<QString>("ziel");
    QTest::addColumn<QPoint>("stelle"); // in the target; a null point means its centre

    QTest::newRow("Titel") << QStringLiteral("Hilfetext") << QPoint();
    QTest::newRow("Hilfetext") << QStringLiteral("Label1") << QPoint();
    QTest::newRow("Unterschrift") << QStringLiteral("Label4") << QPoint();
    QTest::newRow("Panel") << QStringLiteral("frmHilfe") << QPoint(200, 370);
    QTest::newRow("freier Rand") << QStringLiteral("frmHilfe") << QPoint(3, 200);
}

void TstTessraFenster::hilfeDecktAllesAbUndSchliesstBeimKlick()
{
    QFETCH(QString, ziel);
    QFETCH(QPoint, stelle);

    const QString pfad = legeAn(QStringLiteral("daten.txt"), "Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n");
    ladeMitSemikolon(pfad);
    const QStringList vorher = zustandOhneHilfe();

    auto *hilfe = ctl<QWidget>(QStringLiteral("frmHilfe"));
    klicke(knopf(QStringLiteral("btnHilfe")));
    QVERIFY(hilfe->isVisible());
    // Covered now: a click where the button is lands on the overlay.
    const QPoint hilfeKnopf = knopf(QStringLiteral("btnHilfe"))->geometry().center();
    QTest::mouseClick(m_fenster->windowHandle(), Qt::LeftButton, {}, hilfeKnopf);
    QVERIFY(!hilfe->isVisible());
    QWidget *fokus = QApplication::focusWidget();
    klicke(knopf(QStringLiteral("btnHilfe")));
    QVERIFY(hilfe->isVisible());
    // Above both frames, both save buttons and the help button itself.
    for (const char *name : {"Frame1", "Frame2", "btnSpeichern", "btnSpeichernUnter", "btnHilfe"}) {
        auto *verdeckt = ctl<QWidget>(QString::fromLatin1(name));
        const QPoint mitte = verdeckt->mapTo(m_fenster.get(), verdeckt->rect().center());
        QWidget *oben = m_fenster->childAt(mitte);
        QVERIFY2(oben == hilfe || hilfe->isAncestorOf(oben), name);
    }
    // The strip left free at the left, right and bottom.
    QVERIFY(!m_fenster->childAt(QPoint(10, 200)) ||
            !hilfe->isAncestorOf(m_fenster->childAt(QPoint(10, 200))));
    QCOMPARE(hilfe->geometry().right(), m_fenster->width() - 14 - 1);
    QCOMPARE(hilfe->geometry().bottom(), m_fenster->height() - 8 - 1);

    auto *widget = ctl<QWidget>(ziel);
    // Through the window, so the click lands on whatever lies on top at that place.
    const QPoint punkt = stelle.isNull() ? widget->rect().center() : stelle;
    QTest::mouseClick(m_fenster->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(m_fenster.get(), punkt));
    QVERIFY(!hilfe->isVisible());
    QCOMPARE(zustandOhneHilfe(), vorher);
    QCOMPARE(QApplication::focusWidget(), fokus);
}

void TstTessraFenster::doppelklickAufDieHilfeErreichtNurSie_data()
{
    QTest::addColumn<QString>("darunter"); // the control under the place of the double-click
    QTest::addColumn<bool>("fertig");      // the run finished, or a group shown
    QTest::addColumn<bool>("hilfeDanach");

    QTest::newRow("über Weiter") << QStringLiteral("btnNächsteZeile") << false << false;
    QTest::newRow("über Speichern") << QStringLiteral("btnSpeichern") << true << false;
    QTest::newRow("auf Hilfe (F1)") << QStringLiteral("btnHilfe") << false << true;
}

void TstTessraFenster::doppelklickAufDieHilfeErreichtNurSie()
{
    QFETCH(QString, darunter);
    QFETCH(bool, fertig);
    QFETCH(bool, hilfeDanach);

    const QByteArray alt = "Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n";
    const QString pfad = legeAn(QStringLiteral("daten.txt"), alt);
    ladeMitSemikolon(pfad);
    if (fertig)
        klicke(knopf(QStringLiteral("btnNächsteZeile")));
    const QStringList vorher = zustandOhneHilfe();
    auto *hilfe = ctl<QWidget>(QStringLiteral("frmHilfe"));
    auto *ziel = knopf(darunter);
    if (ziel != knopf(QStringLiteral("btnHilfe")))
        klicke(knopf(QStringLiteral("btnHilfe")));

    QTest::mouseDClick(m_fenster->windowHandle(), Qt::LeftButton, {},
                       ziel->mapTo(m_fenster.get(), ziel->rect().center()));
    QCOMPARE(hilfe->isVisible(), hilfeDanach);
    QCOMPARE(zustandOhneHilfe(), vorher);
    QCOMPARE(testdateiInhalt(pfad), alt);
    QVERIFY(!QFile::exists(pfad + QStringLiteral(".ALT")));
    // The gesture is over: the next click where "Hilfe (F1)" lies acts again.
    QTest::mouseClick(m_fenster->windowHandle(), Qt::LeftButton, {},
                      knopf(QStringLiteral("btnHilfe"))->geometry().center());
    QCOMPARE(hilfe->isVisible(), !hilfeDanach);
}

void TstTessraFenster::pfadpruefung_data()
{
    QTest::addColumn<QString>("pfad"); // relative to the test folder, the current folder
    QTest::addColumn<bool>("nutzbar");
    QTest::addColumn<QString>("status");

    const QString start = u"Bitte eine Datei laden"_s;
    const QString fehlt = u"Datei nicht gefunden"_s;
    QTest::newRow("leer") << QString() << false << start;
    QTest::newRow("drei Zeichen, Datei vorhanden") << u"a.b"_s << false << u"Pfad zu kurz"_s;
    QTest::newRow("drei Zeichen mit Leerzeichen") << u"  a.b  "_s << false << fehlt;
    QTest::newRow("vier Zeichen, Datei vorhanden") << u"ab.c"_s << true << start;
    QTest::newRow("vorhandene Datei") << u"daten.txt"_s << true << start;
    QTest::newRow("ein Zeichen zu viel") << u"daten.txtx"_s << false << fehlt;
    QTest::newRow("Ordner") << u"ordner"_s << false << u"Der Pfad nennt einen Ordner"_s;
    QTest::newRow("fehlende Datei") << u"fehlt.txt"_s << false << fehlt;
    QTest::newRow("Umlaut") << u"größe.txt"_s << true << start;
}

void TstTessraFenster::pfadpruefung()
{
    QFETCH(QString, pfad);
    QFETCH(bool, nutzbar);
    QFETCH(QString, status);

    const QString vorher = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_ordner->path()));
    for (const char *name : {"a.b", "ab.c", "daten.txt"})
        legeAn(QString::fromLatin1(name), "x\r\n");
    legeAn(QStringLiteral("größe.txt"), "x\r\n");
    QVERIFY(QDir(m_ordner->path()).mkdir(QStringLiteral("ordner")));

    QLineEdit *txtPfad = feld(QStringLiteral("txtPfad"));
    tippe(txtPfad, pfad);
    QDir::setCurrent(vorher);
    QCOMPARE(txtPfad->text(), pfad);
    for (const char *name : {"btnLaden", "btnEditor", "btnExplorer"})
        QVERIFY2(knopf(QString::fromLatin1(name))->isEnabled() == nutzbar, name);
    QCOMPARE(this->status(), status);
    // Once the path is fine, the status shows what it showed before.
    txtPfad->setText(m_ordner->filePath(u"daten.txt"_s));
    QCOMPARE(this->status(), u"Bitte eine Datei laden"_s);
}

void TstTessraFenster::ablageImPfadfeld_data()
{
    QTest::addColumn<QString>("art");
    QTest::addColumn<bool>("suchfensterOffen");
    QTest::addColumn<bool>("angenommen");

    QTest::newRow("Datei") << QStringLiteral("Datei") << false << true;
    // Accepted, but a name that is not UTF-8 gets a box instead of a path that leads nowhere.
    QTest::newRow("Name nicht UTF-8") << QStringLiteral("nicht UTF-8") << false << true;
    QTest::newRow("zwei Dateien") << QStringLiteral("zwei Dateien") << false << false;
    QTest::newRow("Webadresse") << QStringLiteral("Webadresse") << false << false;
    QTest::newRow("Text") << QStringLiteral("Text") << false << false;
    QTest::newRow("Datei bei offenem Suchfenster") << QStringLiteral("Datei") << true << false;
}

void TstTessraFenster::ablageImPfadfeld()
{
    QFETCH(QString, art);
    QFETCH(bool, suchfensterOffen);
    QFETCH(bool, angenommen);

    const QString pfad = legeAn(QStringLiteral("meine größe.txt"), "1;a\r\n");
    const bool nichtUtf8 = art == QStringLiteral("nicht UTF-8");
    const QByteArray uri =
        nichtUtf8 ? QUrl::fromLocalFile(m_ordner->path()).toEncoded() + "/Liste_M%FCller.txt"
                  : QUrl::fromLocalFile(pfad).toEncoded();
    // File managers send the addresses as a list and as plain text.
    QByteArray adressen = uri + "\r\n";
    if (art == QStringLiteral("zwei Dateien"))
        adressen += uri + "\r\n";
    else if (art == QStringLiteral("Webadresse"))
        adressen = "https://tessra.invalid/liste.txt\r\n";
    QMimeData daten;
    if (art != QStringLiteral("Text"))
        daten.setData(QStringLiteral("text/uri-list"), adressen);
    daten.setText(QString::fromUtf8(adressen));
    if (suchfensterOffen)
        klicke(knopf(QStringLiteral("btnDurchsuchen")));

    QLineEdit *txtPfad = feld(QStringLiteral("txtPfad"));
    const QPoint mitte = txtPfad->rect().center();
    QDragEnterEvent eintritt(mitte, Qt::CopyAction | Qt::MoveAction, &daten, Qt::LeftButton, {});
    QApplication::sendEvent(txtPfad, &eintritt);
    QCOMPARE(eintritt.isAccepted(), angenommen);
    QDropEvent ablage(mitte, Qt::CopyAction | Qt::MoveAction, &daten, Qt::LeftButton, {});
    QApplication::sendEvent(txtPfad, &ablage);
    QCOMPARE(ablage.isAccepted(), angenommen);
    if (angenommen)
        QCOMPARE(ablage.dropAction(), Qt::CopyAction);
    const bool uebernommen = angenommen && !nichtUtf8;
    QCOMPARE(txtPfad->text(), uebernommen ? pfad : QString());
    QCOMPARE(knopf(QStringLiteral("btnEditor"))->isEnabled(), uebernommen);
    QCOMPARE(m_dialoge.size(), nichtUtf8 ? 1 : 0);
    if (nichtUtf8)
        QVERIFY(m_dialoge[0].titel == QStringLiteral("Tessra - Dateifehler") &&
                m_dialoge[0].text.contains(QStringLiteral("nicht UTF-8")));
}

void TstTessraFenster::optionenSchliessenSichAus()
{
    const auto gewaehlt = [this] {
        QStringList namen;
        for (auto *option : m_fenster->findChildren<QRadioButton *>())
            if (option->isChecked())
                namen.append(option->objectName());
        return namen;
    };
    klicke(ctl<QRadioButton>(QStringLiteral("optSemikolon")));
    QCOMPARE(gewaehlt(), QStringList{QStringLiteral("optSemikolon")});
    klicke(ctl<QRadioButton>(QStringLiteral("optAnderes")));
    QCOMPARE(gewaehlt(), QStringList{QStringLiteral("optAnderes")});
    klicke(ctl<QRadioButton>(QStringLiteral("optTab")));
    QCOMPARE(gewaehlt(), QStringList{QStringLiteral("optTab")});
}

void TstTessraFenster::resetWaehrendEinerGruppe()
{
    const QString pfad =
        legeAn(QStringLiteral("daten.txt"), "Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n");
    ladeMitSemikolon(pfad);
    QCOMPARE(eintraege(), 2);
    QCOMPARE(status(), QStringLiteral("Zeile 2 von 5"));
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("100;A"));
    QCOMPARE(ctl<QLabel>(QStringLiteral("lblAnzDuplikate"))->text(), QStringLiteral("1"));
    QCOMPARE(ctl<QLabel>(QStringLiteral("lblAnzDatensätze"))->text(), QStringLiteral("1"));
    QVERIFY(!feld(QStringLiteral("txtPfad"))->isEnabled());

    klicke(knopf(QStringLiteral("btnReset")));
    QCOMPARE(eintraege(), 0);
    QVERIFY(feld(QStringLiteral("txtZeile"))->text().isEmpty());
    QCOMPARE(ctl<QLabel>(QStringLiteral("lblAnzDuplikate"))->text(), QStringLiteral("0"));
    QCOMPARE(ctl<QLabel>(QStringLiteral("lblAnzDatensätze"))->text(), QStringLiteral("0"));
    QCOMPARE(status(), QStringLiteral("Bitte eine Datei laden"));
    QVERIFY(knopf(QStringLiteral("btnNächsteZeile"))->isEnabled());
    QVERIFY(knopf(QStringLiteral("btnLaden"))->isEnabled());
    QVERIFY(feld(QStringLiteral("txtPfad"))->isEnabled());
    QCOMPARE(QApplication::focusWidget(), feld(QStringLiteral("txtPfad")));
    QCOMPARE(feld(QStringLiteral("txtPfad"))->selectedText(), pfad);

    klicke(knopf(QStringLiteral("btnNächsteZeile")));
    QCOMPARE(m_dialoge.size(), 1);
    QCOMPARE(m_dialoge[0].titel, QStringLiteral("Tessra - Nix gefunden"));
    QCOMPARE(
        m_dialoge[0].text,
        QStringLiteral("Keine Seriennummern gefunden.\nEvtl. das Trennzeichen kontrollieren."));
    QCOMPARE(status(), QStringLiteral("Bitte eine Datei laden"));
    QVERIFY(!knopf(QStringLiteral("btnNächsteZeile"))->isEnabled());
    QVERIFY(!knopf(QStringLiteral("btnSpeichern"))->isEnabled());
    QCOMPARE(testdateiInhalt(pfad), QByteArray("Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n"));
}

void TstTessraFenster::listenauswahlZeigtZeilennummer()
{
    const QString pfad = legeAn(QStringLiteral("daten.txt"),
                                "Kopf;x\r\n5;erste\r\n1;a\r\n2;b\r\n3;c\r\n4;d\r\n5;zweite\r\n"
                                "6;e\r\n5;dritte\r\n7;f\r\n");
    ladeMitSemikolon(pfad);
    QCOMPARE(eintraege(), 3);
    klickeEintrag(2);
    QCOMPARE(status(), QStringLiteral("Zeile 9 von 10"));
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("5;dritte"));

    // The keyboard selects as well.
    QTest::keyClick(liste(), Qt::Key_Up);
    QCOMPARE(status(), QStringLiteral("Zeile 7 von 10"));
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("5;zweite"));

    // Clicking the selected line again brings back its text after an edit.
    feld(QStringLiteral("txtZeile"))->setText(QStringLiteral("5;bearbeitet"));
    klickeEintrag(1);
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("5;zweite"));
}

void TstTessraFenster::listeBehaeltIhreZeile_data()
{
    QTest::addColumn<QString>("geste");
    for (const char *geste :
         {"Klick unter die Zeilen", "Strg+Klick auf die Zeile", "Strg+Leertaste"})
        QTest::newRow(geste) << QString::fromUtf8(geste);
}

void TstTessraFenster::listeBehaeltIhreZeile()
{
    QFETCH(QString, geste);
    const QString pfad = legeAn(QStringLiteral("daten.txt"), "1;a\r\n2;b\r\n1;c\r\n3;d\r\n");
    ladeMitSemikolon(pfad);
    klickeEintrag(1);
    QListView *lst = liste();
    const QModelIndex zweite = lst->model()->index(1, 0);
    const QPoint frei(20, lst->viewport()->height() - 5);
    QVERIFY(!lst->indexAt(frei).isValid());

    if (geste.startsWith(u"Klick"))
        QTest::mouseClick(lst->viewport(), Qt::LeftButton, {}, frei);
    else if (geste.startsWith(u"Strg+Klick"))
        QTest::mouseClick(lst->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          lst->visualRect(zweite).center());
    else
        QTest::keyClick(lst, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(lst->selectionModel()->selectedIndexes(), QModelIndexList{zweite});
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("1;c"));
    QCOMPARE(status(), QStringLiteral("Zeile 3 von 4"));
}

void TstTessraFenster::enterImZeilenfeld()
{
    const QString pfad =
        legeAn(QStringLiteral("daten.txt"), "Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n");
    QLineEdit *txtZeile = feld(QStringLiteral("txtZeile"));

    // "Weiter" is disabled: Enter does nothing.
    txtZeile->setFocus();
    txtZeile->setText(QStringLiteral("100;A"));
    QTest::keyClick(txtZeile, Qt::Key_Return);
    QVERIFY(m_dialoge.isEmpty());
    QCOMPARE(status(), QStringLiteral("Bitte eine Datei laden"));
    QCOMPARE(txtZeile->text(), QStringLiteral("100;A"));

    ladeMitSemikolon(pfad);
    txtZeile->setFocus();
    txtZeile->selectAll();
    tippe(txtZeile, QStringLiteral("100;Ä geändert"));
    QTest::keyClick(txtZeile, Qt::Key_Enter);
    QCOMPARE(status(), QStringLiteral("FERTIG - Bitte Speichern -"));
    QVERIFY(!knopf(QStringLiteral("btnNächsteZeile"))->isEnabled());

    // A focused button takes Enter for itself.
    knopf(QStringLiteral("btnSpeichern"))->setFocus();
    QTest::keyClick(knopf(QStringLiteral("btnSpeichern")), Qt::Key_Return);
    QCOMPARE(status(), QStringLiteral("Vorgang abgeschlossen"));
    QCOMPARE(testdateiInhalt(pfad),
             QByteArray("Nr;Name\r\n100;\xc3\x84 geändert\r\n200;B\r\n300;D\r\n"));
}

// A run by keyboard alone, one key at a time, where a user would have the focus. The faults each
// would show: Enter in the path field not loading, or running "Weiter" when the path names no
// file; Ctrl+Z doing nothing in the list, or taking a decision back in a text field that still
// has typing to undo, or doing nothing in one that has none; F1 not reaching the help page from
// where the focus is; a key on the help page reaching a control under it, or the focus not
// coming back when it closes.
void TstTessraFenster::nurMitDerTastatur()
{
    const auto strgZ = Qt::CTRL | Qt::Key_Z;
    const struct
    {
        const char *fokus; // where the user puts it first; nullptr: where it is
        QKeyCombination taste;
        const char *danach; // the status, and the focus: on frmHilfe while the help is shown
    } tasten[] = {
        {nullptr, Qt::Key_F1, "Bitte eine Datei laden, frmHilfe"},
        {nullptr, Qt::Key_F1, "Bitte eine Datei laden, txtPfad"},
        {nullptr, Qt::Key_Return, "Zeile 2 von 5, txtZeile"},
        {nullptr, Qt::Key_Return, "Zeile 3 von 5, txtZeile"},
        {nullptr, Qt::Key_X, "Zeile 3 von 5, txtZeile"},
        {nullptr, strgZ, "Zeile 3 von 5, txtZeile"}, // undoes the typing only
        {nullptr, strgZ, "Zeile 2 von 5, txtZeile"}, // then the decision
        {nullptr, Qt::Key_Return, "Zeile 3 von 5, txtZeile"},
        {"LstZeilen", Qt::Key_F1, "Zeile 3 von 5, frmHilfe"},
        {nullptr, Qt::Key_F1, "Zeile 3 von 5, LstZeilen"},
        {"btnHilfe", Qt::Key_Space, "Zeile 3 von 5, frmHilfe"},
        {nullptr, strgZ, "Zeile 3 von 5, frmHilfe"},
        {nullptr, Qt::Key_Tab, "Zeile 3 von 5, frmHilfe"},
        {nullptr, Qt::Key_Return, "Zeile 3 von 5, btnHilfe"},
        {nullptr, Qt::Key_Space, "Zeile 3 von 5, frmHilfe"},
        {nullptr, Qt::Key_Escape, "Zeile 3 von 5, btnHilfe"},
        {"LstZeilen", strgZ, "Zeile 2 von 5, LstZeilen"},
        {"btnReset", Qt::Key_Space, "Bitte eine Datei laden, txtPfad"},
        {nullptr, Qt::Key_X, "Datei nicht gefunden, txtPfad"}, // "Weiter" still enabled
        {nullptr, Qt::Key_Return, "Datei nicht gefunden, txtPfad"},
    };
    ctl<QRadioButton>(QStringLiteral("optSemikolon"))->setChecked(true);
    tippe(feld(QStringLiteral("txtPfad")),
          legeAn(u"daten.txt"_s, "Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n2;d\r\n"));
    for (int i = 0; i < int(std::size(tasten)); ++i) {
        if (tasten[i].fokus)
            ctl<QWidget>(QString::fromLatin1(tasten[i].fokus))->setFocus();
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(tasten[i].taste));
        // Only the shown help page can have the focus.
        const QString fokus = QApplication::focusWidget()->objectName();
        QCOMPARE(QString::number(i) + u' ' + status() + u", "_s + fokus,
                 QString::number(i) + u' ' + QString::fromUtf8(tasten[i].danach));
    }
    QVERIFY(m_dialoge.isEmpty());
}

void TstTessraFenster::schliessenFragtVorVerlorenenEntscheidungen_data()
{
    QTest::addColumn<QString>("schritte");
    QTest::addColumn<QString>("antwort");
    QTest::addColumn<QString>("frage"); // its first line; none: closes unasked

    const QString eine = u"Die Entscheidung über 1 Gruppe ist noch nicht gespeichert und geht "
                         "beim Beenden verloren."_s;
    QTest::newRow("Gruppe gezeigt") << u"laden"_s << QString() << QString();
    QTest::newRow("entschieden, Nein") << u"laden weiter"_s << u"Nein"_s << eine;
    QTest::newRow("entschieden, Ja") << u"laden weiter"_s << u"Ja"_s << eine;
    // Finished with an empty history: the groups settled themselves.
    QTest::newRow("von selbst fertig")
        << u"gleiche laden"_s << u"Nein"_s
        << u"Die Entscheidungen über 2 Gruppen sind noch nicht gespeichert und gehen beim "
           "Beenden verloren."_s;
}

void TstTessraFenster::schliessenFragtVorVerlorenenEntscheidungen()
{
    QFETCH(QString, schritte);
    QFETCH(QString, antwort);
    QFETCH(QString, frage);

    gehe(schritte.split(u' '),
         legeAn(u"daten.txt"_s, schritte.startsWith(u"gleiche") ? "1;a\r\n2;b\r\n1;a\r\n2;b\r\n"
                                                                : "1;a\r\n2;b\r\n1;c\r\n2;d\r\n"));
    const QStringList vorher = zustandOhneHilfe();
    QStringList fragen;
    m_fenster->setDialogAntwort([&](QDialog &dialog) {
        auto &box = static_cast<QMessageBox &>(dialog);
        fragen.append(box.windowTitle() + u'|' + box.text());
        box.button(antwort == u"Ja" ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    m_fenster->close();
    QCOMPARE(fragen.join(u'/'),
             frage.isEmpty() ? QString()
                             : u"Tessra - Beenden|"_s + frage + u"\n\nTessra trotzdem beenden?"_s);
    QCOMPARE(m_fenster->isVisible(), antwort == u"Nein");
    if (antwort == u"Nein")
        QCOMPARE(zustandOhneHilfe(), vorher);
}

void TstTessraFenster::ganzerLaufErsetztDieDatei()
{
    const QByteArray alt = "Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n";
    const QString pfad = legeAn(QStringLiteral("liste.txt"), alt);
    ladeMitSemikolon(pfad);
    QVERIFY(!knopf(QStringLiteral("btnLaden"))->isEnabled());
    klickeEintrag(1);
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("100;C"));
    QCOMPARE(status(), QStringLiteral("Zeile 4 von 5"));
    klicke(knopf(QStringLiteral("btnNächsteZeile")));
    QCOMPARE(status(), QStringLiteral("FERTIG - Bitte Speichern -"));
    QVERIFY(knopf(QStringLiteral("btnSpeichern"))->isEnabled());
    QVERIFY(knopf(QStringLiteral("btnSpeichernUnter"))->isEnabled());
    QVERIFY(feld(QStringLiteral("txtPfad"))->isEnabled());

    klicke(knopf(QStringLiteral("btnSpeichern")));
    QCOMPARE(status(), QStringLiteral("Vorgang abgeschlossen"));
    QVERIFY(m_dialoge.isEmpty());
    QCOMPARE(testdateiInhalt(pfad), QByteArray("Nr;Name\r\n100;C\r\n200;B\r\n300;D\r\n"));
    QCOMPARE(testdateiInhalt(pfad + QStringLiteral(".ALT")), alt);
    QVERIFY(!knopf(QStringLiteral("btnSpeichern"))->isEnabled());
    QVERIFY(knopf(QStringLiteral("btnLaden"))->isEnabled());
    QCOMPARE(feld(QStringLiteral("txtPfad"))->selectedText(), pfad);
}

void TstTessraFenster::speichernUnterFragtNachDemOrt()
{
    const QByteArray alt = "Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n";
    const QString pfad = legeAn(QStringLiteral("liste.txt"), alt);
    const QString ziel = m_ordner->filePath(QStringLiteral("neu.txt"));
    ladeMitSemikolon(pfad);
    klicke(knopf(QStringLiteral("btnNächsteZeile")));

    // Cancelled, then too short: nothing written, the run stays finished.
    klicke(knopf(QStringLiteral("btnSpeichernUnter")));
    m_antworten = {QStringLiteral("a.b")};
    klicke(knopf(QStringLiteral("btnSpeichernUnter")));
    QCOMPARE(status(), QStringLiteral("FERTIG - Bitte Speichern -"));
    QVERIFY(knopf(QStringLiteral("btnSpeichernUnter"))->isEnabled());

    m_antworten = {ziel};
    klicke(knopf(QStringLiteral("btnSpeichernUnter")));
    QCOMPARE(m_dialoge.size(), 3);
    for (const Dialog &dialog : std::as_const(m_dialoge)) {
        QCOMPARE(dialog.art, QStringLiteral("Eingabe"));
        QCOMPARE(dialog.titel, QStringLiteral("Seriennummerndatei speichern"));
        QCOMPARE(dialog.text, QStringLiteral("Bitte den Speicherort eingeben."));
        QCOMPARE(dialog.vorgabe, pfad);
    }
    QCOMPARE(status(), QStringLiteral("Vorgang abgeschlossen"));
    QCOMPARE(testdateiInhalt(ziel), QByteArray("Nr;Name\r\n100;A\r\n200;B\r\n300;D\r\n"));
    QCOMPARE(testdateiInhalt(pfad), alt);
    QVERIFY(!QFile::exists(pfad + QStringLiteral(".ALT")));
}

// The input box offers the loaded file's path: Enter twice must not replace it without its
// backup, nor may any other file go without a question. Enter answers "Nein".
void TstTessraFenster::speichernUnterFragtVorDemErsetzen_data()
{
    QTest::addColumn<QString>("ziel");    // "geladen", or a name in the test folder
    QTest::addColumn<QString>("antwort"); // "Enter", "Ja", or "" for no question
    QTest::addColumn<QString>("frage");   // a part of the question

    const QString geladen = u"ist die geladene Datei."_s;
    QTest::newRow("Enter auf dem angebotenen Pfad") << u"geladen"_s << u"Enter"_s << geladen;
    QTest::newRow("angebotener Pfad, Ja") << u"geladen"_s << u"Ja"_s << geladen;
    QTest::newRow("andere Datei, Enter") << u"andere.txt"_s << u"Enter"_s << u"schon vorhanden"_s;
    QTest::newRow("neue Datei") << u"neu.txt"_s << QString() << QString();
}

void TstTessraFenster::speichernUnterFragtVorDemErsetzen()
{
    QFETCH(QString, ziel);
    QFETCH(QString, antwort);
    QFETCH(QString, frage);

    const QByteArray alt = "Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n";
    const QString pfad = legeAn(u"liste.txt"_s, alt);
    legeAn(u"andere.txt"_s, "andere\r\n");
    ladeMitSemikolon(pfad);
    klicke(knopf(u"btnNächsteZeile"_s));
    const QString zielpfad = ziel == u"geladen" ? pfad : m_ordner->filePath(ziel);
    const QByteArray vorher = testdateiInhalt(zielpfad);
    QStringList fragen;
    m_fenster->setDialogAntwort([&](QDialog &dialog) {
        if (auto *eingabe = qobject_cast<QInputDialog *>(&dialog)) {
            eingabe->setTextValue(zielpfad);
            eingabe->accept();
            return;
        }
        auto &box = static_cast<QMessageBox &>(dialog);
        fragen.append(box.windowTitle() + u'|' + box.text());
        if (antwort == u"Ja")
            box.button(QMessageBox::Yes)->click();
        else
            QTest::keyClick(&box, Qt::Key_Return);
    });
    klicke(knopf(u"btnSpeichernUnter"_s));

    QCOMPARE(fragen.size(), antwort.isEmpty() ? 0 : 1);
    if (!fragen.isEmpty()) {
        QVERIFY2(fragen[0].startsWith(u"Tessra - Datei ersetzen|Die Datei\n"_s + zielpfad),
                 qPrintable(fragen[0]));
        QVERIFY2(fragen[0].contains(frage), qPrintable(fragen[0]));
    }
    const bool geschrieben = antwort != u"Enter";
    QCOMPARE(testdateiInhalt(zielpfad) != vorher, geschrieben);
    QCOMPARE(status(), geschrieben ? u"Vorgang abgeschlossen"_s : u"FERTIG - Bitte Speichern -"_s);
    QCOMPARE(knopf(u"btnSpeichern"_s)->isEnabled(), !geschrieben);
    QCOMPARE(knopf(u"btnSpeichernUnter"_s)->isEnabled(), !geschrieben);
    QVERIFY(!QFile::exists(zielpfad + u".ALT"_s));
}

// A file whose records the chosen delimiter splits nowhere, while most hold a usual one.
void TstTessraFenster::trennzeichenfrage_data()
{
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("antwort"); // "Ja", "Nein", or "" for no question
    QTest::addColumn<QString>("frage");
    QTest::addColumn<QString>("option"); // the option checked afterwards, and txtAnderes
    QTest::addColumn<QString>("status");

    const QByteArray semikolon = "Nr;Name\r\n1;a\r\n1;b\r\n2;c\r\n3;d\r\n";
    const QString frage = u"Das gewählte Trennzeichen (Tab) kommt in keiner Zeile der Datei vor, "
                          "das Trennzeichen Semikolon aber in 5 von 5 Zeilen.\n\nDie Datei mit "
                          "Semikolon als Trennzeichen laden?"_s;
    QTest::newRow("Semikolon mit Tab geladen, Ja")
        << semikolon << u"Ja"_s << frage << u"optSemikolon"_s << u"Zeile 2 von 5"_s;
    QTest::newRow("Semikolon mit Tab geladen, Nein")
        << semikolon << u"Nein"_s << frage << u"optTab"_s << u"Zeile 5 von 5"_s;
    QTest::newRow("Komma, Ja") << QByteArray("Nr,Name\n1,a\n1,b\n2,c\n3,d\n") << u"Ja"_s
                               << QString() << u"optAnderes ,"_s << u"Zeile 2 von 5"_s;
    QTest::newRow("Tab kommt vor") << QByteArray("Nr;Name\tx\r\n1;a\r\n1;a\r\n2;c\r\n") << QString()
                                   << QString() << u"optTab"_s << u"Zeile 2 von 4"_s;
}

void TstTessraFenster::trennzeichenfrage()
{
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, antwort);
    QFETCH(QString, frage);
    QFETCH(QString, option);
    QFETCH(QString, status);

    QStringList fragen;
    m_fenster->setDialogAntwort([&](QDialog &dialog) {
        auto &box = static_cast<QMessageBox &>(dialog);
        if (box.icon() != QMessageBox::Question)
            return box.accept();
        fragen.append(box.windowTitle() + u'|' + box.text());
        box.button(antwort == u"Ja" ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    tippe(feld(u"txtPfad"_s), legeAn(u"daten.txt"_s, inhalt));
    klicke(knopf(u"btnLaden"_s));

    QCOMPARE(fragen.size(), antwort.isEmpty() ? 0 : 1);
    if (!frage.isEmpty())
        QCOMPARE(fragen.value(0), u"Tessra - Trennzeichen|"_s + frage);
    const QStringList erwartet = option.split(u' ');
    QVERIFY(ctl<QRadioButton>(erwartet[0])->isChecked());
    QCOMPARE(feld(u"txtAnderes"_s)->text(), erwartet.value(1));
    QCOMPARE(this->status(), status);
}

// Taken back, a group shows the record the user had picked and the text the edit field held.
void TstTessraFenster::zuruecknehmenStelltDieWahlWiederHer_data()
{
    QTest::addColumn<QString>("entscheidung"); // "weiter" or a rule's menu entry

    QTest::newRow("Auswahl und Bearbeitung, Weiter") << u"weiter"_s;
    QTest::newRow("Auswahl und Bearbeitung, Regel") << u"mnuLetzteBehalten"_s;
}

void TstTessraFenster::zuruecknehmenStelltDieWahlWiederHer()
{
    QFETCH(QString, entscheidung);

    m_fenster->setDialogAntwort([](QDialog &dialog) {
        static_cast<QMessageBox &>(dialog).button(QMessageBox::Yes)->click();
    });
    ladeMitSemikolon(legeAn(u"daten.txt"_s, "Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n2;d\r\n"));
    klickeEintrag(1);
    QLineEdit *txtZeile = feld(u"txtZeile"_s);
    txtZeile->setFocus();
    txtZeile->end(false);
    tippe(txtZeile, u" geändert"_s);
    if (entscheidung == u"weiter")
        QTest::keyClick(txtZeile, Qt::Key_Return);
    else
        waehleImMenue(entscheidung);
    QVERIFY(status() != u"Zeile 4 von 5");

    waehleImMenue(u"mnuZuruecknehmen"_s);
    QCOMPARE(status(), u"Zeile 4 von 5"_s);
    QCOMPARE(m_fenster->lstZeilenSelectedIndex(), 1);
    QCOMPARE(txtZeile->text(), u"1;c geändert"_s);
    klicke(knopf(u"btnNächsteZeile"_s));
    klicke(knopf(u"btnNächsteZeile"_s));
    klicke(knopf(u"btnSpeichern"_s));
    QCOMPARE(testdateiInhalt(m_ordner->filePath(u"daten.txt"_s)),
             QByteArray("Nr;Name\r\n1;c geändert\r\n2;b\r\n"));
}

// Each group starts scrolled to the beginning of its records, and switching the option during a
// run leaves the columns the list compares as the run split them.
void TstTessraFenster::gruppeZeigtSichMitDemTrennzeichenDesLaufs()
{
    const QByteArray lang = QByteArray(300, 'x');
    ladeMitSemikolon(
        legeAn(u"daten.txt"_s, "1;" + lang + "\r\n1;a\r\n2;" + lang + "\r\n2;b\r\n3;c\r\n"));
    QScrollBar *leiste = liste()->horizontalScrollBar();
    QVERIFY(leiste->maximum() > 0);
    leiste->setValue(leiste->maximum());
    klicke(ctl<QRadioButton>(u"optTab"_s));
    klicke(knopf(u"btnNächsteZeile"_s));
    QCOMPARE(status(), u"Zeile 3 von 5"_s);
    QCOMPARE(leiste->value(), 0);
    QCOMPARE(liste()->model()->index(0, 0).data(ZeilenModell::TrennzeichenRolle), QVariant(u";"_s));
}

void TstTessraFenster::eingabefensterSprichtDeutschUndFasstDenPfad()
{
    const QString pfad = legeAn(QStringLiteral("liste.txt"), "1;a\r\n1;b\r\n2;c\r\n3;d\r\n");
    ladeMitSemikolon(pfad);
    klicke(knopf(QStringLiteral("btnNächsteZeile")));
    QStringList knoepfe;
    int feldbreite = 0;
    m_fenster->setDialogAntwort([&](QDialog &dialog) {
        dialog.show();
        for (const auto *knopf : dialog.findChildren<QPushButton *>())
            knoepfe.append(knopf->text());
        feldbreite = dialog.findChild<QLineEdit *>()->width();
        dialog.reject();
    });
    klicke(knopf(QStringLiteral("btnSpeichernUnter")));
    knoepfe.sort();
    QCOMPARE(knoepfe, (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("OK")}));
    QVERIFY2(feldbreite >= feld(QStringLiteral("txtPfad"))->width(),
             qPrintable(QString::number(feldbreite)));

    const std::unique_ptr<QMenu> menue(
        feld(QStringLiteral("txtZeile"))->createStandardContextMenu());
    QCOMPARE(menue->actions().constFirst()->text(), QStringLiteral("&Rückgängig\tStrg+Z"));
}

void TstTessraFenster::windows1252MitCrLfBleibtByteGenau()
{
    // Not valid UTF-8, so read as Windows-1252. The kept lines hold a tab, a control character
    // and a lone LF, which the edit field must pass through untouched.
    const QByteArray alt = "Nr;Stra\xdf"
                           "e\r\n"
                           "7;M\xfcller\tK\xf6ln\r\n"
                           "8;\x01Steuer\r\n"
                           "7;M\xfcller\tKoeln\r\n"
                           "8;zwei\nteilig\r\n"
                           "9;\xe4\xf6\xfc\r\n";
    const QString pfad = legeAn(QStringLiteral("w1252.txt"), alt);
    ladeMitSemikolon(pfad);
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("7;Müller\tKöln"));
    klickeEintrag(1);
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("7;Müller\tKoeln"));
    klicke(knopf(QStringLiteral("btnNächsteZeile")));

    QCOMPARE(eintraege(), 2);
    QTest::keyClick(liste(), Qt::Key_Down);
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("8;zwei↵teilig"));
    QTest::keyClick(liste(), Qt::Key_Return);
    QVERIFY2(m_dialoge.isEmpty(), m_dialoge.isEmpty() ? "" : qPrintable(m_dialoge[0].text));
    QCOMPARE(status(), QStringLiteral("FERTIG - Bitte Speichern -"));

    klicke(knopf(QStringLiteral("btnSpeichern")));
    QCOMPARE(testdateiInhalt(pfad), QByteArray("Nr;Stra\xdf"
                                               "e\r\n"
                                               "7;M\xfcller\tKoeln\r\n"
                                               "8;zwei\nteilig\r\n"
                                               "9;\xe4\xf6\xfc\r\n"));
    QCOMPARE(testdateiInhalt(pfad + QStringLiteral(".ALT")), alt);

    // A control character kept as the first line of its group survives as well.
    ladeMitSemikolon(pfad + QStringLiteral(".ALT"));
    klicke(knopf(QStringLiteral("btnNächsteZeile"))); // 7: keep the first
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("8;\x01Steuer"));
    klicke(knopf(QStringLiteral("btnNächsteZeile")));
    m_antworten = {m_ordner->filePath(QStringLiteral("kopie.txt"))};
    klicke(knopf(QStringLiteral("btnSpeichernUnter")));
    QCOMPARE(testdateiInhalt(m_ordner->filePath(QStringLiteral("kopie.txt"))),
             QByteArray("Nr;Stra\xdf"
                        "e\r\n"
                        "7;M\xfcller\tK\xf6ln\r\n"
                        "8;\x01Steuer\r\n"
                        "9;\xe4\xf6\xfc\r\n"));
}

// A spreadsheet's "Unicode text" export: UTF-16 LE with its mark, tab-delimited, CR LF.
void TstTessraFenster::utf16ExportBleibtByteGenau()
{
    const auto utf16 = [](const QString &text) { return alsUtf16(text, QSysInfo::LittleEndian); };
    const QByteArray alt = utf16(QStringLiteral("\uFEFFNr\tName\r\n4711\tMüller\r\n4712\t€ 5\r\n"
                                                "4711\tMüller & Söhne\r\n4713\t😀\r\n"));
    const QString pfad = legeAn(QStringLiteral("unicode.txt"), alt);
    QLineEdit *txtPfad = feld(QStringLiteral("txtPfad"));
    txtPfad->clear();
    QTest::keyClicks(txtPfad, pfad);
    klicke(ctl<QRadioButton>(QStringLiteral("optTab")));
    klicke(knopf(QStringLiteral("btnLaden")));

    QCOMPARE(eintraege(), 2);
    QCOMPARE(liste()->model()->index(0, 0).data().toString(), QStringLiteral("4711\tMüller"));
    klickeEintrag(1);
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("4711\tMüller & Söhne"));
    klicke(knopf(QStringLiteral("btnNächsteZeile")));
    QCOMPARE(status(), QStringLiteral("FERTIG - Bitte Speichern -"));
    klicke(knopf(QStringLiteral("btnSpeichern")));
    QVERIFY(m_dialoge.isEmpty());
    QCOMPARE(testdateiInhalt(pfad),
             utf16(QStringLiteral("\uFEFFNr\tName\r\n4711\tMüller & Söhne\r\n"
                                  "4712\t€ 5\r\n4713\t😀\r\n")));
    QCOMPARE(testdateiInhalt(pfad + QStringLiteral(".ALT")), alt);
}

void TstTessraFenster::langeZeileBleibtGanz()
{
    const QByteArray lang = "1;" + QByteArray(40000, 'x');
    const QString pfad =
        legeAn(QStringLiteral("lang.txt"), "Nr;Text\r\n" + lang + "\r\n1;kurz\r\n2;y\r\n");
    ladeMitSemikolon(pfad);
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text().size(), lang.size());
    QTest::keyClick(feld(QStringLiteral("txtZeile")), Qt::Key_End);
    tippe(feld(QStringLiteral("txtZeile")), QStringLiteral("z"));
    klicke(knopf(QStringLiteral("btnNächsteZeile")));
    klicke(knopf(QStringLiteral("btnSpeichern")));
    QCOMPARE(testdateiInhalt(pfad), "Nr;Text\r\n" + lang + "z\r\n2;y\r\n");
}

// A spreadsheet export with line breaks in cells: each record takes one row of the usual height,
// and a record edited in the real field keeps its break.
void TstTessraFenster::tabellenexportMitUmbruechen()
{
    const QByteArray alt =
        "Nr;Anschrift\n0815;\"Weg 1\n80331 M\xC3\xBCnchen\";1\n4711;x;2\n0815;\"Weg 2\";3\n";
    const QString pfad = legeAn(QStringLiteral("export.csv"), alt);
    ladeMitSemikolon(pfad);
    QCOMPARE(eintraege(), 2);
    const QModelIndex erste = liste()->model()->index(0, 0);
    QCOMPARE(erste.data().toString(), QStringLiteral("0815;\"Weg 1↵80331 München\";1"));
    QVERIFY(liste()->visualRect(erste).height() < 2 * liste()->fontMetrics().height());
    QCOMPARE(status(), QStringLiteral("Zeile 2 von 4"));

    QLineEdit *txtZeile = feld(QStringLiteral("txtZeile"));
    QTest::keyClick(txtZeile, Qt::Key_End);
    tippe(txtZeile, QStringLiteral("0"));
    QTest::keyClick(txtZeile, Qt::Key_Return);
    QVERIFY2(m_dialoge.isEmpty(), m_dialoge.isEmpty() ? "" : qPrintable(m_dialoge[0].text));
    QCOMPARE(status(), QStringLiteral("FERTIG - Bitte Speichern -"));
    klicke(knopf(QStringLiteral("btnSpeichern")));
    QCOMPARE(testdateiInhalt(pfad),
             QByteArray("Nr;Anschrift\n0815;\"Weg 1\n80331 M\xC3\xBCnchen\";10\n"
                        "4711;x;2\n"));
}

void TstTessraFenster::kurzeDateiMeldetWarnung()
{
    const QString pfad = legeAn(QStringLiteral("kurz.txt"), "1;a\r\n1;b\r\n2;c\r\n");
    ladeMitSemikolon(pfad);
    QCOMPARE(m_dialoge.size(), 1);
    QCOMPARE(m_dialoge[0].art, QStringLiteral("Meldung"));
    QCOMPARE(m_dialoge[0].titel, QStringLiteral("Tessra - Lohnt sich nicht!"));
    QCOMPARE(
        m_dialoge[0].text,
        QStringLiteral("In der Datei sind nur 3 Zeilen vorhanden.\nManuell gehts schneller..."));
    QVERIFY(knopf(QStringLiteral("btnLaden"))->isEnabled());
    QVERIFY(feld(QStringLiteral("txtPfad"))->isEnabled());
}

void TstTessraFenster::durchsuchenSetztZurueck()
{
    const QString pfad =
        legeAn(QStringLiteral("daten.txt"), "Nr;Name\r\n100;A\r\n200;B\r\n100;C\r\n300;D\r\n");
    ladeMitSemikolon(pfad);
    klicke(knopf(QStringLiteral("btnDurchsuchen")));
    QCOMPARE(eintraege(), 0);
    QCOMPARE(status(), QStringLiteral("Bitte eine Datei laden"));
    QVERIFY(feld(QStringLiteral("txtPfad"))->isEnabled());
    // While the browse window is open, neither browsing again nor loading is possible.
    QPointer durchsuchen = m_fenster->findChild<DurchsuchenFenster *>();
    QVERIFY(durchsuchen && durchsuchen->isVisible());
    QVERIFY(!knopf(QStringLiteral("btnDurchsuchen"))->isEnabled());
    QVERIFY(!knopf(QStringLiteral("btnLaden"))->isEnabled());

    // Usable again once the browsing has ended, with the path checked anew.
    klicke(durchsuchen->findChild<QPushButton *>(QStringLiteral("Button_abbr")));
    QTRY_VERIFY(!durchsuchen);
    QVERIFY(knopf(QStringLiteral("btnDurchsuchen"))->isEnabled());
    QVERIFY(knopf(QStringLiteral("btnLaden"))->isEnabled());
    QVERIFY(knopf(QStringLiteral("btnEditor"))->isEnabled());
    QCOMPARE(feld(QStringLiteral("txtPfad"))->text(), pfad);
}

void TstTessraFenster::schliessenSchliesstWeitereFenster()
{
    klicke(knopf(QStringLiteral("btnDurchsuchen")));
    QPointer durchsuchen = m_fenster->findChild<DurchsuchenFenster *>();
    QVERIFY(durchsuchen);
    QVERIFY(QTest::qWaitForWindowExposed(durchsuchen));
    QVERIFY(m_fenster->close());
    QVERIFY(!m_fenster->isVisible());
    QTRY_VERIFY(!durchsuchen || !durchsuchen->isVisible());
}

// Screen readers announce controls by their accessible name; a control without one is silent.
void TstTessraFenster::namenFuerBildschirmleser()
{
    const auto widgets = m_fenster->findChildren<QWidget *>();
    for (const QWidget *widget : widgets) {
        const QString name = widget->objectName();
        // The status line is named by its text.
        if (!name.isEmpty() && !name.startsWith(u"qt_") && name != u"lblZeile")
            QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(name));
    }
    QCOMPARE(knopf(QStringLiteral("btnLaden"))->accessibleName(), QStringLiteral("Datei laden"));
    QCOMPARE(feld(QStringLiteral("txtZeile"))->accessibleName(),
             QStringLiteral("Ausgewählte Zeile (noch änderbar):"));
    QCOMPARE(liste()->accessibleName(), QStringLiteral("Mehrfache Datensätze:"));
}

// What a screen reader reads from the window in each state of a run.
void TstTessraFenster::bildschirmleser_data()
{
    QTest::addColumn<QStringList>("schritte");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("zaehler"); // the counters' names, joined by "|"
    QTest::addColumn<QString>("fokus");   // the name of the one object with the focus

    const QString txtZeile = u"Ausgewählte Zeile (noch änderbar):"_s;
    QTest::newRow("ohne Datei") << QStringList() << u"Bitte eine Datei laden"_s
                                << u"Datensätze: 0|Duplikate: 0"_s << u"Seriennummern-Datei"_s;
    QTest::newRow("Gruppe gezeigt") << QStringList{u"laden"_s} << u"Zeile 2 von 5"_s
                                    << u"Datensätze: 1|Duplikate: 1"_s << txtZeile;
    QTest::newRow("fertig, Einstellung an")
        << QStringList{u"gleiche"_s, u"laden"_s, u"weiter"_s} << u"FERTIG - Bitte Speichern -"_s
        << u"Datensätze: 2|Duplikate: 1"_s << u"Durchsuchen..."_s;
    QTest::newRow("Hilfe über einer Gruppe")
        << QStringList{u"laden"_s, u"hilfe"_s} << u"Zeile 2 von 5"_s
        << u"Datensätze: 1|Duplikate: 1"_s << u"Hilfe (klicken zum Schließen)"_s;
}

void TstTessraFenster::bildschirmleser()
{
    QFETCH(QStringList, schritte);
    QFETCH(QString, status);
    QFETCH(QString, zaehler);
    QFETCH(QString, fokus);

    const QString pfad = legeAn(u"daten.txt"_s, "Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n2;b\r\n");
    for (const QString &schritt : schritte) {
        if (schritt == u"hilfe")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        else
            gehe({schritt}, pfad);
    }
    const auto zugang = [this](const QString &name) {
        return QAccessible::queryAccessibleInterface(ctl<QObject>(name));
    };
    QCOMPARE(zugang(u"lblZeile"_s)->text(QAccessible::Name), status);
    QStringList zaehlerNamen;
    for (const char *rahmen : {"Frame5", "Frame3"}) {
        QCOMPARE(zugang(QString::fromLatin1(rahmen))->childCount(), 0);
        zaehlerNamen.append(zugang(QString::fromLatin1(rahmen))->text(QAccessible::Name));
    }
    QCOMPARE(zaehlerNamen.join(u'|'), zaehler);

    // Exactly one object in the whole tree reports the focus.
    QStringList fokussiert;
    QList<QAccessibleInterface *> offen{QAccessible::queryAccessibleInterface(m_fenster.get())};
    while (!offen.isEmpty()) {
        QAccessibleInterface *objekt = offen.takeLast();
        if (objekt->state().focused)
            fokussiert.append(objekt->text(QAccessible::Name));
        for (int i = 0; i < objekt->childCount(); ++i)
            offen.append(objekt->child(i));
    }
    QCOMPARE(fokussiert, QStringList{fokus});
    if (schritte.contains(u"hilfe")) {
        QAccessibleInterface *fenster = QAccessible::queryAccessibleInterface(m_fenster.get());
        QCOMPARE(fenster->childCount(), 1);
        QVERIFY(
            fenster->child(0)->text(QAccessible::Description).endsWith(u"zurückgesetzt werden."));
    }

    QAccessibleInterface *menue = zugang(u"mnuZeilen"_s);
    QAccessibleInterface *gleiche = menue->child(5);
    QCOMPARE(gleiche->role(), QAccessible::CheckBox);
    QVERIFY(gleiche->state().checkable);
    QCOMPARE(gleiche->state().checked, schritte.contains(u"gleiche"));
    QCOMPARE(menue->child(0)->text(QAccessible::Description), u"Strg+Z"_s);
}

void TstTessraFenster::grosseGruppeHoltNurGezeichneteTexte()
{
    qsizetype geholt = 0;
    std::vector<qsizetype> zeilen(200000);
    std::iota(zeilen.begin(), zeilen.end(), 0);
    m_fenster->setLstZeilen({std::move(zeilen), [&geholt](qsizetype zeile) -> QString {
                                 ++geholt;
                                 return QStringLiteral("4711;Zeile ") + QString::number(zeile);
                             }});
    m_fenster->selectLstZeilenItem(0);
    m_fenster->repaint();
    QCOMPARE(eintraege(), 200000);
    QCOMPARE(m_fenster->lstZeilenData(199999), 199999);
    // A handful of visible rows, plus the rows measured for the common row width.
    QVERIFY2(geholt < 2000, qPrintable(QString::number(geholt)));
}

void TstTessraFenster::wartecursorNurWaehrendDerArbeit()
{
    // The cursor while the list is filled, and while a box waits for the user.
    using Form = std::optional<Qt::CursorShape>;
    const auto form = [] {
        const QCursor *cursor = QApplication::overrideCursor();
        return cursor ? Form(cursor->shape()) : std::nullopt;
    };
    QList<Form> beimFuellen;
    QList<Form> beimDialog;
    connect(liste()->model(), &QAbstractItemModel::modelReset, this,
            [&] { beimFuellen.append(form()); });
    m_fenster->setDialogAntwort([&](QDialog &dialog) {
        beimDialog.append(form());
        dialog.accept();
    });

    ladeMitSemikolon(legeAn(QStringLiteral("daten.txt"), "Nr;Name\r\n1;A\r\n1;B\r\n2;C\r\n"));
    QVERIFY(!beimFuellen.isEmpty());
    QVERIFY(beimFuellen.count(Form(Qt::WaitCursor)) == beimFuellen.size());
    QCOMPARE(QApplication::overrideCursor(), nullptr);

    klicke(knopf(QStringLiteral("btnReset")));
    ladeMitSemikolon(legeAn(QStringLiteral("kurz.txt"), "1;a\r\n1;b\r\n"));
    QCOMPARE(beimDialog, QList<Form>{Form(Qt::ArrowCursor)});
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// Opens the list's context menu the way a user does: with the right button (through the window,
// which turns the press into the request) or with Shift+F10 in the list.
QMenu *TstTessraFenster::oeffneKontextmenue(bool perTaste)
{
    if (perTaste) {
        liste()->setFocus();
        QTest::keyClick(liste(), Qt::Key_F10, Qt::ShiftModifier);
    } else {
        const QPoint stelle = liste()->viewport()->mapTo(m_fenster.get(), QPoint(30, 22));
        QTest::mouseClick(m_fenster->windowHandle(), Qt::RightButton, {}, stelle);
    }
    auto *menue = ctl<QMenu>(QStringLiteral("mnuZeilen"));
    return menue->isVisible() ? menue : nullptr;
}

void TstTessraFenster::waehleImMenue(const QString &name)
{
    QMenu *menue = oeffneKontextmenue(false);
    QVERIFY(menue);
    auto *aktion = menue->findChild<QAction *>(name);
    QVERIFY(aktion && aktion->isEnabled());
    QTest::mouseClick(menue, Qt::LeftButton, {}, menue->actionGeometry(aktion).center());
    QTRY_VERIFY(!menue->isVisible());
}

void TstTessraFenster::kontextmenue_data()
{
    QTest::addColumn<QStringList>("schritte");
    QTest::addColumn<bool>("perTaste");
    // undo, keep first, keep last, keep the suggestion, compare, identical groups, the
    // suggestion's menu
    QTest::addColumn<QString>("nutzbar");

    QTest::newRow("vor dem Laden") << QStringList{} << false << u"0000011"_s;
    QTest::newRow("erste Gruppe") << QStringList{u"laden"_s} << true << u"0110111"_s;
    QTest::newRow("zweite Gruppe") << QStringList{u"laden"_s, u"weiter"_s} << false << u"1110111"_s;
    QTest::newRow("fertig") << QStringList{u"laden"_s, u"weiter"_s, u"weiter"_s} << true
                            << u"1000011"_s;
    QTest::newRow("Reset während einer Gruppe")
        << QStringList{u"laden"_s, u"weiter"_s, u"reset"_s} << false << u"0000011"_s;
    QTest::newRow("gespeichert") << QStringList{u"laden"_s, u"weiter"_s, u"weiter"_s,
                                                u"speichern"_s}
                                 << true << u"0000011"_s;
}

void TstTessraFenster::kontextmenue()
{
    QFETCH(QStringList, schritte);
    QFETCH(bool, perTaste);
    QFETCH(QString, nutzbar);

    gehe(schritte,
         legeAn(QStringLiteral("daten.txt"), "Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n2;d\r\n3;e\r\n"));
    // Opening the menu leaves the chosen line and its edit alone.
    feld(QStringLiteral("txtZeile"))->setText(QStringLiteral("bearbeitet"));
    const QString status = this->status();
    const qsizetype auswahl = m_fenster->lstZeilenSelectedIndex();
    QMenu *menue = oeffneKontextmenue(perTaste);
    QVERIFY(menue);
    QString gefunden;
    QStringList texte;
    for (const QAction *aktion : menue->actions()) {
        gefunden += aktion->isEnabled() ? u'1' : u'0';
        texte.append(aktion->text());
    }
    QCOMPARE(gefunden, nutzbar);
    QCOMPARE(texte, QStringList({u"Letzte Entscheidung zurücknehmen"_s,
                                 u"Alle weiteren Gruppen: erste Zeile behalten"_s,
                                 u"Alle weiteren Gruppen: letzte Zeile behalten"_s,
                                 u"Alle weiteren Gruppen: Vorschlag behalten"_s,
                                 u"Gruppe als Tabelle vergleichen"_s,
                                 u"Gruppen mit gleichen Zeilen automatisch übernehmen"_s,
                                 u"Vorschlag"_s}));
    QVERIFY(menue->actions().at(5)->isCheckable());
    QCOMPARE(menue->actions().first()->shortcut().toString(QKeySequence::NativeText), u"Strg+Z"_s);
    menue->close();
    QCOMPARE(feld(QStringLiteral("txtZeile"))->text(), QStringLiteral("bearbeitet"));
    QCOMPARE(this->status(), status);
    QCOMPARE(m_fenster->lstZeilenSelectedIndex(), auswahl);
}

// Each entry reaches its command: the setting first, then a rule, taken back, then the other.
void TstTessraFenster::kontextmenueBefehle()
{
    // Group 1 differs, group 2 repeats one line, group 3 differs.
    const QString pfad = legeAn(QStringLiteral("daten.txt"),
                                "Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n2;b\r\n3;x\r\n3;y\r\n");
    QStringList titel;
    m_fenster->setDialogAntwort([&titel](QDialog &dialog) {
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        QVERIFY(box && box->icon() == QMessageBox::Question);
        titel.append(box->windowTitle());
        box->button(QMessageBox::Yes)->click();
    });
    ladeMitSemikolon(pfad);
    waehleImMenue(QStringLiteral("mnuGleicheUebernehmen"));
    klicke(knopf(QStringLiteral("btnNächsteZeile")));
    QCOMPARE(status(), QStringLiteral("Zeile 6 von 7")); // group 2 settled itself

    waehleImMenue(QStringLiteral("mnuErsteBehalten"));
    QCOMPARE(status(), QStringLiteral("FERTIG - Bitte Speichern -"));
    waehleImMenue(QStringLiteral("mnuZuruecknehmen"));
    QCOMPARE(status(), QStringLiteral("Zeile 6 von 7"));
    QVERIFY(!knopf(QStringLiteral("btnSpeichern"))->isEnabled());
    QVERIFY(!feld(QStringLiteral("txtPfad"))->isEnabled());

    waehleImMenue(QStringLiteral("mnuLetzteBehalten"));
    klicke(knopf(QStringLiteral("btnSpeichern")));
    QCOMPARE(testdateiInhalt(pfad), QByteArray("Nr;Name\r\n1;a\r\n2;b\r\n3;y\r\n"));
    QCOMPARE(titel, QStringList(2, QStringLiteral("Tessra - Alle weiteren Gruppen")));
}

void TstTessraFenster::abweichendeSpalten_data()
{
    QTest::addColumn<QString>("zeile");
    QTest::addColumn<QString>("erste");
    QTest::addColumn<QString>("trennzeichen");
    QTest::addColumn<QString>("fett"); // the bold parts, joined by "|"

    QTest::newRow("mittlere Spalte") << u"1;ab;c"_s << u"1;a;c"_s << u";"_s << u"ab"_s;
    QTest::newRow("Spalte mehr") << u"1;a;neu"_s << u"1;a"_s << u";"_s << u"neu"_s;
    QTest::newRow("Spalte weniger") << u"1;b"_s << u"1;a;c"_s << u";"_s << u"b"_s;
    QTest::newRow("mehrere Zeichen") << u"1, a, b"_s << u"1, a, c"_s << u", "_s << u"b"_s;
    QTest::newRow("ohne Trennzeichen") << u"1;a"_s << u"1;b"_s << QString() << QString();
    QTest::newRow("Trennzeichen in Anführungszeichen")
        << u"1;\"a;b\";c"_s << u"1;\"a;x\";c"_s << u";"_s << u"\"a;b\""_s;
    QTest::newRow("Anführungszeichen mitten im Feld")
        << u"1;3/4\" x;c\";d"_s << u"1;3/4\" x;y\";d"_s << u";"_s << u"c\""_s;
}

void TstTessraFenster::abweichendeSpalten()
{
    QFETCH(QString, zeile);
    QFETCH(QString, erste);
    QFETCH(QString, trennzeichen);
    QFETCH(QString, fett);

    QStringList teile;
    for (const auto &[anfang, laenge] : ::abweichendeSpalten(zeile, erste, trennzeichen))
        teile.append(zeile.sliced(anfang, laenge));
    QCOMPARE(teile.join(u'|'), fett);
}

// Under a rule the serial number's column is not bold where the rule makes the keys equal.
void TstTessraFenster::seriennummernspalte_data()
{
    QTest::addColumn<QString>("zeile");
    QTest::addColumn<QString>("erste");
    QTest::addColumn<QString>("regel"); // schluesselregelAus
    QTest::addColumn<QString>("fett");

    QTest::newRow("gleich ohne Nullen") << u"815;b"_s << u"0815;a"_s << u"n"_s << u"b"_s;
    QTest::newRow("Spalte 2 gleich ohne Groß/Klein")
        << u"1;AB;x"_s << u"2;ab;x"_s << u"2tg"_s << u"1"_s;
    QTest::newRow("ohne Option zeigt sich die Schreibweise")
        << u"\"0815\";a"_s << u"0815;a"_s << QString() << u"\"0815\""_s;
}

void TstTessraFenster::seriennummernspalte()
{
    QFETCH(QString, zeile);
    QFETCH(QString, erste);
    QFETCH(QString, regel);
    QFETCH(QString, fett);

    QStringList teile;
    for (const auto &[anfang, laenge] :
         ::abweichendeSpalten(zeile, erste, u";"_s, schluesselregelAus(regel)))
        teile.append(zeile.sliced(anfang, laenge));
    QCOMPARE(teile.join(u'|'), fett);
}

// The dialog shows the rule in force, the loaded file's columns and the groups of the rule on
// show; "OK" loads again with it, "Abbrechen" keeps everything.
void TstTessraFenster::seriennummerDialog()
{
    const QString pfad =
        legeAn(u"spalten.txt"_s, "Kunde;Name;Serie\n7;A;4711\n7;B;4712\n9;C;4711\n");
    ladeMitSemikolon(pfad);
    QCOMPARE(liste()->model()->rowCount(), 2);
    bool annehmen = false;
    QStringList gesehen;
    m_fenster->setDialogAntwort([&](QDialog &dialog) {
        QCOMPARE(dialog.objectName(), u"SeriennummerDialog"_s);
        auto *spalte = dialog.findChild<QSpinBox *>(u"spnSpalte"_s);
        QVERIFY(spalte);
        QCOMPARE(spalte->value(), 1);
        for (const QString &name :
             {u"chkText"_s, u"chkGrossKlein"_s, u"chkLeerzeichen"_s, u"chkNullen"_s}) {
            auto *feld = dialog.findChild<QCheckBox *>(name);
            QVERIFY(feld && !feld->isChecked());
            gesehen.append(feld->text());
        }
        spalte->setValue(3);
        gesehen.append(dialog.findChild<QLabel *>(u"lblSpalten"_s)->text());
        gesehen.append(dialog.findChild<QLabel *>(u"lblGruppen"_s)->text());
        annehmen ? dialog.accept() : dialog.reject();
    });
    klicke(knopf(u"btnSeriennummer"_s));
    QCOMPARE(gesehen,
             (QStringList{u"Auch Text als Seriennummer"_s, u"Groß-/Kleinschreibung ignorieren"_s,
                          u"Leerzeichen ignorieren"_s, u"Führende Nullen ignorieren"_s,
                          u"Erste Zeile: 1: Kunde  2: Name  [3: Serie]"_s,
                          u"Gruppen mehrfacher Seriennummern mit diesen Einstellungen: 1"_s}));
    QCOMPARE(liste()->model()->index(1, 0).data().toString(), u"7;B;4712"_s);

    annehmen = true;
    klicke(knopf(u"btnSeriennummer"_s));
    QCOMPARE(liste()->model()->index(1, 0).data().toString(), u"9;C;4711"_s);
    QCOMPARE(m_fenster->lstZeilenData(1), 3);
}

// The second row drawn beneath two first rows: once the same line, once one with another third
// column. Only that column may look different, bolder, and the row is measured wider for it.
void TstTessraFenster::unterschiedeFett()
{
    int breite = 0;
    const auto zeichne = [this, &breite](const QString &erste) {
        const QStringList texte{erste, QStringLiteral("4711;Anna;Bonn;2019")};
        m_fenster->setLstZeilen(
            {{0, 1}, [texte](qsizetype zeile) { return texte.at(zeile); }, QStringLiteral(";")});
        const QModelIndex zweite = liste()->model()->index(1, 0);
        breite = liste()->sizeHintForIndex(zweite).width();
        return liste()->viewport()->grab(liste()->visualRect(zweite)).toImage();
    };
    const QImage gleich = zeichne(QStringLiteral("4711;Anna;Bonn;2019"));
    const int breiteGleich = breite;
    const QImage anders = zeichne(QStringLiteral("4711;Anna;Ulm;2019"));
    QCOMPARE(anders.size(), gleich.size());
    QVERIFY(breite > breiteGleich);

    const auto tinte = [](const QImage &bild, int von, int bis, int grenze = 128) {
        int dunkel = 0;
        for (int y = 0; y < bild.height(); ++y)
            for (int x = von; x < bis; ++x)
                dunkel += qGray(bild.pixel(x, y)) < grenze ? 1 : 0;
        return dunkel;
    };
    int ersteAbweichung = gleich.width();
    for (int x = 0; x < gleich.width() && ersteAbweichung == gleich.width(); ++x)
        for (int y = 0; y < gleich.height(); ++y)
            if (gleich.pixel(x, y) != anders.pixel(x, y))
                ersteAbweichung = x;
    // Up to "4711;Anna;" the row is drawn as before; from "Bonn" on it carries more ink.
    const QFontMetrics metrik(liste()->font());
    QVERIFY2(ersteAbweichung >= metrik.horizontalAdvance(QStringLiteral("4711;Anna;")),
             qPrintable(QString::number(ersteAbweichung)));
    QVERIFY(ersteAbweichung < gleich.width());
    QVERIFY(tinte(anders, ersteAbweichung, anders.width()) >
            tinte(gleich, ersteAbweichung, gleich.width()) * 11 / 10);

    // Selected, the bold row keeps the selection's colours: no dark text on the highlight.
    m_fenster->selectLstZeilenItem(1);
    const QRect zeile = liste()->visualRect(liste()->model()->index(1, 0));
    const QImage markiert = liste()->viewport()->grab(zeile).toImage();
    const QColor markierung = liste()->palette().color(QPalette::Highlight);
    QCOMPARE(markiert.pixelColor(markiert.width() - 2, markiert.height() / 2), markierung);
    QCOMPARE(tinte(markiert, 0, markiert.width(), qGray(markierung.rgb()) / 2), 0);
}

void TstTessraFenster::doppelklickImMenueErreichtNurEs()
{
    const QString pfad =
        legeAn(QStringLiteral("daten.txt"), "Nr;Name\r\n1;a\r\n2;b\r\n1;c\r\n2;d\r\n");
    ladeMitSemikolon(pfad);
    auto *weiter = knopf(QStringLiteral("btnNächsteZeile"));
    klicke(weiter);
    QCOMPARE(status(), QStringLiteral("Zeile 3 von 5"));
    QMenu *menue = oeffneKontextmenue(false);
    QVERIFY(menue);
    const QPoint eintrag =
        menue->actionGeometry(menue->findChild<QAction *>(QStringLiteral("mnuZuruecknehmen")))
            .center();

    // A double-click as the system delivers it: the first click on the entry closes the menu,
    // the second press lands on whatever lay below, here "Weiter".
    const auto maus = [](QWidget *ziel, QEvent::Type art, QPoint stelle, ulong zeit) {
        const Qt::MouseButtons gedrueckt =
            art == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent ereignis(art, stelle, ziel->mapToGlobal(stelle), Qt::LeftButton, gedrueckt,
                             Qt::NoModifier);
        ereignis.setTimestamp(zeit);
        QApplication::sendEvent(ziel, &ereignis);
    };
    const QPoint mitte = weiter->rect().center();
    maus(menue, QEvent::MouseButtonPress, eintrag, 100000);
    maus(menue, QEvent::MouseButtonRelease, eintrag, 100050);
    maus(weiter, QEvent::MouseButtonPress, mitte, 100150);
    maus(weiter, QEvent::MouseButtonDblClick, mitte, 100150);
    maus(weiter, QEvent::MouseButtonRelease, mitte, 100200);
    QCOMPARE(status(), QStringLiteral("Zeile 2 von 5"));
    QCOMPARE(liste()->model()->index(1, 0).data().toString(), QStringLiteral("1;c"));

    // The gesture is over: "Weiter" acts again.
    klicke(weiter);
    QCOMPARE(status(), QStringLiteral("Zeile 3 von 5"));
}

void TstTessraFenster::fortschrittBeimLangenLaden_data()
{
    QTest::addColumn<bool>("abbrechen");
    QTest::newRow("let through") << false;
    QTest::newRow("Abbrechen") << true;
}

// A long load shows its box, modal, with a bar that moves on, over a window that keeps painting
// and takes nothing else meanwhile: the desktop's close and a dropped file are refused.
// "Abbrechen" ends in the idle window.
void TstTessraFenster::fortschrittBeimLangenLaden()
{
    QFETCH(bool, abbrechen);
    QByteArray inhalt = "Nr;Artikel\r\n";
    for (int i = 0; i < 200000; ++i)
        inhalt += QByteArray::number(100000 + i % 150000) + ";Artikel\r\n";
    const QString pfad = legeAn(u"gross.txt"_s, inhalt);
    const QString andere = legeAn(u"andere.txt"_s, "1;a\r\n");
    // Each reading of the clock is 100 ms after the last, so the load soon counts as long.
    qint64 jetzt = 0;
    m_fenster->setUhr([&jetzt] { return jetzt += 100; });
    Malzaehler bilder(*m_fenster);
    QTimer neuZeichnen;
    connect(&neuZeichnen, &QTimer::timeout, m_fenster.get(), [this] { m_fenster->update(); });
    neuZeichnen.start(0);

    QString titel;
    bool modal = false;
    bool schliessenAngenommen = false;
    bool ablageAngenommen = false;
    QList<int> werte;
    QList<int> gemalt;
    QTimer beobachter;
    connect(&beobachter, &QTimer::timeout, this, [&] {
        auto *box = m_fenster->findChild<QDialog *>(u"Fortschrittsfenster"_s);
        if (!box || !box->isVisible())
            return;
        if (werte.isEmpty()) {
            titel = box->windowTitle();
            modal = box->windowModality() == Qt::WindowModal;
            QCloseEvent schliessen;
            QApplication::sendEvent(m_fenster.get(), &schliessen);
            schliessenAngenommen = schliessen.isAccepted();
            QMimeData daten;
            daten.setUrls({QUrl::fromLocalFile(andere)});
            QDropEvent ablage(QPointF(5, 5), Qt::CopyAction, &daten, Qt::LeftButton, {});
            QApplication::sendEvent(feld(u"txtPfad"_s), &ablage);
            ablageAngenommen = ablage.isAccepted();
        }
        werte.append(box->findChild<QProgressBar *>(u"prgFortschritt"_s)->value());
        gemalt.append(bilder.anzahl);
        if (abbrechen && werte.size() == 3)
            box->findChild<QPushButton *>(u"btnAbbrechen"_s)->click();
    });
    beobachter.start(0);
    ladeMitSemikolon(pfad);
    beobachter.stop();
    neuZeichnen.stop();

    QCOMPARE(titel, u"Tessra - Datei wird geladen"_s);
    QVERIFY(modal);
    QVERIFY(werte.size() >= 3);
    QVERIFY(std::is_sorted(werte.begin(), werte.end()) && werte.last() > 0);
    // Painted between any two looks at the box.
    QVERIFY(std::adjacent_find(gemalt.begin(), gemalt.end()) == gemalt.end());
    QVERIFY(!schliessenAngenommen && !ablageAngenommen);
    QVERIFY(m_dialoge.isEmpty());
    QCOMPARE(feld(u"txtPfad"_s)->text(), pfad);
    QCOMPARE(m_fenster->findChild<QDialog *>(u"Fortschrittsfenster"_s), nullptr);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    if (abbrechen) {
        QCOMPARE(werte.size(), 3);
        QCOMPARE(status(), u"Bitte eine Datei laden"_s);
        QCOMPARE(eintraege(), 0);
        QVERIFY(knopf(u"btnLaden"_s)->isEnabled() && feld(u"txtPfad"_s)->isEnabled());
    } else {
        QCOMPARE(eintraege(), 2);
        QVERIFY(knopf(u"btnNächsteZeile"_s)->isEnabled());
    }
}

QTEST_MAIN(TstTessraFenster)
#include "tst_tessrafenster.moc"
