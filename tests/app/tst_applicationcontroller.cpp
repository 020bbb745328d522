#include "app/applicationcontroller.h"
#include "tests/common/privatebus.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQuickView>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using Aurora::PushNotifications::Client;

class TestApplicationController : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString noFile() const { return m_dir.filePath(QStringLiteral("none")); }

    // Whether the application's event loop was told to quit while `action` ran inside it.
    static bool quitsOn(const std::function<void()> &action)
    {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&]() {
            action();
            QTimer::singleShot(0, &loop, [&]() { loop.exit(1); });
        });
        return loop.exec() == 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // As the program does on an off-screen platform: there is no OpenGL.
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    }

    void applicationIdFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("surrounding white space")
            << QByteArray(" \tapp-id-1 \n\n") << QStringLiteral("app-id-1");
        QTest::newRow("zero byte ends it") << QByteArray("app\0tail\n", 9) << QStringLiteral("app");
        QTest::newRow("only the first 4 KiB") << QByteArray(100000, 'x') << QString(4096, 'x');
        QTest::newRow("missing file") << QByteArray() << QString();
    }

    void applicationIdFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QString path = noFile();
        if (!content.isNull()) {
            QFile file(path = m_dir.filePath(QStringLiteral("applicationid")));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(content) == content.size());
        }
        ApplicationController controller({QStringLiteral("/no-gui")}, path, nullptr);
        QCOMPARE(controller.applicationId(), expected);
        // A set application id means a registration; without one the client is never asked.
        if (!expected.isEmpty())
            QTRY_VERIFY(!controller.registrationId().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(controller.registrationId().isEmpty(), expected.isEmpty());
    }

    void sameRegistrationIdIsReportedOnce()
    {
        ApplicationController controller({QStringLiteral("/no-gui")}, noFile(), nullptr);
        auto *client = controller.findChild<Client *>();
        QSignalSpy changes(&controller, &ApplicationController::registrationIdChanged);
        emit client->registrationId(QStringLiteral("reg-1"));
        emit client->registrationId(QStringLiteral("reg-1"));
        emit client->registrationId(QStringLiteral("reg-2"));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(controller.registrationId(), QStringLiteral("reg-2"));
    }

    void inactiveClientQuitsOnlyWithoutWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("quits");
        QTest::newRow("started without window") << QStringList{QStringLiteral("/no-gui")} << true;
        QTest::newRow("window shown") << QStringList() << false;
    }

    void inactiveClientQuitsOnlyWithoutWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, quits);
        ApplicationController controller(arguments, noFile(), nullptr);
        auto *client = controller.findChild<Client *>();
        QCOMPARE(quitsOn([client]() { emit client->clientInactive(); }), quits);
    }

    void showGuiKeepsOneView()
    {
        ApplicationController controller({QStringLiteral("/no-gui")}, noFile(), nullptr);
        QVERIFY(QGuiApplication::topLevelWindows().isEmpty());
        controller.showGui();
        controller.showGui();
        QCOMPARE(QGuiApplication::topLevelWindows().size(), 1);
        auto *view = qobject_cast<QQuickView *>(QGuiApplication::topLevelWindows().first());
        QVERIFY(view && view->isVisible());
        // The main file, found in the source tree when run from the build.
        QVERIFY2(QFileInfo(view->source().toLocalFile()).isFile(), qPrintable(view->source().toString()));
        QVERIFY(view->source().toLocalFile().endsWith(QStringLiteral("/qml/Kestrel2FAClient.qml")));
        QCOMPARE(
            view->rootContext()->contextProperty(QStringLiteral("ApplicationController")).value<QObject *>(),
            &controller);
        QCOMPARE(view->windowState(), Qt::WindowFullScreen);
    }
};

KESTREL_PRIVATE_BUS_TEST_MAIN(QGuiApplication, TestApplicationController)

#include "tst_applicationcontroller.moc"
