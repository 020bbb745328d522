#include "fuzz/protocol/replyfuzzing.h"

// The "/register" answer: plain or encrypted account data under the key of the seed corpus.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    replyfuzzing::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ActivateOrbTicketRequest &request = replyfuzzing::registrationRequest();
    replyfuzzing::decode(request, data, size);
    return 0;
}
