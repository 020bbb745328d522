#ifndef KESTREL_PROTOCOL_AUTHREQUEST_H
#define KESTREL_PROTOCOL_AUTHREQUEST_H

#include <QDateTime>
#include <QMetaType>
#include <QString>

// One pending login confirmation request of a server, decoded from a token update reply. The
// session fills in issuer, lock flag and timeout from the account when it shows the request.
class AuthRequest
{
public:
    AuthRequest();
    AuthRequest(QString address, QString tokenUID, QString sessionID, QString metadata, int time);

    const QString &GetDate() const { return m_date; }
    const QString &GetTime() const { return m_time; }
    const QDateTime &GetDateTime() const { return m_dateTime; }
    const QString &GetAddress() const { return m_address; }
    const QString &GetTokenUID() const { return m_tokenUID; }
    const QString &GetSessionID() const { return m_sessionID; }
    const QString &GetMetadata() const { return m_metadata; }

    const QString &GetIssuer() const { return m_issuer; }
    void SetIssuer(const QString &issuer) { m_issuer = issuer; }
    bool IsLockedOTP() const { return m_lockedOTP; }
    void SetLockedOTP(bool locked) { m_lockedOTP = locked; }
    int GetTimeout() const { return m_timeout; }
    void SetTimeout(int timeout) { m_timeout = timeout; }

private:
    QString m_address;
    QString m_issuer;
    QString m_tokenUID;
    QString m_sessionID;
    QString m_metadata;
    QString m_time;
    QString m_date;
    QDateTime m_dateTime;
    bool m_lockedOTP = false;
    int m_timeout = 0;
};

Q_DECLARE_METATYPE(AuthRequest *)

#endif // KESTREL_PROTOCOL_AUTHREQUEST_H
