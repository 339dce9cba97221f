# The Debian package, built by `make package` through CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessra)
set(CPACK_PACKAGE_VENDOR "Tessra")
set(CPACK_PACKAGE_CONTACT "Tessra-Team <team@tessra.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tessra-Team <team@tessra.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's German texts are data, not a library, so the shared-library scan cannot find them; the scan
# adds its findings to this list.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core | fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tessra.invalid/")
# The summary is the synopsis line; the long description says it in both languages.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "clean repeated serial numbers from delimited text files")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessra walks a delimited text file (tab, semicolon or any delimiter) from top
to bottom. For every serial number that occurs in several lines it lists those
lines and lets you pick, and edit, the one to keep. The result replaces the
file, whose old content is kept as a copy with .ALT appended.
.
Tessra bereinigt Textdateien von doppelten Seriennummern: Für jede
Seriennummer, die in mehreren Zeilen vorkommt, wählen Sie die Zeile, die
bleiben soll. Das Ergebnis ersetzt die Datei; der alte Inhalt bleibt als
Kopie mit der Endung .ALT erhalten.")
include(CPack)
