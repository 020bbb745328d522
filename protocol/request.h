#pragma once

#include "accounts/notificationtoken.h"
#include "protocol/httpresult.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QString>

// One message to an authentication server: its address, its kind, the command appended to the
// address, its JSON body and the decoding of the server's reply into an HttpResult carrying one
// operation. Sessions build requests only through the factories and hand them to the transport,
// which posts them, decodes the reply and deletes them.
class Request : public QObject
{
    Q_OBJECT
public:
    enum RequestType
    {
        RegisterAccount = 0,
        UpdateTokens = 1,
        GetRemovedTokens = 2,
        AcceptToken = 3,
        DeclineToken = 4
    };
    Q_ENUM(RequestType)

    Request(Request::RequestType type, QString address);
    ~Request() override;

    static Request *CreateActivateOrbRequest(QString address, QString reqID, QString pin, QString language,
                                             QString key);
    static Request *CreateAcceptTokenRequest(QString address, QString tokenUID, QString valueOTP,
                                             QString sessionID, QString hmac);
    static Request *CreateDeclineTokenRequest(QString address, QString tokenUID, QString sessionID,
                                              QString hmac);
    static Request *CreateGetRemovedTokensRequest(QString address, QList<QString> tokenUIDs);
    static Request *CreateUpdateTokensRequest(QString address, QList<NotificationToken> tokens);

    virtual QString GetCommand() const = 0;
    virtual QByteArray GetDataJson() const = 0;
    // A new result for the finished reply; the caller owns it.
    virtual HttpResult *DecodeReply(QNetworkReply *reply) const = 0;
    // The same decoding on the parts of a finished exchange, so that it can run without a
    // network; DecodeReply reads the reply and calls this.
    virtual HttpResult *DecodeReplyData(QNetworkReply::NetworkError error, int statusCode,
                                        const QByteArray &body) const = 0;

    const QString &GetAddress() const { return m_address; }
    Request::RequestType GetRequestType() const { return m_requestType; }
    QNetworkReply *GetReply() const { return m_reply; }
    void SetReply(QNetworkReply *reply) { m_reply = reply; }

    // The HTTP status of a reply, 0 when there was no HTTP answer.
    static int ReplyStatusCode(QNetworkReply *reply);

signals:
    void httpresult(HttpResult *result);

protected:
    // Reads the finished reply and hands its parts to DecodeReplyData.
    HttpResult *DecodeFinishedReply(QNetworkReply *reply) const;
    // Fills status and message of a result whose code is not 0, the same way for every request.
    static void ApplyErrorReply(HttpResult *result, int statusCode, const QByteArray &body);

    QString m_address;
    Request::RequestType m_requestType;
    QNetworkReply *m_reply = nullptr;
};
