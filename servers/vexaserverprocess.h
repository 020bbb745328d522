#ifndef KESTREL_SERVERS_VEXASERVERPROCESS_H
#define KESTREL_SERVERS_VEXASERVERPROCESS_H

#include <QMutex>
#include <QObject>
#include <QWaitCondition>

class QTimer;
class VexaServer;

// The polling loop of one server, living on that server's worker thread together with its
// session. Its only timer is one single-shot QTimer: arming restarts it, so however replies and
// ticks interleave, a server never runs more than one timer chain.
class VexaServerProcess : public QObject
{
    Q_OBJECT

public:
    static constexpr int POLL_INTERVAL_MS = 3000;

    // `pollIntervalMs` is for tests; the program always polls every POLL_INTERVAL_MS.
    explicit VexaServerProcess(VexaServer *server, int pollIntervalMs = POLL_INTERVAL_MS);
    ~VexaServerProcess() override;

    // Starts the thread the worker was moved to; its started() runs the first tick.
    void startServer();
    int pollInterval() const { return m_pollIntervalMs; }

    VexaServer *m_server = nullptr;
    // Not used: the session guards itself, since the GUI thread reaches it without the worker.
    QWaitCondition m_waitCondition;
    QMutex m_mutex;

signals:
    void finished();

public slots:
    void processIteration();
    // Runs on the worker thread: stops the timer, ignores later ticks and replies, emits
    // finished() (wired to quit the thread and delete the worker).
    void stop();
    void onReplyReceived();

private:
    void arm();

    QTimer *m_timer = nullptr;
    int m_pollIntervalMs = POLL_INTERVAL_MS;
    bool m_stopped = false;
};

#endif // KESTREL_SERVERS_VEXASERVERPROCESS_H
