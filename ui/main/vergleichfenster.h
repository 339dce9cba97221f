#pragma once

#include <memory>
#include <vector>

#include <QWidget>

#include "gruppenvergleich.h"

class ErgebnisModell;
class GruppenModell;
class QCheckBox;
class QLabel;
class QTableView;
struct SuchZustand;

// "Tessra - Gruppe vergleichen": the group on show as a table beside the main window, and the
// record to keep built from its cells. It follows the run: the main window hands it each group
// it shows and each record chosen in its list. The user's choices go back as signals; the main
// window forwards them to the run, so the list, the edit field and "Weiter" stay the one place
// where a group is settled.
class VergleichFenster : public QWidget
{
    Q_OBJECT

public:
    explicit VergleichFenster(QWidget *parent = nullptr);
    ~VergleichFenster() override;

    // The group's lines in list order, from the run in `zustand`.
    void zeigeGruppe(const SuchZustand &zustand, std::vector<qsizetype> zeilen,
                     qsizetype seriennummernspalte);
    // No group is on show: the run ended (or was reset).
    void zeigeKeineGruppe();
    // The list chose the record at `index`: the record to keep starts anew from it, unless it
    // already is that record's fields.
    void folgeAuswahl(qsizetype index);
    // The record to keep built back to `satz` after a decision was taken back.
    void stelleWiederHer(const QString &satz);
    // Shows the window in front; the first time at a size that shows every column where the
    // screen allows.
    void zeigeAn();
    // Takes the last taken cell back; false when there is none.
    bool nimmZelleZurueck();

    const Gruppenvergleich *vergleich() const { return m_vergleich.get(); }

Q_SIGNALS:
    // The whole record at `index` is to be kept, as a click in the list chooses it.
    void satzGewaehlt(qsizetype index);
    // The record to keep changed by a taken or edited cell.
    void ergebnisGeaendert();
    void weiterGewuenscht();
    void zuruecknehmenGewuenscht();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void uebernimmZelle(const QModelIndex &zelle);
    void uebernimmSatz(int satz);
    void zeigeNurAbweichende();
    void gleicheSpaltenAn();
    void passeGroesseAn();

    std::unique_ptr<Gruppenvergleich> m_vergleich;
    bool m_groesseGesetzt = false;
    QLabel *m_lblGruppe = nullptr;
    QCheckBox *m_chkNurAbweichende = nullptr;
    QTableView *m_tblGruppe = nullptr;
    GruppenModell *m_gruppenModell = nullptr;
    QTableView *m_tblErgebnis = nullptr;
    ErgebnisModell *m_ergebnisModell = nullptr;
};
