#ifndef KESTREL_PROTOCOL_HTTPRESULT_H
#define KESTREL_PROTOCOL_HTTPRESULT_H

#include <QByteArray>
#include <QMetaType>
#include <QNetworkReply>
#include <QString>

class OperationRequest;

// The outcome of one server exchange, carried from the HTTP thread to the accounts list model
// together with the one operation the reply asks for. Does not own the operation.
class HttpResult
{
public:
    enum ErrorCode
    {
        ErrorNone = 0,
        ErrorSslHandshake = 1,
        ErrorProtocol = 2,
        ErrorServer = 3,
        ErrorConnection = 4,
        ErrorUnknown = 5
    };

    HttpResult();
    explicit HttpResult(HttpResult::ErrorCode code);

    void PutOperation(OperationRequest *op);

    static HttpResult::ErrorCode NetworkErrorToErrorCode(QNetworkReply::NetworkError error);
    static QString GetErrorMessage(HttpResult::ErrorCode code);
    // The server's own error text: the "message" member of a JSON object body, else empty.
    static QString ExtractStatusMessage(QByteArray body);

    OperationRequest *operation = nullptr;
    HttpResult::ErrorCode errorCode = ErrorNone;
    int statusCode = 0;
    QString message;
};

// Results cross from the HTTP thread to the GUI thread through queued signals.
Q_DECLARE_METATYPE(HttpResult *)

#endif // KESTREL_PROTOCOL_HTTPRESULT_H
