#ifndef KESTREL_ACCOUNTS_ACCOUNT_H
#define KESTREL_ACCOUNTS_ACCOUNT_H

#include "otp/otptoken.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <atomic>

// One entry of the user's list: a local OTP account, an OTP account provisioned by a server, or a
// push-authentication account. Accounts have no Qt parent; the collection holds them.
class Account : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString password READ getPassword WRITE setPassword NOTIFY passwordChanged)

public:
    enum AccountType
    {
        TypeStandart = 1,
        TypeStandartOrb = 2,
        TypeAuth = 3
    };

    enum TokenType
    {
        TokenNone = 0,
        TokenTOTP = 1,
        TokenHOTP = 2,
        TokenTicket = 3,
        TokenPushAuth = 4
    };

    enum ConfirmationStatus
    {
        ConfirmationNone = 0,
        ConfirmationRequested = 1,
        ConfirmationAccepted = 2,
        ConfirmationDeclined = 3
    };

    Account();
    Account(Account::AccountType type, const QString &uri);
    ~Account() override;

    static Account *CreateStandartAccount(const QString &uri);
    static Account *CreateStandartOrbAccount(const QString &uri, const QString &address,
                                             const QString &tokenUID);
    static Account *CreateAuthAccount(const QString &uri, const QString &address, const QString &reqID,
                                      const QString &tokenUID, const QString &authKey);
    // The account restored from its persisted form, or null for a "Type" other than 1, 2 or 3.
    static Account *CreateAccountFromJson(const QJsonObject &object);

    const QString &getPassword() const { return m_password; }
    void setPassword(const QString &password);

    void UpdatePass();
    void IncrementCounter();
    // Seconds left in the current TOTP period; 0 when the account has no period.
    int GetTimeout();
    // Remaining share of the current period in percent; 100 for HOTP and for no period.
    int GetTimeoutProgress();
    // The TOTP code of the period after the current one; empty for other accounts.
    QString NextPassword() const;
    // Gives the account another issuer and name. Both live in the stored URI's label
    // "issuer:name" (and its "issuer" parameter, when it has one), which is split at its only
    // colon when read back, so neither may hold a colon. False, with nothing changed, for such
    // names, for names over MAX_NAME_LENGTH and for an account without an "otpauth://" URI.
    bool Rename(const QString &issuer, const QString &user);

    static constexpr int MAX_NAME_LENGTH = 256;

    virtual QJsonObject toJsonObject() const;

    // The text with the values of secret-bearing URI parameters replaced, for log lines.
    static QString maskedUri(const QString &uri);

signals:
    void passwordChanged();

protected:
    // Called by the constructors from the persisted form. Restored HOTP accounts continue from the
    // stored counter rather than the URI's. An account whose stored URI no longer parses shows its
    // stored issuer and user and is written back with its stored fields as read.
    void restoreStored(const QJsonObject &object);

public:
    // Read and written directly by the collection, the server session and the models.
    bool m_lockedOTP = false;
    AccountType m_accountType = TypeStandart;
    TokenType m_tokenType = TokenNone;
    QString m_user;
    QString m_issuer;
    QString m_period;
    int m_counter = 0;
    int m_id = 0;
    QString m_address;
    QString m_reqID;
    QString m_pin;
    QString m_key;
    QString m_tokenUID;
    QString m_authKey;
    QString m_uri;
    OTPToken m_otpToken;
    QString m_password;

private:
    void construct();
    void restoreCounter(const QJsonObject &object);

    bool m_uriParsed = false;
    // The persisted form of an account whose URI did not parse; empty otherwise.
    QJsonObject m_storedFields;

    // The time step whose code m_password holds, and that code, so that reading the code
    // computes it again only when the period has rolled over. -1: none yet. A password set in
    // any other way differs from m_passCode and is replaced by the code on the next update.
    qint64 m_passStep = -1;
    QString m_passCode;
    // The same for NextPassword(): the step of the code it gave last, and that code.
    mutable qint64 m_nextStep = -1;
    mutable QString m_nextCode;

    // Accounts are built on the GUI and the HTTP thread; identifiers stay unique.
    static std::atomic<int> lastInternalID;
};

#endif // KESTREL_ACCOUNTS_ACCOUNT_H
