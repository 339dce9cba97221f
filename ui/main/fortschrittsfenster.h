#pragma once

#include "fortschritt.h"
#include "wartecursor.h"

#include <QPointer>
#include <QScopedValueRollback>
#include <QString>

#include <functional>
#include <optional>

class QWidget;
class Fortschrittsdialog;

// The box of long work for the main window. The work reports every few milliseconds; at each
// report, at most every 25 ms, the window handles its events, so it paints and answers the
// desktop. Until the work has taken half a second no box shows and no input is taken (it waits
// for after the work); then the box shows its title, text, bar and "Abbrechen", modal to the
// window, which keeps every other input from the window's controls.
class Fortschrittsfenster : public Fortschrittsanzeige
{
public:
    // Milliseconds from any start; a test may run its own clock.
    using Uhr = std::function<qint64()>;

    // `laeuft` is true while the work runs.
    Fortschrittsfenster(QWidget &fenster, bool &laeuft, QString titel, QString text, Uhr uhr);
    ~Fortschrittsfenster() override;
    Fortschrittsfenster(const Fortschrittsfenster &) = delete;
    Fortschrittsfenster &operator=(const Fortschrittsfenster &) = delete;

    bool zeige(double anteil) override;
    void ohneAbbrechen() override;

    static qint64 stetigeUhr();

private:
    void oeffne();

    QWidget &m_fenster;
    QScopedValueRollback<bool> m_laeuft;
    QString m_titel;
    QString m_text;
    Uhr m_uhr;
    qint64 m_beginn;
    qint64 m_zuletzt;
    QPointer<Fortschrittsdialog> m_dialog;
    // Over the box the ordinary cursor shows, so that "Abbrechen" looks clickable.
    std::optional<Wartecursor::Pause> m_pfeil;
    bool m_abbrechbar = true;
    bool m_abgebrochen = false;
};
