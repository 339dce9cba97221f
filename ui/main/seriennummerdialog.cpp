#include "seriennummerdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QCheckBox *ankreuzfeld(QWidget *eltern, const QString &name, const QString &text, bool an)
{
    auto *feld = new QCheckBox(text, eltern);
    feld->setObjectName(name);
    feld->setChecked(an);
    return feld;
}

} // namespace

SeriennummerDialog::SeriennummerDialog(const Schluesselregel &regel, QStringList spaltennamen,
                                       Gruppenzahl gruppenzahl, QWidget *parent)
    : QDialog(parent)
    , m_spaltennamen(std::move(spaltennamen))
    , m_gruppenzahl(std::move(gruppenzahl))
{
    setObjectName(QStringLiteral("SeriennummerDialog"));
    setWindowTitle(QStringLiteral("Seriennummer"));

    m_spnSpalte = new QSpinBox(this);
    m_spnSpalte->setObjectName(QStringLiteral("spnSpalte"));
    // A record with more fields than this is no list a user cleans by hand.
    m_spnSpalte->setRange(1, 9999);
    m_spnSpalte->setValue(int(std::min<qsizetype>(regel.spalte, 9999)));
    m_lblSpalten = new QLabel(this);
    m_lblSpalten->setObjectName(QStringLiteral("lblSpalten"));
    m_lblSpalten->setTextFormat(Qt::PlainText);
    m_lblSpalten->setWordWrap(true);
    m_chkText = ankreuzfeld(this, QStringLiteral("chkText"),
                            QStringLiteral("Auch Text als Seriennummer"), regel.text);
    m_chkGrossKlein =
        ankreuzfeld(this, QStringLiteral("chkGrossKlein"),
                    QStringLiteral("Groß-/Kleinschreibung ignorieren"), regel.grossKleinIgnorieren);
    m_chkLeerzeichen =
        ankreuzfeld(this, QStringLiteral("chkLeerzeichen"),
                    QStringLiteral("Leerzeichen ignorieren"), regel.leerzeichenIgnorieren);
    m_chkNullen = ankreuzfeld(this, QStringLiteral("chkNullen"),
                              QStringLiteral("Führende Nullen ignorieren"), regel.nullenIgnorieren);
    m_lblGruppen = new QLabel(this);
    m_lblGruppen->setObjectName(QStringLiteral("lblGruppen"));
    m_lblGruppen->setTextFormat(Qt::PlainText);

    auto *knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    knoepfe->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    knoepfe->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *spalte = new QHBoxLayout;
    auto *beschriftung = new QLabel(QStringLiteral("Spalte der Seriennummer:"), this);
    // The label names the field for screen readers too.
    beschriftung->setBuddy(m_spnSpalte);
    spalte->addWidget(beschriftung);
    spalte->addWidget(m_spnSpalte);
    spalte->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(spalte);
    layout->addWidget(m_lblSpalten);
    layout->addWidget(m_chkText);
    layout->addSpacing(6);
    layout->addWidget(new QLabel(QStringLiteral("Seriennummern vergleichen:"), this));
    layout->addWidget(m_chkGrossKlein);
    layout->addWidget(m_chkLeerzeichen);
    layout->addWidget(m_chkNullen);
    layout->addSpacing(6);
    layout->addWidget(m_lblGruppen);
    layout->addWidget(knoepfe);

    connect(m_spnSpalte, &QSpinBox::valueChanged, this, &SeriennummerDialog::zeigeStand);
    for (QCheckBox *feld : {m_chkText, m_chkGrossKlein, m_chkLeerzeichen, m_chkNullen})
        connect(feld, &QCheckBox::toggled, this, &SeriennummerDialog::zeigeStand);
    zeigeStand();
}

Schluesselregel SeriennummerDialog::regel() const
{
    Schluesselregel regel;
    regel.spalte = m_spnSpalte->value();
    regel.text = m_chkText->isChecked();
    regel.grossKleinIgnorieren = m_chkGrossKlein->isChecked();
    regel.leerzeichenIgnorieren = m_chkLeerzeichen->isChecked();
    regel.nullenIgnorieren = m_chkNullen->isChecked();
    return regel;
}

// The column names are those of the loaded file's first record, which is its header as a rule.
void SeriennummerDialog::zeigeStand()
{
    QStringList spalten;
    for (qsizetype i = 0; i < m_spaltennamen.size(); ++i) {
        const QString name = QString::number(i + 1) + QStringLiteral(": ") + m_spaltennamen.at(i);
        spalten.append(i + 1 == m_spnSpalte->value() ? u'[' + name + u']' : name);
    }
    m_lblSpalten->setText(spalten.isEmpty() ? QString()
                                            : QStringLiteral("Erste Zeile: ") +
                                                  spalten.join(QStringLiteral("  ")));
    m_lblSpalten->setVisible(!spalten.isEmpty());

    const std::optional<qsizetype> gruppen = m_gruppenzahl ? m_gruppenzahl(regel()) : std::nullopt;
    m_lblGruppen->setText(gruppen ? QStringLiteral("Gruppen mehrfacher Seriennummern mit diesen "
                                                   "Einstellungen: ") +
                                        QString::number(*gruppen)
                                  : QString());
    m_lblGruppen->setVisible(gruppen.has_value());
}
