#pragma once

#include "mainview.h"

#include <QAbstractListModel>

// The lines of the group on show, as LstZeilen lists them: one row per line, its data the line's
// number in the file. A row's text is made only when the view asks for it, which it does for
// the rows it draws; the first row's text is kept, since every drawn row is compared with it.
class ZeilenModell : public QAbstractListModel
{
    Q_OBJECT

public:
    // The run's delimiter, which splits a row into the columns compared with the first row.
    static constexpr int TrennzeichenRolle = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    void setListe(Zeilenliste liste);
    qsizetype zeile(int row) const { return m_liste.zeilen.at(size_t(row)); }
    // The rule by which the lines are one group.
    const Schluesselregel &regel() const { return m_liste.regel; }
    const std::vector<qsizetype> &zeilen() const { return m_liste.zeilen; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    Zeilenliste m_liste;
    QString m_ersteZeile;
};
