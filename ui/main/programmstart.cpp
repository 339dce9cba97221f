#include "programmstart.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include <gio/gio.h>

namespace {

const QString dateimanagerDienst = QStringLiteral("org.freedesktop.FileManager1");

// A file manager that is started on demand may take a moment before it answers.
constexpr int dbusWartezeitMs = 5000;

QString nachricht(GError *fehler)
{
    const QString text = QString::fromUtf8(fehler->message);
    g_error_free(fehler);
    return text;
}

std::optional<QString> starte(GAppInfo *programm, GFile *datei)
{
    GList *dateien = g_list_append(nullptr, datei);
    GError *fehler = nullptr;
    const bool gestartet = g_app_info_launch(programm, dateien, nullptr, &fehler);
    g_list_free(dateien);
    if (gestartet)
        return std::nullopt;
    return nachricht(fehler);
}

std::optional<QString> starteStandardprogramm(GFile *datei)
{
    GError *fehler = nullptr;
    GAppInfo *programm = g_file_query_default_handler(datei, nullptr, &fehler);
    if (!programm)
        return nachricht(fehler);
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

bool zeigeUeberDBus(const QString &dateiUri)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!dateimanagerErreichbar(bus))
        return false;
    QDBusMessage aufruf = QDBusMessage::createMethodCall(
        dateimanagerDienst, QStringLiteral("/org/freedesktop/FileManager1"), dateimanagerDienst,
        QStringLiteral("ShowItems"));
    aufruf << QStringList{dateiUri} << QString();
    return bus.call(aufruf, QDBus::Block, dbusWartezeitMs).type() == QDBusMessage::ReplyMessage;
}

} // namespace

std::optional<QString> Programmstart::imEditor(const QString &pfad)
{
    GFile *datei = g_file_new_for_path(QFile::encodeName(pfad).constData());
    bool gestartet = false;
    if (GAppInfo *editor = g_app_info_get_default_for_type("text/plain", FALSE)) {
        gestartet = !starte(editor, datei);
        g_object_unref(editor);
    }
    std::optional<QString> grund;
    if (!gestartet)
        grund = starteStandardprogramm(datei);
    g_object_unref(datei);
    return grund;
}

std::optional<QString> Programmstart::imDateimanager(const QString &pfad)
{
    const QFileInfo info(pfad);
    if (zeigeUeberDBus(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded)))
        return std::nullopt;
    GFile *ordner = g_file_new_for_path(QFile::encodeName(info.absolutePath()).constData());
    auto grund = starteStandardprogramm(ordner);
    g_object_unref(ordner);
    return grund;
}
