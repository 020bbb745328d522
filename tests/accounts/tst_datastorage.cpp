#include "accounts/account.h"
#include "accounts/accountclock.h"
#include "accounts/authaccount.h"
#include "accounts/datastorage.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {

const char *const SAVE_LOOP_ARG = "--save-loop";
const int SAVE_LOOP_ACCOUNTS = 150;

QString dataFile(const QString &name = QString())
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return name.isEmpty() ? dir : dir + "/" + name;
}

QStringList damagedCopies()
{
    return QDir(dataFile()).entryList({"accounts.txt.damaged-*"}, QDir::Files, QDir::Name);
}

AccountsData &collection()
{
    return DataStorage::Instance()->m_accountsData;
}

// Frees the accounts and forgets the load, as a new process starts.
void restart()
{
    DataStorage::Instance()->ResetForTests();
}

Account *mixedAccount(int i)
{
    const QString uri = QString("otpauth://totp/Issuer%1:user%1?secret=JBSWY3DPEHPK3PXP").arg(i);
    const QString uid = QString::number(i);
    return i % 3 == 0   ? Account::CreateStandartAccount(uri)
           : i % 3 == 1 ? Account::CreateStandartOrbAccount(uri, "https://a", uid)
                        : Account::CreateAuthAccount(uri, "https://a", uid, uid, "auth-key");
}

// The child of killDuringSaves: saves changing content until it is killed (or a minute passes).
int runSaveLoop(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules("default.debug=false");
    QFile::remove(dataFile("accounts.txt"));
    for (int i = 0; i < SAVE_LOOP_ACCOUNTS; ++i) {
        collection().AddAccount(mixedAccount(i));
    }
    DataStorage::Instance()->SaveData();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; timer.elapsed() < 60000; ++round) {
        if (round % 2 == 0) {
            collection().AddAccount(mixedAccount(round));
        } else {
            collection().removeAtIndex(SAVE_LOOP_ACCOUNTS);
        }
        DataStorage::Instance()->SaveData();
    }
    return 1;
}

} // namespace

class TestDataStorage : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;

