#pragma once

#include <QString>

// The installed handbook of a program whose executable lies in `programmordner`: the file
// share/doc/tessra/handbuch.md beside its bin folder, where app/CMakeLists.txt installs it, as
// an absolute clean path. Empty where there is no such file, as in the build tree.
QString installiertesHandbuch(const QString &programmordner);

// The help page's text with a last line naming the handbook, or as it is without one.
QString hilfetextMitHandbuch(const QString &hilfetext, const QString &handbuch);
