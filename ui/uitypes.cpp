#include "ui/uitypes.h"

#include "ui/clipboardproxy.h"
#include "ui/pinattemptlimiter.h"
#include "ui/qrimagedecoder.h"

#include <QtQml>

void registerUiTypes()
{
    qmlRegisterType<QRImageDecoder>("ru.kestrel.ui", 1, 0, "QRImageDecoder");
    qmlRegisterType<PinAttemptLimiter>("ru.kestrel.ui", 1, 0, "PinAttemptLimiter");
    qmlRegisterType<ClipboardProxy>("ru.kestrel.ui", 1, 0, "Clipboard");
}
