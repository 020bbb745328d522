#include "servers/servermanager.h"
#include "tests/common/qmltestsetup.h"
#include "tests/qml/fastanimationdriver.h"
#include "ui/appsettings.h"

#include <QDir>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSet>
#include <QtTest>

// Renders the main window on a real X server (Xvfb) with a few accounts and a login confirmation
// (in both themes and both languages, "<screen>-<theme>-<language>.png"), and keeps the pictures
// under the build directory for a look by eye.
class TestScreenshots : public QObject
{
    Q_OBJECT

    QScopedPointer<QQuickView> m_view;
    DevServerFixture m_server;
    QString m_tokenUID;
    FastAnimationDriver m_animations;

    QObject *child(const char *name) const { return m_view->rootObject()->findChild<QObject *>(name); }

    const QStringList LOOKS = {"light-ru", "light-en", "dark-ru", "dark-en"};

    // "<theme>-<language>": the theme applies at once, the texts once re-read.
    void setLook(const QString &look)
    {
        AppSettings::instance()->setTheme(look.section('-', 0, 0));
        QVERIFY(QmlTestSetup::useLanguage(look.section('-', 1)));
        m_view->engine()->retranslate();
    }

    void shoot(const QString &name)
    {
        const QImage image = m_view->grabWindow();
        const QString path = QDir(KESTREL_SCREENSHOT_DIR).filePath(name + ".png");
        QVERIFY(image.save(path));
        // Not blank: many colours (text, icons) and a share of the sampled pixels off the
        // background (2.5 %: the software renderer of the sanitizer build draws no elevation, so
        // tool bars and raised buttons are missing there and a page of text is what remains).
        QSet<QRgb> colours;
        int offBackground = 0;
        const QRgb background = image.pixel(image.width() / 2, image.height() - 2);
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                colours.insert(image.pixel(x, y));
                offBackground += image.pixel(x, y) != background;
            }
        }
        QVERIFY2(colours.size() > 50, qPrintable(QString("%1: %2 colours").arg(path).arg(colours.size())));
        QVERIFY2(offBackground > image.width() * image.height() / 160, qPrintable(path));
        qInfo().noquote() << "screenshot:" << path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(KESTREL_SCREENSHOT_DIR));
        ServerManager::SetDefaultPollIntervalForTests(100);
        // Rendered on the GUI thread, whose animations the fast driver then runs.
        qputenv("QSG_RENDER_LOOP", "basic");
        m_animations.install();
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
        m_view.reset(new QQuickView);
        m_view->setResizeMode(QQuickView::SizeRootObjectToView);
        m_view->resize(420, 760);
        m_view->setSource(QUrl::fromLocalFile(KESTREL_QML_DIR "/Kestrel2FAClient.qml"));
        QCOMPARE(m_view->status(), QQuickView::Ready);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.data()));

        const QJsonObject ticket =
            m_server.createTicket("push", "mobileauth", {{"issuer", "Kestrel Demo"}, {"user", "ivan"}});
        m_tokenUID = ticket.value("tokenUID").toString();
        const QStringList uris = {
            "otpauth://totp/GitHub:alice@example.com?secret=JBSWY3DPEHPK3PXP&issuer=GitHub",
            "otpauth://hotp/Bank:bob?secret=GEZDGNBVGY3TQOJQ&counter=7",
            "otpauth://totp/Mail:carol?secret=GEZDGNBVGY3TQOJQ&digits=8",
            ticket.value("uri").toString(),
        };
        for (const QString &uri : uris) {
            QVariant result;
            QVERIFY(QMetaObject::invokeMethod(m_view->rootObject(), "submitUri",
                                              Q_RETURN_ARG(QVariant, result), Q_ARG(QVariant, uri)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(child("accountsList")->property("count").toInt(), 4, 15000);
        // The note of the last registration would be in every picture.
        QTRY_VERIFY(child("toast"));
        child("toast")->setProperty("visible", false);
        QTRY_VERIFY(!child("toast")->property("visible").toBool());
    }

    void cleanupTestCase()
    {
        // The collection outlives the window and does not free what it still holds at exit.
        QObject *accounts = m_view->rootObject()->property("accounts").value<QObject *>();
        QVERIFY(accounts && QMetaObject::invokeMethod(accounts, "resetAllData"));
        m_view.reset();
    }

    // The list, then the confirmation over it (which stays open once it has come), in every look.
    // The other pages' texts and contrast in both themes and languages are the flow tests'.
    void screens()
    {
        for (const QString &look : LOOKS) {
            setLook(look);
            shoot("accounts-" + look);
        }
        QVERIFY(!m_server.createLogin(m_tokenUID, QString::fromUtf8("Вход с 192.0.2.10, Firefox на Linux"))
                     .isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(
            child("confirmationDialog") && child("confirmationDialog")->property("opened").toBool(), 15000);
        for (const QString &look : LOOKS) {
            setLook(look);
            shoot("confirmation-" + look);
        }
    }
};

KESTREL_QML_TEST_MAIN(TestScreenshots)

#include "tst_screenshots.moc"
