#include "accounts/datastorage.h"
#include "app/applicationcontroller.h"
#include "app/pushreceiverservice.h"
#include "app/qmltypes.h"
#include "models/accountslistmodel.h"
#include "tests/platform/privatebus.h"
#include "ui/uitypes.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using Aurora::PushNotifications::Client;

class TestApplicationController : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString noFile() const { return m_dir.filePath(QStringLiteral("none")); }

    static QString dataFile(const QString &name)
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/' + name;
    }

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The stored entries without their push records, which take the device's registration id: an
    // entry lost, emptied or moved shows here.
    static QList<QJsonValue> entries(const QByteArray &file)
    {
        QList<QJsonValue> result;
        for (QJsonValue value : QJsonDocument::fromJson(file).array()) {
            QJsonObject object = value.toObject();
            object.remove(QStringLiteral("token"));
            result << (value.isObject() ? QJsonValue(object) : value);
        }
        return result;
    }

    // The accounts model of the window, if one is shown.
    static AccountsListModel *shownModel()
    {
        const QWindowList windows = QGuiApplication::topLevelWindows();
        auto *view = windows.isEmpty() ? nullptr : qobject_cast<QQuickView *>(windows.first());
        return view && view->rootObject()
                   ? view->rootObject()->property("accounts").value<AccountsListModel *>()
                   : nullptr;
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
        // As the program does on an off-screen platform: there is no OpenGL.
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
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

    // Every start path over every state of the data: no stored account is lost, a window shows
    // the readable ones, and what went wrong with the file is told there.
    void startPaths_data()
    {
        QTest::addColumn<int>("path");
        QTest::addColumn<QByteArray>("stored"); // accounts.txt; null: none, "/": a directory in its place
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("notice");
        const QJsonObject local{{"Type", 1},
                                {"Issuer", "Acme"},
                                {"User", "alice"},
                                {"Period", "30"},
                                {"Counter", 0},
                                {"Secret", "JBSWY3DPEHPK3PXP"},
                                {"URI", "otpauth://totp/Acme:alice?secret=JBSWY3DPEHPK3PXP"},
                                {"reqID", ""},
                                {"addres", ""},
                                {"tokenUID", ""},
                                {"authKey", ""}};
        QJsonObject push = local;
        for (const auto &field : {std::make_pair("Type", QJsonValue(3)),
                                  {"reqID", "r-1"},
                                  {"tokenUID", "t-1"},
                                  {"addres", "http://127.0.0.1:1/vexa"},
                                  {"authKey", "k-1"}}) {
            push.insert(field.first, field.second);
        }
        push.insert("token", QJsonObject{{"registrationId", "old"}});
        const auto json = [](const QJsonArray &array) { return QJsonDocument(array).toJson(); };
        const QByteArray valid = json({local, push});
        const struct
        {
            const char *name;
            QByteArray stored;
            int rows;
            const char *notice;
        } states[] = {
            {"no file", QByteArray(), 0, ""},
            {"valid file", valid, 2, ""},
            {"damaged file", valid.left(valid.size() / 2), 0, "повреждён"},
            {"unreadable elements", json({42, local, QJsonObject{{"Type", 9}}, "x", push}), 2,
             "не может показать: 3"},
            {"unreadable file", "/", 0, "Не удалось прочитать"},
            {"full disk", valid, 2, "Аккаунты остаются в памяти"},
        };
        const char *paths[] = {"window", "no-gui", "no-gui then wake-up", "no-gui then second launch"};
        for (int path = 0; path < 4; ++path) {
            for (const auto &state : states) {
                QTest::addRow("%s, %s", paths[path], state.name)
                    << path << state.stored << (QByteArray(state.name) == "full disk") << state.rows
                    << QString(state.notice);
            }
        }
    }

    void startPaths()
    {
        QFETCH(int, path);
        QFETCH(QByteArray, stored);
        QFETCH(bool, fullDisk);
        QVERIFY(QDir(dataFile(QString())).removeRecursively() && QDir().mkpath(dataFile(QString())));
        const QString accounts = dataFile(QStringLiteral("accounts.txt"));
        QFile file(accounts);
        QVERIFY(stored.isNull() ||
                (stored == "/" ? QDir().mkpath(accounts)
                               : file.open(QIODevice::WriteOnly) && file.write(stored) > 0));
        file.close();
        QFile id(m_dir.filePath(QStringLiteral("applicationid")));
        QVERIFY(id.open(QIODevice::WriteOnly) && id.write("app-id") == 6);
        id.close();
        // A new process: nothing loaded yet.
        DataStorage::Instance()->ResetForTests();
        // A full disk, imitated by a file size limit far below the accounts file.
        struct rlimit unlimited = {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &unlimited) == 0);
        struct rlimit limit = unlimited;
        limit.rlim_cur = 256;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(!fullDisk || ::setrlimit(RLIMIT_FSIZE, &limit) == 0);

        QObject host;
        auto *service = new PushReceiverService(&host);
        QScopedPointer<ApplicationController> controller(new ApplicationController(
            path == 0 ? QStringList() : QStringList{QStringLiteral("/no-gui")}, id.fileName(), nullptr));
        connect(service, &PushReceiverService::guiRequested, controller.data(),
                &ApplicationController::showGui);
        QScopedPointer<QSignalSpy> told;
        const auto watchWindow = [&told] {
            if (AccountsListModel *model = shownModel()) {
                told.reset(new QSignalSpy(model, &AccountsListModel::badreply));
            }
        };
        watchWindow();
        // The registration id has been handled, saved with the accounts (or not).
        QTRY_VERIFY(!controller->registrationId().isEmpty());
        if (path == 2) {
            service->handleApplicationWakeUp();
        } else if (path == 3) {
            PushReceiverService::updateApplicationArgs({});
        }
        if (path >= 2) {
            watchWindow();
        }
        QCoreApplication::processEvents();
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, previousHandler);

        const QStringList copies = QDir(dataFile(QString())).entryList({"accounts.txt.damaged-*"});
        if (stored == "/") {
            QVERIFY(QFileInfo(accounts).isDir());
        } else if (!stored.isEmpty() && !QJsonDocument::fromJson(stored).isArray()) {
            QCOMPARE(copies.size(), 1);
            QCOMPARE(read(dataFile(copies.first())), stored);
        } else {
            QCOMPARE(entries(read(accounts)), entries(stored));
        }
        QCOMPARE(bool(told), path != 1);
        if (!told) {
            return;
        }
        QFETCH(int, rows);
        QFETCH(QString, notice);
        QCOMPARE(shownModel()->rowCount(), rows);
        QStringList messages;
        for (const QList<QVariant> &signal : qAsConst(*told)) {
            messages << signal.at(0).toString();
        }
        QVERIFY2(notice.isEmpty() ? messages.isEmpty() : messages.join("\n").contains(notice),
                 qPrintable(messages.join("\n")));
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
