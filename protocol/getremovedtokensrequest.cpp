#include "protocol/getremovedtokensrequest.h"

#include "protocol/deleteaccountsoperationrequest.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

GetRemovedTokensRequest::GetRemovedTokensRequest(QString address, QList<QString> tokenUIDs)
    : Request(GetRemovedTokens, address)
    , m_tokenUIDs(tokenUIDs)
{
}

QString GetRemovedTokensRequest::GetCommand() const
{
    return QStringLiteral("/getRemovedTokens");
}

QByteArray GetRemovedTokensRequest::GetDataJson() const
{
    QJsonObject body;
    body.insert(QStringLiteral("tokenUIDs"), QJsonArray::fromStringList(QStringList(m_tokenUIDs)));
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

OperationRequest *GetRemovedTokensRequest::CreateOperation(HttpResult::ErrorCode code) const
{
    return new DeleteAccountsOperationRequest(m_address, code);
}

void GetRemovedTokensRequest::DecodeBody(const QByteArray &body, OperationRequest *operation) const
{
    auto *removal = static_cast<DeleteAccountsOperationRequest *>(operation);
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject()) {
        return;
    }
    const QJsonValue tokens = document.object().value(QStringLiteral("tokens"));
    if (!tokens.isArray()) {
        return;
    }
    const QJsonArray removed = tokens.toArray();
    for (const QJsonValue &element : removed) {
        const QString tokenUID = element.toObject().value(QStringLiteral("tokenUID")).toString();
        removal->putToken(tokenUID);
    }
    // A count, not the ids: the list is as long as the server makes it.
    qDebug() << "Removed tokens reply:" << removal->GetTokens().size() << "tokens";
}
