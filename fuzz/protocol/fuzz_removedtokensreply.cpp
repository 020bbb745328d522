#include "fuzz/protocol/replyfuzzing.h"
#include "protocol/getremovedtokensrequest.h"

// The "/getRemovedTokens" answer with the ids the server no longer knows.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    replyfuzzing::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const GetRemovedTokensRequest request(QStringLiteral("http://127.0.0.1:1/vexa"),
                                                 {QStringLiteral("t-1")});
    replyfuzzing::decode(request, data, size);
    return 0;
}
