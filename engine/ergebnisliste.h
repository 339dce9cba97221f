#pragma once

#include "textdatei.h"

#include <QByteArray>
#include <QString>

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

    qsizetype size() const { return qsizetype(m_eintraege.size()); }
    bool isEmpty() const { return m_eintraege.empty(); }
    QString text(const Textdatei &quelle, qsizetype index) const;

    // The whole result file: every line followed by the file's line end, also the last one.
    QByteArray dateiinhalt(const Textdatei &quelle) const;
    // The same handed to `ziel` piece by piece, so that nothing as large as the file is built;
    // stops and returns false as soon as `ziel` does.
    bool schreibeInhalt(const Textdatei &quelle,
                        const std::function<bool(QByteArrayView)> &ziel) const;

private:
    QByteArrayView bytes(const Textdatei &quelle, qsizetype index) const;

    // A line number of the loaded file, or -(k + 1) for the k-th edited line.
    std::vector<qsizetype> m_eintraege;
    std::vector<QByteArray> m_bearbeitet;
};
