#ifndef KESTREL_ACCOUNTS_ACCOUNTSDATA_H
#define KESTREL_ACCOUNTS_ACCOUNTSDATA_H

#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QString>

class Account;

// The ordered list of all accounts of the process: the row order of the list model and of the
// accounts file. Holds the accounts it is given; only removeAtIndex deletes one.
class AccountsData : public QObject
{
    Q_OBJECT

public:
    explicit AccountsData(QObject *parent = nullptr);
    // Releases the list only: the accounts live until the process ends.
    ~AccountsData() override;

    Account *accountForIndex(int index);
    int indexOf(Account *account);
    // The first stored account equal to `account` by user and issuer, and for ticket and
    // push-authentication accounts also by server address and token id.
    Account *findIfEquals(const Account *account);
    Account *accountForID(int id);
    Account *accountForTokenUID(const QString &tokenUID);
    Account *accountForUser(const QString &user);
    void UpdateRegistrationId(const QString &registrationId);
    QJsonArray toJsonArray();
    void AddAccount(Account *account);
    void removeAtIndex(int index);
    int ReplaceAccount(Account *oldAccount, Account *newAccount);
    int RemoveAccount(Account *account);
    // Moves the account at `from` to `to`; false, with nothing moved, unless both are rows.
    bool Move(int from, int to);

    QList<Account *> m_accounts;
};

#endif // KESTREL_ACCOUNTS_ACCOUNTSDATA_H
