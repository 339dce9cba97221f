#include "programmstart.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "tessrafenster.h"

// The editor and file-manager commands against a fake desktop: its own XDG folders, whose
// default applications for text and for folders are scripts that record their arguments, and
// no session bus, so the file manager is reached through its folder.
class TstProgrammstart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void editorBekommtGenauDenPfad_data();
    void editorBekommtGenauDenPfad();
    void dateimanagerOhneBusOeffnetDenOrdner();
    void fehlenderEditorWirdGemeldet_data();
    void fehlenderEditorWirdGemeldet();

private:
    QString legeAn(const QString &name);
    void schreibeSkript(const QString &name);
    void schreibeEintrag(const QString &name, const QByteArray &zusatz = {});
    QByteArray warteAufAufruf(const QString &skript);

    QTemporaryDir m_desktop;
};

void TstProgrammstart::initTestCase()
{
    QVERIFY(m_desktop.isValid());
    QDir wurzel(m_desktop.path());
    for (const char *ordner : {"data/applications", "config", "leer", "dateien"})
        QVERIFY(wurzel.mkpath(QString::fromLatin1(ordner)));

    // GIO reads these once, at its first use, so they must be in place before anything starts.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_desktop.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_desktop.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(m_desktop.filePath(QStringLiteral("leer"))));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_desktop.filePath(QStringLiteral("leer"))));
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            "unix:path=" + QFile::encodeName(m_desktop.filePath(QStringLiteral("kein-bus"))));

    schreibeSkript(QStringLiteral("editor"));
    schreibeSkript(QStringLiteral("ordner"));
    schreibeEintrag(QStringLiteral("editor"));
    schreibeEintrag(QStringLiteral("ordner"));
    QFile standard(m_desktop.filePath(QStringLiteral("config/mimeapps.list")));
    QVERIFY(standard.open(QIODevice::WriteOnly));
    standard.write("[Default Applications]\n"
                   "text/plain=tessra-test-editor.desktop\n"
                   "inode/directory=tessra-test-ordner.desktop\n");
}

// The desktop entry of a stand-in: "editor" for text, "ordner" for folders.
void TstProgrammstart::schreibeEintrag(const QString &name, const QByteArray &zusatz)
{
    const QByteArray typ = name == QStringLiteral("editor") ? "text/plain" : "inode/directory";
    QFile datei(m_desktop.filePath(QStringLiteral("data/applications/tessra-test-") + name +
                                   QStringLiteral(".desktop")));
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write("[Desktop Entry]\nType=Application\nName=" + name.toUtf8() +
                "\nExec=" + QFile::encodeName(m_desktop.filePath(name + QStringLiteral(".sh"))) +
                " %f\nMimeType=" + typ + ";\n" + zusatz);
}

