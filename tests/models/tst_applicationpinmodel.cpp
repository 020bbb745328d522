#include "models/applicationpinmodel.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
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
        QCoreApplication::setOrganizationName("kestrel-tests");
        QCoreApplication::setApplicationName("pinmodel");
        m_dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(m_dir.startsWith(m_home.path()));
        QVERIFY(QDir().mkpath(m_dir));
    }

    void freshInstallation()
    {
        QFile::remove(pinFile());
        ApplicationPinModel model;
        QVERIFY(!model.isPinCodePresent());
        QVERIFY(model.getPinCode().isEmpty());
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
        {
            ApplicationPinModel model;
            model.onSetPinCode(pin);
            QCOMPARE(model.getPinCode(), pin);
            QVERIFY(model.isPinCodePresent());
        }
        QFile file(pinFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), pin);
        file.close();
        {
            ApplicationPinModel restarted;
            QCOMPARE(restarted.getPinCode(), pin);
            QVERIFY(restarted.isPinCodePresent());
            restarted.resetPinCode();
            QVERIFY(!restarted.isPinCodePresent());
        }
        QCOMPARE(QFileInfo(pinFile()).size(), 0);
        ApplicationPinModel afterReset;
        QVERIFY(!afterReset.isPinCodePresent());
        QVERIFY(afterReset.getPinCode().isEmpty());
    }

    void emptyPinClears()
    {
        ApplicationPinModel model;
        model.onSetPinCode("9999");
        model.onSetPinCode(QString());
        QVERIFY(!model.isPinCodePresent());
        QVERIFY(!ApplicationPinModel().isPinCodePresent());
    }

private:
    QString pinFile() const { return m_dir + "/apppin.txt"; }

    QTemporaryDir m_home;
    QString m_dir;
};

QTEST_GUILESS_MAIN(TestApplicationPinModel)
#include "tst_applicationpinmodel.moc"
