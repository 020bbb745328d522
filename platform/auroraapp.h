#ifndef KESTREL_PLATFORM_AURORAAPP_H
#define KESTREL_PLATFORM_AURORAAPP_H

#include <QString>
#include <QUrl>

class QGuiApplication;
class QQuickView;

// Stand-in for the phone's application library.
namespace Aurora {
namespace Application {

// The application object; the caller owns it and destroys it last. Qt Quick draws in software
// off screen and where no graphics device is present (a desktop without a GPU), unless
// QT_QUICK_BACKEND names a backend.
QGuiApplication *application(int &argc, char **argv);

// A new QML view sized to its root item; the caller owns it.
QQuickView *createView();

// The URL of a file installed with the program: the program's own resources (":/<path>") when
// it was built with that file in them, else <datadir>/<organisation>.<application>/<path> of the
// install prefix, else beside the executable's prefix, else in the source tree, so that the
// program also runs straight from its build directory.
QUrl pathTo(const QString &path);

} // namespace Application
} // namespace Aurora

#endif // KESTREL_PLATFORM_AURORAAPP_H
