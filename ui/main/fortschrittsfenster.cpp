#include "fortschrittsfenster.h"

#include <chrono>

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// Work shorter than this shows no box: it would only flash.
constexpr qint64 zeigenNachMs = 500;
// How often the window gets to handle its events, well within the 100 ms a user notices.
constexpr qint64 verarbeitenAlleMs = 25;
constexpr int balkenSchritte = 1000;

} // namespace

// Escape and the window's close button stand for "Abbrechen", and do nothing where it is not
// offered; the box itself goes only with the work.
class Fortschrittsdialog : public QDialog
{
public:
    Fortschrittsdialog(QWidget &fenster, const QString &titel, const QString &text,
                       std::function<void()> beiAbbruch)
        : QDialog(&fenster)
    {
        setObjectName(QStringLiteral("Fortschrittsfenster"));
        setWindowTitle(titel);
        setWindowModality(Qt::WindowModal);
        setFont(fenster.font());
        auto *beschriftung = new QLabel(text, this);
        beschriftung->setObjectName(QStringLiteral("lblFortschritt"));
        beschriftung->setTextFormat(Qt::PlainText);
        beschriftung->setWordWrap(true);
        balken = new QProgressBar(this);
        balken->setObjectName(QStringLiteral("prgFortschritt"));
        balken->setRange(0, balkenSchritte);
        abbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
        abbrechen->setObjectName(QStringLiteral("btnAbbrechen"));
        // Enter, perhaps meant for the window, must not throw the work away.
        abbrechen->setAutoDefault(false);
        QObject::connect(abbrechen, &QPushButton::clicked, this, std::move(beiAbbruch));

        auto *knoepfe = new QHBoxLayout;
        knoepfe->addStretch();
        knoepfe->addWidget(abbrechen);
        auto *spalte = new QVBoxLayout(this);
        spalte->addWidget(beschriftung);
        spalte->addWidget(balken);
        spalte->addLayout(knoepfe);
        setMinimumWidth(fenster.width() * 2 / 3);
    }

    void reject() override
    {
        if (abbrechen->isEnabled())
            abbrechen->click();
    }

    QProgressBar *balken = nullptr;
    QPushButton *abbrechen = nullptr;
};

Fortschrittsfenster::Fortschrittsfenster(QWidget &fenster, bool &laeuft, QString titel,
                                         QString text, Uhr uhr)
    : m_fenster(fenster)
    , m_laeuft(laeuft, true)
    , m_titel(std::move(titel))
    , m_text(std::move(text))
    , m_uhr(std::move(uhr))
    , m_beginn(m_uhr())
    , m_zuletzt(m_beginn)
{
}

Fortschrittsfenster::~Fortschrittsfenster()
{
    delete m_dialog;
}

qint64 Fortschrittsfenster::stetigeUhr()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool Fortschrittsfenster::zeige(double anteil)
{
    const qint64 jetzt = m_uhr();
    if (m_abgebrochen || jetzt - m_zuletzt < verarbeitenAlleMs)
        return !m_abgebrochen;
    m_zuletzt = jetzt;
    if (!m_dialog && jetzt - m_beginn >= zeigenNachMs)
        oeffne();
    if (m_dialog)
        m_dialog->balken->setValue(int(anteil * balkenSchritte));
    // Before the box shows, a click or key waits for the end of the work, as it always did;
    // once it shows, the box is modal and takes all of them.
    QCoreApplication::processEvents(m_dialog ? QEventLoop::AllEvents
                                             : QEventLoop::ExcludeUserInputEvents);
    return !m_abgebrochen;
}

void Fortschrittsfenster::ohneAbbrechen()
{
    m_abbrechbar = false;
    if (m_dialog)
        m_dialog->abbrechen->setEnabled(false);
}

void Fortschrittsfenster::oeffne()
{
    m_dialog = new Fortschrittsdialog(m_fenster, m_titel, m_text, [this] { m_abgebrochen = true; });
    m_dialog->abbrechen->setEnabled(m_abbrechbar);
    m_pfeil.emplace();
    m_dialog->show();
}
