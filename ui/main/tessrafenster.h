#pragma once

#include <functional>

#include <QPointer>
#include <QWidget>

#include "durchsuchenfenster.h"
#include "duplikatensuche.h"
#include "fortschrittsfenster.h"
#include "mainview.h"
#include "vergleichfenster.h"

class Gestensperre;
class QAction;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;
class Twips;
class ZeilenModell;

// The program's main window: one fixed page for a whole cleaning run. A user's click or key
// arrives at the handler named after its control (btnLaden_Click); the handler hands the work to
// the engine (Duplikatensuche), which reads and sets the controls through MainView. The window
// holds no file logic of its own.
class TessraFenster : public QWidget, public MainView
{
    Q_OBJECT

public:
    explicit TessraFenster(QWidget *parent = nullptr);

    // Puts a path into the path field as typing it would, path check included.
    void setzePfad(const QString &pfad);

    // The path check: "Datei laden", "Im Editor öffnen" and "Explorer" need a readable file.
    // The browse window calls it after it wrote a path.
    void txtPfad_Change();

    // Lets a test answer the message and input boxes: the answer gets the prepared dialog in
    // place of its modal loop and closes it with accept() or reject().
    using DialogAntwort = std::function<void(QDialog &)>;
    void setDialogAntwort(DialogAntwort antwort);
    // Lets a test run the clock by which the window tells long work from short.
    void setUhr(Fortschrittsfenster::Uhr uhr);

    using QWidget::isEnabled;
    using QWidget::setEnabled;

