#pragma once

#include "models/accountslistmodel.h"
#include "protocol/httpresult.h"
#include "protocol/operationrequest.h"
#include "protocol/request.h"
#include "tests/protocol/accountslistmodeldouble.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

// Shared by the reply decoder harnesses: the first input byte picks how the exchange ended,
// the rest is the reply body. The result's operation is carried out against the model double,
// as the list model would, and everything is released again.
namespace replyfuzzing {

inline void silence(QtMsgType, const QMessageLogContext &, const QString &) {}

inline void initialize()
{
    qInstallMessageHandler(silence);
}

inline void decode(const Request &request, const uint8_t *data, size_t size)
{
    if (size == 0) {
        return;
    }
    struct Ending
    {
        QNetworkReply::NetworkError error;
        int status;
    };
    static const Ending endings[] = {
        {QNetworkReply::NoError, 200},
        {QNetworkReply::ProtocolInvalidOperationError, 400},
        {QNetworkReply::InternalServerError, 500},
        {QNetworkReply::ConnectionRefusedError, 0},
        {QNetworkReply::ContentNotFoundError, 404},
        {QNetworkReply::OperationCanceledError, 0},
    };
    // Most inputs should reach the body decoder of a successful reply.
    const Ending ending = data[0] < 200 ? endings[0] : endings[data[0] % 6];
    const QByteArray body(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1));

    HttpResult *result = request.DecodeReplyData(ending.error, ending.status, body);
    static AccountsListModel model;
    if (result->operation) {
        result->operation->DoOperation(&model);
    }
    delete result->operation;
    delete result;
    modelCallLog().clear();
}

} // namespace replyfuzzing
