#ifndef KESTREL_UI_PINATTEMPTLIMITER_H
#define KESTREL_UI_PINATTEMPTLIMITER_H

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Slows down guessing of the application PIN: the first wrong entries are free, then every
// further one imposes a wait that doubles each time. The count and the end of the wait are kept
// in a small file of the data directory, so that restarting the program does not reset them; a
// failed write is reported through badreply and repeated at the next change. GUI thread.
class PinAttemptLimiter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int failedAttempts READ failedAttempts NOTIFY stateChanged)
    Q_PROPERTY(int remainingSeconds READ remainingSeconds NOTIFY stateChanged)
    Q_PROPERTY(bool locked READ locked NOTIFY stateChanged)
    // The wait one more wrong entry would bring (0 while that entry is still free), so that the
    // screens can warn before it.
    Q_PROPERTY(int nextWaitSeconds READ nextWaitSeconds NOTIFY stateChanged)

public:
    static constexpr int FREE_ATTEMPTS = 5;
    static constexpr int FIRST_WAIT_SECONDS = 30;
    static constexpr int MAX_WAIT_SECONDS = 3600;

    using Clock = std::function<qint64()>; // milliseconds since the epoch

    explicit PinAttemptLimiter(QObject *parent = nullptr);
    PinAttemptLimiter(const QString &stateFile, Clock clock, QObject *parent = nullptr);

    // The wait that follows the given number of wrong entries in a row (0 while still free).
    static int waitAfter(int failures);

    int failedAttempts() const { return m_failures; }
    int remainingSeconds() const;
    bool locked() const { return remainingSeconds() > 0; }
    int nextWaitSeconds() const { return waitAfter(m_failures + 1); }

    // Both are ignored while locked: an entry made during the wait is not judged at all.
    Q_INVOKABLE void recordFailure();
    Q_INVOKABLE void recordSuccess();

signals:
    void stateChanged();
    void badreply(QString msg);

private:
    void load();
    void save();
    void clampWait();
    void onTick();

    QString m_stateFile;
    Clock m_clock;
    int m_failures = 0;
    qint64 m_lockedUntil = 0;
    QTimer m_ticker;
};

#endif // KESTREL_UI_PINATTEMPTLIMITER_H
