#pragma once

#include <QAbstractTableModel>
#include <QColor>

class Gruppenvergleich;

// The group as tblGruppe shows it: one row per record, headed by its line in the file, one
// column per field. A cell is split and cut only when the table draws it. Cells that differ from
// the group's first record are bold (Qt::FontRole says so) and tinted.
class GruppenModell : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // Null shows nothing.
    void setVergleich(const Gruppenvergleich *vergleich);
    void setToenung(const QColor &farbe) { m_toenung = farbe; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void wachse();

    const Gruppenvergleich *m_vergleich = nullptr;
    int m_spalten = 0;
    mutable bool m_wachsenAngefragt = false;
    QColor m_toenung;
};

// A cell's value as a table shows it in one line: breaks as ↵, a long one cut with "…". The
// tooltip holds it whole, or nothing when the cell already shows it whole.
QString zellentext(const QString &wert);
QVariant zellentooltip(const QString &wert);
