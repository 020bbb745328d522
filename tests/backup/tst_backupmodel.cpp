#include "accounts/accountclock.h"
#include "tests/common/modelfixture.h"
#include "tests/common/testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

// Export and import through the list model, as the screens use them.
namespace {

const QString SERVER = QStringLiteral("http://127.0.0.1:1/vexa");

QString totp(const QString &label)
{
    return "otpauth://totp/" + label + "?secret=JBSWY3DPEHPK3PXP";
}

// Thirteen OTP accounts (one with a 60 s period, one HOTP that has been used, one provisioned by a
// server) and one push account.
void fill(AccountsListModel &model)
{
    model.add(totp("GitHub:alice"));
    model.add("otpauth://totp/Cloud:dan?secret=gezd gnbv gy3t qojq&algorithm=SHA512&digits=8&period=60");
    model.add("otpauth://hotp/Bank:bob?secret=GEZDGNBVGY3TQOJQ&algorithm=SHA256&digits=8&counter=5");
    const int bob = model.data(model.index(2), AccountsListModel::RoleId).toInt();
    model.incrementCounter(bob, 2);
    model.incrementCounter(bob, 2);
    model.addNewAccount(Account::CreateStandartOrbAccount(totp("Orb:erin"), SERVER, "t-1"));
    model.addNewAccount(Account::CreateAuthAccount(totp("Push:frank"), SERVER, "r", "t-2", "k"));
    for (int i = 0; i < 9; ++i) {
        model.add(totp(QString("Site%1:user").arg(i)));
    }
}

// What the user sees and what makes the next codes, for every OTP account. HOTP rows are moved
// on by one code to show it.
QStringList snapshot(AccountsListModel &model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        Account *account = ModelFixture::accounts().at(row);
        if (account->m_tokenType == Account::TokenHOTP) {
            model.incrementCounter(account->m_id, row);
        }
        const OTPToken &token = account->m_otpToken;
        if (account->m_tokenType != Account::TokenPushAuth) {
            rows << QString("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                        .arg(account->m_issuer, account->m_user, QString::number(account->m_tokenType),
                             QString::fromStdString(token.secret()).toUpper().remove(' '),
                             QString::number(token.digits()), QString::number(token.period()),
                             QString::number(token.algorithm()), QString::number(account->m_counter),
                             model.data(model.index(row), AccountsListModel::RolePassword).toString());
        }
    }
    return rows;
}

} // namespace

class TestBackupModel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(ModelFixture::useTemporaryDataHome());
        AccountClock::setSource([] { return QDateTime::fromSecsSinceEpoch(1111111109, Qt::UTC); });
    }

    void cleanup() { ModelFixture::clearAccounts(); }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("password");
        QTest::newRow("aegis plain") << QString("aegis") << QString();
        QTest::newRow("aegis encrypted") << QString("aegis") << QString("пароль");
        QTest::newRow("uris") << QString("uris") << QString();
        QTest::newRow("migration") << QString("migration") << QString();
        QTest::newRow("one QR code each") << QString("qr") << QString();
    }

    void roundTrip()
    {
        QFETCH(QString, format);
        QFETCH(QString, password);
        ModelFixture fixture;
        AccountsListModel &model = *fixture.model();
        fill(model);
        const QString path = m_dir.filePath(format + password);
        QStringList codes;
        if (format == "migration") {
            codes = model.migrationCodes();
            QCOMPARE(codes.size(), 2);
        } else if (format == "qr") {
            for (const Account *account : ModelFixture::accounts()) {
                codes << model.accountUri(account->m_id);
            }
            // The push account has none.
            QCOMPARE(codes.removeAll(QString()), 1);
        } else {
            QCOMPARE(model.exportBackup(path, password, format), QString());
            // Owner, group and others (the "user" bits depend on who runs the test).
            QCOMPARE(QFile::permissions(path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
            const QByteArray content = readFile(path);
            QVERIFY(!content.contains("frank"));
            QCOMPARE(content.contains("alice"), password.isEmpty());
        }
        const QString notice = model.exportNotice(format);
        QVERIFY2(notice.startsWith("Аккаунты подтверждения входа не переносятся (1)"), qPrintable(notice));
        QCOMPARE(notice.contains("коды переноса (1)"), format == "migration");
        QStringList expected = snapshot(model);
        if (format == "migration") {
            expected = expected.filter(QRegularExpression("^(?!Cloud)"));
        }

        model.resetAllData();
        if (codes.isEmpty()) {
            const QVariantMap result = model.importBackup(path, password);
            QCOMPARE(result.value("error").toString(), QString());
            QCOMPARE(result.value("imported").toInt(), expected.size());
        }
        for (const QString &code : qAsConst(codes)) {
            model.add(code);
        }
        // (The summary a transfer code shows is read off the screen by the QML tests; its counts
        // are importSummary's.)
        QCOMPARE(snapshot(model), expected);
    }

    void importSummary()
    {
        ModelFixture fixture;
        AccountsListModel &model = *fixture.model();
        model.add(totp("GitHub:alice"));
        const QString path = m_dir.filePath("mixed.txt");
        QVERIFY(writeFile(path, totp("GitHub:alice").toUtf8() + "\n" + totp("New:one").toUtf8() +
                                    "\notpauth://totp/New:one?secret=KRSXG5CTMVRXEZLU\n" +
                                    totp("Bad:digits").toUtf8() +
                                    "&digits=12\notpauth://totp/Bad:secret?secret=12%21\nsteam://ABC\n"
                                    "otpauth-migration://offline?data=CgcKAUEgBDAC\n"));
        // The screen shows the message only.
        QCOMPARE(model.importBackup(path, "").value("message").toString(),
                 QString("Импортировано аккаунтов: 1. Уже были в списке: 2. Не поддерживаются: 4."));
        QCOMPARE(model.rowCount(), 2);
    }

    void refusedImportChangesNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("password");
        const QString data = QStringLiteral(KESTREL_TEST_DATA "/");
        QTest::newRow("wrong password") << data + "vault-encrypted.json" << QString("correct horse!");
        QTest::newRow("missing file") << data + "missing.json" << QString();
        QTest::newRow("no file chosen") << QString() << QString();
    }

    void refusedImportChangesNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, password);
        ModelFixture fixture;
        AccountsListModel &model = *fixture.model();
        model.add(totp("GitHub:alice"));
        const QByteArray stored = readFile(ModelFixture::accountsFile());
        QSignalSpy inserted(&model, &AccountsListModel::rowsInserted);
        QVERIFY(!model.importBackup(file, password).value("error").toString().isEmpty());
        model.add("otpauth-migration://offline?data=AAAA");
        QCOMPARE(fixture.badReplies.size(), 1);
        QCOMPARE(inserted.size(), 0);
        QCOMPARE(readFile(ModelFixture::accountsFile()), stored);
    }

    void exportRefusals()
    {
        ModelFixture fixture;
        AccountsListModel &model = *fixture.model();
        const QString path = m_dir.filePath("refused");
        QCOMPARE(model.exportBackup(path, "", "aegis"),
                 QString("Нет аккаунтов, которые можно экспортировать."));
        model.add(totp("GitHub:alice"));
        QCOMPARE(model.exportBackup(path, "pw", "uris"),
                 QString("Список ссылок не шифруется: уберите пароль или выберите формат Aegis."));
        QVERIFY(model.exportBackup(m_dir.filePath("no/such/dir/file"), "", "aegis")
                    .startsWith("Не удалось записать"));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestBackupModel)
#include "tst_backupmodel.moc"
