#ifndef KESTREL_TOOLS_DEVSERVER_DEVSTATE_H
#define KESTREL_TOOLS_DEVSERVER_DEVSTATE_H

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// Everything the authentication server knows (tickets, issued tokens, login requests, the push
// registrations it received) and the protocol's server-side rules. No I/O and no locking: the
// HTTP layer serialises access and passes the clock in, so the rules stay easy to follow.
class DevState
{
public:
    // One answer of a protocol endpoint: HTTP status, JSON body and a short outcome text for
    // the request log (never a secret).
    struct Reply
    {
        int status = 200;
        QJsonObject body;
        QString outcome;
    };

    struct Ticket
    {
        QString reqID;
        QString pin;
        QString key;    // Base32 of the 16-byte AES key
        QString kind;   // "push", "otp" or "plain"
        QString member; // "mobileotp", "mobileauth" or "both"
        QString address;
        QString issuer;
        QString user;
        QString algorithm; // "SHA1", "SHA256" or "SHA512"
        int digits = 6;
        int period = 30;
        QString secret;      // Base32 OTP secret
        QString otpOverride; // sent instead of the built otpauth URI when not empty
        QString tokenUID;
        QString authkey; // empty unless kind is "push"
        qint64 created = 0;
        qint64 registeredAt = 0; // 0 while the ticket is unused
        bool revoked = false;

        QString otpUri() const;
        QString ticketUri() const;
        QJsonObject toJson() const;
        static bool fromJson(const QJsonObject &object, Ticket *ticket);
    };

    struct Login
    {
        QString sessionID;
        QString tokenUID;
        QString metadata;
        qint64 time = 0;
        QString state; // "pending", "accepted", "declined" or "withdrawn"
        bool demo = false;

        QJsonObject toJson() const;
        static bool fromJson(const QJsonObject &object, Login *login);
    };

    // Admin operations. On failure they return an empty object and set `error`.
    QJsonObject createTicket(const QString &address, const QJsonObject &options, qint64 now, QString *error);
    QJsonObject createLogin(const QString &tokenUID, const QString &metadata, qint64 time, bool demo,
                            QString *error);
    bool withdrawLogin(const QString &sessionID, QString *error);
    bool revokeToken(const QString &tokenUID, QString *error);

    QJsonArray ticketsJson() const;
    QJsonArray loginsJson() const;
    QJsonArray devicesJson() const;
    const QList<Ticket> &tickets() const { return m_tickets; }
    // Pending logins the demo made for a token.
    QStringList pendingDemoLogins(const QString &tokenUID) const;

    // Protocol endpoints; `body` is the parsed request object.
    Reply registerTicket(const QJsonObject &body, qint64 now);
    Reply updateTokens(const QJsonObject &body);
    Reply getRemovedTokens(const QJsonObject &body);
    Reply acceptToken(const QJsonObject &body, qint64 now);

    // The registration answer for a ticket, exactly as "/register" sends it.
    static QJsonObject registrationAnswer(const Ticket &ticket);
    // A JSON number as whole Unix seconds; 0 when it is not a usable number.
    static qint64 seconds(const QJsonValue &value);
    // Algorithm name to the OTP engine's code (1, 2, 3), 0 when unknown.
    static unsigned char algorithmCode(const QString &name);

    // Persistent form (everything but the request log and the faults).
    QJsonObject toJson() const;
    bool fromJson(const QJsonObject &object, QString *error);

private:
    Ticket *findTicketByToken(const QString &tokenUID);
    bool isIssued(const QString &tokenUID) const;

    QList<Ticket> m_tickets;
    QList<Login> m_logins;
    // Latest notification device record per token id, with how often it arrived.
    QHash<QString, QJsonObject> m_devices;
    QStringList m_deviceOrder;
};

#endif // KESTREL_TOOLS_DEVSERVER_DEVSTATE_H
