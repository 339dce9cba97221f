#pragma once

// Makes Qt's own texts German (the buttons of message and input boxes, the text fields' context
// menus), whatever language the system is set to: the program speaks German only. Loads Qt's
// German catalogue from Qt's translations folder (Debian: qt6-translations-l10n); returns false
// when it is missing, and Qt's texts then stay English.
bool ladeDeutscheQtTexte();
