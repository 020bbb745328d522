#include "ui/pinattemptlimiter.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestPinAttemptLimiter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void waitGrows_data();
    void waitGrows();
    void entriesDuringWaitAreIgnored();
    void successClearsTheCount();
    void stateSurvivesRestart();
    void clockSetBackDoesNotStretchTheWait();
    void damagedStateFileIsIgnored();

private:
    QString stateFile() const { return m_dir->filePath("pinattempts.txt"); }
    PinAttemptLimiter::Clock clock()
    {
        return [this] { return m_now; };
    }

    QScopedPointer<QTemporaryDir> m_dir;
    qint64 m_now = 0;
};

void TestPinAttemptLimiter::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_now = 1'700'000'000'000;
}

void TestPinAttemptLimiter::waitGrows_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("wait");
    QTest::newRow("first four free") << 4 << 0;
    QTest::newRow("fifth") << 5 << 30;
    QTest::newRow("sixth doubles") << 6 << 60;
    QTest::newRow("eighth") << 8 << 240;
    QTest::newRow("capped at an hour") << 12 << 3600;
    QTest::newRow("far beyond the cap") << 60 << 3600;
}

void TestPinAttemptLimiter::waitGrows()
{
    QFETCH(int, failures);
    QFETCH(int, wait);
    QCOMPARE(PinAttemptLimiter::waitAfter(failures), wait);

    PinAttemptLimiter limiter(stateFile(), clock());
    for (int i = 0; i < failures; ++i) {
        m_now += qint64(PinAttemptLimiter::waitAfter(i)) * 1000; // sit out each wait before the next try
        QVERIFY(!limiter.locked());
        limiter.recordFailure();
    }
    QCOMPARE(limiter.failedAttempts(), failures);
    QCOMPARE(limiter.remainingSeconds(), wait);
    QCOMPARE(limiter.locked(), wait > 0);
    m_now += qint64(wait) * 1000 - 1;
    QCOMPARE(limiter.locked(), wait > 0);
    m_now += 1;
    QVERIFY(!limiter.locked());
}

void TestPinAttemptLimiter::entriesDuringWaitAreIgnored()
{
    PinAttemptLimiter limiter(stateFile(), clock());
    QSignalSpy spy(&limiter, &PinAttemptLimiter::stateChanged);
    for (int i = 0; i < 5; ++i)
        limiter.recordFailure();
    QCOMPARE(spy.count(), 5);
    m_now += 10'000;
    limiter.recordFailure();
    limiter.recordSuccess();
    QCOMPARE(limiter.failedAttempts(), 5);
    QCOMPARE(limiter.remainingSeconds(), 20);
    QCOMPARE(spy.count(), 5);
}

void TestPinAttemptLimiter::successClearsTheCount()
{
    PinAttemptLimiter limiter(stateFile(), clock());
    for (int i = 0; i < 4; ++i)
        limiter.recordFailure();
    limiter.recordSuccess();
    QCOMPARE(limiter.failedAttempts(), 0);
    for (int i = 0; i < 4; ++i)
        limiter.recordFailure();
    QVERIFY(!limiter.locked());

    PinAttemptLimiter restarted(stateFile(), clock());
    QCOMPARE(restarted.failedAttempts(), 4);
}

void TestPinAttemptLimiter::stateSurvivesRestart()
{
    {
        PinAttemptLimiter limiter(stateFile(), clock());
        for (int i = 0; i < 6; ++i) {
            m_now += qint64(PinAttemptLimiter::waitAfter(i)) * 1000;
            limiter.recordFailure();
        }
    }
    m_now += 15'000;
    PinAttemptLimiter restarted(stateFile(), clock());
    QCOMPARE(restarted.failedAttempts(), 6);
    QCOMPARE(restarted.remainingSeconds(), 45);
    m_now += 45'000;
    restarted.recordFailure();
    QCOMPARE(restarted.remainingSeconds(), 120);
}

void TestPinAttemptLimiter::clockSetBackDoesNotStretchTheWait()
{
    {
        PinAttemptLimiter limiter(stateFile(), clock());
        for (int i = 0; i < 5; ++i)
            limiter.recordFailure();
    }
    m_now -= 86'400'000;
    PinAttemptLimiter restarted(stateFile(), clock());
    QCOMPARE(restarted.remainingSeconds(), 30);
    m_now += 30'000;
    QVERIFY(!restarted.locked());
}

void TestPinAttemptLimiter::damagedStateFileIsIgnored()
{
    QFile file(stateFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("garbage\n");
    file.close();
    PinAttemptLimiter limiter(stateFile(), clock());
    QCOMPARE(limiter.failedAttempts(), 0);
    QVERIFY(!limiter.locked());
}

QTEST_GUILESS_MAIN(TestPinAttemptLimiter)
#include "tst_pinattemptlimiter.moc"
