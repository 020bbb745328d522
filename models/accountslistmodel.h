#ifndef KESTREL_MODELS_ACCOUNTSLISTMODEL_H
#define KESTREL_MODELS_ACCOUNTSLISTMODEL_H

#include "accounts/account.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <push_client.h>

class AuthOperation;
class AuthRequest;
class HttpResult;
class ImportResult;
class OperationRequest;
class ServerManager;

// The QML-facing list of accounts and the hub of the user-interface logic: it shows the stored
// accounts in collection order, turns scanned URIs into accounts or server registrations, owns
// the ServerManager through which every server-bound account is reached, carries out the
// results of server replies and offers the current login confirmation to the view. What the user
// must know about the accounts file (DataStorage::problem) reaches the view through badreply.
// GUI thread only; several models (each with its own ServerManager) may share the collection.
class AccountsListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(QString issuer READ getIssuer NOTIFY issuerChanged)
    Q_PROPERTY(QString requestDate READ getRequestDate NOTIFY requestDateChanged)
    Q_PROPERTY(QString requestTime READ getRequestTime NOTIFY requestTimeChanged)
    Q_PROPERTY(QString metadata READ getMetadata NOTIFY metadataChanged)
    Q_PROPERTY(bool isLockedOTP READ getLockedOTP NOTIFY lockedOTPChanged)
    Q_PROPERTY(int timeout READ getTimeout NOTIFY timeoutChanged)
    // The name of the account the current request is for, as the collection holds it now.
    Q_PROPERTY(QString requestUser READ getRequestUser NOTIFY issuerChanged)
    // The stored account that a new one equals, while the user chooses (duplicate or rewrite):
    // its issuer, name and row (-1 when no choice is pending or it was removed meanwhile).
    Q_PROPERTY(QString duplicateIssuer READ getDuplicateIssuer NOTIFY requestduplicate)
    Q_PROPERTY(QString duplicateUser READ getDuplicateUser NOTIFY requestduplicate)
    Q_PROPERTY(int duplicateRow READ getDuplicateRow NOTIFY requestduplicate)

public:
    enum Roles
    {
        RoleColor = Qt::UserRole,
        RolePassword,
        RoleUser,
        RoleIssuer,
        RoleId,
        RoleProgress,
        RoleType,
        RoleNetwork,
        RoleMessage
    };

    explicit AccountsListModel(QObject *parent = nullptr);
    ~AccountsListModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QHash<int, QByteArray> roleNames() const override;

    Q_INVOKABLE void add(QString uri);
    Q_INVOKABLE void rewrite();
    Q_INVOKABLE void duplicate();
    Q_INVOKABLE void remove(int id, int index);
    Q_INVOKABLE void resetAllData();
    Q_INVOKABLE void incrementCounter(int id, int index);
    Q_INVOKABLE bool isEmpty();
    Q_INVOKABLE void acceptAuth();
    Q_INVOKABLE void declineAuth();
    Q_INVOKABLE void finishConfirmation();
    // New issuer and name of the account with `id` (Account::Rename's rules), saved at once; the
    // row and a shown confirmation for the account follow. False when nothing changed.
    Q_INVOKABLE bool rename(int id, const QString &issuer, const QString &user);
    // Moves the row `from` to `to` in the collection and the file, saved at once.
    Q_INVOKABLE bool move(int from, int to);
    // The code of a time-based row's next period once its current one ends within
    // `withinSeconds`; empty otherwise and for other rows.
    Q_INVOKABLE QString nextPassword(int row, int withinSeconds);

    // Backup and transfer. Imports take the path of a scan: the same validity and duplicate
    // rules, one save at the end. Only OTP accounts leave the device.
    // {"imported", "duplicates", "unsupported": int, "error": text, "message": the summary}.
    Q_INVOKABLE QVariantMap importBackup(const QString &path, const QString &password);
    // `format` "aegis" (encrypted when `password` is not empty) or "uris"; the Russian error, or
    // an empty text once the file is written (mode 0600).
    Q_INVOKABLE QString exportBackup(const QString &path, const QString &password, const QString &format);
    // What an export in `format` ("aegis", "uris" or "migration") leaves out and why; empty when
    // every account goes.
    Q_INVOKABLE QString exportNotice(const QString &format);
    // The transfer QR codes of every account that can travel in them.
    Q_INVOKABLE QStringList migrationCodes();
    // The "otpauth://" text of one OTP account, for its QR code; empty for any other account.
    Q_INVOKABLE QString accountUri(int id);

    // Called by the operations of server replies while onHttpResult carries them out.
    void addNewAccount(Account *account);
    void removeTokensForAddress(QString address, QList<QString> tokenIds);
    // `sessionID`: the login the answered request was about; a reply for another one is stale.
    void onAuthOk(QString address, QString sessionID, bool ok);
    // A network layer's text or a server's words, which the view words itself.
    void onBadReply(QString msg);
    void processAuthOperation(AuthOperation *op);

    QString getIssuer() const;
    QString getRequestDate() const;
    QString getRequestTime() const;
    QString getMetadata() const;
    bool getLockedOTP() const;
    int getTimeout() const;
    QString getRequestUser() const;
    QString getDuplicateIssuer() const;
    QString getDuplicateUser() const;
    int getDuplicateRow() const;

