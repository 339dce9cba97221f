#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// Runs `arbeit` in a forked child and returns the text it returned, or a text that starts with
// "<abgebrochen" when it threw or the child died. Meant for what must not
// touch the test process itself: a tight memory limit, another user id.
QString imKindprozess(const std::function<QString()> &arbeit);

// Inside such a child: from now on only about `spielraum` bytes can be allocated, so a larger
// allocation really fails, as it would on a machine without enough memory. False when the limit
// could not be set.
bool begrenzeAdressraum(qint64 spielraum);

// AddressSanitizer reserves terabytes of address space up front, so a limit on it cannot work
// there; tests that need one skip themselves then.
bool adressraumBegrenzbar();
