#include "accounts/account.h"
#include "models/accountslistmodel.h"
#include "protocol/accepttokenoperation.h"
#include "protocol/authoperation.h"
#include "protocol/authrequest.h"
#include "protocol/declinetokenoperation.h"
#include "protocol/registerorbaccountoperation.h"
#include "tests/protocol/modelfixture.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(HttpResult::ErrorCode)

namespace {
// Nothing listens there: requests the model's sessions send fail at once.
const QString ADDRESS = QStringLiteral("http://127.0.0.1:1/vexa");
} // namespace

class TestOperations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void validRegistrationHandsAccountOver();
    void findRequests();
    void unshownRequestsDieWithOperation();
    void answerOutcome_data();
    void answerOutcome();

private:
    QTemporaryDir m_dataHome;
};

void TestOperations::initTestCase()
{
    QVERIFY(m_dataHome.isValid());
    qputenv("XDG_DATA_HOME", m_dataHome.path().toUtf8());
}

void TestOperations::cleanup() {}

void TestOperations::validRegistrationHandsAccountOver()
{
    RegisterOrbAccountOperation operation(ADDRESS, HttpResult::ErrorNone);
    QCOMPARE(operation.m_operationType, OperationRequest::RegisterAccountOp);
    Account *account = Account::CreateStandartOrbAccount(
        QStringLiteral("otpauth://hotp/Shop:bob?secret=JBSWY3DPEHPK3PXP&counter=3"), ADDRESS, "t-5");
    operation.SetAccount(account);
    ModelFixture model;
    operation.DoOperation(model.model());
    QCOMPARE(ModelFixture::accounts(), QList<Account *>{account});
    QCOMPARE(model.badReplies.size(), 0);
    QVERIFY(!operation.GetAccount());
}

void TestOperations::findRequests()
{
    AuthOperation empty(ADDRESS, HttpResult::ErrorNone);
    QVERIFY(!empty.GetFirstAuthRequest());
    QVERIFY(!empty.FindTokenRequest("t-1"));

    AuthOperation operation(ADDRESS, HttpResult::ErrorNone);
    operation.PutRequest(nullptr);
    operation.PutRequest(new AuthRequest(ADDRESS, "t-1", "s-1", "first", 0));
    operation.PutRequest(new AuthRequest(ADDRESS, "t-2", "s-2", "second", 0));
    operation.PutRequest(new AuthRequest(ADDRESS, "t-1", "s-3", "third", 0));
    QCOMPARE(operation.GetRequests().size(), 3);
    QCOMPARE(operation.GetFirstAuthRequest()->GetSessionID(), QStringLiteral("s-1"));
    QCOMPARE(operation.FindTokenRequest("t-1")->GetSessionID(), QStringLiteral("s-1"));
    QCOMPARE(operation.FindTokenRequest("t-2")->GetSessionID(), QStringLiteral("s-2"));
    QVERIFY(!operation.FindTokenRequest("T-1"));
    QVERIFY(!operation.FindTokenRequest("t-9"));
}

// The session takes the request it shows; the others go with the operation (the sanitizer build
// reports a leak or a double deletion here).
void TestOperations::unshownRequestsDieWithOperation()
{
    auto *operation = new AuthOperation(ADDRESS, HttpResult::ErrorNone);
    operation->PutRequest(new AuthRequest(ADDRESS, "t-1", "s-1", "first", 0));
    operation->PutRequest(new AuthRequest(ADDRESS, "t-2", "s-2", "second", 0));
    AuthRequest stranger;
    QVERIFY(!operation->TakeRequest(&stranger));

    ModelFixture model(ADDRESS, {"t-1", "t-2"});
    operation->DoOperation(model.model());
    QCOMPARE(model.confirmations.size(), 1);
    QCOMPARE(model.model()->getMetadata(), QStringLiteral("first"));
    QCOMPARE(operation->GetRequests().size(), 1);
    delete operation;
    QCOMPARE(model.model()->getMetadata(), QStringLiteral("first"));
    model.model()->finishConfirmation();
    QVERIFY(model.model()->getMetadata().isEmpty());
}

void TestOperations::answerOutcome_data()
{
    QTest::addColumn<bool>("accepting");
    QTest::addColumn<HttpResult::ErrorCode>("code");
    QTest::addColumn<bool>("ok");
    QTest::newRow("accept confirmed") << true << HttpResult::ErrorNone << true;
    QTest::newRow("accept failed") << true << HttpResult::ErrorProtocol << false;
    QTest::newRow("decline confirmed") << false << HttpResult::ErrorNone << false;
    QTest::newRow("decline failed") << false << HttpResult::ErrorServer << false;
}

void TestOperations::answerOutcome()
{
    QFETCH(bool, accepting);
    QFETCH(HttpResult::ErrorCode, code);
    QFETCH(bool, ok);
    std::unique_ptr<OperationRequest> operation;
    if (accepting) {
        operation = std::make_unique<AcceptTokenOperation>(ADDRESS, code);
    } else {
        operation = std::make_unique<DeclineTokenOperation>(ADDRESS, code);
    }
    QCOMPARE(operation->m_operationType,
             accepting ? OperationRequest::AcceptTokenOp : OperationRequest::DeclineTokenOp);
    // The answer ends the confirmation the session of ADDRESS is showing.
    ModelFixture model(ADDRESS, {"t-1"});
    AuthOperation update(ADDRESS, HttpResult::ErrorNone);
    update.PutRequest(new AuthRequest(ADDRESS, "t-1", "s-1", "", 0));
    update.DoOperation(model.model());
    QCOMPARE(model.confirmations.size(), 1);
    operation->DoOperation(model.model());
    QCOMPARE(model.accepted.size(), ok ? 1 : 0);
    QCOMPARE(model.declined.size(), ok ? 0 : 1);
    model.model()->finishConfirmation();
}

QTEST_GUILESS_MAIN(TestOperations)
#include "tst_operations.moc"
