#pragma once

#include <QTreeWidget>

// A folder list as users know it from classic file dialogs: the way down from the root to the
// current folder, then its subfolders, each level indented, all of it always open. Opening an
// entry (double-click or Enter) is the window's business; the list only shows.
class Ordnerliste : public QTreeWidget
{
    Q_OBJECT

public:
    explicit Ordnerliste(QWidget *parent = nullptr);

protected:
    // Nothing here can be folded, so no expander is drawn.
    void drawBranches(QPainter *painter, const QRect &rect,
                      const QModelIndex &index) const override;
};
