#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class MainView;

// The box that shows long work (a load, a rule, a long walk, a save). The view decides when work
// counts as long, keeps the window painted while it runs and lets no other command of the window
// start meanwhile. The box goes when the object is destroyed.
class Fortschrittsanzeige
{
public:
    virtual ~Fortschrittsanzeige() = default;
    // The share of the work done, from 0 to 1. False once the user asked to stop.
    virtual bool zeige(double anteil) = 0;
    // From now on the work runs to its end, as it changes what is on the disk: "Abbrechen" is
    // no longer offered.
    virtual void ohneAbbrechen() = 0;
};

// How a loop tells how far it came: `erledigt` of `gesamt` units (bytes, records, lines) are done.
// It throws Fortschritt::Abbruch once the user asked to stop, so a loop that reports must own
// nothing that its unwinding would not free.
using Fortschrittsmeldung = std::function<void(qint64 erledigt, qint64 gesamt)>;

// Loops report once every so many records: a few milliseconds of work, so the window paints
// often enough, and rarely enough to cost nothing measurable.
inline constexpr qint64 meldeabstand = qint64(1) << 16;

// Reports when `zaehler` is a multiple of meldeabstand; one test and a branch per record.
inline void meldeAlle(const Fortschrittsmeldung &meldung, qint64 zaehler, qint64 erledigt,
                      qint64 gesamt)
{
    if ((zaehler & (meldeabstand - 1)) == 0 && meldung)
        meldung(erledigt, gesamt);
}

// The stretch from `von` to `bis` (shares of the whole) of what `meldung` reports, for one of
// several steps of a piece of work; nothing when `meldung` is empty.
Fortschrittsmeldung teilVon(const Fortschrittsmeldung &meldung, double von, double bis);

// The long work of one command. The view's box is asked for at the first report only, so short
// work never reaches the view at all.
class Fortschritt
{
public:
    // Thrown out of a report once the user asked to stop; the command catches it and leaves
    // everything as it was before it started.
    struct Abbruch
    {
    };

    Fortschritt(MainView &view, QString titel, QString text);
    ~Fortschritt();
    Fortschritt(const Fortschritt &) = delete;
    Fortschritt &operator=(const Fortschritt &) = delete;

    // `anteil` of the whole work is done, from 0 to 1.
    void melde(double anteil);
    // Nothing new to tell, but the window may paint: for a step of the work that takes a while
    // without a share of its own.
    void halteWach();
    // The part of the work that fills the bar from `von` to `bis`, for a loop that counts its
    // own units.
    Fortschrittsmeldung teil(double von, double bis);
    // From now on no report throws, and the box offers no "Abbrechen".
    void ohneAbbrechen();
    // The box goes, before the command shows a message or its outcome; should more reports
    // follow, they ask for a new one.
    void beende();

private:
    MainView &m_view;
    QString m_titel;
    QString m_text;
    std::unique_ptr<Fortschrittsanzeige> m_anzeige;
    double m_anteil = 0;
    bool m_abbrechbar = true;
};
