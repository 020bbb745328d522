#include "fuzz/protocol/replyfuzzing.h"
#include "protocol/accepttokenrequest.h"

// The "/acceptToken" answer, accepting and declining; only error bodies are read.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    replyfuzzing::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const AcceptTokenRequest accept(QStringLiteral("http://127.0.0.1:1/vexa"), QStringLiteral("t-1"),
                                           QStringLiteral("123456"), QStringLiteral("s-1"),
                                           QStringLiteral("c2ln"));
    static const AcceptTokenRequest decline(QStringLiteral("http://127.0.0.1:1/vexa"), QStringLiteral("t-1"),
                                            QStringLiteral("s-1"), QStringLiteral("c2ln"));
    replyfuzzing::decode(size % 2 ? accept : decline, data, size);
    return 0;
}
