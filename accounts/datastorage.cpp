#include "accounts/datastorage.h"

#include "accounts/account.h"
#include "accounts/accountclock.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>

namespace {

const QString ACCOUNTS_FILE_NAME = QStringLiteral("accounts.txt");
const QString PINCODE_FILE_NAME = QStringLiteral("apppin.txt");
const QString REGISTRATION_ID_FILE_NAME = QStringLiteral("regid.txt");

// Creates the missing directories of `path` private to the user.
bool makeDirectory(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        return true;
    }
    if (info.exists()) {
        return false;
    }
    const QString parent = info.absolutePath();
    if (parent != info.absoluteFilePath() && !makeDirectory(parent)) {
        return false;
    }
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return QFileInfo(path).isDir();
}

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
    if (writeFile(ACCOUNTS_FILE_NAME, content, true)) {
        qDebug() << "Write to file";
    }
}

void DataStorage::SaveApplicationPin(const QString &pin)
{
    writeFile(PINCODE_FILE_NAME, pin.toUtf8(), true);
}

QString DataStorage::GetApplicationPin()
{
    return readLine(PINCODE_FILE_NAME);
}

void DataStorage::SaveRegistrationId(const QString &id)
{
    writeFile(REGISTRATION_ID_FILE_NAME, id.toUtf8(), false);
}

QString DataStorage::GetRegistrationId()
{
    return readLine(REGISTRATION_ID_FILE_NAME);
}

QString DataStorage::_getAppDataPath() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

bool DataStorage::ensureDataDirectory() const
{
    const QString directory = _getAppDataPath();
    return !directory.isEmpty() && makeDirectory(directory);
}

bool DataStorage::writeFile(const QString &fileName, const QByteArray &content, bool secret) const
{
    // The content goes to a temporary file that replaces the old one only once it is complete, so
    // a crash, a kill or a full disk leaves the old file intact.
    QSaveFile file(_getAppDataPath() + "/" + fileName);
    if (!ensureDataDirectory() || !file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qDebug() << "File open error";
        return false;
    }
    qDebug() << "JSONTest2 File open!";
    if (secret) {
        // A new file would otherwise get the umask's mode, readable by others.
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    // QSaveFile notices neither a short write nor a failed final flush, so both are checked here.
    const bool written = file.write(content) == content.size() && file.flush();
    if (!written) {
        qDebug() << "File write error:" << fileName << file.errorString();
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        qDebug() << "File write error:" << fileName << file.errorString();
        return false;
    }
    return true;
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
