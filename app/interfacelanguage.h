#ifndef KESTREL_APP_INTERFACELANGUAGE_H
#define KESTREL_APP_INTERFACELANGUAGE_H

#include <QLocale>
#include <QString>

// The interface's language. The screens are written in Russian; for any other language the
// English translation is installed (TRANSLATION_FILE, found as the screens are, or in the build
// tree), and the application version text follows. GUI thread, after the application object;
// the translator stays installed until the next apply().
class InterfaceLanguage
{
public:
    static const QString TRANSLATION_FILE;

    // False when English was wanted but its translation was not found: the screens stay Russian.
    static bool apply(const QLocale &locale, const QString &buildDate);
};

#endif // KESTREL_APP_INTERFACELANGUAGE_H
