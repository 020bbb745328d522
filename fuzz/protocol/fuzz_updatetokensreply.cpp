#include "fuzz/protocol/replyfuzzing.h"
#include "protocol/updatetokensrequest.h"

// The "/updateTokens" answer with its pending login requests.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    replyfuzzing::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const UpdateTokensRequest request(QStringLiteral("http://127.0.0.1:1/vexa"), {});
    replyfuzzing::decode(request, data, size);
    return 0;
}
