#pragma once

#include "protocol/request.h"

class AuthOperation;

// The periodic token update ("/updateTokens"): lists the tokens held for a server, delivers the
// push registration data not yet acknowledged, and fetches the pending login requests.
class UpdateTokensRequest : public Request
{
    Q_OBJECT
public:
    UpdateTokensRequest(QString address, QList<NotificationToken> tokens);

    QString GetCommand() const override;
    QByteArray GetDataJson() const override;
    HttpResult *DecodeReply(QNetworkReply *reply) const override;
    HttpResult *DecodeReplyData(QNetworkReply::NetworkError error, int statusCode,
                                const QByteArray &body) const override;

    // Appends the pending login requests of a successful reply body to `operation`, in order.
    void DecodeBody(const QByteArray &body, AuthOperation *operation) const;

private:
    QList<NotificationToken> m_notificationTokens;
};
