#pragma once

#include "fortschritt.h"
#include "schluesselregel.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// The lines of the group on show, in list order: their numbers in the loaded file (each item's
// data) and how to get a line's text for the list. The window asks for the text only of the rows
// it draws, so a group of a million lines is listed as fast as one of ten. The run's delimiter
// splits the lines into the columns the list compares with the group's first line; the rule
// compares the serial numbers among them.
struct Zeilenliste
{
    std::vector<qsizetype> zeilen;
    std::function<QString(qsizetype zeile)> text;
    QString trennzeichen = {};
    Schluesselregel regel = {};
    // The row suggested to be kept, -1 for none.
    qsizetype vorschlag = -1;
};

// The main-window controls the engine reads and writes. The window implements this for real,
// tests with a plain fake; either way the engine never sees a widget.
//
// Setters change the control only: they never run a window handler. Where a change would run
// one in the window (a new path text runs the path check, selecting a list item runs the list
// selection), the engine calls that behaviour itself, so a fake and the window act alike.
class MainView
{
public:
    // Controls whose enabled state the engine switches.
    enum class Control {
        txtPfad,
        btnLaden,
        btnEditor,
        btnExplorer,
        btnSpeichern,
        btnSpeichernUnter,
        btnNaechsteZeile,
    };

    // Labels whose caption the engine writes (and, for lblAnzDuplikate, reads back).
    enum class Label {
        lblZeile,
        lblAnzDatensaetze,
        lblAnzDuplikate,
    };

    // The selected option button of the delimiter group.
    enum class Delimiter {
        None,
        Tab,
        Semikolon,
        Anderes,
    };

    virtual ~MainView() = default;

    virtual bool isEnabled(Control control) const = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;

    virtual QString caption(Label label) const = 0;
    virtual void setCaption(Label label, const QString &text) = 0;

    virtual QString txtPfad() const = 0;
    virtual void setTxtPfad(const QString &text) = 0;
    virtual void focusTxtPfad() = 0;
    virtual void selectTxtPfad(qsizetype start, qsizetype length) = 0;

    virtual Delimiter selectedDelimiter() const = 0;
    virtual QString txtAnderes() const = 0;
    // Selects the option; for Anderes, `anderes` goes into its text field.
    virtual void selectDelimiter(Delimiter delimiter, const QString &anderes) = 0;

    virtual QString txtZeile() const = 0;
    virtual void setTxtZeile(const QString &text) = 0;
    // A line too long to edit is shown cut and cannot be changed.
    virtual void setTxtZeileReadOnly(bool readOnly) = 0;

    virtual void clearLstZeilen() = 0;
    // Replaces the list's items, none selected.
    virtual void setLstZeilen(Zeilenliste liste) = 0;
    virtual qsizetype lstZeilenCount() const = 0;
    // -1 when no item is selected.
    virtual qsizetype lstZeilenSelectedIndex() const = 0;
    virtual qsizetype lstZeilenData(qsizetype index) const = 0;
    virtual void selectLstZeilenItem(qsizetype index) = 0;

    // A warning box with one OK button; returns when the user closed it.
    virtual void showMessage(const QString &text, const QString &title) = 0;
    // A one-line input box; returns the typed text, or "" when the user cancelled.
    virtual QString askText(const QString &prompt, const QString &title,
                            const QString &defaultText) = 0;
    // A question box with the buttons "Ja" and "Nein"; true only for "Ja". Closing the box
    // any other way counts as "Nein", the answer that changes nothing.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;
    // The box of long work with its title and text; it stays until the object is destroyed.
    virtual std::unique_ptr<Fortschrittsanzeige> zeigeFortschritt(const QString &title,
                                                                  const QString &text) = 0;
};
