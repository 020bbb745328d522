#ifndef KESTREL_PROTOCOL_ACTIVATEORBTICKETREQUEST_H
#define KESTREL_PROTOCOL_ACTIVATEORBTICKETREQUEST_H

#include "protocol/request.h"

class Account;

// Activation of a registration ticket ("/register"). The server answers with the new account's
// parameters, normally encrypted with AES-128-GCM under the ticket's key; the decoder turns
// them into a new Account carried by a RegisterOrbAccountOperation.
class ActivateOrbTicketRequest : public Request
{
    Q_OBJECT
public:
    ActivateOrbTicketRequest(QString address, QString reqID, QString pin, QString language, QString key);

    QString GetCommand() const override;
    QByteArray GetDataJson() const override;

    // Always returns a new account; an unusable answer gives one with invalid OTP parameters,
    // which the registration operation rejects.
    Account *ExtractAccountData(const QByteArray &body) const;
    // "IV.ciphertext.tag" in URL-safe Base64 to the plaintext; empty when it does not decrypt.
    QByteArray DecryptOTPData(QString data) const;

protected:
    OperationRequest *CreateOperation(HttpResult::ErrorCode code) const override;
    void DecodeBody(const QByteArray &body, OperationRequest *operation) const override;

private:
    QString m_pin;
    QString m_language;
    QByteArray m_key;
    QString m_reqID;
};

#endif // KESTREL_PROTOCOL_ACTIVATEORBTICKETREQUEST_H
