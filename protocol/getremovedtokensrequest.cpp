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

HttpResult *GetRemovedTokensRequest::DecodeReply(QNetworkReply *reply) const
{
    return DecodeFinishedReply(reply);
}

HttpResult *GetRemovedTokensRequest::DecodeReplyData(QNetworkReply::NetworkError error, int statusCode,
                                                     const QByteArray &body) const
{
    const HttpResult::ErrorCode code = HttpResult::NetworkErrorToErrorCode(error);
    HttpResult *result = new HttpResult(code);
    DeleteAccountsOperationRequest *operation = new DeleteAccountsOperationRequest(m_address, code);
    if (code != HttpResult::ErrorNone) {
        ApplyErrorReply(result, statusCode, body);
    } else {
        DecodeBody(body, operation);
    }
    result->PutOperation(operation);
    return result;
}

void GetRemovedTokensRequest::DecodeBody(const QByteArray &body,
                                         DeleteAccountsOperationRequest *operation) const
{
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
        operation->putToken(tokenUID);
        qDebug() << tokenUID;
    }
}
