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

    // A PIN that cannot be written (a directory in the file's place) is refused and reported,
    // never held for this run only.
    void unwritablePinIsRefused()
    {
        ApplicationPinModel model;
        QVERIFY(model.onSetPinCode("1234"));
        const QString file =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/apppin.txt";
        QVERIFY(QFile::remove(file) && QDir().mkpath(file));
        QSignalSpy told(&model, &ApplicationPinModel::badreply);
        QVERIFY(!model.onSetPinCode("5678") && !model.resetPinCode());
        QCOMPARE(told.size(), 2);
        QCOMPARE(model.getPinCode(), QString("1234"));
        QVERIFY(QDir(file).removeRecursively());
    }
};

QTEST_GUILESS_MAIN(TestApplicationPinModel)
#include "tst_applicationpinmodel.moc"
