#include "accounts/datastorage.h"

#include "accounts/account.h"
#include "accounts/accountclock.h"
#include "accounts/datadirectory.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaMethod>
#include <QThread>
#include <QTimer>

namespace {

const QString ACCOUNTS_FILE_NAME = QStringLiteral("accounts.txt");
const QString PINCODE_FILE_NAME = QStringLiteral("apppin.txt");
const QString REGISTRATION_ID_FILE_NAME = QStringLiteral("regid.txt");

const char UNREADABLE_MESSAGE[] = QT_TRANSLATE_NOOP(
    "DataStorage",
    "Не удалось прочитать файл аккаунтов. Он оставлен без изменений, а изменения списка не будут "
    "сохраняться до перезапуска программы.");
const char DAMAGED_MESSAGE[] = QT_TRANSLATE_NOOP(
    "DataStorage", "Файл аккаунтов повреждён, и прочитать его не удалось. Его копия сохранена в папке данных "
                   "программы под именем «%1».");
const char UNKNOWN_ENTRIES_MESSAGE[] = QT_TRANSLATE_NOOP(
    "DataStorage", "Записей в файле аккаунтов, которые эта версия программы не может показать: %1. Они "
                   "сохраняются в файле без изменений.");
const char SAVE_FAILED_MESSAGE[] = QT_TRANSLATE_NOOP(
    "DataStorage", "Не удалось записать аккаунты на устройство (нет места или нет доступа к папке данных). "
                   "Аккаунты остаются в памяти программы, запись повторяется автоматически.");

} // namespace

DataStorage *DataStorage::Instance()
{
    static DataStorage instance(nullptr);
    return &instance;
}

DataStorage::DataStorage(QObject *parent)
    : QObject(parent)
{
}

bool DataStorage::LoadData()
{
    if (m_loadState != NotLoaded) {
        return m_loadState == Loaded;
    }
    const QString path = DataDirectory::filePath(ACCOUNTS_FILE_NAME);
    if (!QFileInfo::exists(path)) {
        m_loadState = Loaded;
        return true;
    }
    QFile file(path);
    const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        qWarning().noquote() << "[DataStorage] accounts file cannot be read:" << path << file.errorString();
        m_loadState = Unreadable;
        report(tr(UNREADABLE_MESSAGE));
        return false;
    }
    file.close();

    const QJsonDocument document = QJsonDocument::fromJson(content);
    if (!document.isArray()) {
        // Keep whatever the user had before the next save replaces the file.
        if (!content.trimmed().isEmpty()) {
            const QString copy = keepDamagedFile(path);
            if (copy.isEmpty()) {
                m_loadState = Unreadable;
                report(tr(UNREADABLE_MESSAGE));
                return false;
            }
            report(tr(DAMAGED_MESSAGE).arg(copy));
        }
        m_loadState = Loaded;
        return true;
    }
    const QJsonArray array = document.array();
    for (int index = 0; index < array.size(); ++index) {
        const QJsonValue value = array.at(index);
        Account *account = value.isObject() ? Account::CreateAccountFromJson(value.toObject()) : nullptr;
        if (account != nullptr) {
            m_accountsData.AddAccount(account);
            qDebug() << "[DataStorage] loaded account" << value.toObject().value("User");
        } else {
            // Perhaps written by a later release: it goes back into the file as it came.
            m_unreadable.append(qMakePair(index, value));
        }
    }
    m_loadState = Loaded;
    if (!m_unreadable.isEmpty()) {
        report(tr(UNKNOWN_ENTRIES_MESSAGE).arg(m_unreadable.size()));
    }
    return true;
}

bool DataStorage::SaveData()
{
    return writeAccounts(true);
}

bool DataStorage::SaveApplicationPin(const QString &pin)
{
    return DataDirectory::writeFile(DataDirectory::filePath(PINCODE_FILE_NAME), pin.toUtf8());
}

