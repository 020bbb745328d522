#include "accounts/account.h"
#include "accounts/accountclock.h"
#include "accounts/datastorage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const char *const SAVE_LOOP_ARG = "--save-loop";
const int SAVE_LOOP_ACCOUNTS = 150;
const int KILL_ROUNDS = 20;
const qint64 FIXED_TIME = 1800000000;

QString dataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString dataFile(const QString &name)
{
    return dataDir() + "/" + name;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

int fileMode(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

QStringList damagedCopies()
{
    return QDir(dataDir()).entryList({"accounts.txt.damaged-*"}, QDir::Files, QDir::Name);
}

AccountsData &collection()
{
    return DataStorage::Instance()->m_accountsData;
}

void clearCollection()
{
    while (!collection().m_accounts.isEmpty()) {
        collection().removeAtIndex(0);
    }
}

Account *mixedAccount(int i)
{
    const QString label = QString("Issuer%1:user%1@example.com").arg(i);
    switch (i % 3) {
    case 0:
        return Account::CreateStandartAccount("otpauth://totp/" + label + "?secret=JBSWY3DPEHPK3PXP");
    case 1:
        return Account::CreateStandartOrbAccount("otpauth://hotp/" + label +
                                                     "?secret=JBSWY3DPEHPK3PXP&counter=3",
                                                 "https://auth.example.com", QString("uid-%1").arg(i));
    default:
        return Account::CreateAuthAccount("otpauth://totp/" + label + "?secret=JBSWY3DPEHPK3PXP",
                                          "https://push.example.com", QString("req-%1").arg(i),
                                          QString("uid-%1").arg(i), "auth-key");
    }
}

// The child of killDuringSaves: saves changing content until it is killed (or a minute passes).
int runSaveLoop(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    DataStorage *storage = DataStorage::Instance();
    for (int i = 0; i < SAVE_LOOP_ACCOUNTS; ++i) {
        storage->m_accountsData.AddAccount(mixedAccount(i));
    }
    storage->SaveData();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; timer.elapsed() < 60000; ++round) {
        if (round % 2 == 0) {
            storage->m_accountsData.AddAccount(mixedAccount(SAVE_LOOP_ACCOUNTS + round));
        } else {
            storage->m_accountsData.removeAtIndex(SAVE_LOOP_ACCOUNTS);
        }
        storage->SaveData();
    }
    return 1;
}

} // namespace

class TestDataStorage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void goldenRoundTrip();
    void earlierFileLoads();
    void pinAndRegistrationId_data();
    void pinAndRegistrationId();
    void missingFilesReadEmpty();
    void filePermissions();
    void unusableDataDirectory();
    void damagedFileKeptAside_data();
    void damagedFileKeptAside();
    void failedWriteKeepsOldFile();
    void killDuringSaves();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestDataStorage::init()
{
    m_home.reset(new QTemporaryDir);
    QVERIFY(m_home->isValid());
    qputenv("XDG_DATA_HOME", m_home->path().toUtf8());
    AccountClock::setSource(
        [] { return QDateTime::fromSecsSinceEpoch(FIXED_TIME, Qt::OffsetFromUTC, 10800); });
    QLocale::setDefault(QLocale("ru_RU"));
}

void TestDataStorage::cleanup()
{
    clearCollection();
    AccountClock::setSource({});
    QLocale::setDefault(QLocale::c());
}

void TestDataStorage::goldenRoundTrip()
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
    const QByteArray written = readFile(dataFile("accounts.txt"));
    QCOMPARE(written, expected);

    clearCollection();
    storage->LoadData();
    QCOMPARE(collection().m_accounts.size(), 3);
    QVERIFY(dynamic_cast<StandartAccaunt *>(collection().accountForIndex(0)));
    QVERIFY(dynamic_cast<StandartOrbAccount *>(collection().accountForIndex(1)));
    QVERIFY(dynamic_cast<AuthAccount *>(collection().accountForIndex(2)));
    QCOMPARE(collection().accountForIndex(0)->m_user, QString("alice@example.com"));
    QCOMPARE(collection().accountForIndex(1)->m_counter, 12);
    QCOMPARE(collection().accountForIndex(2)->m_authKey, QString("auth-key-0003"));
    storage->SaveData();
    QCOMPARE(readFile(dataFile("accounts.txt")), expected);
}

