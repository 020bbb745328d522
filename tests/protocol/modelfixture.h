#pragma once

#include "models/accountslistmodel.h"

#include <QList>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

#include <memory>

class Account;

// The real accounts list model for the operations' tests. The collection starts empty; with an
// address, push accounts holding the given token ids are stored first, so that the model starts
// with a session for that address serving them (as after a restart). The destructor destroys the
// model and frees every stored account.
class ModelFixture
{
public:
    explicit ModelFixture(const QString &address = QString(), const QStringList &tokenIds = {});
    ~ModelFixture();
    ModelFixture(const ModelFixture &) = delete;
    ModelFixture &operator=(const ModelFixture &) = delete;

    AccountsListModel *model() const { return m_model.get(); }
    // The accounts in the model's rows, in row order.
    static QList<Account *> accounts();
    static QStringList tokenIds();

private:
    std::unique_ptr<AccountsListModel> m_model;

public:
    QSignalSpy badReplies;
    QSignalSpy confirmations;
    QSignalSpy accepted;
    QSignalSpy declined;
};
