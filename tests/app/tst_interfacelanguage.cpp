#include "app/interfacelanguage.h"

#include <QCoreApplication>
#include <QtTest>

// Russian screens stay as written; any other language gets the built English translation, and
// the version line follows.
class TestInterfaceLanguage : public QObject
{
    Q_OBJECT

private slots:
    void language_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("version");
        QTest::newRow("Russian") << "ru_RU" << QString::fromUtf8("Новый аккаунт")
                                 << QString::fromUtf8("Версия 1.2.2.32 от 5 июл. 2023 г.");
        QTest::newRow("English") << "en_GB"
                                 << "New account"
                                 << "Version 1.2.2.32 of 5 Jul 2023";
        QTest::newRow("German") << "de_DE"
                                << "New account"
                                << "Version 1.2.2.32 of 5 Jul 2023";
        QTest::newRow("Russian again") << "ru_UA" << QString::fromUtf8("Новый аккаунт")
                                       << QString::fromUtf8("Версия 1.2.2.32 от 5 июл. 2023 г.");
    }

    void language()
    {
        QFETCH(QString, locale);
        QFETCH(QString, title);
        QFETCH(QString, version);
        QVERIFY(InterfaceLanguage::apply(QLocale(locale), "Jul  5 2023"));
        QCOMPARE(QCoreApplication::translate("AddAccountPage", "Новый аккаунт"), title);
        QCOMPARE(QCoreApplication::applicationVersion(), version);
    }
};

QTEST_GUILESS_MAIN(TestInterfaceLanguage)

#include "tst_interfacelanguage.moc"