private slots:
    void init()
    {
        m_home.reset(new QTemporaryDir);
        QVERIFY(m_home->isValid());
        qputenv("XDG_DATA_HOME", m_home->path().toUtf8());
        AccountClock::setSource(
            [] { return QDateTime::fromSecsSinceEpoch(1800000000, Qt::OffsetFromUTC, 10800); });
        QLocale::setDefault(QLocale("ru_RU"));
    }

    void cleanup()
    {
        restart();
        AccountClock::setSource({});
        QLocale::setDefault(QLocale::c());
    }

    void goldenRoundTrip()
    {
        DataStorage *storage = DataStorage::Instance();
        storage->SaveRegistrationId("golden-registration-id");
        collection().AddAccount(Account::CreateStandartAccount(
            "otpauth://totp/Example:alice%40example.com?secret=jbswy3dpehpk3pxp&issuer=Example"));
        Account *orb = Account::CreateStandartOrbAccount(
            "otpauth://hotp/Bank:bob?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&counter=10&digits=8",
            "https://auth.example.com/api", "token-uid-0002");
        orb->IncrementCounter();
        orb->IncrementCounter();
        collection().AddAccount(orb);
        collection().AddAccount(Account::CreateAuthAccount(
            "otpauth://totp/Corp:carol?secret=KRSXG5CTMVRXEZLU&algorithm=SHA256", "https://push.example.com",
            "req-0003", "token-uid-0003", "auth-key-0003"));
        storage->SaveData();
        const QByteArray expected = readFile(KESTREL_TEST_DATA "/golden-accounts.txt");
        QCOMPARE(readFile(dataFile("accounts.txt")), expected);

        // Read back and written again byte for byte: nothing (kinds included) is lost on the way.
        restart();
        storage->LoadData();
        storage->SaveData();
        QCOMPARE(readFile(dataFile("accounts.txt")), expected);
    }

    void earlierFileLoads()
    {
        // Compact, keys in another order, elements this version cannot read ("Type" 0, 4, "1", 9,
        // none, a number) between good ones, numbers with white space, and a URI that no longer parses.
        const QByteArray earlier = readFile(KESTREL_TEST_DATA "/earlier-accounts.txt");
        QVERIFY(writeFile(dataFile("accounts.txt"), earlier));
        DataStorage *storage = DataStorage::Instance();
        storage->LoadData();
        const QList<Account *> &accounts = collection().m_accounts;
        QCOMPARE(accounts.size(), 5);
        QCOMPARE(QStringList({accounts.at(0)->m_user, accounts.at(1)->m_user, accounts.at(2)->m_user}),
                 QStringList({"first", "second", "third"}));
        QCOMPARE(accounts.at(3)->m_tokenType, Account::TokenTOTP);
        QCOMPARE(accounts.at(4)->m_issuer + ":" + accounts.at(4)->m_user, QString("Old:lost"));
        QCOMPARE(accounts.at(2)->m_id, accounts.at(0)->m_id + 2);
        QCOMPARE(accounts.at(1)->m_counter, 7);
        auto *push = dynamic_cast<AuthAccount *>(accounts.at(2));
        QVERIFY(push && !push->m_notificationToken.saved);
        QCOMPARE(push->m_notificationToken.registrationId, QString("stored-id"));
        QVERIFY(damagedCopies().isEmpty());
        QVERIFY(storage->TakePendingProblems().join("").contains("не может показать: 6."));

        // A save, as a start may make without any user action, puts them all back in their places.
        QVERIFY(storage->SaveData());
        const QJsonArray stored = QJsonDocument::fromJson(earlier).array();
        const QJsonArray saved = QJsonDocument::fromJson(readFile(dataFile("accounts.txt"))).array();
        QCOMPARE(saved.size(), stored.size());
        for (int i : {0, 2, 3, 5, 6, 8, 10}) {
            QCOMPARE(saved.at(i), stored.at(i));
        }
    }

    void pinAndRegistrationId_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("readBack"); // characters of it read back: the first line, up to a zero
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("line feed inside") << "12\n34" << 3;
        QTest::newRow("non-ASCII") << QString::fromUtf8("пин") << 3;
        QTest::newRow("zero byte") << QString("ab") + QChar(0) + "cd" << 2;
    }

    void pinAndRegistrationId()
    {
        QFETCH(QString, text);
        DataStorage *storage = DataStorage::Instance();
        storage->SaveApplicationPin("previous");
        storage->SaveRegistrationId("previous");
        storage->SaveApplicationPin(text);
        storage->SaveRegistrationId(text);
        QFETCH(int, readBack);
        QCOMPARE(storage->GetApplicationPin(), text.left(readBack));
        QCOMPARE(storage->GetRegistrationId(), text.left(readBack));
        QCOMPARE(readFile(dataFile("apppin.txt")), text.toUtf8());
    }

    // A plain file where the data directory should be: nothing is written, nothing breaks. (The
    // modes of the directory and its files are the platform tests'.)
    void directoryInTheWay()
    {
        DataStorage *storage = DataStorage::Instance();
        QVERIFY(writeFile(dataFile(), "in the way"));
        for (int i = 0; i < 3; ++i) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^File open error: .* no directory$"));
        }
        QVERIFY(!storage->SaveData());
        QVERIFY(!storage->SaveApplicationPin("1234"));
        QVERIFY(!storage->SaveRegistrationId("id"));
        QVERIFY(storage->GetApplicationPin().isEmpty());
        QCOMPARE(readFile(dataFile()), QByteArray("in the way"));
    }

    void damagedFileKeptAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("kept");
        QTest::newRow("object") << QByteArray("{\"Type\": 1, \"URI\": \"otpauth://totp/A:b?secret=AA\"}")
                                << true;
        QTest::newRow("truncated array") << QByteArray("[\n    {\n        \"Type\": 1,\n") << true;
        QTest::newRow("empty array") << QByteArray("[\n]\n") << false;
        QTest::newRow("empty file") << QByteArray() << false;
    }

    void damagedFileKeptAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, kept);
        const QRegularExpression keptLine("^\\[DataStorage\\] damaged accounts file kept as");

        QVERIFY(writeFile(dataFile("accounts.txt"), content));
        if (kept) {
            QTest::ignoreMessage(QtDebugMsg, keptLine);
        }
        DataStorage::Instance()->LoadData();
        QVERIFY(collection().m_accounts.isEmpty());
        QCOMPARE(damagedCopies(),
                 kept ? QStringList("accounts.txt.damaged-20270115T080000Z") : QStringList());
        if (!kept) {
            return;
        }
        const QString copy = dataFile(damagedCopies().first());
        collection().AddAccount(mixedAccount(0));
        DataStorage::Instance()->SaveData();
        QCOMPARE(QJsonDocument::fromJson(readFile(dataFile("accounts.txt"))).array().size(), 1);
        QCOMPARE(readFile(copy), content);

        // Damaged again within the same second: a second copy, the first one untouched.
        QVERIFY(writeFile(dataFile("accounts.txt"), content + "again"));
        QTest::ignoreMessage(QtDebugMsg, keptLine);
        restart();
        DataStorage::Instance()->LoadData();
        QCOMPARE(damagedCopies().size(), 2);
        QCOMPARE(readFile(copy), content);
        QCOMPARE(readFile(dataFile(damagedCopies().at(1))), content + "again");
    }

    void failedWriteKeepsOldFile()
    {
        DataStorage *storage = DataStorage::Instance();
        collection().AddAccount(mixedAccount(0));
        storage->SaveData();
        storage->SaveApplicationPin("1234");
        const QByteArray old = readFile(dataFile("accounts.txt"));
        for (int i = 1; i < 60; ++i) {
            collection().AddAccount(mixedAccount(i));
        }

        // A full disk, imitated by a file size limit far below the new content.
        struct rlimit saved = {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
        struct rlimit limit = saved;
        limit.rlim_cur = 4096;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^File write error: .*/accounts.txt "));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^File write error: .*/apppin.txt "));
        QVERIFY(!storage->SaveData());
        QVERIFY(!storage->SaveApplicationPin(QString(8192, QChar('9'))));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(readFile(dataFile("accounts.txt")), old);
        QCOMPARE(storage->GetApplicationPin(), QString("1234"));
        // No temporary file is left behind.
        QCOMPARE(QDir(dataFile()).entryList(QDir::Files, QDir::Name),
                 QStringList({"accounts.txt", "apppin.txt"}));
        // Nothing in memory is dropped: the user is told, and the save is repeated until it works.
        QVERIFY(storage->TakePendingProblems().join("").contains("Аккаунты остаются в памяти"));
        QTRY_COMPARE(QJsonDocument::fromJson(readFile(dataFile("accounts.txt"))).array().size(), 60);
    }

    void killDuringSaves()
    {
        QLoggingCategory::setFilterRules("default.debug=false");
        // A write in place is caught in the first rounds already: five are enough.
        for (int round = 0; round < 5; ++round) {
            QProcess child;
            child.setStandardErrorFile(QProcess::nullDevice());
            child.start(QCoreApplication::applicationFilePath(), {SAVE_LOOP_ARG});
            while (!child.canReadLine()) {
                QVERIFY2(child.waitForReadyRead(30000), "the saving child did not start");
            }
            QTest::qWait(int(QRandomGenerator::global()->bounded(1, 60)));
            QVERIFY(::kill(pid_t(child.processId()), SIGKILL) == 0);
            QVERIFY(child.waitForFinished(10000));

            const QJsonDocument document = QJsonDocument::fromJson(readFile(dataFile("accounts.txt")));
            const int size = document.array().size();
            QVERIFY2(size == SAVE_LOOP_ACCOUNTS || size == SAVE_LOOP_ACCOUNTS + 1,
                     qPrintable(QString::number(size)));
            restart();
            DataStorage::Instance()->LoadData();
            QCOMPARE(collection().m_accounts.size(), size);
        }
        QLoggingCategory::setFilterRules(QString());
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], SAVE_LOOP_ARG) == 0) {
        return runSaveLoop(argc, argv);
    }
    QCoreApplication app(argc, argv);
    TestDataStorage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_datastorage.moc"
