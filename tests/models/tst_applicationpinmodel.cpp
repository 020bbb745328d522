#include "models/applicationpinmodel.h"

#include <QtTest>

// The PIN survives a restart (a new model over the same data directory) exactly as entered.
class TestApplicationPinModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
        QCoreApplication::setApplicationName("pinmodel");
        QVERIFY(!ApplicationPinModel().isPinCodePresent());
        QVERIFY(ApplicationPinModel().getPinCode().isEmpty());
    }

    void setRestartReset_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::newRow("four digits") << "1234";
        QTest::newRow("spaces around") << " 12 34  ";
        QTest::newRow("only a space") << " ";
        QTest::newRow("cyrillic") << QString::fromUtf8("пин");
    }

    void setRestartReset()
    {
        QFETCH(QString, pin);
        ApplicationPinModel first;
        first.onSetPinCode(pin);
        QCOMPARE(first.getPinCode(), pin);

        ApplicationPinModel restarted;
        QCOMPARE(restarted.getPinCode(), pin);
        QVERIFY(restarted.isPinCodePresent());
        restarted.resetPinCode();
        QVERIFY(!restarted.isPinCodePresent());
        QVERIFY(!ApplicationPinModel().isPinCodePresent());

        first.onSetPinCode(pin);
        first.onSetPinCode(QString());
        QVERIFY(!first.isPinCodePresent());
        QVERIFY(ApplicationPinModel().getPinCode().isEmpty());
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestApplicationPinModel)
#include "tst_applicationpinmodel.moc"
