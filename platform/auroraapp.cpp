#include "auroraapp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QQuickView>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace Aurora {
namespace Application {

namespace {

// Whether a graphics device is there to draw OpenGL with. Without one Mesa rasterises OpenGL on
// the CPU and redraws the whole window for each frame, where Qt Quick's own software renderer
// redraws only what changed and compiles no shaders.
bool hasGraphicsDevice()
{
    if (qgetenv("LIBGL_ALWAYS_SOFTWARE") == "1") {
        return false;
    }
    const QDir dri(QStringLiteral("/dev/dri"));
    return !dri.entryList({QStringLiteral("card*"), QStringLiteral("renderD*")}, QDir::System).isEmpty() ||
           QFileInfo::exists(QStringLiteral("/dev/nvidia0"));
}

} // namespace

QGuiApplication *application(int &argc, char **argv)
{
    auto *application = new QGuiApplication(argc, argv);
    // The off-screen platforms have no OpenGL; a desktop without a graphics device draws faster
    // and lighter in software too. A backend the user chose wins.
    const QString platform = QGuiApplication::platformName();
    const bool offscreen = platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") && (offscreen || !hasGraphicsDevice())) {
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    }
    return application;
}

QQuickView *createView()
{
    auto *view = new QQuickView;
    view->setResizeMode(QQuickView::SizeRootObjectToView);
    return view;
}

QUrl pathTo(const QString &path)
{
    // The screens are compiled into the program (qml/CMakeLists.txt).
    if (QFileInfo::exists(QStringLiteral(":/") + path)) {
        return QUrl(QStringLiteral("qrc:/") + path);
    }
    const QString organisation = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    const QString dirName = organisation.isEmpty() ? application : organisation + '.' + application;

    const QStringList candidates = {
        QStringLiteral(KESTREL_INSTALL_DATADIR "/") + dirName,
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + dirName,
        QStringLiteral(KESTREL_SOURCE_DIR),
    };
    for (const QString &base : candidates) {
        const QString file = QDir(base).filePath(path);
        if (QFileInfo::exists(file)) {
            return QUrl::fromLocalFile(QDir::cleanPath(file));
        }
    }
    return QUrl::fromLocalFile(QDir(candidates.first()).filePath(path));
}

} // namespace Application
} // namespace Aurora
