#include "tools/devserver/devstate.h"

#include "otp/otpgenerator.h"
#include "tools/devserver/devcrypto.h"

#include <QJsonDocument>
#include <QSet>
#include <QUrl>

namespace {
const int TICKET_KEY_BYTES = 16;
const int OTP_SECRET_BYTES = 20;
const int STATE_VERSION = 1;

QString percentEncoded(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// An error answer with a JSON "message"; the log records why under `verdict`.
DevState::Reply errorReply(int status, const char *verdict, const QString &message)
{
    DevState::Reply reply;
    reply.status = status;
    reply.body.insert(QStringLiteral("message"), message);
    reply.outcome = QLatin1String(verdict) + QStringLiteral(": ") + message;
    return reply;
}

DevState::Reply badRequest(const QString &message)
{
    return errorReply(400, "rejected", message);
}

DevState::Reply serverError(const QString &message)
{
    return errorReply(500, "refused", message);
}

// Member checks for request bodies: a missing member or one of another type is an error.
bool readString(const QJsonObject &object, const QString &key, QString *out, QString *error)
{
    const QJsonValue value = object.value(key);
    if (!value.isString()) {
        *error = QStringLiteral("member \"%1\" must be a string").arg(key);
        return false;
    }
    *out = value.toString();
    return true;
}

bool readStringArray(const QJsonObject &object, const QString &key, QStringList *out, QString *error)
{
    const QJsonValue value = object.value(key);
    if (!value.isArray()) {
        *error = QStringLiteral("member \"%1\" must be an array of strings").arg(key);
        return false;
    }
    for (const QJsonValue &item : value.toArray()) {
        if (!item.isString()) {
            *error = QStringLiteral("member \"%1\" must be an array of strings").arg(key);
            return false;
        }
        out->append(item.toString());
    }
    return true;
}

// Integer option of an admin call: absent keeps the default.
bool readIntOption(const QJsonObject &object, const QString &key, int min, int max, int *out, QString *error)
{
    if (!object.contains(key)) {
        return true;
    }
    const QJsonValue value = object.value(key);
    const double number = value.toDouble(-1e18);
    // Range first: converting an out-of-range double to an integer is undefined.
    if (!value.isDouble() || !(number >= min && number <= max) ||
        number != static_cast<double>(static_cast<int>(number))) {
        *error = QStringLiteral("option \"%1\" must be an integer from %2 to %3").arg(key).arg(min).arg(max);
        return false;
    }
    *out = static_cast<int>(number);
    return true;
}

bool readStringOption(const QJsonObject &object, const QString &key, QString *out, QString *error)
{
    if (!object.contains(key)) {
        return true;
    }
    if (!object.value(key).isString()) {
        *error = QStringLiteral("option \"%1\" must be a string").arg(key);
        return false;
    }
    *out = object.value(key).toString();
    return true;
}
} // namespace

QString DevState::Ticket::otpUri() const
{
    if (!otpOverride.isEmpty()) {
        return otpOverride;
    }
    QString label = percentEncoded(user);
    if (!issuer.isEmpty()) {
        label = percentEncoded(issuer) + QLatin1Char(':') + label;
    }
    QString uri = QStringLiteral("otpauth://totp/%1?secret=%2").arg(label, secret);
    if (!issuer.isEmpty()) {
        uri += QStringLiteral("&issuer=") + percentEncoded(issuer);
    }
    return uri + QStringLiteral("&algorithm=%1&digits=%2&period=%3").arg(algorithm).arg(digits).arg(period);
}

QString DevState::Ticket::ticketUri() const
{
    return QStringLiteral("orbticket://%1?address=%2&pin=%3&key=%4").arg(reqID, address, pin, key);
}

QJsonObject DevState::Ticket::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("uri"), ticketUri());
    object.insert(QStringLiteral("reqID"), reqID);
    object.insert(QStringLiteral("address"), address);
    object.insert(QStringLiteral("pin"), pin);
    object.insert(QStringLiteral("key"), key);
    object.insert(QStringLiteral("kind"), kind);
    object.insert(QStringLiteral("member"), member);
    object.insert(QStringLiteral("issuer"), issuer);
    object.insert(QStringLiteral("user"), user);
    object.insert(QStringLiteral("algorithm"), algorithm);
    object.insert(QStringLiteral("digits"), digits);
    object.insert(QStringLiteral("period"), period);
    object.insert(QStringLiteral("secret"), secret);
    object.insert(QStringLiteral("otp"), otpUri());
    object.insert(QStringLiteral("otpOverride"), otpOverride);
    object.insert(QStringLiteral("tokenUID"), tokenUID);
    object.insert(QStringLiteral("authkey"), authkey);
    object.insert(QStringLiteral("created"), created);
    object.insert(QStringLiteral("registeredAt"), registeredAt);
    object.insert(QStringLiteral("registered"), registeredAt != 0);
    object.insert(QStringLiteral("revoked"), revoked);
    return object;
}

