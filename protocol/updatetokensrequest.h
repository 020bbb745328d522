#ifndef KESTREL_PROTOCOL_UPDATETOKENSREQUEST_H
#define KESTREL_PROTOCOL_UPDATETOKENSREQUEST_H

#include "protocol/request.h"

class AuthOperation;

// The periodic token update ("/updateTokens"): lists the tokens held for a server, delivers the
// push registration data not yet acknowledged, and fetches the pending login requests.
class UpdateTokensRequest : public Request
{
    Q_OBJECT
public:
    // The most of a login's metadata kept for the confirmation dialog.
    static const int MAX_METADATA_LENGTH = 1024;

    UpdateTokensRequest(QString address, QList<NotificationToken> tokens);

    QString GetCommand() const override;
    QByteArray GetDataJson() const override;

protected:
    OperationRequest *CreateOperation(HttpResult::ErrorCode code) const override;
    // Appends the pending login requests of a successful reply body to the operation, in order.
    void DecodeBody(const QByteArray &body, OperationRequest *operation) const override;

private:
    QList<NotificationToken> m_notificationTokens;
};

#endif // KESTREL_PROTOCOL_UPDATETOKENSREQUEST_H
