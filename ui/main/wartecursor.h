#pragma once

#include <QApplication>

// Shows the wait cursor over every window of the program while a command that can take a while
// runs, and restores the cursor however the command ends.
class Wartecursor
{
public:
    Wartecursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Wartecursor() { QApplication::restoreOverrideCursor(); }
    Wartecursor(const Wartecursor &) = delete;
    Wartecursor &operator=(const Wartecursor &) = delete;

    // While a message or input box waits for the user, the ordinary cursor is back.
    class Pause
    {
    public:
        Pause()
            : m_aktiv(QApplication::overrideCursor() != nullptr)
        {
            if (m_aktiv)
                QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
        ~Pause()
        {
            if (m_aktiv)
                QApplication::restoreOverrideCursor();
        }
        Pause(const Pause &) = delete;
        Pause &operator=(const Pause &) = delete;

    private:
        bool m_aktiv;
    };
};
