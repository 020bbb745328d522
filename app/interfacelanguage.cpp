#include "app/interfacelanguage.h"

#include "app/buildversion.h"

#include <auroraapp.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>
#include <QtDebug>

const QString InterfaceLanguage::TRANSLATION_FILE = QStringLiteral("translations/kestrel2fa_en.qm");

bool InterfaceLanguage::apply(const QLocale &locale, const QString &buildDate)
{
    static QPointer<QTranslator> translator;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    const bool russian = locale.language() == QLocale::Russian;
    bool loaded = russian;
    if (!russian) {
        translator = new QTranslator(QCoreApplication::instance());
        const QStringList candidates = {
            Aurora::Application::pathTo(TRANSLATION_FILE).toLocalFile(),
            QStringLiteral(KESTREL_TRANSLATIONS_BUILD_DIR "/kestrel2fa_en.qm"),
        };
        for (const QString &file : candidates) {
            if (translator->load(file)) {
                loaded = QCoreApplication::installTranslator(translator);
                break;
            }
        }
        if (!loaded) {
            qWarning().noquote() << "[InterfaceLanguage] no English translation found:"
                                 << candidates.join(", ");
            delete translator;
        }
    }
    QCoreApplication::setApplicationVersion(
        BuildVersion::versionText(buildDate, loaded ? locale : QLocale(QLocale::Russian)));
    return loaded;
}
