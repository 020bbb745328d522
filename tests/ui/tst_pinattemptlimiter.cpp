#include "tests/common/testfiles.h"
#include "ui/pinattemptlimiter.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestPinAttemptLimiter : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> m_dir;
    qint64 m_now = 0;

    QString stateFile() const { return m_dir->filePath("pinattempts.txt"); }
    const PinAttemptLimiter::Clock m_clock = [this] { return m_now; };
    // Wrong entries in a row, each after sitting out the wait of the one before.
    void fail(PinAttemptLimiter &limiter, int times)
    {
        for (int i = 0; i < times; ++i) {
            m_now += qint64(PinAttemptLimiter::waitAfter(limiter.failedAttempts())) * 1000;
            QVERIFY(!limiter.locked());
            limiter.recordFailure();
        }
    }

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_now = 1'700'000'000'000;
    }

    // Wrong entries in a row, read back as after a restart: the wait, the one the next wrong entry
    // brings, and the lock up to the last millisecond.
    void waits_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<qint64>("later");
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<int>("remaining");
        QTest::addColumn<int>("next");
        QTest::newRow("none yet") << 0 << qint64(0) << QByteArray() << 0 << 0;
        QTest::newRow("first four free") << 4 << qint64(0) << QByteArray() << 0 << 30;
        QTest::newRow("sixth doubles") << 6 << qint64(0) << QByteArray() << 60 << 120;
        QTest::newRow("capped at an hour") << 12 << qint64(0) << QByteArray() << 3600 << 3600;
        QTest::newRow("far beyond the cap") << 60 << qint64(0) << QByteArray() << 3600 << 3600;
        QTest::newRow("wait goes on") << 6 << qint64(15'000) << QByteArray() << 45 << 120;
        // Also the first wait: five in a row.
        QTest::newRow("clock set back a day") << 5 << qint64(-86'400'000) << QByteArray() << 30 << 60;
        QTest::newRow("damaged file") << 6 << qint64(0) << QByteArray("garbage\n") << 0 << 0;
    }

    void waits()
    {
        QFETCH(int, failures);
        QFETCH(qint64, later);
        QFETCH(QByteArray, damage);
        QFETCH(int, remaining);
        QFETCH(int, next);
        {
            PinAttemptLimiter limiter(stateFile(), m_clock);
            fail(limiter, failures);
        }
        if (!damage.isEmpty()) {
            QVERIFY(writeFile(stateFile(), damage));
        }
        m_now += later;
        PinAttemptLimiter restarted(stateFile(), m_clock);
        QCOMPARE(restarted.failedAttempts(), damage.isEmpty() ? failures : 0);
        QCOMPARE(restarted.remainingSeconds(), remaining);
        QCOMPARE(restarted.nextWaitSeconds(), next);
        m_now += qint64(remaining) * 1000 - 1;
        QCOMPARE(restarted.locked(), remaining > 0);
        m_now += 1;
        QVERIFY(!restarted.locked());
        restarted.recordFailure();
        QCOMPARE(restarted.remainingSeconds(), next);
    }

    void entriesDuringWaitAreIgnoredSuccessClears()
    {
        PinAttemptLimiter limiter(stateFile(), m_clock);
        QSignalSpy spy(&limiter, &PinAttemptLimiter::stateChanged);
        fail(limiter, 5);
        m_now += 10'000;
        limiter.recordFailure();
        limiter.recordSuccess();
        QCOMPARE(limiter.failedAttempts(), 5);
        QCOMPARE(limiter.remainingSeconds(), 20);
        QCOMPARE(spy.count(), 5);
        // After the wait, the right PIN clears the count, also on disk.
        m_now += 20'000;
        limiter.recordSuccess();
        fail(limiter, 4);
        QVERIFY(!limiter.locked());
        QCOMPARE(PinAttemptLimiter(stateFile(), m_clock).failedAttempts(), 4);
    }

    // A count that cannot be written still holds for this run, and the user learns that it may
    // not hold after a restart.
    void failedWriteIsReported()
    {
        QVERIFY(QDir().mkpath(stateFile()));
        PinAttemptLimiter limiter(stateFile(), m_clock);
        QSignalSpy told(&limiter, &PinAttemptLimiter::badreply);
        fail(limiter, PinAttemptLimiter::FREE_ATTEMPTS);
        QCOMPARE(told.size(), PinAttemptLimiter::FREE_ATTEMPTS);
        QVERIFY(limiter.locked());
    }
};

QTEST_GUILESS_MAIN(TestPinAttemptLimiter)
#include "tst_pinattemptlimiter.moc"