signals:
    void newData();
    void accountready();
    // `fromNetwork`: `msg` is a network layer's text or a server's words, for the view to word;
    // otherwise the model's own text, already in the interface's language.
    void badreply(QString msg, bool fromNetwork);
    // The server refused or lost the user's answer to the confirmation being shown.
    void confirmationerror(QString msg);
    void requestduplicate();
    void requestconfirmation();
    void cancelconfirmation();
    void accepted();
    void declined();
    void authrequest();
    void itemrewrited(int row);
    void metadataChanged();
    void issuerChanged();
    void requestDateChanged();
    void requestTimeChanged();
    void lockedOTPChanged();
    void timeoutChanged();
    // The outcome of a transfer code given to add(), for the user.
    void importsummary(QString message);

public slots:
    // Pushes are handled by the push notifications model; the list accepts them and does nothing.
    void insertPush(Aurora::PushNotifications::Push push);
    void onHttpResult(HttpResult *result);
    void onRequestConfirmation(AuthRequest *request);
    void onCancelConfirmation();
    void onConfirmationStatusChanged(Account::ConfirmationStatus status);

private:
    void Initialize();
    // The model's own text for the user (badreply, not from the network).
    void tell(const QString &message);

    // Appends a new row, saves, optionally hands the account to its server's sessions and, once
    // it is on disk, announces it with accountready().
    void appendAccount(Account *account, bool toSession);
    // Keeps a new account that equals a stored one until the user chooses; a new account still
    // waiting from an earlier scan is released.
    void offerDuplicate(Account *account, Account *existing);
    // The session of the account's server forgets its token (log line when there is none).
    void forgetInSession(Account *account);

    // Every model of the process shows the one collection: a change of its rows is announced to
    // all of them, and an account leaves the sessions of all of their managers.
    void beginRowInsertion(int row);
    void endRowInsertion();
    void beginRowRemoval(int first, int last);
    void endRowRemoval();
    void forgetEverywhere(Account *account);
    void putInSessions(Account *account);
    // Frees an account taken out of the collection, or keeps it until no model's current
    // confirmation names its token any more.
    static void releaseAccount(Account *account);
    static void releaseRetiredAccounts();
    // Whether an answer's reply is about the request shown now.
    bool answersCurrentRequest(const OperationRequest *operation) const;
    // Adds the accounts of an import as a scan would, saves once and returns the summary map.
    QVariantMap addImported(const ImportResult &result);

    ServerManager *m_serverManager = nullptr;
    Account *m_newAccount = nullptr;
    Account *m_existingAccount = nullptr;
    // Set while the model is destroyed: results still queued are freed, not carried out.
    bool m_closing = false;
};

#endif // KESTREL_MODELS_ACCOUNTSLISTMODEL_H
