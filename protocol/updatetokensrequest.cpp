#include "protocol/updatetokensrequest.h"

#include "protocol/authoperation.h"
#include "protocol/authrequest.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

UpdateTokensRequest::UpdateTokensRequest(QString address, QList<NotificationToken> tokens)
    : Request(UpdateTokens, address)
    , m_notificationTokens(tokens)
{
}

QString UpdateTokensRequest::GetCommand() const
{
    return QStringLiteral("/updateTokens");
}

QByteArray UpdateTokensRequest::GetDataJson() const
{
    QJsonArray availableTokens;
    QJsonArray deviceTokens;
    const QList<NotificationToken> tokens = m_notificationTokens;
    for (const NotificationToken &token : tokens) {
        availableTokens.append(token.tokenUID);
        if (!token.saved && !token.registrationId.isEmpty()) {
            QJsonObject device;
            device.insert(QStringLiteral("hmac"), token.hmac);
            device.insert(QStringLiteral("language"), token.language);
            device.insert(QStringLiteral("notificationDeviceID"), token.registrationId);
            device.insert(QStringLiteral("os"), QStringLiteral("aurora"));
            device.insert(QStringLiteral("timeZoneOffset"), token.timeZoneOffset);
            device.insert(QStringLiteral("tokenUID"), token.tokenUID);
            device.insert(QStringLiteral("version"), token.appVersion);
            deviceTokens.append(device);
        }
    }
    QJsonObject body;
    body.insert(QStringLiteral("availableTokens"), availableTokens);
    body.insert(QStringLiteral("notificationDeviceTokens"), deviceTokens);
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

HttpResult *UpdateTokensRequest::DecodeReply(QNetworkReply *reply) const
{
    return DecodeFinishedReply(reply);
}

HttpResult *UpdateTokensRequest::DecodeReplyData(QNetworkReply::NetworkError error, int statusCode,
                                                 const QByteArray &body) const
{
    const HttpResult::ErrorCode code = HttpResult::NetworkErrorToErrorCode(error);
    HttpResult *result = new HttpResult(code);
    AuthOperation *operation = new AuthOperation(m_address, code);
    if (code != HttpResult::ErrorNone) {
        ApplyErrorReply(result, statusCode, body);
    } else {
        qDebug() << "Update tokens reply:" << QString::fromUtf8(body);
        DecodeBody(body, operation);
    }
    result->PutOperation(operation);
    return result;
}

void UpdateTokensRequest::DecodeBody(const QByteArray &body, AuthOperation *operation) const
{
    const QJsonObject reply = QJsonDocument::fromJson(body).object();
    const QJsonArray pending = reply.value(QStringLiteral("availableTokens")).toArray();
    for (const QJsonValue &element : pending) {
        const QJsonObject request = element.toObject();
        const QString tokenUID = request.value(QStringLiteral("tokenUID")).toString();
        operation->PutRequest(new AuthRequest(m_address, tokenUID,
                                              request.value(QStringLiteral("sessionID")).toString(),
                                              request.value(QStringLiteral("metadata")).toString(),
                                              request.value(QStringLiteral("time")).toInt(0)));
        qDebug() << tokenUID;
    }
}
