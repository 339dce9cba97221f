#include "programmstart.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace {

const QString dateimanagerDienst = QStringLiteral("org.freedesktop.FileManager1");

// A file manager that is started on demand may take a moment before it answers.
constexpr int dbusWartezeitMs = 5000;

// Our own sentence first; the system's words after it, for whoever has to look deeper.
QString mitSystemmeldung(const QString &satz, const QString &meldung)
{
    return satz + QStringLiteral("\nMeldung des Systems: ") + meldung;
}

bool brauchtTerminal(GAppInfo *programm)
{
    return G_IS_DESKTOP_APP_INFO(programm) &&
           g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(programm), "Terminal");
}

QString startfehler(GAppInfo *programm, GError *fehler)
{
    const QString name = QString::fromUtf8(g_app_info_get_display_name(programm));
    QString grund;
    // GLib refuses to start a terminal program without one of the terminals it knows.
    if (brauchtTerminal(programm) && g_error_matches(fehler, G_IO_ERROR, G_IO_ERROR_FAILED))
        grund = QStringLiteral("Das Programm „%1“ läuft in einem Terminal, aber es ist kein "
                               "Terminalprogramm installiert.")
                    .arg(name);
    else
        grund = mitSystemmeldung(
            QStringLiteral("Das Programm „%1“ lässt sich nicht starten.").arg(name),
            QString::fromUtf8(fehler->message));
    g_error_free(fehler);
    return grund;
}

std::optional<QString> starte(GAppInfo *programm, GFile *datei)
{
    GList *dateien = g_list_append(nullptr, datei);
    GError *fehler = nullptr;
    const bool gestartet = g_app_info_launch(programm, dateien, nullptr, &fehler);
    g_list_free(dateien);
    if (gestartet)
        return std::nullopt;
    return startfehler(programm, fehler);
}

// keinProgramm says in German that no application is set up for the file.
std::optional<QString> starteStandardprogramm(GFile *datei, const QString &keinProgramm)
{
    GError *fehler = nullptr;
    GAppInfo *programm = g_file_query_default_handler(datei, nullptr, &fehler);
    if (!programm) {
        QString grund = g_error_matches(fehler, G_IO_ERROR, G_IO_ERROR_NOT_SUPPORTED)
                            ? keinProgramm
                            : mitSystemmeldung(QStringLiteral("Das passende Programm lässt sich "
                                                              "nicht bestimmen."),
                                               QString::fromUtf8(fehler->message));
        g_error_free(fehler);
        return grund;
    }
    auto grund = starte(programm, datei);
    g_object_unref(programm);
    return grund;
}

bool dateimanagerErreichbar(QDBusConnection &bus)
{
    if (!bus.isConnected())
        return false;
    QDBusConnectionInterface *busDienste = bus.interface();
    return busDienste->isServiceRegistered(dateimanagerDienst).value() ||
           busDienste->activatableServiceNames().value().contains(dateimanagerDienst);
}

// Why the file manager did not show the file; nothing when it did.
std::optional<QString> zeigeUeberDBus(const QString &dateiUri)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!dateimanagerErreichbar(bus))
        return QStringLiteral("Auf dem Sitzungsbus (D-Bus) meldet sich kein Dateimanager.");
    QDBusMessage aufruf = QDBusMessage::createMethodCall(
        dateimanagerDienst, QStringLiteral("/org/freedesktop/FileManager1"), dateimanagerDienst,
        QStringLiteral("ShowItems"));
    aufruf << QStringList{dateiUri} << QString();
    const QDBusMessage antwort = bus.call(aufruf, QDBus::Block, dbusWartezeitMs);
    if (antwort.type() == QDBusMessage::ReplyMessage)
        return std::nullopt;
    const QDBusError fehler(antwort);
    if (fehler.type() == QDBusError::NoReply || fehler.type() == QDBusError::Timeout)
        return QStringLiteral("Der Dateimanager hat nicht innerhalb von %1 Sekunden geantwortet.")
            .arg(dbusWartezeitMs / 1000);
    return mitSystemmeldung(QStringLiteral("Der Dateimanager hat die Anfrage abgelehnt."),
                            fehler.message());
}

} // namespace

std::optional<QString> Programmstart::imEditor(const QString &pfad)
{
    GFile *datei = g_file_new_for_path(QFile::encodeName(pfad).constData());
    std::optional<QString> editorGrund;
    bool gestartet = false;
    if (GAppInfo *editor = g_app_info_get_default_for_type("text/plain", FALSE)) {
        editorGrund = starte(editor, datei);
        gestartet = !editorGrund;
        g_object_unref(editor);
    }
    std::optional<QString> grund;
    if (!gestartet) {
        grund = starteStandardprogramm(
            datei, QStringLiteral("Für Textdateien ist kein Standardprogramm eingerichtet."));
        // When the stand-in fails too, the text editor's own failure is the one that matters.
        if (grund && editorGrund)
            grund = editorGrund;
    }
    g_object_unref(datei);
    return grund;
}

std::optional<QString> Programmstart::imDateimanager(const QString &pfad)
{
    const QFileInfo info(pfad);
    const auto busGrund =
        zeigeUeberDBus(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded));
    if (!busGrund)
        return std::nullopt;
    GFile *ordner = g_file_new_for_path(QFile::encodeName(info.absolutePath()).constData());
    auto grund = starteStandardprogramm(
        ordner, QStringLiteral("Für Ordner ist kein Standardprogramm eingerichtet."));
    g_object_unref(ordner);
    if (!grund)
        return std::nullopt;
    return *busGrund + u'\n' + *grund;
}
