#pragma once

#include <QObject>

class QAbstractItemView;

// How a list asks for its context menu, installed on the list and its viewport. Shift+F10 asks
// as the Menu key does (desktops offer both, the toolkit turns only the Menu key into a request).
// The right button asks without selecting the row under the pointer: the chosen line, and any
// edit of it, must stay as it was when the menu is closed again.
class ListenKontextmenue : public QObject
{
    Q_OBJECT

public:
    explicit ListenKontextmenue(QAbstractItemView *liste);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractItemView *m_liste;
};
