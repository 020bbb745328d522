#include "accounts/authaccount.h"
#include "accounts/datastorage.h"
#include "app/pushnotificationsmodel.h"
#include "tests/common/fakenotificationserver.h"
#include "tests/common/privatebus.h"
#include "tests/common/testfiles.h"

#include <QtTest>

using Aurora::PushNotifications::Push;

namespace {
const QString MARKUP = QStringLiteral("<a href=\"https://x\">Open</a> &amp; <img src=\"y\"/>");
}

class TestPushNotificationsModel : public QObject
{
    Q_OBJECT

private:
    FakeNotificationServer m_notifications;

    static QString path(const QString &name)
    {
        return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + '/' + name;
    }

private slots:
    void initTestCase() { QVERIFY(m_notifications.start()); }

    // The collection never deletes its accounts; the test does, so that leak checks stay quiet.
    void cleanupTestCase() { DataStorage::Instance()->ResetForTests(); }

    void pushes_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");

        const QString t = QStringLiteral("Login"), m = QStringLiteral("Confirm it");
        QTest::newRow("silent action") << "{\"mtype\":\"action\"}" << t << m << false << t << m;
        QTest::newRow("other kind") << "{\"mtype\":\"auth\"}" << t << m << true << t << m;
        QTest::newRow("no kind") << "{\"id\":7}" << t << m << true << t << m;
        QTest::newRow("kind not a string") << "{\"mtype\":1}" << t << m << true << t << m;
        QTest::newRow("array") << "[\"action\"]" << t << m << true << t << m;
        QTest::newRow("not json") << "mtype=action" << t << m << true << t << m;
        const QString huge = QStringLiteral("{\"mtype\":\"action\",\"x\":\"") + QString(200000, 'p') + "\"}";
        QTest::newRow("payload too large to parse") << huge << t << m << true << t << m;
        QTest::newRow("long title and message") << "{}" << QString(10000, 'T') << QString(300000, 'M') << true
                                                << QString(256, 'T') << QString(1024, 'M');
        const QString smiles = QString(255, 'a') + QStringLiteral("\U0001F600\U0001F600");
        QTest::newRow("no split surrogate pair") << "{}" << smiles << m << true << QString(255, 'a') << m;
    }

    void pushes()
    {
        QFETCH(QString, payload);
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(bool, shown);
        QFETCH(QString, summary);
        QFETCH(QString, body);

        PushNotificationsModel model;
        QSignalSpy newpush(&model, &PushNotificationsModel::newpush);
        m_notifications.published.clear();
        const QString marker = QStringLiteral("marker");
        // A shown push after the tested one: once it arrived, the tested one has been handled.
        model.handlePushes({Push{payload, title, message}, Push{QString(), marker, marker}});

        QCOMPARE(newpush.count(), 2);
        // What is kept is no more than what is shown: a flood of large pushes stays small.
        QCOMPARE(model.pushes().at(1).data, payload.left(PushNotificationsModel::MAX_PAYLOAD_KEPT));
        QCOMPARE(model.pushes().at(1).title, summary);
        QCOMPARE(model.pushes().at(1).message, body);
        QTRY_VERIFY(!m_notifications.published.isEmpty() &&
                    m_notifications.published.last().summary == marker);
        QCOMPARE(m_notifications.published.size(), shown ? 2 : 1);
        if (!shown) {
            return;
        }
        const FakeNotificationServer::Published notification = m_notifications.published.first();
        QCOMPARE(notification.appName, QStringLiteral("Kestrel 2FA"));
        QCOMPARE(notification.summary, summary);
        QCOMPARE(notification.body, body);
        QCOMPARE(notification.actions, QStringList({QStringLiteral("default"), QStringLiteral("Open app")}));
        QCOMPARE(notification.hints.value(QStringLiteral("x-nemo-feedback")).toString(),
                 QStringLiteral("sms_exists"));
    }

    // A pushed text shows as it came: escaped for a service that reads markup in bodies.
    void markupShownAsText_data()
    {
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("body");
        QTest::newRow("service reads markup")
            << QStringList{"body", "body-markup"}
            << "&lt;a href=&quot;https://x&quot;&gt;Open&lt;/a&gt; &amp;amp; &lt;img src=&quot;y&quot;/&gt;";
        QTest::newRow("service shows text") << QStringList{"body"} << MARKUP;
    }
    void markupShownAsText()
    {
        QFETCH(QStringList, capabilities);
        m_notifications.capabilities = capabilities;
        m_notifications.published.clear();
        PushNotificationsModel model;
        model.handlePushes({Push{QString(), "<b>Login</b>", MARKUP}});
        QTRY_COMPARE(m_notifications.published.size(), 1);
        QTEST(m_notifications.published.first().body, "body");
        // A summary is plain text to every service.
        QCOMPARE(m_notifications.published.first().summary, QStringLiteral("<b>Login</b>"));
    }

    // The list is bounded: the oldest fall off. (Each batch in order is the rows' marker above.)
    void pushesAreKeptNewestFirst()
    {
        PushNotificationsModel model;
        for (int i = 1; i <= PushNotificationsModel::MAX_PUSHES + 3; ++i) {
            model.insertPush(Push{QString(), QString::number(i), QString()});
        }
        QCOMPARE(model.pushes().size(), PushNotificationsModel::MAX_PUSHES);
        QCOMPARE(model.pushes().first().title, QString::number(PushNotificationsModel::MAX_PUSHES + 3));
        QCOMPARE(model.pushes().last().title, QStringLiteral("4"));
    }

    void registrationIdReachesFileAndAccounts()
    {
        AccountsData &accounts = DataStorage::Instance()->m_accountsData;
        const QString otp = QStringLiteral("otpauth://totp/Example:alice?secret=JBSWY3DPEHPK3PXP");
        auto *push = static_cast<AuthAccount *>(
            Account::CreateAuthAccount(otp, "https://auth.example.org", "req", "token-1", "key"));
        push->m_notificationToken.saved = true;
        accounts.AddAccount(push);
        accounts.AddAccount(Account::CreateStandartAccount(otp));

        PushNotificationsModel model;
        model.onRegistrationIdChanged(QStringLiteral("reg-42"));
        QCOMPARE(readFile(path("regid.txt")), QByteArray("reg-42"));
        QCOMPARE(push->m_notificationToken.registrationId, QStringLiteral("reg-42"));
        QVERIFY(!push->m_notificationToken.saved);
        QVERIFY(readFile(path("accounts.txt")).contains("reg-42"));

        // An empty id changes nothing on disk.
        QVERIFY(QFile::remove(path("accounts.txt")));
        model.onRegistrationIdChanged(QString());
        QCOMPARE(readFile(path("regid.txt")), QByteArray("reg-42"));
        QVERIFY(!QFile::exists(path("accounts.txt")));
        QCOMPARE(push->m_notificationToken.registrationId, QStringLiteral("reg-42"));
    }
};

KESTREL_PRIVATE_BUS_TEST_MAIN(QCoreApplication, TestPushNotificationsModel)

#include "tst_pushnotificationsmodel.moc"
