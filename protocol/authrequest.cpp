#include "protocol/authrequest.h"

AuthRequest::AuthRequest() {}

AuthRequest::AuthRequest(QString address, QString tokenUID, QString sessionID, QString metadata, int time)
    : m_address(std::move(address))
    , m_tokenUID(std::move(tokenUID))
    , m_sessionID(std::move(sessionID))
    , m_metadata(std::move(metadata))
    , m_dateTime(QDateTime::fromSecsSinceEpoch(time, Qt::LocalTime))
{
    m_time = m_dateTime.toString(QStringLiteral("hh:mm:ss"));
    m_date = m_dateTime.toString(QStringLiteral("dd.MM.yyyy"));
}
