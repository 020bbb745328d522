#ifndef KESTREL_PROTOCOL_GETREMOVEDTOKENSREQUEST_H
#define KESTREL_PROTOCOL_GETREMOVEDTOKENSREQUEST_H

#include "protocol/request.h"

class DeleteAccountsOperationRequest;

// The removed-tokens check ("/getRemovedTokens"): asks which of the held tokens the server no
// longer knows.
class GetRemovedTokensRequest : public Request
{
    Q_OBJECT
public:
    GetRemovedTokensRequest(QString address, QList<QString> tokenUIDs);

    QString GetCommand() const override;
    QByteArray GetDataJson() const override;

protected:
    OperationRequest *CreateOperation(HttpResult::ErrorCode code) const override;
    // Adds the removed token ids of a successful reply body to the operation, in order.
    void DecodeBody(const QByteArray &body, OperationRequest *operation) const override;

private:
    QList<QString> m_tokenUIDs;
};

#endif // KESTREL_PROTOCOL_GETREMOVEDTOKENSREQUEST_H
