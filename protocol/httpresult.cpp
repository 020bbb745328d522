#include "protocol/httpresult.h"

#include <QJsonDocument>
#include <QJsonObject>

HttpResult::HttpResult() {}

HttpResult::HttpResult(HttpResult::ErrorCode code)
    : errorCode(code)
{
}

void HttpResult::PutOperation(OperationRequest *op)
{
    operation = op;
}

HttpResult::ErrorCode HttpResult::NetworkErrorToErrorCode(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::NoError:
        return ErrorNone;
    case QNetworkReply::ConnectionRefusedError:
        return ErrorConnection;
    case QNetworkReply::SslHandshakeFailedError:
        return ErrorSslHandshake;
    case QNetworkReply::ProtocolInvalidOperationError:
        return ErrorProtocol;
    case QNetworkReply::InternalServerError:
        return ErrorServer;
    default:
        return ErrorUnknown;
    }
}

QString HttpResult::GetErrorMessage(HttpResult::ErrorCode code)
{
    switch (code) {
    case ErrorSslHandshake:
        return QStringLiteral("Не удалось подтвердить подлинность сертификата сервера");
    case ErrorProtocol:
        return QStringLiteral("Неверная операция для данного протокола");
    case ErrorServer:
        return QStringLiteral("Внутренняя ошибка сервера");
    case ErrorConnection:
        return QStringLiteral("Не удалось установить соединение с сервером");
    case ErrorUnknown:
        return QStringLiteral("Неизвестная сетевая ошибка");
    default:
        // Unlike code 5, with the exclamation mark: the text users already know.
        return QStringLiteral("Неизвестная сетевая ошибка!");
    }
}

QString HttpResult::ExtractStatusMessage(QByteArray body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject()) {
        return QString();
    }
    return document.object().value(QStringLiteral("message")).toString();
}
