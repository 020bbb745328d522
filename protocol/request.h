#ifndef KESTREL_PROTOCOL_REQUEST_H
#define KESTREL_PROTOCOL_REQUEST_H

#include "accounts/notificationtoken.h"
#include "protocol/httpresult.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QString>

class OperationRequest;

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

    // Real answers are a few hundred bytes; the transport aborts a reply body above this.
    static const qint64 MAX_REPLY_BYTES = 1024 * 1024;
    // The most of a server's error text kept for the user.
    static const int MAX_MESSAGE_LENGTH = 500;

    virtual QString GetCommand() const = 0;
    virtual QByteArray GetDataJson() const = 0;
    // A new result for the finished reply; the caller owns it.
    virtual HttpResult *DecodeReply(QNetworkReply *reply) const;
    // The same decoding on the parts of a finished exchange, so that it can run without a
    // network; DecodeReply reads the reply and calls this. The exchange succeeded only without a
    // network error and with a 2xx status; anything else (a redirect too) is an error result
    // with a message for the user, and only a success reaches DecodeBody.
    HttpResult *DecodeReplyData(QNetworkReply::NetworkError error, int statusCode,
                                const QByteArray &body) const;

    const QString &GetAddress() const { return m_address; }
    Request::RequestType GetRequestType() const { return m_requestType; }
    QNetworkReply *GetReply() const { return m_reply; }
    void SetReply(QNetworkReply *reply) { m_reply = reply; }

    // The HTTP status of a reply, 0 when there was no HTTP answer.
    static int ReplyStatusCode(QNetworkReply *reply);
    // The outcome of an exchange: the code of the network error, and for a reply without one,
    // 2 or 3 for status 400 or 500 and 5 for any other status outside 2xx.
    static HttpResult::ErrorCode ReplyErrorCode(QNetworkReply::NetworkError error, int statusCode);
    // At most `length` UTF-16 units of `text`, without splitting a surrogate pair.
    static QString Bounded(const QString &text, int length);

signals:
    void httpresult(HttpResult *result);

protected:
    // The operation of this request's kind, carrying the address and `code`.
    virtual OperationRequest *CreateOperation(HttpResult::ErrorCode code) const = 0;
    // Fills the operation of a successful reply from its body; by default nothing is read.
    virtual void DecodeBody(const QByteArray &body, OperationRequest *operation) const;

    QString m_address;
    Request::RequestType m_requestType;
    QNetworkReply *m_reply = nullptr;
};

#endif // KESTREL_PROTOCOL_REQUEST_H
