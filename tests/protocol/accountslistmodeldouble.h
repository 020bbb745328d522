#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

class Account;
class AuthOperation;

// What the operations asked of an AccountsListModel. The model itself arrives with the models;
// until then this double stands in for it in the protocol's tests, fuzzers and benchmark.
struct ModelCallLog
{
    // Accounts handed over by addNewAccount; the test owns and deletes them.
    QList<Account *> addedAccounts;
    QStringList badReplies;
    // Token ids of the pending requests of each operation handed to processAuthOperation.
    QList<QStringList> authOperations;
    QList<QPair<QString, bool>> authOks;
    QList<QPair<QString, QStringList>> removedTokens;
    // Runs inside processAuthOperation while the operation is alive.
    std::function<void(AuthOperation *)> onAuthOperation;

    void clear();
};

ModelCallLog &modelCallLog();
