#include "ui/pinattemptlimiter.h"

#include "accounts/datadirectory.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>

namespace {

const char PIN_ATTEMPTS_FILE_NAME[] = "pinattempts.txt";
const char NOT_SAVED_MESSAGE[] = QT_TRANSLATE_NOOP(
    "PinAttemptLimiter",
    "Не удалось записать число неверных попыток ввода PIN-кода (нет места или нет доступа к папке "
    "данных). После перезапуска программы ограничение может быть сброшено.");

} // namespace

PinAttemptLimiter::PinAttemptLimiter(QObject *parent)
    : PinAttemptLimiter(
          DataDirectory::filePath(PIN_ATTEMPTS_FILE_NAME), [] { return QDateTime::currentMSecsSinceEpoch(); },
          parent)
{
}

PinAttemptLimiter::PinAttemptLimiter(const QString &stateFile, Clock clock, QObject *parent)
    : QObject(parent)
    , m_stateFile(stateFile)
    , m_clock(std::move(clock))
{
    m_ticker.setInterval(1000);
    connect(&m_ticker, &QTimer::timeout, this, &PinAttemptLimiter::onTick);
    load();
    if (locked()) {
        m_ticker.start();
    }
}

int PinAttemptLimiter::waitAfter(int failures)
{
    if (failures < FREE_ATTEMPTS) {
        return 0;
    }
    const int doublings = std::min(failures - FREE_ATTEMPTS, 16);
    return std::min(FIRST_WAIT_SECONDS << doublings, MAX_WAIT_SECONDS);
}

int PinAttemptLimiter::remainingSeconds() const
{
    const qint64 left = m_lockedUntil - m_clock();
    if (left <= 0) {
        return 0;
    }
    return static_cast<int>(std::min<qint64>((left + 999) / 1000, waitAfter(m_failures)));
}

void PinAttemptLimiter::recordFailure()
{
    if (locked()) {
        return;
    }
    ++m_failures;
    const int wait = waitAfter(m_failures);
    m_lockedUntil = wait > 0 ? m_clock() + qint64(wait) * 1000 : 0;
    save();
    if (wait > 0) {
        m_ticker.start();
    }
    emit stateChanged();
}

void PinAttemptLimiter::recordSuccess()
{
    if (locked() || m_failures == 0) {
        return;
    }
    m_failures = 0;
    m_lockedUntil = 0;
    save();
    emit stateChanged();
}

void PinAttemptLimiter::clampWait()
{
    // A clock set back must not stretch the wait beyond its longest length.
    const qint64 latest = m_clock() + qint64(waitAfter(m_failures)) * 1000;
    if (m_lockedUntil > latest) {
        m_lockedUntil = latest;
    }
}

void PinAttemptLimiter::onTick()
{
    clampWait();
    if (!locked()) {
        m_ticker.stop();
    }
    emit stateChanged();
}

void PinAttemptLimiter::load()
{
    QFile file(m_stateFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QList<QByteArray> fields = file.readAll().trimmed().split(' ');
    if (fields.size() != 2) {
        return;
    }
    bool countOk = false;
    bool untilOk = false;
    const int failures = fields[0].toInt(&countOk);
    const qint64 until = fields[1].toLongLong(&untilOk);
    if (countOk && untilOk && failures >= 0) {
        m_failures = failures;
        m_lockedUntil = until;
        clampWait();
    }
}

void PinAttemptLimiter::save()
{
    // The state in memory holds for this run either way; the user learns that a restart may not.
    if (!DataDirectory::writeFile(m_stateFile, QByteArray::number(m_failures) + ' ' +
                                                   QByteArray::number(m_lockedUntil) + '\n')) {
        emit badreply(tr(NOT_SAVED_MESSAGE));
    }
}