bool DevState::Ticket::fromJson(const QJsonObject &object, Ticket *ticket)
{
    Ticket t;
    QString error;
    const bool ok = readString(object, QStringLiteral("reqID"), &t.reqID, &error) &&
                    readString(object, QStringLiteral("address"), &t.address, &error) &&
                    readString(object, QStringLiteral("pin"), &t.pin, &error) &&
                    readString(object, QStringLiteral("key"), &t.key, &error) &&
                    readString(object, QStringLiteral("kind"), &t.kind, &error) &&
                    readString(object, QStringLiteral("member"), &t.member, &error) &&
                    readString(object, QStringLiteral("issuer"), &t.issuer, &error) &&
                    readString(object, QStringLiteral("user"), &t.user, &error) &&
                    readString(object, QStringLiteral("algorithm"), &t.algorithm, &error) &&
                    readString(object, QStringLiteral("secret"), &t.secret, &error) &&
                    readString(object, QStringLiteral("otpOverride"), &t.otpOverride, &error) &&
                    readString(object, QStringLiteral("tokenUID"), &t.tokenUID, &error) &&
                    readString(object, QStringLiteral("authkey"), &t.authkey, &error) &&
                    readIntOption(object, QStringLiteral("digits"), 1, 10, &t.digits, &error) &&
                    readIntOption(object, QStringLiteral("period"), 1, 3600, &t.period, &error);
    if (!ok || base32_decode(t.key.toStdString()).size() != TICKET_KEY_BYTES) {
        return false;
    }
    t.created = seconds(object.value(QStringLiteral("created")));
    t.registeredAt = seconds(object.value(QStringLiteral("registeredAt")));
    t.revoked = object.value(QStringLiteral("revoked")).toBool();
    *ticket = t;
    return true;
}

QJsonObject DevState::Login::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("sessionID"), sessionID);
    object.insert(QStringLiteral("tokenUID"), tokenUID);
    object.insert(QStringLiteral("metadata"), metadata);
    object.insert(QStringLiteral("time"), time);
    object.insert(QStringLiteral("state"), state);
    object.insert(QStringLiteral("demo"), demo);
    return object;
}

bool DevState::Login::fromJson(const QJsonObject &object, Login *login)
{
    Login l;
    QString error;
    if (!readString(object, QStringLiteral("sessionID"), &l.sessionID, &error) ||
        !readString(object, QStringLiteral("tokenUID"), &l.tokenUID, &error) ||
        !readString(object, QStringLiteral("metadata"), &l.metadata, &error) ||
        !readString(object, QStringLiteral("state"), &l.state, &error)) {
        return false;
    }
    l.time = seconds(object.value(QStringLiteral("time")));
    l.demo = object.value(QStringLiteral("demo")).toBool();
    *login = l;
    return true;
}

qint64 DevState::seconds(const QJsonValue &value)
{
    // A JSON number is a double; anything beyond a few million years is not a time.
    const double number = value.toDouble(0);
    if (!(number > -1e15 && number < 1e15)) {
        return 0;
    }
    return static_cast<qint64>(number);
}

unsigned char DevState::algorithmCode(const QString &name)
{
    if (name == QLatin1String("SHA1")) {
        return 1;
    }
    if (name == QLatin1String("SHA256")) {
        return 2;
    }
    if (name == QLatin1String("SHA512")) {
        return 3;
    }
    return 0;
}

