#include "accounts/accountclock.h"
#include "models/accountslistmodel.h"
#include "models/applicationpinmodel.h"
#include "models/qrcodescannermodel.h"
#include "servers/servermanager.h"
#include "tests/common/modelfixture.h"
#include "tests/common/testfiles.h"

#include <QtTest>

// The list model without a live server: sessions are created for an address where nothing
// listens, so every request they send fails at once.
namespace {

const QString DEAD_ADDRESS = QStringLiteral("http://127.0.0.1:1/vexa");
// RFC 6238 test secret ("12345678901234567890"), eight digits.
const QString RFC_TOTP =
    QStringLiteral("otpauth://totp/Acme:alice?secret=GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ&digits=8");

QString totp(const QString &label)
{
    return "otpauth://totp/" + label + "?secret=JBSWY3DPEHPK3PXP";
}

// The accounts as the next start reads them from the file.
QList<QJsonObject> storedAccounts()
{
    QList<QJsonObject> result;
    for (const QJsonValue &value : QJsonDocument::fromJson(readFile(ModelFixture::accountsFile())).array()) {
        std::unique_ptr<Account> account(Account::CreateAccountFromJson(value.toObject()));
        result << (account ? account->toJsonObject() : QJsonObject());
    }
    return result;
}

} // namespace

class TestAccountsListModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(ModelFixture::useTemporaryDataHome());
        ServerManager::SetDefaultPollIntervalForTests(50);
    }

    // Each test starts like a fresh installation.
    void cleanup()
    {
        AccountClock::setSource({});
        ModelFixture::clearAccounts();
    }

    void structureStaysConsistent()
    {
        ModelFixture fixture;
        AccountsListModel &model = *fixture.model();
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QSignalSpy rewritten(&model, &AccountsListModel::itemrewrited);
        QSignalSpy removed(&model, &AccountsListModel::rowsRemoved);
        model.resetAllData();
        QCOMPARE(removed.size(), 0);

        for (const char *label : {"A:one", "B:two", "C:three"}) {
            model.add(totp(label));
        }
        const QList<Account *> first = ModelFixture::accounts();
        QCOMPARE(first.size(), 3);

        // Nothing chosen yet: both choices do nothing.
        model.duplicate();
        model.rewrite();
        QCOMPARE(model.rowCount(), 3);

        // (What the dialog shows of the pair is the screens' test.)
        model.add(totp("B:two"));
        model.duplicate();
        model.duplicate(); // the pair was used up
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.getDuplicateRow(), -1);

        model.add(totp("C:three"));
        // A second scan replaces the pair still waiting (the first new account is released).
        model.add("otpauth://hotp/C:three?secret=JBSWY3DPEHPK3PXP&counter=1");
        model.rewrite();
        QCOMPARE(rewritten.size(), 1);
        QCOMPARE(rewritten.at(0).at(0).toInt(), 2);
        QCOMPARE(model.data(model.index(2), AccountsListModel::RoleType).toInt(), int(Account::TokenHOTP));
        QCOMPARE(model.rowCount(), 4);

        // The view names row 3, but the account is at row 0: row 0 goes.
        model.remove(first.at(0)->m_id, 3);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.at(0).at(1).toInt(), 0);
        QCOMPARE(ModelFixture::accounts().first(), first.at(1));
        model.remove(-5, 0);
        QCOMPARE(model.rowCount(), 3);

        // A ticket creates the session (its registration fails); then a server-bound account is
        // replaced, and tokens the server no longer knows disappear.
        model.add("orbticket://r1?address=" + DEAD_ADDRESS + "&pin=1&key=AAAQEAYEAUDAOCAJBIFQYDIOB4");
        QTRY_COMPARE(fixture.badReplies.size(), 1);
        model.addNewAccount(Account::CreateStandartOrbAccount(totp("Bank:a"), DEAD_ADDRESS, "t-1"));
        model.addNewAccount(Account::CreateStandartOrbAccount(totp("Bank:b"), DEAD_ADDRESS, "t-2"));
        model.addNewAccount(Account::CreateStandartOrbAccount(totp("Bank:b"), DEAD_ADDRESS, "t-3"));
        model.rewrite();
        QCOMPARE(model.rowCount(), 5);
        model.removeTokensForAddress(DEAD_ADDRESS, {"t-9", "t-3", "t-1"});
        model.removeTokensForAddress("http://nowhere", {"t-2"});
        QCOMPARE(ModelFixture::tokenIds(), QStringList({"", "", ""}));

        model.resetAllData();
        QVERIFY(model.isEmpty());
        QVERIFY(ModelFixture::accounts().isEmpty());
    }

    // Each role reads its own field (the screens read them by number); the next code shows in
    // the last seconds of a period only, and only for TOTP rows.
    void roles()
    {
        AccountClock::setSource([] { return QDateTime::fromSecsSinceEpoch(59, Qt::UTC); });
        AccountsListModel model;
        model.add(RFC_TOTP);
        model.add("otpauth://hotp/Shop:bob?secret=JBSWY3DPEHPK3PXP&counter=0");
        // A push account whose server has no session.
        model.addNewAccount(
            Account::CreateAuthAccount(totp("Push:dan"), "http://no-session", "r", "t-7", "k"));

        const auto value = [&model](int row, int role) { return model.data(model.index(row), role); };
        // Row, role, and what it reads. (Codes and progress at other times are the account's,
        // tested with it.)
        using M = AccountsListModel;
        const QList<std::tuple<int, int, QVariant>> shown = {
            {0, M::RolePassword, "94287082"}, {0, M::RoleProgress, 3},      {1, M::RoleProgress, 100},
            {1, M::RolePassword, "- - - -"},  {0, M::RoleIssuer, "Acme"},   {1, M::RoleUser, "bob"},
            {1, M::RoleColor, "orange"},      {2, M::RoleColor, "skyblue"}, {2, M::RoleType, 4},
            {2, M::RoleNetwork, 0},
        };
        for (const auto &[row, role, expected] : shown) {
            QCOMPARE(value(row, role), expected);
        }
        const QString next = model.nextPassword(0, 10);
        QVERIFY(model.nextPassword(1, 10).isEmpty() && model.nextPassword(0, 0).isEmpty());
        AccountClock::setSource([] { return QDateTime::fromSecsSinceEpoch(60, Qt::UTC); });
        QCOMPARE(value(0, M::RolePassword).toString(), next);
        QVERIFY(model.nextPassword(0, 10).isEmpty());
        QVERIFY(value(2, M::RoleMessage).toString().isNull());
        QVERIFY(!value(0, Qt::UserRole - 1).isValid() && !value(0, Qt::UserRole + 9).isValid());
        QVERIFY(!value(3, M::RoleUser).isValid());

        // Writing what is shown already changes nothing.
        QSignalSpy changed(&model, &AccountsListModel::dataChanged);
        QVERIFY(!model.setData(model.index(1), "- - - -", M::RolePassword));
        QVERIFY(model.setData(model.index(1), "123", M::RoleUser));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(value(1, M::RolePassword).toString(), QString("123"));
    }

    // A push account of a server that cannot be reached shows it once the first update failed.
    void pushAccountNetwork()
    {
        AccountsListModel model;
        QSignalSpy bad(&model, &AccountsListModel::badreply);
        // The account is in the session before the failed registration re-arms the worker, as a
        // registration answer would put it there.
        model.add("orbticket://r1?address=" + DEAD_ADDRESS + "&key=AAAQEAYEAUDAOCAJBIFQYDIOB4");
        model.addNewAccount(Account::CreateAuthAccount(totp("Push:eve"), DEAD_ADDRESS, "r1", "t-1", "k"));
        QTRY_COMPARE(model.data(model.index(0), AccountsListModel::RoleNetwork).toInt(), 2);
        QCOMPARE(bad.size(), 1);
        QCOMPARE(model.data(model.index(0), AccountsListModel::RoleMessage).toString(),
                 QString("Не удалось установить соединение с сервером!"));

        // Answers while no request is current do nothing (and read nothing freed).
        model.acceptAuth();
        model.declineAuth();
        model.finishConfirmation();
    }

    void rename_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("names"); // "issuer|name"
        QTest::addColumn<bool>("renamed");
        const QString old = totp("Old:me");
        const QString hotp = "otpauth://hotp/Old:me?secret=JBSWY3DPEHPK3PXP&counter=5";
        QTest::newRow("issuer parameter too")
            << old + "&issuer=Old&digits=8" << QString("Neue Bank & Co|i+u@x?") << true;
        QTest::newRow("hotp, no names") << hotp << QString("|") << true;
        QTest::newRow("Cyrillic, percent") << old << QString("Почта 100%|иван") << true;
        QTest::newRow("colon") << old << QString("a:b|me") << false;
        QTest::newRow("too long") << old << QString(Account::MAX_NAME_LENGTH + 1, 'x') + "|me" << false;
    }

    void rename()
    {
        QFETCH(QString, uri);
        QFETCH(QString, names);
        QFETCH(bool, renamed);
        AccountsListModel model;
        model.add(uri);
        const QJsonObject before = storedAccounts().value(0);
        const int id = model.data(model.index(0), AccountsListModel::RoleId).toInt();
        // (That the row tells its views is the screens' test of editing.)
        QCOMPARE(model.rename(id, names.section('|', 0, 0), names.section('|', 1)), renamed);
        // In the row and read back after a restart: the names, and everything else as it was.
        const QString shown = renamed ? names : QString("Old|me");
        const auto role = [&model](int role) { return model.data(model.index(0), role).toString(); };
        QCOMPARE(role(AccountsListModel::RoleIssuer) + '|' + role(AccountsListModel::RoleUser), shown);
        QJsonObject after = storedAccounts().value(0);
        QCOMPARE(after.value("Issuer").toString() + '|' + after.value("User").toString(), shown);
        QCOMPARE(after.value("URI").toString().contains("issuer=Old"), !renamed && uri.contains("issuer="));
        for (const char *key : {"Issuer", "User", "URI"}) {
            after.insert(key, before.value(key));
        }
        QCOMPARE(after, before);
    }

    void move_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("order");
        QTest::newRow("down") << 0 << 2 << "BCA";
        QTest::newRow("up") << 2 << 1 << "ACB";
        QTest::newRow("same row") << 1 << 1 << "ABC";
        QTest::newRow("past the end") << 1 << 3 << "ABC";
    }

    void move()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, order);
        AccountsListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        for (const char *label : {"A:a", "B:b", "C:c"}) {
            model.add(totp(label));
        }
        QCOMPARE(model.move(from, to), order != "ABC");
        QString shown;
        QString stored;
        for (int row = 0; row < 3; ++row) {
            shown += model.data(model.index(row), AccountsListModel::RoleIssuer).toString();
            stored += storedAccounts().value(row).value("Issuer").toString();
        }
        QCOMPARE(shown + stored, order + order);
    }

    // Parameters that can never give a right code are refused where a new account enters: the
    // scanner's verdict and add(). (A server's registration answer goes through the same check, a
    // row of the requests' test.)
    void unusableParameters_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QString>("message");
        const QString totp = "otpauth://totp/Acme:alice?secret=", ticket = "в QR-коде нет адреса сервера";
        const QString digits = "от 3 до 10 цифр", secret = "секретный ключ слишком короткий";
        QTest::newRow("digits 1") << totp + "JBSWY3DPEHPK3PXP&digits=1" << digits;
        QTest::newRow("digits 262, not 6") << totp + "JBSWY3DPEHPK3PXP&digits=262" << digits;
        QTest::newRow("period 0") << totp + "JBSWY3DPEHPK3PXP&period=0" << QString("период смены кода");
        QTest::newRow("unknown algorithm") << totp + "JBSWY3DPEHPK3PXP&algorithm=MD5" << QString("алгоритм");
        QTest::newRow("secret of one character") << totp + "A" << secret;
        QTest::newRow("secret of padding") << totp + "========" << secret;
        QTest::newRow("secret outside Base32") << totp + "123!!" << secret;
        QTest::newRow("ticket without address") << "orbticket://r1?pin=1&key=K" << ticket;
        QTest::newRow("ticket with empty address") << "orbticket://r1?address=&key=K" << ticket;
        QTest::newRow("ticket with empty reqID") << "orbticket://?address=" + DEAD_ADDRESS << ticket;
        QTest::newRow("usable: groups, lower case, padding")
            << totp + "jbsw y3dp ehpk 3pxp====&digits=8" << QString();
    }

    void unusableParameters()
    {
        QFETCH(QString, uri);
        QFETCH(QString, message);
        QRCodeScannerModel scanner;
        scanner.onQRCodeScanned(uri);
        QCOMPARE(scanner.isValid(), message.isEmpty());
        QVERIFY2(scanner.message().contains(message), qPrintable(scanner.message()));

        ModelFixture fixture;
        fixture.model()->add(uri);
        QCOMPARE(fixture.model()->rowCount(), message.isEmpty() ? 1 : 0);
        QCOMPARE(fixture.badReplies.value(0).value(0).toString(), scanner.message());
    }

    // The PIN survives a restart (a new model over the same data directory) exactly as entered;
    // one that cannot be written (a directory in the file's place) is refused and reported,
    // never held for this run only.
    void pinModel()
    {
        QVERIFY(!ApplicationPinModel().isPinCodePresent());
        ApplicationPinModel model;
        QVERIFY(model.onSetPinCode(" 12 34  "));
        QCOMPARE(ApplicationPinModel().getPinCode(), QString(" 12 34  "));
        const QString file =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/apppin.txt";
        QVERIFY(QFile::remove(file) && QDir().mkpath(file));
        QSignalSpy told(&model, &ApplicationPinModel::badreply);
        QVERIFY(!model.onSetPinCode("5678") && !model.resetPinCode());
        QCOMPARE(told.size(), 2);
        QCOMPARE(model.getPinCode(), QString(" 12 34  "));
        QVERIFY(QDir(file).removeRecursively());
        QVERIFY(model.resetPinCode());
        QVERIFY(!ApplicationPinModel().isPinCodePresent());
    }
};

QTEST_GUILESS_MAIN(TestAccountsListModel)
#include "tst_accountslistmodel.moc"
