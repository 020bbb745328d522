#ifndef KESTREL_PROTOCOL_AUTHOPERATION_H
#define KESTREL_PROTOCOL_AUTHOPERATION_H

#include "protocol/operationrequest.h"

#include <QList>

class AuthRequest;

// The answer to a token update: the server's pending login requests, in reply order. Owns the
// requests it lists; the session takes the one it shows out with TakeRequest.
class AuthOperation : public OperationRequest
{
public:
    AuthOperation(QString address, HttpResult::ErrorCode code);
    ~AuthOperation() override;

    void DoOperation(AccountsListModel *model) override;

    AuthRequest *GetFirstAuthRequest();
    AuthRequest *FindTokenRequest(QString tokenUID);
    // The request of that token and login session, or null.
    AuthRequest *FindSessionRequest(const QString &tokenUID, const QString &sessionID) const;
    // Appends `request` and takes ownership of it; a null pointer is ignored.
    void PutRequest(AuthRequest *request);
    // Removes `request` from the list and hands its ownership to the caller; returns it, or null
    // when the operation does not hold it.
    AuthRequest *TakeRequest(AuthRequest *request);
    void PutSavedToken(const QString &tokenUID);

    const QList<AuthRequest *> &GetRequests() const { return m_requests; }
    const QList<QString> &GetSavedTokens() const { return m_savedTokens; }

private:
    QList<AuthRequest *> m_requests;
    QList<QString> m_savedTokens;
};

#endif // KESTREL_PROTOCOL_AUTHOPERATION_H
