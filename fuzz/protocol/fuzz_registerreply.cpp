#include "fuzz/protocol/replyfuzzing.h"
#include "protocol/activateorbticketrequest.h"

// The "/register" answer: plain or encrypted account data under the key of the seed corpus.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    replyfuzzing::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const ActivateOrbTicketRequest request(
        QStringLiteral("http://127.0.0.1:1/vexa"), QStringLiteral("req-1"), QStringLiteral("1234"),
        QStringLiteral("en-US"), QStringLiteral("AAAQEAYEAUDAOCAJBIFQYDIOB4"));
    replyfuzzing::decode(request, data, size);
    return 0;
}