    bool isEnabled(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    QString caption(Label label) const override;
    void setCaption(Label label, const QString &text) override;
    QString txtPfad() const override;
    void setTxtPfad(const QString &text) override;
    void focusTxtPfad() override;
    void selectTxtPfad(qsizetype start, qsizetype length) override;
    Delimiter selectedDelimiter() const override;
    QString txtAnderes() const override;
    void selectDelimiter(Delimiter delimiter, const QString &anderes) override;
    QString txtZeile() const override;
    void setTxtZeile(const QString &text) override;
    void setTxtZeileReadOnly(bool readOnly) override;
    void clearLstZeilen() override;
    void setLstZeilen(Zeilenliste liste) override;
    qsizetype lstZeilenCount() const override;
    qsizetype lstZeilenSelectedIndex() const override;
    qsizetype lstZeilenData(qsizetype index) const override;
    void selectLstZeilenItem(qsizetype index) override;
    void showMessage(const QString &text, const QString &title) override;
    QString askText(const QString &prompt, const QString &title,
                    const QString &defaultText) override;
    bool askYesNo(const QString &text, const QString &title) override;
    std::unique_ptr<Fortschrittsanzeige> zeigeFortschritt(const QString &title,
                                                          const QString &text) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void baueDateirahmen(const Twips &twips);
    void baueSuchrahmen(const Twips &twips);
    void baueSpeicherknoepfe(const Twips &twips);
    void baueHilfe(const Twips &twips);
    void baueKontextmenue();
    void richteBildschirmleserEin();
    void legeTabreihenfolgeFest();
    void verbindeBefehle();
    void zentriere();

    void btnLaden_Click();
    void btnNaechsteZeile_Click();
    void btnSpeichern_Click();
    void btnSpeichernUnter_Click();
    void btnDurchsuchen_Click();
    void btnEditor_Click();
    void btnExplorer_Click();
    void btnReset_Click();
    void btnSeriennummer_Click();
    void LstZeilen_Click();
    bool txtPfad_Ablage(QEvent *event);
    bool textfeldOhneEigenesUndo(QObject *watched, QEvent *event) const;
    void btnHilfe_Click();
    void frmHilfe_Click();
    void Hilfetext_Click();
    void Label1_Click();
    void Label4_Click();
    void frmHilfe_KeyPress(const QKeyEvent &taste);
    bool Form_QueryUnload();
    void Form_Unload();
    void versteckeHilfe();
    void LstZeilen_ContextMenu(const QPoint &stelle);
    void mnuZuruecknehmen_Click();
    void mnuErsteBehalten_Click();
    void mnuLetzteBehalten_Click();
    void mnuGleicheUebernehmen_Click();
    void mnuVorschlagBehalten_Click();
    void baueVorschlagsmenue();
    void mnuVorschlag_Click(QAction *aktion);
    std::optional<int> fragSpalte(const QString &welcherWert);
    void zeigeVorschlagImMenue();
    void btnVergleichen_Click();
    void Vergleich_SatzGewaehlt(qsizetype index);
    void Vergleich_ErgebnisGeaendert();
    void Vergleich_Zuruecknehmen();
    // The comparison window, while it is open, shows what the list shows.
    bool vergleichOffen() const;
    void folgeVergleichDerListe();
    void fuelleVergleich();

    void zeigeDurchsuchenFenster();
    void meldeProgrammstart(const std::optional<QString> &grund, const QString &was);
    bool fuehreAus(QDialog &dialog);
    QWidget *steuerelement(Control control) const;
    QLabel *beschriftung(Label label) const;

    Duplikatensuche m_suche;
    DialogAntwort m_dialogAntwort;
    Fortschrittsfenster::Uhr m_uhr = &Fortschrittsfenster::stetigeUhr;
    // True while long work runs: the window paints meanwhile, and what still reaches it that
    // is no input (a close asked for by the desktop, a drop) is refused, so no command can
    // start inside another.
    bool m_arbeitLaeuft = false;
    QPointer<DurchsuchenFenster> m_durchsuchen;
    Gestensperre *m_gestensperre = nullptr;

    QGroupBox *m_frame1 = nullptr;
    QLineEdit *m_txtPfad = nullptr;
    QPushButton *m_btnDurchsuchen = nullptr;
    QPushButton *m_btnEditor = nullptr;
    QPushButton *m_btnExplorer = nullptr;
    QPushButton *m_btnReset = nullptr;
    QPushButton *m_btnLaden = nullptr;
    QPushButton *m_btnSeriennummer = nullptr;
    QGroupBox *m_frame4 = nullptr;
    QRadioButton *m_optTab = nullptr;
    QRadioButton *m_optSemikolon = nullptr;
    QRadioButton *m_optAnderes = nullptr;
    QLineEdit *m_txtAnderes = nullptr;

    QGroupBox *m_frame2 = nullptr;
    QLabel *m_label2 = nullptr;
    QListView *m_lstZeilen = nullptr;
    ZeilenModell *m_zeilenModell = nullptr;
    // Set while the engine changes the list, whose selection must not run the list selection.
    bool m_listeWirdGesetzt = false;
    QLabel *m_label3 = nullptr;
    QLabel *m_lblZeile = nullptr;
    QLineEdit *m_txtZeile = nullptr;
    QPushButton *m_btnNaechsteZeile = nullptr;
    QPushButton *m_btnVergleichen = nullptr;
    QGroupBox *m_frame5 = nullptr;
    QLabel *m_lblAnzDatensaetze = nullptr;
    QGroupBox *m_frame3 = nullptr;
    QLabel *m_lblAnzDuplikate = nullptr;

    QPushButton *m_btnSpeichern = nullptr;
    QPushButton *m_btnSpeichernUnter = nullptr;
    QPushButton *m_btnHilfe = nullptr;

    QFrame *m_frmHilfe = nullptr;
    QFrame *m_shape1 = nullptr;
    QLabel *m_hilfetext = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label4 = nullptr;
    // Where the focus was when the help page opened; it goes back there when the page closes.
    QPointer<QWidget> m_fokusVorHilfe;

    // The context menu of LstZeilen: undo, the rules for the remaining groups, and the setting
    // for groups of identical lines.
    QMenu *m_mnuZeilen = nullptr;
    QAction *m_mnuZuruecknehmen = nullptr;
    QAction *m_mnuErsteBehalten = nullptr;
    QAction *m_mnuLetzteBehalten = nullptr;
    QAction *m_mnuGleicheUebernehmen = nullptr;
    QAction *m_mnuVorschlagBehalten = nullptr;
    // The criterion of the suggestion; its entries carry their Kriterium::Art, "Kein Vorschlag"
    // none.
    QMenu *m_mnuVorschlag = nullptr;
    QAction *m_mnuVergleichen = nullptr;

    // Made the first time it is asked for: a run that never opens it is untouched by it.
    QPointer<VergleichFenster> m_vergleich;
};
