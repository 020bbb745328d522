#ifndef KESTREL_ACCOUNTS_ACCOUNTCLOCK_H
#define KESTREL_ACCOUNTS_ACCOUNTCLOCK_H

#include <QDateTime>
#include <functional>

// The time source of the accounts: the system clock, or a fixed instant in tests. The offset of the
// returned time from UTC is the local time-zone offset that push-authentication accounts report.
class AccountClock
{
public:
    using Source = std::function<QDateTime()>;

    static QDateTime now();
    // Seconds since the epoch. The views read codes and progress of every row each second, and
    // building a local QDateTime for that re-reads the time-zone data on every call.
    static qint64 secsSinceEpoch();
    // An empty source restores the system clock. Not thread-safe: set it before accounts are used.
    static void setSource(Source source);

private:
    static Source &source();
};

#endif // KESTREL_ACCOUNTS_ACCOUNTCLOCK_H
