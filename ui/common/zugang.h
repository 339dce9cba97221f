#pragma once

class QAbstractItemView;
class QGroupBox;
class QLabel;
class QMenu;
class QWidget;

// What assistive technology (a screen reader over AT-SPI) gets from the controls whose Qt default
// would mislead a listener. Each call marks a control; one factory gives the marked controls
// their accessible objects. Nothing here changes what the window shows.

// A frame around a number is one object, named by both: "Datensätze: 2". The number label
// inside is not exposed a second time. Call zaehlerGeaendert() when the number changes.
void alsZaehler(QGroupBox &rahmen, QLabel &zahl);
void zaehlerGeaendert(QGroupBox &rahmen);

// A label whose text is a status: its text is its name, and Qt announces each change.
void alsStatus(QLabel &status);

// A page laid over a window is one object with its title as name and its text as description;
// while it is shown, it is the window's only child, so nothing beneath it can be reached.
void alsSeite(QWidget &fenster, QWidget &seite, const QLabel &titel, const QLabel &text);

// Menu entries expose whether they can be checked and are (a checkable entry is a check box),
// and their shortcut as description.
void mitEintragszustaenden(QMenu &menue);

// The items of a list report the focus only while the list itself has it: the item that is
// merely current must not compete with the control that gets the keys. The list's own
// currentChanged must then announce the item only while the list has the focus.
void mitEinemFokus(QAbstractItemView &liste);
