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

OperationRequest *UpdateTokensRequest::CreateOperation(HttpResult::ErrorCode code) const
{
    return new AuthOperation(m_address, code);
}

void UpdateTokensRequest::DecodeBody(const QByteArray &body, OperationRequest *operation) const
{
    auto *update = static_cast<AuthOperation *>(operation);
    const QJsonObject reply = QJsonDocument::fromJson(body).object();
    const QJsonArray pending = reply.value(QStringLiteral("availableTokens")).toArray();
    for (const QJsonValue &element : pending) {
        const QJsonObject request = element.toObject();
        // Shown to the user: no more than a notification would show.
        const QString metadata =
            Bounded(request.value(QStringLiteral("metadata")).toString(), MAX_METADATA_LENGTH);
        update->PutRequest(new AuthRequest(m_address, request.value(QStringLiteral("tokenUID")).toString(),
                                           request.value(QStringLiteral("sessionID")).toString(), metadata,
                                           request.value(QStringLiteral("time")).toInt(0)));
    }
    // Sizes and counts only: the body and its entries are as large as the server makes them.
    qDebug() << "Update tokens reply:" << body.size() << "bytes," << update->GetRequests().size()
             << "pending requests";
}