QJsonObject DevState::createTicket(const QString &address, const QJsonObject &options, qint64 now,
                                   QString *error)
{
    Ticket t;
    t.kind = QStringLiteral("push");
    t.member = QStringLiteral("mobileotp");
    t.issuer = QStringLiteral("Kestrel Demo");
    t.algorithm = QStringLiteral("SHA1");
    if (!readStringOption(options, QStringLiteral("kind"), &t.kind, error) ||
        !readStringOption(options, QStringLiteral("member"), &t.member, error) ||
        !readStringOption(options, QStringLiteral("issuer"), &t.issuer, error) ||
        !readStringOption(options, QStringLiteral("user"), &t.user, error) ||
        !readStringOption(options, QStringLiteral("algorithm"), &t.algorithm, error) ||
        !readStringOption(options, QStringLiteral("secret"), &t.secret, error) ||
        !readStringOption(options, QStringLiteral("pin"), &t.pin, error) ||
        !readStringOption(options, QStringLiteral("otp"), &t.otpOverride, error) ||
        !readIntOption(options, QStringLiteral("digits"), 1, 10, &t.digits, error) ||
        !readIntOption(options, QStringLiteral("period"), 1, 3600, &t.period, error)) {
        return QJsonObject();
    }
    if (t.kind != QLatin1String("push") && t.kind != QLatin1String("otp") &&
        t.kind != QLatin1String("plain")) {
        *error = QStringLiteral("kind must be \"push\", \"otp\" or \"plain\"");
        return QJsonObject();
    }
    if (t.member != QLatin1String("mobileotp") && t.member != QLatin1String("mobileauth") &&
        t.member != QLatin1String("both")) {
        *error = QStringLiteral("member must be \"mobileotp\", \"mobileauth\" or \"both\"");
        return QJsonObject();
    }
    if (algorithmCode(t.algorithm) == 0) {
        *error = QStringLiteral("algorithm must be \"SHA1\", \"SHA256\" or \"SHA512\"");
        return QJsonObject();
    }
    // Anything that would break the ticket or label syntax is refused rather than escaped,
    // since the client parses tickets without percent-decoding.
    for (const QString &text : {t.pin, t.secret}) {
        if (text.contains(QLatin1Char('&')) || text.contains(QLatin1Char('?')) ||
            text.contains(QLatin1Char('='))) {
            *error = QStringLiteral("pin and secret must not contain '&', '?' or '='");
            return QJsonObject();
        }
    }
    if (t.user.isEmpty()) {
        t.user = QStringLiteral("user%1@example.org").arg(m_tickets.size() + 1);
    }
    if (t.secret.isEmpty()) {
        t.secret = DevCrypto::base32Encode(DevCrypto::randomBytes(OTP_SECRET_BYTES));
    }
    if (t.pin.isEmpty()) {
        t.pin = DevCrypto::randomDigits(4);
    }
    t.reqID = DevCrypto::randomHex(8).toUpper();
    t.key = DevCrypto::base32Encode(DevCrypto::randomBytes(TICKET_KEY_BYTES));
    t.address = address;
    t.tokenUID = DevCrypto::randomHex(16);
    if (t.kind == QLatin1String("push")) {
        t.authkey = DevCrypto::randomHex(20);
    }
    t.created = now;
    m_tickets.append(t);
    return t.toJson();
}

QJsonObject DevState::createLogin(const QString &tokenUID, const QString &metadata, qint64 time, bool demo,
                                  QString *error)
{
    const Ticket *ticket = findTicketByToken(tokenUID);
    if (!ticket || ticket->registeredAt == 0 || ticket->revoked) {
        *error = QStringLiteral("no registered token with this id");
        return QJsonObject();
    }
    Login login;
    login.sessionID = DevCrypto::randomHex(16);
    login.tokenUID = tokenUID;
    login.metadata = metadata;
    login.time = time;
    login.state = QStringLiteral("pending");
    login.demo = demo;
    m_logins.append(login);
    return login.toJson();
}

bool DevState::withdrawLogin(const QString &sessionID, QString *error)
{
    for (Login &login : m_logins) {
        if (login.sessionID == sessionID) {
            if (login.state != QLatin1String("pending")) {
                *error = QStringLiteral("login is already ") + login.state;
                return false;
            }
            login.state = QStringLiteral("withdrawn");
            return true;
        }
    }
    *error = QStringLiteral("unknown session id");
    return false;
}

