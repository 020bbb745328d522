#include "models/applicationpinmodel.h"
#include "tests/common/modelfixture.h"

#include <QtTest>

// The PIN survives a restart (a new model over the same data directory) exactly as entered.
class TestApplicationPinModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(ModelFixture::useTemporaryDataHome());
        QVERIFY(!ApplicationPinModel().isPinCodePresent());
    }

    void setRestartReset_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::newRow("four digits") << "1234";
        QTest::newRow("spaces around") << " 12 34  ";
        QTest::newRow("cyrillic") << QString::fromUtf8("пин");
    }

    void setRestartReset()
    {
        QFETCH(QString, pin);
        ApplicationPinModel first;
        first.onSetPinCode(pin);

        ApplicationPinModel restarted;
        QCOMPARE(restarted.getPinCode(), pin);
        QVERIFY(restarted.isPinCodePresent());
        restarted.resetPinCode();
        QVERIFY(!restarted.isPinCodePresent());
        QVERIFY(ApplicationPinModel().getPinCode().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestApplicationPinModel)
#include "tst_applicationpinmodel.moc"
