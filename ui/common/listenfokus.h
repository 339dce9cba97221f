#pragma once

class QAbstractItemView;

// Lets a list show that it has the keyboard focus, however it got it: its frame takes the look of
// a focused text field's frame, and its current row gets a frame of its own. Fusion marks neither:
// a list's frame stays grey, and its faint row mark vanishes on the selection's colour.
void zeigeListenfokus(QAbstractItemView &liste);