bool DevState::revokeToken(const QString &tokenUID, QString *error)
{
    Ticket *ticket = findTicketByToken(tokenUID);
    if (!ticket) {
        *error = QStringLiteral("unknown token id");
        return false;
    }
    ticket->revoked = true;
    for (Login &login : m_logins) {
        if (login.tokenUID == tokenUID && login.state == QLatin1String("pending")) {
            login.state = QStringLiteral("withdrawn");
        }
    }
    return true;
}

QJsonArray DevState::ticketsJson() const
{
    QJsonArray array;
    for (const Ticket &ticket : m_tickets) {
        array.append(ticket.toJson());
    }
    return array;
}

QJsonArray DevState::loginsJson() const
{
    QJsonArray array;
    for (const Login &login : m_logins) {
        array.append(login.toJson());
    }
    return array;
}

QJsonArray DevState::devicesJson() const
{
    QJsonArray array;
    for (const QString &tokenUID : m_deviceOrder) {
        array.append(m_devices.value(tokenUID));
    }
    return array;
}

QStringList DevState::pendingDemoLogins(const QString &tokenUID) const
{
    QStringList sessions;
    for (const Login &login : m_logins) {
        if (login.demo && login.tokenUID == tokenUID && login.state == QLatin1String("pending")) {
            sessions.append(login.sessionID);
        }
    }
    return sessions;
}

QJsonObject DevState::registrationAnswer(const Ticket &ticket)
{
    QJsonObject answer;
    QJsonValue data;
    if (ticket.kind == QLatin1String("plain")) {
        QJsonObject plain;
        plain.insert(QStringLiteral("otp"), ticket.otpUri());
        data = plain;
    } else {
        QJsonObject plaintext;
        plaintext.insert(QStringLiteral("otp"), ticket.otpUri());
        plaintext.insert(QStringLiteral("tokenUID"), ticket.tokenUID);
        if (ticket.kind == QLatin1String("push")) {
            plaintext.insert(QStringLiteral("authkey"), ticket.authkey);
        }
        const QByteArray key = base32_decode(ticket.key.toStdString());
        data = DevCrypto::encryptTicketAnswer(key, QJsonDocument(plaintext).toJson(QJsonDocument::Compact));
    }
    if (ticket.member == QLatin1String("both")) {
        // A decoy under another key: a client that picks "mobileauth" over "mobileotp" fails.
        QJsonObject decoy;
        decoy.insert(QStringLiteral("otp"), QStringLiteral("otpauth://totp/decoy?secret=AAAA"));
        answer.insert(QStringLiteral("mobileauth"),
                      DevCrypto::encryptTicketAnswer(DevCrypto::randomBytes(TICKET_KEY_BYTES),
                                                     QJsonDocument(decoy).toJson(QJsonDocument::Compact)));
        answer.insert(QStringLiteral("mobileotp"), data);
    } else {
        answer.insert(ticket.member, data);
    }
    return answer;
}

DevState::Reply DevState::registerTicket(const QJsonObject &body, qint64 now)
{
    QString error;
    QString reqID;
    QString language;
    if (!readString(body, QStringLiteral("reqID"), &reqID, &error) ||
        !readString(body, QStringLiteral("language"), &language, &error)) {
        return badRequest(error);
    }
    for (Ticket &ticket : m_tickets) {
        if (ticket.reqID != reqID) {
            continue;
        }
        if (ticket.registeredAt != 0) {
            return serverError(QStringLiteral("The ticket has already been used"));
        }
        if (ticket.revoked) {
            return serverError(QStringLiteral("The ticket has been revoked"));
        }
        Reply reply;
        reply.body = registrationAnswer(ticket);
        ticket.registeredAt = qMax<qint64>(1, now);
        reply.outcome = QStringLiteral("registered %1 ticket").arg(ticket.kind);
        return reply;
    }
    return serverError(QStringLiteral("Unknown registration request"));
}

