#ifndef KESTREL_FUZZ_PROTOCOL_REPLYFUZZING_H
#define KESTREL_FUZZ_PROTOCOL_REPLYFUZZING_H

#include "accounts/account.h"
#include "accounts/datastorage.h"
#include "models/accountslistmodel.h"
#include "protocol/activateorbticketrequest.h"
#include "protocol/httpresult.h"
#include "protocol/operationrequest.h"
#include "protocol/request.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

// Qt 5.15's JSON parser loses the earlier value of a repeated key when that value is an object or
// an array; those leaks are Qt's, bounded by the reply size, and not ours to free. Qt is built
// without frame pointers, so the quick stack traces end inside the library: memory that Qt itself
// allocates is not reported, whatever our code leaks still is.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libQt5Core.so\n";
}

// Shared by the reply decoder harnesses: the first input byte picks how the exchange ended,
// the rest is the reply body. The result's operation is carried out against the list model, as
// it is in the program, and everything is released again.
namespace replyfuzzing {

inline void silence(QtMsgType, const QMessageLogContext &, const QString &) {}

inline void initialize()
{
    qInstallMessageHandler(silence);
    // The model saves the accounts a registration adds; they go to a directory of this run.
    static QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    // Lives as long as the process, like the model below and its threads.
    new QCoreApplication(argc, argv);
}

// The registration request whose key the seed corpus of the registration harnesses is encrypted under.
inline const ActivateOrbTicketRequest &registrationRequest()
{
    static const ActivateOrbTicketRequest request(
        QStringLiteral("http://127.0.0.1:1/vexa"), QStringLiteral("req-1"), QStringLiteral("1234"),
        QStringLiteral("en-US"), QStringLiteral("AAAQEAYEAUDAOCAJBIFQYDIOB4"));
    return request;
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
    static AccountsListModel *model = new AccountsListModel();
    if (result->operation) {
        result->operation->DoOperation(model);
    }
    delete result->operation;
    delete result;
    // Every input starts from an empty list.
    AccountsData &accounts = DataStorage::Instance()->m_accountsData;
    qDeleteAll(accounts.m_accounts);
    accounts.m_accounts.clear();
}

} // namespace replyfuzzing

#endif // KESTREL_FUZZ_PROTOCOL_REPLYFUZZING_H
