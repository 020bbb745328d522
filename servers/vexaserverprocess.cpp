#include "servers/vexaserverprocess.h"

#include "servers/vexaserver.h"

#include <QDebug>
#include <QThread>
#include <QTimer>

VexaServerProcess::VexaServerProcess(VexaServer *server, int pollIntervalMs)
    : m_server(server)
    , m_timer(new QTimer(this))
    , m_pollIntervalMs(pollIntervalMs > 0 ? pollIntervalMs : POLL_INTERVAL_MS)
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &VexaServerProcess::processIteration);
    connect(m_server, &VexaServer::replyReceived, this, &VexaServerProcess::onReplyReceived);
    // Arming restarts the one timer, so an idle chain starts and a running one stays single.
    connect(m_server, &VexaServer::accountsArrived, this, &VexaServerProcess::onReplyReceived);
}

VexaServerProcess::~VexaServerProcess() = default;

void VexaServerProcess::startServer()
{
    thread()->start(QThread::InheritPriority);
}

void VexaServerProcess::processIteration()
{
    if (m_stopped) {
        return;
    }
    qDebug() << "begin";
    bool handled = false;
    const VexaServer::ServerState state = m_server->GetState();
    if (state == VexaServer::PROCESS_AUTH || state == VexaServer::ONHOLD) {
        qDebug() << "updateAccounts for server:" << m_server->GetAddress();
        // False when an answer went out from the GUI thread since the state was read.
        handled = m_server->updateAccounts();
    }
    if (!handled) {
        qDebug() << "restart timer for server:" << m_server->GetAddress();
        arm();
    }
    qDebug() << "end";
}

void VexaServerProcess::stop()
{
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    m_timer->stop();
    emit finished();
}

void VexaServerProcess::onReplyReceived()
{
    if (m_stopped) {
        return;
    }
    qDebug() << "restart timer for server:" << m_server->GetAddress();
    arm();
}

void VexaServerProcess::arm()
{
    m_timer->start(m_pollIntervalMs);
}
