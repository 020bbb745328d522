#include "tests/common/qmltestsetup.h"
#include "tests/qml/fastanimationdriver.h"

#include <auroraapp.h>

#include <QDirIterator>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QtTest>

// Loading the main window (from the program's resources), and opening each page from it, must
// not produce a single warning or error: they hide broken bindings and screens that silently miss their data.
// (The dialogs are opened by the flow tests, which fail on QML warnings too.)
class TestMainFile : public QObject
{
    Q_OBJECT

    FastAnimationDriver m_animations;

private slots:
    void loadsWithoutWarnings()
    {
        m_animations.install();
        static QStringList messages;
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
            if (type != QtDebugMsg && type != QtInfoMsg) {
                messages << message;
            }
        });
        {
            QQuickView view;
            view.setResizeMode(QQuickView::SizeRootObjectToView);
            // As the program finds it: compiled into it.
            const QUrl mainFile = Aurora::Application::pathTo("qml/Kestrel2FAClient.qml");
            QCOMPARE(mainFile.scheme(), QString("qrc"));
            view.setSource(mainFile);
            QCOMPARE(view.status(), QQuickView::Ready);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QQuickItem *root = view.rootObject();
            QObject *stack = root->findChild<QObject *>("stack");
            QVERIFY(stack);
            // The add page with its image picker, the settings, about and PIN pages, each on top of the
            // last, then back.
            QVERIFY(QMetaObject::invokeMethod(root, "openAddPage"));
            QTRY_COMPARE(stack->property("depth").toInt(), 2);
            QVERIFY(QMetaObject::invokeMethod(root, "openImagePicker",
                                              Q_ARG(QVariant, stack->property("currentItem"))));
            QVERIFY(QMetaObject::invokeMethod(root, "openSettings"));
            QVERIFY(QMetaObject::invokeMethod(root, "openAbout"));
            QVERIFY(QMetaObject::invokeMethod(root, "openPinSetup", Q_ARG(QVariant, QString("set"))));
            QTRY_COMPARE(stack->property("depth").toInt(), 6);
            QVERIFY(QMetaObject::invokeMethod(root, "backToList"));
            QTRY_COMPARE(stack->property("depth").toInt(), 1);
            // Let the timers of the list and the dialogs run a few rounds (ten times as fast).
            QTest::qWait(150);
        }
        qInstallMessageHandler(nullptr);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    }

    // Screens that the other tests cannot open (the camera page without a camera) must at least
    // compile: unknown properties, types and signal handlers are found here.
    void everyFileCompiles_data()
    {
        QTest::addColumn<QString>("path");
        QDirIterator files(KESTREL_QML_DIR, {"*.qml"}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QTest::newRow(qPrintable(QDir(KESTREL_QML_DIR).relativeFilePath(path))) << path;
        }
    }

    void everyFileCompiles()
    {
        QFETCH(QString, path);
        QQmlEngine engine;
        QQmlComponent component(&engine, QUrl::fromLocalFile(path));
        QTRY_VERIFY(!component.isLoading());
        QVERIFY2(component.isReady(), qPrintable(component.errorString()));
    }
};

KESTREL_QML_TEST_MAIN(TestMainFile)

#include "tst_mainfile.moc"
