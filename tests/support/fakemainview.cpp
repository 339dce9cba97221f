#include "fakemainview.h"

#include <QStringList>

namespace {

class FakeFortschritt : public Fortschrittsanzeige
{
public:
    FakeFortschritt(FakeMainView &view, qsizetype box)
        : m_view(view)
        , m_box(box)
    {
    }
    ~FakeFortschritt() override { box().offen = false; }

    bool zeige(double anteil) override
    {
        box().anteile.append(anteil);
        ++m_view.meldungen;
        return box().ohneAbbrechenAb != 0 || m_view.meldungen != m_view.abbrechenBeiMeldung;
    }
    void ohneAbbrechen() override
    {
        if (box().ohneAbbrechenAb == 0)
            box().ohneAbbrechenAb = m_view.meldungen + 1;
    }

private:
    FakeMainView::Fortschrittsbox &box() { return m_view.fortschritte[m_box]; }

    FakeMainView &m_view;
    qsizetype m_box;
};

} // namespace

FakeMainView::FakeMainView()
{
    // The window's design-time state.
    for (const Control control :
         {Control::btnLaden, Control::btnEditor, Control::btnExplorer, Control::btnSpeichern,
          Control::btnSpeichernUnter, Control::btnNaechsteZeile})
        m_enabled[control] = false;
    m_enabled[Control::txtPfad] = true;
    m_captions[Label::lblZeile] = QStringLiteral("Bitte eine Datei laden");
    m_captions[Label::lblAnzDatensaetze] = QStringLiteral("0");
    m_captions[Label::lblAnzDuplikate] = QStringLiteral("0");
}

void FakeMainView::selectTxtPfad(qsizetype start, qsizetype length)
{
    selectionStart = start;
    selectionLength = length;
}

void FakeMainView::clearLstZeilen()
{
    items.clear();
    selectedItem = -1;
}

void FakeMainView::setLstZeilen(Zeilenliste liste)
{
    items.clear();
    selectedItem = -1;
    for (const qsizetype zeile : liste.zeilen)
        items.append({liste.text(zeile), zeile});
}

void FakeMainView::showMessage(const QString &text, const QString &title)
{
    messages.append({text, title});
}

QString FakeMainView::askText(const QString &prompt, const QString &title, const QString &)
{
    questions.append({prompt, title});
    return answers.isEmpty() ? QString() : answers.dequeue();
}

bool FakeMainView::askYesNo(const QString &text, const QString &title)
{
    yesNoQuestions.append({text, title});
    return !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue();
}

std::unique_ptr<Fortschrittsanzeige> FakeMainView::zeigeFortschritt(const QString &title,
                                                                    const QString &)
{
    fortschritte.append({title, {}, 0, true});
    return std::make_unique<FakeFortschritt>(*this, fortschritte.size() - 1);
}

void FakeMainView::waehleTrennzeichen(const QString &trennzeichen)
{
    if (trennzeichen == u"\t") {
        delimiter = Delimiter::Tab;
    } else if (trennzeichen == u";") {
        delimiter = Delimiter::Semikolon;
    } else {
        delimiter = Delimiter::Anderes;
        anderes = trennzeichen;
    }
}

QString FakeMainView::bild() const
{
    QStringList zeilen;
    for (const Item &item : items)
        zeilen.append(QStringLiteral("Eintrag ") + item.text + u'@' + QString::number(item.data));
    zeilen.append(QStringLiteral("Auswahl ") + QString::number(selectedItem));
    zeilen.append(QStringLiteral("txtZeile ") + m_txtZeile +
                  (txtZeileReadOnly ? QStringLiteral(" (nur lesen)") : QString()));
    for (auto it = m_captions.cbegin(); it != m_captions.cend(); ++it)
        zeilen.append(QStringLiteral("Label %1 ").arg(int(it.key())) + it.value());
    for (auto it = m_enabled.cbegin(); it != m_enabled.cend(); ++it)
        zeilen.append(QStringLiteral("Control %1 ").arg(int(it.key())) +
                      (it.value() ? QStringLiteral("an") : QStringLiteral("aus")));
    for (const Message &meldung : messages)
        zeilen.append(QStringLiteral("Meldung ") + meldung.title + u": " + meldung.text);
    return zeilen.join(u'\n');
}
