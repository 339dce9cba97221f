#pragma once

class QAbstractItemView;

// Keeps a single-selection list's highlight on the line chosen last: Qt's views take it away on a
// click below the last line, and from the highlighted line on Ctrl+click or Ctrl+Space, leaving
// no line highlighted while the window still works with the chosen one. Such clicks and keys now
// change nothing; every other way of choosing a line works as before.
void behalteListenauswahl(QAbstractItemView &liste);
