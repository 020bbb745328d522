#include "accounts/datastorage.h"
#include "app/applicationcontroller.h"
#include "app/interfacelanguage.h"
#include "app/pushreceiverservice.h"
#include "app/qmltypes.h"
#include "models/accountslistmodel.h"
#include "tests/common/privatebus.h"
#include "tests/common/testfiles.h"
#include "ui/appsettings.h"
#include "ui/uitypes.h"

#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using Aurora::PushNotifications::Client;

class TestApplicationController : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString noFile() const { return m_dir.filePath(QStringLiteral("none")); }

    // The accounts model of the window, once one is shown.
    static AccountsListModel *shownModel()
    {
        const QWindowList windows = QGuiApplication::topLevelWindows();
        QQuickItem *root = windows.isEmpty() ? nullptr : qobject_cast<QQuickView *>(windows[0])->rootObject();
        return root ? root->property("accounts").value<AccountsListModel *>() : nullptr;
    }

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
        registerQmlTypes();
        registerUiTypes();
        // The start paths run under a file size limit, which would leave truncated files in the
        // QML cache that later loads trip over.
        qputenv("QML_DISABLE_DISK_CACHE", "1");
        std::signal(SIGXFSZ, SIG_IGN);
        // As the program does on an off-screen platform: there is no OpenGL.
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        selectUiStyle();
    }

    // The collection never frees its accounts; the test does, so that leak checks stay quiet.
    void cleanupTestCase() { DataStorage::Instance()->ResetForTests(); }

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
        const QString path = content.isNull() ? noFile() : m_dir.filePath(QStringLiteral("applicationid"));
        QVERIFY(content.isNull() || writeFile(path, content));
        ApplicationController controller({QStringLiteral("/no-gui")}, path, nullptr);
        QCOMPARE(controller.applicationId(), expected);
        // A set application id means a registration; without one the client is never asked.
        if (!expected.isEmpty()) {
            QTRY_VERIFY(!controller.registrationId().isEmpty());
        }
        QCoreApplication::processEvents();
        QCOMPARE(controller.registrationId().isEmpty(), expected.isEmpty());
    }

    // Every start path over every state of the data: no stored account is lost, a window shows
    // the readable ones and tells what is wrong with the file.
    void startPaths_data()
    {
        QTest::addColumn<int>("path");
        QTest::addColumn<QByteArray>("stored"); // "accounts.txt"; "/": a directory in its place
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("notice");
        // Written as a save writes it, so that a save of the same accounts leaves it unchanged.
        const QByteArray valid = readFile(KESTREL_TEST_DATA "/accounts.txt");
        QJsonArray unknown = {42, QJsonObject{{"Type", 9}}, "x"};
        for (const QJsonValue &account : QJsonDocument::fromJson(valid).array()) {
            unknown.append(account);
        }
        const QList<std::tuple<const char *, QByteArray, int, QString>> states = {
            {"no file", QByteArray(), 0, ""},
            {"valid file", valid, 2, ""},
            {"damaged file", valid.left(valid.size() / 2), 0, "повреждён"},
            {"damaged file, English", valid.left(valid.size() / 2), 0, "The accounts file is damaged"},
            {"unknown entries", QJsonDocument(unknown).toJson(), 2, "не может показать: 3"},
            {"unreadable file", "/", 0, "Не удалось прочитать"},
            {"full disk", valid, 2, "Аккаунты остаются в памяти"}};
        // A window asked for by a second launch is shown as for a wake-up (the single-instance test
        // takes both through the running program).
        const char *paths[] = {"window", "no-gui", "no-gui, wake-up"};
        for (int path = 0; path < 3; ++path) {
            for (const auto &[name, stored, rows, notice] : states) {
                QTest::addRow("%s, %s", paths[path], name) << path << stored << rows << notice;
            }
        }
    }

    void startPaths()
    {
        QFETCH(int, path);
        QFETCH(QByteArray, stored);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        const QString accounts = data + "/accounts.txt";
        QVERIFY(QDir(data).removeRecursively() && QDir().mkpath(data));
        QVERIFY(stored.isNull() || (stored == "/" ? QDir().mkpath(accounts) : writeFile(accounts, stored)));
        const QString id = m_dir.filePath(QStringLiteral("applicationid"));
        QVERIFY(writeFile(id, "app-id"));
        DataStorage::Instance()->ResetForTests(); // a new process
        const bool english = QByteArray(QTest::currentDataTag()).endsWith("English");
        QVERIFY(InterfaceLanguage::apply(QLocale(english ? "en_US" : "ru_RU"), __DATE__));
        // A full disk: a file size limit far below the accounts file.
        struct rlimit limit = {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlim_t unlimited = limit.rlim_cur;
        limit.rlim_cur = QByteArray(QTest::currentDataTag()).endsWith("full disk") ? 256 : unlimited;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);

        QObject host;
        auto *service = new PushReceiverService(&host);
        ApplicationController controller(path == 0 ? QStringList() : QStringList{"/no-gui"}, id, nullptr);
        connect(service, &PushReceiverService::guiRequested, &controller, &ApplicationController::showGui);
        // Made as soon as the window is there: the model tells from its first turn of the event loop.
        std::unique_ptr<QSignalSpy> told(
            shownModel() ? new QSignalSpy(shownModel(), &AccountsListModel::badreply) : nullptr);
        // The registration id has been handled: saved with the accounts, or not.
        QTRY_VERIFY(!controller.registrationId().isEmpty());
        if (path == 2) {
            service->handleApplicationWakeUp();
            QVERIFY(shownModel());
            told.reset(new QSignalSpy(shownModel(), &AccountsListModel::badreply));
        }
        QCoreApplication::processEvents();
        limit.rlim_cur = unlimited;
        ::setrlimit(RLIMIT_FSIZE, &limit);

        // A damaged file is found in its copy, anything else where it was.
        const QString copy = QDir(data).entryList({"accounts.txt.damaged-*"}).value(0, "accounts.txt");
        if (stored == "/") {
            QVERIFY(QFileInfo(accounts).isDir());
        } else if (!stored.isNull()) {
            QCOMPARE(readFile(data + '/' + copy), stored);
        }
        if (path == 1) {
            return;
        }
        QFETCH(int, rows);
        QFETCH(QString, notice);
        QCOMPARE(shownModel()->rowCount(), rows);
        const QString messages = told->isEmpty() ? QString() : told->takeFirst().at(0).toString();
        QVERIFY2(notice.isEmpty() ? messages.isEmpty() && told->isEmpty() : messages.contains(notice),
                 qPrintable(messages));
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
        // After a quit no event loop of the application runs again: the quitting row comes last.
        QTest::newRow("window shown") << QStringList() << false;
        QTest::newRow("started without window") << QStringList{QStringLiteral("/no-gui")} << true;
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
        QCOMPARE(
            view->rootContext()->contextProperty(QStringLiteral("ApplicationController")).value<QObject *>(),
            &controller);
        QCOMPARE(view->windowState(), Qt::WindowFullScreen);
    }

    // A desktop window comes back where it was left; Ctrl+Q ends the program.
    void windowPlaceAndQuitKey()
    {
        const QRect place(60, 70, 400, 600);
        {
            ApplicationController controller(QStringList(), noFile(), nullptr);
            // The place is saved once the window has stood still for a while: not a second here.
            controller.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly)->setInterval(10);
            auto *view = qobject_cast<QQuickView *>(QGuiApplication::topLevelWindows().first());
            view->setFramePosition(place.topLeft());
            view->resize(place.size());
            // The "minimal" platform has no window manager to report the change.
            emit view->widthChanged(place.width());
            QTRY_COMPARE(AppSettings::instance()->windowGeometry(), place);
            view->requestActivate();
            QVERIFY(QTest::qWaitForWindowActive(view));
            // Once told to quit, the application's event loops no longer run (see the rows of
            // inactiveClientQuitsOnlyWithoutWindow): the screens' request is what is checked.
            QSignalSpy quit(view->engine(), &QQmlEngine::quit);
            QTest::keyClick(view, Qt::Key_Q, Qt::ControlModifier);
            QCOMPARE(quit.size(), 1);
        }
        ApplicationController controller(QStringList(), noFile(), nullptr);
        auto *view = qobject_cast<QQuickView *>(QGuiApplication::topLevelWindows().first());
        QCOMPARE(QRect(view->framePosition(), view->size()), place);
    }
};

KESTREL_PRIVATE_BUS_TEST_MAIN(QGuiApplication, TestApplicationController)

#include "tst_applicationcontroller.moc"