QString DataStorage::GetApplicationPin()
{
    return readLine(PINCODE_FILE_NAME);
}

bool DataStorage::SaveRegistrationId(const QString &id)
{
    return DataDirectory::writeFile(DataDirectory::filePath(REGISTRATION_ID_FILE_NAME), id.toUtf8());
}

QString DataStorage::GetRegistrationId()
{
    return readLine(REGISTRATION_ID_FILE_NAME);
}

QStringList DataStorage::TakePendingProblems()
{
    QStringList problems;
    problems.swap(m_pendingProblems);
    return problems;
}

void DataStorage::ResetForTests()
{
    qDeleteAll(m_accountsData.m_accounts);
    m_accountsData.m_accounts.clear();
    m_unreadable.clear();
    m_pendingProblems.clear();
    m_loadState = NotLoaded;
    m_retryMs = FIRST_RETRY_MS;
    if (m_retryTimer) {
        m_retryTimer->stop();
    }
}

QString DataStorage::_getAppDataPath() const
{
    return DataDirectory::path();
}

bool DataStorage::writeAccounts(bool announceFailure)
{
    LoadData();
    if (m_loadState == Unreadable) {
        qWarning() << "[DataStorage] accounts not saved: the file could not be read at start";
        if (announceFailure) {
            report(tr(UNREADABLE_MESSAGE));
        }
        return false;
    }
    QJsonArray array = m_accountsData.toJsonArray();
    for (const QPair<int, QJsonValue> &entry : qAsConst(m_unreadable)) {
        array.insert(qMin(entry.first, array.size()), entry.second);
    }
    if (!DataDirectory::writeFile(DataDirectory::filePath(ACCOUNTS_FILE_NAME),
                                  QJsonDocument(array).toJson())) {
        if (announceFailure) {
            report(tr(SAVE_FAILED_MESSAGE));
        }
        retryLater();
        return false;
    }
    qDebug() << "Write to file";
    m_pendingProblems.removeAll(tr(SAVE_FAILED_MESSAGE));
    m_retryMs = FIRST_RETRY_MS;
    if (m_retryTimer) {
        m_retryTimer->stop();
    }
    return true;
}

void DataStorage::retryLater()
{
    // The timer belongs to the GUI thread; a save from elsewhere is repeated at the next change.
    QCoreApplication *application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() != application->thread()) {
        return;
    }
    if (!m_retryTimer) {
        m_retryTimer = new QTimer(application);
        m_retryTimer->setSingleShot(true);
        connect(m_retryTimer, &QTimer::timeout, this, [this] { writeAccounts(false); });
    }
    m_retryTimer->start(m_retryMs);
    m_retryMs = qMin(m_retryMs * 2, MAX_RETRY_MS);
}

void DataStorage::report(const QString &message)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&DataStorage::problem))) {
        emit problem(message);
    } else if (!m_pendingProblems.contains(message)) {
        m_pendingProblems.append(message);
    }
}

QString DataStorage::readLine(const QString &fileName) const
{
    QFile file(_getAppDataPath() + "/" + fileName);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    const QByteArray line = file.readLine();
    if (line.isEmpty()) {
        return QString();
    }
    // Stops at a zero byte, as the text ends there.
    return QString::fromUtf8(line.constData());
}

QString DataStorage::keepDamagedFile(const QString &path) const
{
    const QString stamp = AccountClock::now().toUTC().toString("yyyyMMdd'T'HHmmss'Z'");
    QString target = path + ".damaged-" + stamp;
    for (int n = 1; QFileInfo::exists(target); ++n) {
        target = path + ".damaged-" + stamp + "-" + QString::number(n);
    }
    if (!QFile::rename(path, target)) {
        qWarning().noquote() << "[DataStorage] damaged accounts file could not be kept aside:" << path;
        return QString();
    }
    qDebug() << "[DataStorage] damaged accounts file kept as" << target;
    return QFileInfo(target).fileName();
}
