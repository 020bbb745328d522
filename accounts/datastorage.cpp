#include "accounts/datastorage.h"

#include "accounts/account.h"
#include "accounts/accountclock.h"
#include "accounts/datadirectory.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString ACCOUNTS_FILE_NAME = QStringLiteral("accounts.txt");
const QString PINCODE_FILE_NAME = QStringLiteral("apppin.txt");
const QString REGISTRATION_ID_FILE_NAME = QStringLiteral("regid.txt");

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

void DataStorage::LoadData()
{
    const QString path = _getAppDataPath() + "/" + ACCOUNTS_FILE_NAME;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return;
    }
    const QByteArray content = file.readAll();
    file.close();

    const QJsonDocument document = QJsonDocument::fromJson(content);
    if (!document.isArray()) {
        // Keep whatever the user had before the next save replaces the file.
        if (!content.trimmed().isEmpty()) {
            keepDamagedFile(path);
        }
        return;
    }
    const QJsonArray array = document.array();
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        Account *account = Account::CreateAccountFromJson(object);
        if (account != nullptr) {
            m_accountsData.AddAccount(account);
            qDebug() << "[DataStorage] loaded account" << object.value("User");
        }
    }
}

void DataStorage::SaveData()
{
    const QByteArray content = QJsonDocument(m_accountsData.toJsonArray()).toJson();
    if (DataDirectory::writeFile(DataDirectory::filePath(ACCOUNTS_FILE_NAME), content)) {
        qDebug() << "Write to file";
    }
}

void DataStorage::SaveApplicationPin(const QString &pin)
{
    DataDirectory::writeFile(DataDirectory::filePath(PINCODE_FILE_NAME), pin.toUtf8());
}

QString DataStorage::GetApplicationPin()
{
    return readLine(PINCODE_FILE_NAME);
}

void DataStorage::SaveRegistrationId(const QString &id)
{
    DataDirectory::writeFile(DataDirectory::filePath(REGISTRATION_ID_FILE_NAME), id.toUtf8());
}

QString DataStorage::GetRegistrationId()
{
    return readLine(REGISTRATION_ID_FILE_NAME);
}

QString DataStorage::_getAppDataPath() const
{
    return DataDirectory::path();
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

void DataStorage::keepDamagedFile(const QString &path) const
{
    const QString stamp = AccountClock::now().toUTC().toString("yyyyMMdd'T'HHmmss'Z'");
    QString target = path + ".damaged-" + stamp;
    for (int n = 1; QFileInfo::exists(target); ++n) {
        target = path + ".damaged-" + stamp + "-" + QString::number(n);
    }
    if (QFile::rename(path, target)) {
        qDebug() << "[DataStorage] damaged accounts file kept as" << target;
    } else {
        qDebug() << "[DataStorage] damaged accounts file could not be kept aside:" << path;
    }
}
