#pragma once

#include <QString>

#include <initializer_list>
#include <utility>

class QWidget;

// Gives every named control of a window an accessible name, so a screen reader can announce it:
// buttons, option buttons, frames and fixed labels by their caption, and the controls that show
// no caption of their own (fields, lists, changing labels) by the name given for them, usually
// the text of the label beside them.
void benenneFuerBildschirmleser(
    QWidget &fenster, std::initializer_list<std::pair<QWidget *, QString>> ohneBeschriftung);
