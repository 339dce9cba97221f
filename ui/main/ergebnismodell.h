#pragma once

#include <QAbstractTableModel>
#include <QColor>

class Gruppenvergleich;

// The record to keep as tblErgebnis shows it: one editable row in the columns of the group's
// table. Cells taken from another record or typed are tinted and say where they came from.
class ErgebnisModell : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // Null shows nothing.
    void setVergleich(Gruppenvergleich *vergleich, int spalten);
    void setSpalten(int spalten);
    void setToenung(const QColor &farbe) { m_toenung = farbe; }
    // The record to keep changed outside: every cell is drawn anew.
    void aktualisiere();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

Q_SIGNALS:
    // A cell was edited in place.
    void bearbeitet();

private:
    Gruppenvergleich *m_vergleich = nullptr;
    int m_spalten = 0;
    QColor m_toenung;
};
