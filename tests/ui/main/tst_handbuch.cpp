#include "handbuch.h"
#include "tessrafenster.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The help page names the handbook where an installation put it beside the program, and nowhere
// else; and with that line the page's text must still fit its box.
class TstHandbuch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findetDasInstallierteHandbuch_data();
    void findetDasInstallierteHandbuch();
    void hilfeMitHandbuchPasstInIhrenKasten();
};

void TstHandbuch::findetDasInstallierteHandbuch_data()
{
    QTest::addColumn<QString>("programmordner"); // below the temporary folder
    QTest::addColumn<QString>("angelegt");       // a file, or a folder when it ends in "/"
    QTest::addColumn<QString>("erwartet");       // below the temporary folder; empty for none

    QTest::newRow("Debian package") << u"usr/bin"_s << u"usr/share/doc/tessra/handbuch.md"_s
                                    << u"usr/share/doc/tessra/handbuch.md"_s;
    QTest::newRow("build tree, nothing installed") << u"build/app"_s << QString() << QString();
    QTest::newRow("another prefix's handbook")
        << u"usr/local/bin"_s << u"usr/share/doc/tessra/handbuch.md"_s << QString();
    QTest::newRow("a folder of the handbook's name")
        << u"usr/bin"_s << u"usr/share/doc/tessra/handbuch.md/"_s << QString();
}

void TstHandbuch::findetDasInstallierteHandbuch()
{
    QFETCH(QString, programmordner);
    QFETCH(QString, angelegt);
    QFETCH(QString, erwartet);

    QTemporaryDir wurzel;
    QVERIFY(wurzel.isValid());
    const QDir dir(wurzel.path());
    QVERIFY(dir.mkpath(programmordner));
    if (angelegt.endsWith(u'/')) {
        QVERIFY(dir.mkpath(angelegt));
    } else if (!angelegt.isEmpty()) {
        QVERIFY(dir.mkpath(QFileInfo(angelegt).path()));
        QFile datei(dir.filePath(angelegt));
        QVERIFY(datei.open(QIODevice::WriteOnly));
    }
    const QString gefunden = installiertesHandbuch(wurzel.path() + u'/' + programmordner);
    QCOMPARE(gefunden, erwartet.isEmpty() ? QString() : dir.filePath(erwartet));
}

void TstHandbuch::hilfeMitHandbuchPasstInIhrenKasten()
{
    // The longer of the two places an installation puts it.
    const QString handbuch = u"/usr/local/share/doc/tessra/handbuch.md"_s;
    TessraFenster fenster;
    auto *text = fenster.findChild<QLabel *>(u"Label1"_s);
    QVERIFY(text);
    // In the build tree the page has no such line yet.
    QVERIFY(!text->text().contains(u"Handbuch"_s));
    text->setText(hilfetextMitHandbuch(text->text(), handbuch));
    QVERIFY(text->text().endsWith(u'\n' + handbuch));
    QVERIFY2(text->heightForWidth(text->width()) <= text->height(),
             qPrintable(QString::number(text->heightForWidth(text->width()))));
}

QTEST_MAIN(TstHandbuch)
#include "tst_handbuch.moc"