void TstProgrammstart::schreibeSkript(const QString &name)
{
    // One argument per line after their count; renamed into place once complete.
    const QByteArray protokoll =
        QFile::encodeName(m_desktop.filePath(name + QStringLiteral(".args")));
    QFile skript(m_desktop.filePath(name + QStringLiteral(".sh")));
    QVERIFY(skript.open(QIODevice::WriteOnly));
    skript.write("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + protokoll + ".tmp'\nmv '" +
                 protokoll + ".tmp' '" + protokoll + "'\n");
    skript.close();
    QVERIFY(skript.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

QString TstProgrammstart::legeAn(const QString &name)
{
    const QString pfad = m_desktop.filePath(QStringLiteral("dateien/") + name);
    QFile datei(pfad);
    if (!datei.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(pfad));
    datei.write("1;a\r\n");
    return pfad;
}

QByteArray TstProgrammstart::warteAufAufruf(const QString &skript)
{
    const QString protokoll = m_desktop.filePath(skript + QStringLiteral(".args"));
    if (!QTest::qWaitFor([&] { return QFile::exists(protokoll); }, 10000))
        return "<kein Aufruf>";
    QFile datei(protokoll);
    if (!datei.open(QIODevice::ReadOnly))
        return "<nicht lesbar>";
    const QByteArray inhalt = datei.readAll();
    datei.remove();
    return inhalt;
}

void TstProgrammstart::editorBekommtGenauDenPfad_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("einfach") << QStringLiteral("liste.txt");
    QTest::newRow("Leerzeichen") << QStringLiteral("meine liste.txt");
    QTest::newRow("Umlaut") << QStringLiteral("Größen.txt");
    QTest::newRow("Shell-Zeichen")
        << QStringLiteral("a;touch boese $(touch boese2) `touch b3` '\".txt");
    QTest::newRow("andere Endung") << QStringLiteral("seriennummern.csv");
}

void TstProgrammstart::editorBekommtGenauDenPfad()
{
    QFETCH(QString, name);
    const QString pfad = legeAn(name);
    const auto grund = Programmstart::imEditor(pfad);
    QVERIFY2(!grund, grund ? qPrintable(*grund) : "");
    QCOMPARE(warteAufAufruf(QStringLiteral("editor")), "1\n" + QFile::encodeName(pfad) + '\n');
    for (const char *boese : {"boese", "boese2", "b3"}) {
        QVERIFY(!QFile::exists(QString::fromLatin1(boese)));
        QVERIFY(!QFile::exists(m_desktop.filePath(QString::fromLatin1(boese))));
    }
}

void TstProgrammstart::dateimanagerOhneBusOeffnetDenOrdner()
{
    const QString pfad = legeAn(QStringLiteral("liste.txt"));
    const auto grund = Programmstart::imDateimanager(pfad);
    QVERIFY2(!grund, grund ? qPrintable(*grund) : "");
    QCOMPARE(warteAufAufruf(QStringLiteral("ordner")),
             "1\n" + QFile::encodeName(m_desktop.filePath(QStringLiteral("dateien"))) + '\n');
}

void TstProgrammstart::fehlenderEditorWirdGemeldet_data()
{
    QTest::addColumn<QString>("knopf");
    QTest::addColumn<QString>("programm"); // the stand-in that fails
    QTest::addColumn<bool>("imTerminal");  // it runs in a terminal; else it cannot be run
    QTest::addColumn<QString>("meldung");  // after "Die Datei", the path and a line break

    const QString editor = QStringLiteral("kann in keinem Texteditor geöffnet werden.\n");
    QTest::newRow("Editor nicht ausführbar")
        << QStringLiteral("btnEditor") << QStringLiteral("editor") << false
        << editor + QStringLiteral("Für Textdateien ist kein Standardprogramm eingerichtet.");
    QTest::newRow("Editor ohne Terminal")
        << QStringLiteral("btnEditor") << QStringLiteral("editor") << true
        << editor + QStringLiteral("Das Programm „editor“ läuft in einem Terminal, aber es ist "
                                   "kein Terminalprogramm installiert.");
    QTest::newRow("kein Dateimanager, kein Ordnerprogramm")
        << QStringLiteral("btnExplorer") << QStringLiteral("ordner") << false
        << QStringLiteral("kann in keinem Dateimanager gezeigt werden.\nAuf dem Sitzungsbus "
                          "(D-Bus) meldet sich kein Dateimanager.\nFür Ordner ist kein "
                          "Standardprogramm eingerichtet.");
}

void TstProgrammstart::fehlenderEditorWirdGemeldet()
{
    QFETCH(QString, knopf);
    QFETCH(QString, programm);
    QFETCH(bool, imTerminal);
    QFETCH(QString, meldung);

    const QString pfad = legeAn(QStringLiteral("liste.txt"));
    QFile skript(m_desktop.filePath(programm + QStringLiteral(".sh")));
    const QByteArray suchpfad = qgetenv("PATH");
    // GIO reads a desktop entry and its program anew at every start.
    if (imTerminal) {
        // No program at all on the PATH, so no terminal either.
        schreibeEintrag(programm, "Terminal=true\n");
        qputenv("PATH", QFile::encodeName(m_desktop.filePath(QStringLiteral("leer"))));
    } else {
        QVERIFY(skript.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    }

    TessraFenster fenster;
    QStringList meldungen;
    fenster.setDialogAntwort([&](QDialog &dialog) {
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        QVERIFY(box);
        QCOMPARE(box->icon(), QMessageBox::Warning);
        meldungen.append(box->windowTitle() + u'|' + box->text());
        box->accept();
    });
    fenster.findChild<QLineEdit *>(QStringLiteral("txtPfad"))->setText(pfad);
    auto *button = fenster.findChild<QPushButton *>(knopf);
    QVERIFY(button->isEnabled());
    button->click();
    qputenv("PATH", suchpfad);
    skript.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    schreibeEintrag(programm);

    QCOMPARE(meldungen.size(), 1);
    const QString erwartet =
        QStringLiteral("Tessra - Programmstart|Die Datei\n") + pfad + u'\n' + meldung;
    QCOMPARE(meldungen[0], erwartet);
    QVERIFY(!QFile::exists(m_desktop.filePath(programm + QStringLiteral(".args"))));
}

QTEST_MAIN(TstProgrammstart)
#include "tst_programmstart.moc"