void TestDataStorage::earlierFileLoads()
{
    // Compact, keys in another order, and elements that must be skipped between good ones.
    QVERIFY(writeFile(dataFile("accounts.txt"), readFile(KESTREL_TEST_DATA "/earlier-accounts.txt")));
    DataStorage::Instance()->LoadData();

    const QList<Account *> &accounts = collection().m_accounts;
    QCOMPARE(accounts.size(), 3);
    QCOMPARE(accounts.at(0)->m_user, QString("first"));
    QCOMPARE(accounts.at(1)->m_user, QString("second"));
    QCOMPARE(accounts.at(2)->m_user, QString("third"));
    QCOMPARE(accounts.at(1)->m_id, accounts.at(0)->m_id + 1);
    QCOMPARE(accounts.at(2)->m_id, accounts.at(1)->m_id + 1);
    QCOMPARE(accounts.at(1)->m_counter, 7);
    QCOMPARE(accounts.at(1)->m_address, QString("https://auth.example.com"));
    auto *push = dynamic_cast<AuthAccount *>(accounts.at(2));
    QVERIFY(push);
    QVERIFY(!push->m_notificationToken.saved);
    QCOMPARE(push->m_notificationToken.registrationId, QString("stored-id"));
    QCOMPARE(push->m_notificationToken.timeZoneOffset, 180);
    QVERIFY(damagedCopies().isEmpty());
}

void TestDataStorage::pinAndRegistrationId_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("digits") << "1234"
                            << "1234";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("line feed inside") << "12\n34"
                                      << "12\n";
    QTest::newRow("non-ASCII") << QString::fromUtf8("пин-код") << QString::fromUtf8("пин-код");
    QTest::newRow("zero byte") << QString("ab") + QChar(0) + "cd"
                               << "ab";
}

void TestDataStorage::pinAndRegistrationId()
{
    QFETCH(QString, text);
    QFETCH(QString, readBack);

    DataStorage *storage = DataStorage::Instance();
    storage->SaveApplicationPin("previous");
    storage->SaveRegistrationId("previous");
    storage->SaveApplicationPin(text);
    storage->SaveRegistrationId(text);
    QCOMPARE(storage->GetApplicationPin(), readBack);
    QCOMPARE(storage->GetRegistrationId(), readBack);
    QCOMPARE(readFile(dataFile("apppin.txt")), text.toUtf8());
}

void TestDataStorage::missingFilesReadEmpty()
{
    DataStorage *storage = DataStorage::Instance();
    QVERIFY(!QFileInfo::exists(dataDir()));
    QVERIFY(storage->GetApplicationPin().isEmpty());
    QVERIFY(storage->GetRegistrationId().isEmpty());
    storage->LoadData();
    QVERIFY(collection().m_accounts.isEmpty());
}

void TestDataStorage::filePermissions()
{
    DataStorage *storage = DataStorage::Instance();
    collection().AddAccount(mixedAccount(0));
    storage->SaveData();
    storage->SaveApplicationPin("1234");
    QCOMPARE(fileMode(dataDir()), 0700);
    QCOMPARE(fileMode(dataFile("accounts.txt")), 0600);
    QCOMPARE(fileMode(dataFile("apppin.txt")), 0600);

    // Files of earlier releases were created with the umask's mode.
    QVERIFY(::chmod(QFile::encodeName(dataFile("accounts.txt")).constData(), 0644) == 0);
    QVERIFY(::chmod(QFile::encodeName(dataFile("apppin.txt")).constData(), 0644) == 0);
    storage->SaveData();
    storage->SaveApplicationPin("5678");
    QCOMPARE(fileMode(dataFile("accounts.txt")), 0600);
    QCOMPARE(fileMode(dataFile("apppin.txt")), 0600);
}

void TestDataStorage::unusableDataDirectory()
{
    // A plain file where the data directory should be: nothing can be written or read.
    QVERIFY(writeFile(dataDir(), "in the way"));
    DataStorage *storage = DataStorage::Instance();
    collection().AddAccount(mixedAccount(0));
    for (int i = 0; i < 3; ++i) {
        QTest::ignoreMessage(QtDebugMsg, "File open error");
    }
    storage->SaveData();
    storage->SaveApplicationPin("1234");
    storage->SaveRegistrationId("id");
    QVERIFY(storage->GetApplicationPin().isEmpty());
    QCOMPARE(readFile(dataDir()), QByteArray("in the way"));
}

