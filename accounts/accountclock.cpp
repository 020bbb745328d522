#include "accounts/accountclock.h"

QDateTime AccountClock::now()
{
    const Source &s = source();
    return s ? s() : QDateTime::currentDateTime();
}

qint64 AccountClock::secsSinceEpoch()
{
    const Source &s = source();
    return s ? s().toSecsSinceEpoch() : QDateTime::currentSecsSinceEpoch();
}

void AccountClock::setSource(Source source)
{
    AccountClock::source() = std::move(source);
}

AccountClock::Source &AccountClock::source()
{
    static Source s;
    return s;
}
