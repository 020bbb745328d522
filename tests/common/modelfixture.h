#ifndef KESTREL_TESTS_COMMON_MODELFIXTURE_H
#define KESTREL_TESTS_COMMON_MODELFIXTURE_H

#include "models/accountslistmodel.h"

#include <QList>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

#include <memory>

class Account;

// The real accounts list model for the tests of the protocol, the servers and the models. With an
// address, push accounts holding the given token ids are stored first, so that the model starts
// with a session for that address serving them (as after a restart). The destructor destroys the
// model and empties the collection.
class ModelFixture
{
public:
    explicit ModelFixture(const QString &address = QString(), const QStringList &tokenIds = {});
    ~ModelFixture();
    ModelFixture(const ModelFixture &) = delete;
    ModelFixture &operator=(const ModelFixture &) = delete;

    AccountsListModel *model() const { return m_model.get(); }

    // For initTestCase: the data files go to a temporary directory kept for the whole program.
    static bool useTemporaryDataHome();
    // Frees every stored account and removes the accounts file, as on a fresh installation.
    static void clearAccounts();
    // The accounts in the model's rows, in row order.
    static QList<Account *> accounts();
    static QStringList tokenIds();
    static QString accountsFile();

private:
    std::unique_ptr<AccountsListModel> m_model;

public:
    QSignalSpy badReplies;
    QSignalSpy confirmations;
};

#endif // KESTREL_TESTS_COMMON_MODELFIXTURE_H