void TestDataStorage::damagedFileKeptAside_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("kept");

    QTest::newRow("plain text") << QByteArray("these are not accounts") << true;
    QTest::newRow("object") << QByteArray("{\"Type\": 1, \"URI\": \"otpauth://totp/A:b?secret=AAAA\"}")
                            << true;
    QTest::newRow("truncated array") << QByteArray("[\n    {\n        \"Type\": 1,\n") << true;
    QTest::newRow("empty array") << QByteArray("[\n]\n") << false;
    QTest::newRow("empty file") << QByteArray() << false;
}

void TestDataStorage::damagedFileKeptAside()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, kept);

    DataStorage *storage = DataStorage::Instance();
    QVERIFY(writeFile(dataFile("accounts.txt"), content));
    if (kept) {
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression("^\\[DataStorage\\] damaged accounts file kept as"));
    }
    storage->LoadData();
    QVERIFY(collection().m_accounts.isEmpty());
    QCOMPARE(damagedCopies().size(), kept ? 1 : 0);
    if (!kept) {
        return;
    }
    const QString copy = dataFile(damagedCopies().first());
    QCOMPARE(QFileInfo(copy).fileName(), QString("accounts.txt.damaged-20270115T080000Z"));
    QCOMPARE(readFile(copy), content);

    collection().AddAccount(mixedAccount(0));
    storage->SaveData();
    QCOMPARE(QJsonDocument::fromJson(readFile(dataFile("accounts.txt"))).array().size(), 1);
    QCOMPARE(readFile(copy), content);

    // Damaged again within the same second: a second copy, the first one untouched.
    QVERIFY(writeFile(dataFile("accounts.txt"), content + "again"));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^\\[DataStorage\\] damaged accounts file kept as"));
    storage->LoadData();
    QCOMPARE(damagedCopies().size(), 2);
    QCOMPARE(readFile(copy), content);
    QCOMPARE(readFile(dataFile(damagedCopies().at(1))), content + "again");
}

void TestDataStorage::failedWriteKeepsOldFile()
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
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^File write error: \"accounts.txt\""));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^File write error: \"apppin.txt\""));
    storage->SaveData();
    storage->SaveApplicationPin(QString(8192, QChar('9')));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QCOMPARE(readFile(dataFile("accounts.txt")), old);
    QCOMPARE(storage->GetApplicationPin(), QString("1234"));
    // No temporary file is left behind.
    QCOMPARE(QDir(dataDir()).entryList(QDir::Files, QDir::Name), QStringList({"accounts.txt", "apppin.txt"}));
}

void TestDataStorage::killDuringSaves()
{
    // Thousands of account log lines would drown the test output.
    QLoggingCategory::setFilterRules("default.debug=false");
    auto restoreLogging = qScopeGuard([] { QLoggingCategory::setFilterRules(QString()); });
    for (int round = 0; round < KILL_ROUNDS; ++round) {
        QProcess child;
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), {SAVE_LOOP_ARG});
        QVERIFY(child.waitForStarted(10000));
        while (!child.canReadLine()) {
            QVERIFY2(child.waitForReadyRead(30000), "the saving child did not start");
        }
        QCOMPARE(child.readLine(), QByteArray("ready\n"));
        QTest::qWait(int(QRandomGenerator::global()->bounded(1, 60)));
        QVERIFY(::kill(pid_t(child.processId()), SIGKILL) == 0);
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QJsonDocument document = QJsonDocument::fromJson(readFile(dataFile("accounts.txt")));
        QVERIFY2(document.isArray(), qPrintable(QString("round %1").arg(round)));
        const int size = document.array().size();
        QVERIFY2(size == SAVE_LOOP_ACCOUNTS || size == SAVE_LOOP_ACCOUNTS + 1,
                 qPrintable(QString::number(size)));
        DataStorage::Instance()->LoadData();
        QCOMPARE(collection().m_accounts.size(), size);
        clearCollection();
        QCOMPARE(fileMode(dataFile("accounts.txt")), 0600);
    }
}

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
