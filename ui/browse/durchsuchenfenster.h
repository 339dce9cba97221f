#pragma once

#include <functional>

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "ordnerinhalt.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class Ordnerliste;
class QTreeWidgetItem;

// The small window in which the user picks the serial-number file from a drive, a folder and a
// file list instead of typing its path. It is not modal: the main window's handler that opens it
// returns at once. Yet while it is shown the main window cannot be used: activating or clicking it
// beeps and brings this window back. Every way out (OK, double-click, Abbruch, the close box) gives
// the main window its "Durchsuchen..." back and runs its path check; only OK and the double-click
// write the chosen path first. The window deletes itself when it closes.
class DurchsuchenFenster : public QWidget
{
    Q_OBJECT

public:
    // Reads a folder for the lists; Ordnerinhalt::lesen unless replaced.
    using Ordnerleser = std::function<Ordnerinhalt(const QString &pfad)>;

    // txtPfadChange is the main window's path check; a text written into txtPfad runs it too,
    // through the field's own change signal.
    DurchsuchenFenster(QWidget *hauptfenster, QLineEdit *txtPfad, QPushButton *btnDurchsuchen,
                       std::function<void()> txtPfadChange, QWidget *parent = nullptr);

    // Lets a caller decide how folders are read, for instance to stand in for a drive that
    // fails. The lists keep what they show until the next folder change.
    void setOrdnerleser(Ordnerleser leser);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void baueOberflaeche();
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void File1_DblClick();
    void Button_ok_Click();
    void Button_abbr_Click();
    void Form_QueryUnload(bool &cancel);
    void Form_Deactivate();

    void dir1Oeffnen(QTreeWidgetItem *eintrag);
    // Makes pfad Dir1's current folder and raises Dir1_Change; a folder that cannot be read
    // leaves the lists as they are, and the result says why.
    Ordnerinhalt setzeDir1Pfad(const QString &pfad);
    void zeigeOrdnerbaum(const QString &pfad, const QStringList &unterordner);
    void zeigeLaufwerkVon(const QString &pfad);
    void warneLaufwerksfehler(const QString &pfad, const Ordnerinhalt &inhalt);
    void warne(const QString &titel, const QString &text);
    bool istTeilVomHauptfenster(QObject *objekt) const;
    void schliessen();

    QPointer<QWidget> m_hauptfenster;
    QPointer<QLineEdit> m_txtPfad;
    QPointer<QPushButton> m_btnDurchsuchen;
    std::function<void()> m_txtPfadChange;
    Ordnerleser m_ordnerleser;

    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    Ordnerliste *m_dir1 = nullptr;
    QListWidget *m_file1 = nullptr;
    QComboBox *m_drive1 = nullptr;
    QPushButton *m_buttonOk = nullptr;
    QPushButton *m_buttonAbbr = nullptr;

    // Dir1's current folder, the folder whose files File1 lists, and those files.
    QString m_dir1Pfad;
    QString m_file1Pfad;
    QStringList m_dir1Dateien;
    QStringList m_dir1NichtUtf8;
    // Set by the last of the "OK" and "Abbruch" steps: the window may now really close.
    bool m_schliessenErlaubt = false;
};
