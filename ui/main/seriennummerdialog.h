#pragma once

#include "schluesselregel.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QSpinBox;

// "Seriennummer...": where the serial number stands and how keys compare. It shows the rule it
// is given and, while a file is loaded, that file's column names and how many groups the rule
// on show would give; it changes nothing itself: the window hands the rule to the engine.
class SeriennummerDialog : public QDialog
{
    Q_OBJECT

public:
    // The groups a rule would give the loaded file; nothing while no file is loaded.
    using Gruppenzahl = std::function<std::optional<qsizetype>(const Schluesselregel &)>;

    SeriennummerDialog(const Schluesselregel &regel, QStringList spaltennamen,
                       Gruppenzahl gruppenzahl, QWidget *parent = nullptr);

    Schluesselregel regel() const;

private:
    void zeigeStand();

    QStringList m_spaltennamen;
    Gruppenzahl m_gruppenzahl;
    QSpinBox *m_spnSpalte = nullptr;
    QLabel *m_lblSpalten = nullptr;
    QCheckBox *m_chkText = nullptr;
    QCheckBox *m_chkGrossKlein = nullptr;
    QCheckBox *m_chkLeerzeichen = nullptr;
    QCheckBox *m_chkNullen = nullptr;
    QLabel *m_lblGruppen = nullptr;
};
