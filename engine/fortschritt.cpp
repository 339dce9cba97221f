#include "fortschritt.h"

#include "mainview.h"

#include <algorithm>
#include <utility>

namespace {

// Shares go on as millionths: finer than any bar, and whole numbers as a loop's units are.
constexpr qint64 millionstel = 1'000'000;

// The share of the whole at which a part from `von` to `bis` stands after `erledigt` of its
// `gesamt` units.
double anteilIm(double von, double bis, qint64 erledigt, qint64 gesamt)
{
    return von + (bis - von) * (gesamt > 0 ? double(erledigt) / double(gesamt) : 1.0);
}

} // namespace

Fortschrittsmeldung teilVon(const Fortschrittsmeldung &meldung, double von, double bis)
{
    if (!meldung)
        return {};
    return [meldung, von, bis](qint64 erledigt, qint64 gesamt) {
        meldung(qint64(anteilIm(von, bis, erledigt, gesamt) * double(millionstel)), millionstel);
    };
}

Fortschritt::Fortschritt(MainView &view, QString titel, QString text)
    : m_view(view)
    , m_titel(std::move(titel))
    , m_text(std::move(text))
{
}

Fortschritt::~Fortschritt() = default;

void Fortschritt::melde(double anteil)
{
    m_anteil = std::clamp(anteil, 0.0, 1.0);
    if (!m_anzeige) {
        m_anzeige = m_view.zeigeFortschritt(m_titel, m_text);
        if (!m_abbrechbar)
            m_anzeige->ohneAbbrechen();
    }
    if (!m_anzeige->zeige(m_anteil) && m_abbrechbar)
        throw Abbruch{};
}

void Fortschritt::halteWach()
{
    melde(m_anteil);
}

Fortschrittsmeldung Fortschritt::teil(double von, double bis)
{
    // Small enough for std::function to keep without allocating, as each "Weiter" asks for one.
    return [this, von = float(von), bis = float(bis)](qint64 erledigt, qint64 gesamt) {
        melde(anteilIm(von, bis, erledigt, gesamt));
    };
}

void Fortschritt::ohneAbbrechen()
{
    m_abbrechbar = false;
    if (m_anzeige)
        m_anzeige->ohneAbbrechen();
}

void Fortschritt::beende()
{
    m_anzeige.reset();
}
