#pragma once

#include <QListView>

// The list of a group's lines. Its current item follows the line chosen by the run, also while
// the focus is elsewhere (in the edit field); Qt's list would then tell a screen reader that the
// item got the focus, and the listener would hear the list instead of the field that takes the
// keys.
class Zeilenansicht : public QListView
{
    Q_OBJECT

public:
    using QListView::QListView;

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
};
