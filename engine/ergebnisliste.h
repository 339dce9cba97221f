#pragma once

#include "fortschritt.h"
#include "grossfeld.h"
#include "textdatei.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// The lines of the result under construction. A line taken over unchanged is kept as its
// number in the loaded file, so it is written back byte for byte; an edited line is kept as
// the bytes it encodes to.
class Ergebnisliste
{
public:
    void uebernehmeZeile(qsizetype zeile);
    void uebernehmeBearbeitet(QByteArray bytes);

    // How far the result had grown; going back to it forgets every line taken over since.
    struct Stand
    {
        qsizetype eintraege = 0;
        qsizetype bearbeitet = 0;
    };
    Stand stand() const;
    void kehreZurueck(Stand stand);

    qsizetype size() const { return m_eintraege.size(); }
    bool isEmpty() const { return m_eintraege.empty(); }
    QString text(const Textdatei &quelle, qsizetype index) const;

    // The whole result file: every line followed by the file's line end, also the last one.
    QByteArray dateiinhalt(const Textdatei &quelle) const;
    // The same handed to `ziel` piece by piece, so that nothing as large as the file is built;
    // stops and returns false as soon as `ziel` does. Lines that follow each other in the file
    // as they do in the result go as one piece, with the line ends between them. `meldung`
    // hears of the lines written.
    bool schreibeInhalt(const Textdatei &quelle, const std::function<bool(QByteArrayView)> &ziel,
                        const Fortschrittsmeldung &meldung = {}) const;

private:
    QByteArrayView bytes(const Textdatei &quelle, qsizetype index) const;
    qsizetype zusammenhaengendBis(const Textdatei &quelle, qsizetype index, qsizetype grenze) const;

    // A line number of the loaded file, or bearbeitet plus k for the k-th edited line: four
    // bytes a line, as the group index allows no more lines than fit in 30 bits.
    static constexpr std::uint32_t bearbeitet = 1u << 31;
    Grossfeld<std::uint32_t> m_eintraege;
    std::vector<QByteArray> m_bearbeitet;
};