DevState::Reply DevState::updateTokens(const QJsonObject &body)
{
    QString error;
    QStringList available;
    if (!readStringArray(body, QStringLiteral("availableTokens"), &available, &error)) {
        return badRequest(error);
    }
    const QJsonValue devicesValue = body.value(QStringLiteral("notificationDeviceTokens"));
    if (!devicesValue.isArray()) {
        return badRequest(QStringLiteral("member \"notificationDeviceTokens\" must be an array of objects"));
    }
    // Check every record before keeping any, so a bad request changes nothing.
    const QJsonArray devices = devicesValue.toArray();
    for (const QJsonValue &item : devices) {
        if (!item.isObject()) {
            return badRequest(
                QStringLiteral("member \"notificationDeviceTokens\" must be an array of objects"));
        }
        const QJsonObject device = item.toObject();
        QString text;
        for (const char *key : {"hmac", "language", "notificationDeviceID", "os", "tokenUID", "version"}) {
            if (!readString(device, QString::fromLatin1(key), &text, &error)) {
                return badRequest(error);
            }
        }
        if (!device.value(QStringLiteral("timeZoneOffset")).isDouble()) {
            return badRequest(QStringLiteral("member \"timeZoneOffset\" must be a number"));
        }
    }
    QJsonArray acknowledged;
    for (const QJsonValue &item : devices) {
        QJsonObject device = item.toObject();
        const QString tokenUID = device.value(QStringLiteral("tokenUID")).toString();
        const int received = m_devices.value(tokenUID).value(QStringLiteral("received")).toInt() + 1;
        device.insert(QStringLiteral("received"), received);
        if (!m_devices.contains(tokenUID)) {
            m_deviceOrder.append(tokenUID);
        }
        m_devices.insert(tokenUID, device);
        acknowledged.append(tokenUID);
    }
    const QSet<QString> listed(available.begin(), available.end());
    QJsonArray pending;
    for (const Login &login : m_logins) {
        if (login.state == QLatin1String("pending") && listed.contains(login.tokenUID) &&
            isIssued(login.tokenUID)) {
            QJsonObject entry;
            entry.insert(QStringLiteral("tokenUID"), login.tokenUID);
            entry.insert(QStringLiteral("sessionID"), login.sessionID);
            entry.insert(QStringLiteral("metadata"), login.metadata);
            entry.insert(QStringLiteral("time"), login.time);
            pending.append(entry);
        }
    }
    Reply reply;
    reply.body.insert(QStringLiteral("availableTokens"), pending);
    reply.body.insert(QStringLiteral("notificationDeviceTokens"), acknowledged);
    reply.outcome =
        QStringLiteral("%1 pending, %2 device records").arg(pending.size()).arg(acknowledged.size());
    return reply;
}

DevState::Reply DevState::getRemovedTokens(const QJsonObject &body)
{
    QString error;
    QStringList tokenUIDs;
    if (!readStringArray(body, QStringLiteral("tokenUIDs"), &tokenUIDs, &error)) {
        return badRequest(error);
    }
    QJsonArray removed;
    for (const QString &tokenUID : tokenUIDs) {
        if (!isIssued(tokenUID)) {
            QJsonObject entry;
            entry.insert(QStringLiteral("tokenUID"), tokenUID);
            removed.append(entry);
        }
    }
    Reply reply;
    reply.body.insert(QStringLiteral("tokens"), removed);
    reply.outcome = QStringLiteral("%1 of %2 removed").arg(removed.size()).arg(tokenUIDs.size());
    return reply;
}

