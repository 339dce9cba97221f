#pragma once

#include "mainview.h"

#include <QList>
#include <QMap>
#include <QQueue>
#include <QString>

// A MainView without widgets: it keeps every property it is given, records each message box,
// and answers input boxes from a queue that the test fills.
class FakeMainView : public MainView
{
public:
    struct Item
    {
        QString text;
        qsizetype data = 0;
    };
    struct Message
    {
        QString text;
        QString title;
    };

    FakeMainView();

    bool isEnabled(Control control) const override { return m_enabled.value(control); }
    void setEnabled(Control control, bool enabled) override { m_enabled[control] = enabled; }
    QString caption(Label label) const override { return m_captions.value(label); }
    void setCaption(Label label, const QString &text) override { m_captions[label] = text; }

    QString txtPfad() const override { return m_txtPfad; }
    void setTxtPfad(const QString &text) override { m_txtPfad = text; }
    void focusTxtPfad() override { txtPfadHasFocus = true; }
    void selectTxtPfad(qsizetype start, qsizetype length) override;

    Delimiter selectedDelimiter() const override { return delimiter; }
    QString txtAnderes() const override { return anderes; }
    void selectDelimiter(Delimiter gewaehlt, const QString &text) override
    {
        delimiter = gewaehlt;
        if (gewaehlt == Delimiter::Anderes)
            anderes = text;
    }

    QString txtZeile() const override { return m_txtZeile; }
    void setTxtZeile(const QString &text) override { m_txtZeile = text; }
    void setTxtZeileReadOnly(bool readOnly) override { txtZeileReadOnly = readOnly; }

    void clearLstZeilen() override;
    // Asks for every item's text at once, as a window would when it draws them all.
    void setLstZeilen(Zeilenliste liste) override;
    qsizetype lstZeilenCount() const override { return items.size(); }
    qsizetype lstZeilenSelectedIndex() const override { return selectedItem; }
    qsizetype lstZeilenData(qsizetype index) const override { return items.at(index).data; }
    void selectLstZeilenItem(qsizetype index) override { selectedItem = index; }

    void showMessage(const QString &text, const QString &title) override;
    QString askText(const QString &prompt, const QString &title,
                    const QString &defaultText) override;
    bool askYesNo(const QString &text, const QString &title) override;
    // Records the box and what it is told; answers "Abbrechen" at the report numbered
    // abbrechenBeiMeldung, if it is still offered then.
    std::unique_ptr<Fortschrittsanzeige> zeigeFortschritt(const QString &title,
                                                          const QString &text) override;

    // Everything the window would show: list, selection, edit field, captions, enabled states
    // and the messages so far, one per line, so that two states compare as text.
    QString bild() const;

    // Selects the option a user would pick for this delimiter: "\t" is "Tab", ";" is
    // "Semikolon", anything else is typed into "Anderes:".
    void waehleTrennzeichen(const QString &trennzeichen);

    // What the user set up before a command.
    Delimiter delimiter = Delimiter::Tab;
    QString anderes;
    QQueue<QString> answers;
    // Answers to question boxes; an empty queue answers "Nein".
    QQueue<bool> yesNoAnswers;
    // The report of long work, counted from 1 over the view's life, at which the user clicks
    // "Abbrechen"; 0 for never.
    int abbrechenBeiMeldung = 0;

    // What the engine showed.
    QList<Item> items;
    qsizetype selectedItem = -1;
    QList<Message> messages;
    QList<Message> questions; // prompt and title of each input box
    QList<Message> yesNoQuestions;
    // Each progress box: its title, the reports it got and the shares they gave, and the number
    // of the first report without "Abbrechen" (0 while it was offered to the end).
    struct Fortschrittsbox
    {
        QString title;
        QList<double> anteile;
        int ohneAbbrechenAb = 0;
        bool offen = true;
    };
    QList<Fortschrittsbox> fortschritte;
    int meldungen = 0; // reports to all boxes so far
    bool txtPfadHasFocus = false;
    bool txtZeileReadOnly = false;
    qsizetype selectionStart = 0;
    qsizetype selectionLength = 0;

private:
    QMap<Control, bool> m_enabled;
    QMap<Label, QString> m_captions;
    QString m_txtPfad;
    QString m_txtZeile;
};
