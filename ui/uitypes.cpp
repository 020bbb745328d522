#include "ui/uitypes.h"

#include "ui/appsettings.h"
#include "ui/clipboardproxy.h"
#include "ui/pinattemptlimiter.h"
#include "ui/qrcodeitem.h"
#include "ui/qrimagedecoder.h"

#include <QQuickStyle>
#include <QtQml>

void registerUiTypes()
{
    qmlRegisterType<QRImageDecoder>("ru.kestrel.ui", 1, 0, "QRImageDecoder");
    qmlRegisterType<PinAttemptLimiter>("ru.kestrel.ui", 1, 0, "PinAttemptLimiter");
    qmlRegisterType<ClipboardProxy>("ru.kestrel.ui", 1, 0, "Clipboard");
    qmlRegisterType<QRCodeItem>("ru.kestrel.ui", 1, 0, "QRCode");
    // Made when a screen first uses it, once the application object has its names.
    qmlRegisterSingletonType<AppSettings>(
        "ru.kestrel.ui", 1, 0, "AppSettings", [](QQmlEngine *, QJSEngine *) {
            AppSettings *settings = AppSettings::instance();
            QQmlEngine::setObjectOwnership(settings, QQmlEngine::CppOwnership);
            return static_cast<QObject *>(settings);
        });
}

void selectUiStyle()
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_STYLE")) {
        QQuickStyle::setStyle(QStringLiteral("Material"));
    }
    // Colours for the whole window, dialogs included: they live in the window's overlay, out of
    // reach of the main item's attached properties.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_MATERIAL_ACCENT")) {
        qputenv("QT_QUICK_CONTROLS_MATERIAL_ACCENT", "Teal");
    }
    if (qEnvironmentVariableIsEmpty("QT_QUICK_CONTROLS_MATERIAL_PRIMARY")) {
        qputenv("QT_QUICK_CONTROLS_MATERIAL_PRIMARY", "BlueGrey");
    }
}