DevState::Reply DevState::acceptToken(const QJsonObject &body, qint64 now)
{
    QString error;
    QString hmac;
    QString sessionID;
    QString tokenUID;
    QString valueOTP;
    const QJsonValue acceptedValue = body.value(QStringLiteral("accepted"));
    if (!acceptedValue.isBool()) {
        return badRequest(QStringLiteral("member \"accepted\" must be a boolean"));
    }
    const bool accepted = acceptedValue.toBool();
    if (!readString(body, QStringLiteral("hmac"), &hmac, &error) ||
        !readString(body, QStringLiteral("sessionID"), &sessionID, &error) ||
        !readString(body, QStringLiteral("tokenUID"), &tokenUID, &error) ||
        (accepted && !readString(body, QStringLiteral("valueotp"), &valueOTP, &error))) {
        return badRequest(error);
    }
    Login *login = nullptr;
    for (Login &candidate : m_logins) {
        if (candidate.sessionID == sessionID) {
            login = &candidate;
            break;
        }
    }
    if (!login) {
        return serverError(QStringLiteral("Unknown authentication session"));
    }
    if (login->tokenUID != tokenUID) {
        return serverError(QStringLiteral("The session belongs to another token"));
    }
    const Ticket *ticket = findTicketByToken(tokenUID);
    if (login->state != QLatin1String("pending") || !ticket || ticket->revoked) {
        return serverError(QStringLiteral("The authentication session is closed"));
    }
    QString message = tokenUID + QLatin1Char(':') + sessionID + QLatin1Char(':');
    message += accepted ? QStringLiteral("true:") + valueOTP : QStringLiteral("false");
    const QString expected = DevCrypto::hmacSha256Base64(ticket->authkey.toUtf8(), message.toUtf8());
    if (expected.isEmpty() || !DevCrypto::constantTimeEquals(expected.toUtf8(), hmac.toUtf8())) {
        return badRequest(QStringLiteral("Invalid signature"));
    }
    if (accepted) {
        // One time step of drift either way, for a phone clock that is slightly off.
        bool codeMatches = false;
        for (qint64 step = -1; step <= 1; ++step) {
            const long time = static_cast<long>(now + step * ticket->period);
            const std::string code = OTPGenerator::computeTOTP(
                time, ticket->secret.toStdString(), static_cast<unsigned char>(ticket->digits),
                static_cast<unsigned int>(ticket->period), algorithmCode(ticket->algorithm), nullptr);
            if (!code.empty() &&
                DevCrypto::constantTimeEquals(QByteArray::fromStdString(code), valueOTP.toUtf8())) {
                codeMatches = true;
            }
        }
        if (!codeMatches) {
            return badRequest(QStringLiteral("Invalid one-time password"));
        }
    }
    login->state = accepted ? QStringLiteral("accepted") : QStringLiteral("declined");
    Reply reply;
    reply.body.insert(QStringLiteral("result"), login->state);
    reply.outcome = login->state;
    return reply;
}

DevState::Ticket *DevState::findTicketByToken(const QString &tokenUID)
{
    for (Ticket &ticket : m_tickets) {
        if (ticket.tokenUID == tokenUID) {
            return &ticket;
        }
    }
    return nullptr;
}

bool DevState::isIssued(const QString &tokenUID) const
{
    for (const Ticket &ticket : m_tickets) {
        if (ticket.tokenUID == tokenUID) {
            return ticket.registeredAt != 0 && !ticket.revoked;
        }
    }
    return false;
}

QJsonObject DevState::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("version"), STATE_VERSION);
    object.insert(QStringLiteral("tickets"), ticketsJson());
    object.insert(QStringLiteral("logins"), loginsJson());
    object.insert(QStringLiteral("devices"), devicesJson());
    return object;
}

bool DevState::fromJson(const QJsonObject &object, QString *error)
{
    if (object.value(QStringLiteral("version")).toInt() != STATE_VERSION) {
        *error = QStringLiteral("unknown state version");
        return false;
    }
    QList<Ticket> tickets;
    QList<Login> logins;
    QHash<QString, QJsonObject> devices;
    QStringList deviceOrder;
    for (const QJsonValue &value : object.value(QStringLiteral("tickets")).toArray()) {
        Ticket ticket;
        if (!Ticket::fromJson(value.toObject(), &ticket)) {
            *error = QStringLiteral("a ticket is incomplete");
            return false;
        }
        tickets.append(ticket);
    }
    for (const QJsonValue &value : object.value(QStringLiteral("logins")).toArray()) {
        Login login;
        if (!Login::fromJson(value.toObject(), &login)) {
            *error = QStringLiteral("a login is incomplete");
            return false;
        }
        logins.append(login);
    }
    for (const QJsonValue &value : object.value(QStringLiteral("devices")).toArray()) {
        const QJsonObject device = value.toObject();
        const QString tokenUID = device.value(QStringLiteral("tokenUID")).toString();
        if (!devices.contains(tokenUID)) {
            deviceOrder.append(tokenUID);
        }
        devices.insert(tokenUID, device);
    }
    m_tickets = tickets;
    m_logins = logins;
    m_devices = devices;
    m_deviceOrder = deviceOrder;
    return true;
}
