#include "ui/appsettings.h"

#include "accounts/datadirectory.h"
#include "ui/systemcolorscheme.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QPointer>
#include <QStandardPaths>
#include <QtDebug>

const QString AppSettings::FILE_NAME = QStringLiteral("settings.json");

namespace {

const QString THEME_KEY = QStringLiteral("theme");
const QString FOLDER_KEY = QStringLiteral("lastFolder");
const QString WINDOW_KEY = QStringLiteral("window");
const QString THEME_SYSTEM = QStringLiteral("system");

bool knownTheme(const QString &theme)
{
    return theme == THEME_SYSTEM || theme == QLatin1String("light") || theme == QLatin1String("dark");
}

} // namespace

AppSettings *AppSettings::instance()
{
    static QPointer<AppSettings> settings;
    if (!settings) {
        settings = new AppSettings(DataDirectory::filePath(FILE_NAME), new SystemColorScheme,
                                   QCoreApplication::instance());
    }
    return settings;
}

AppSettings::AppSettings(const QString &file, SystemColorScheme *scheme, QObject *parent)
    : QObject(parent)
    , m_file(file)
    , m_scheme(scheme)
{
    m_scheme->setParent(this);
    connect(m_scheme, &SystemColorScheme::darkChanged, this, &AppSettings::updateDark);
    load();
    updateDark();
}

QString AppSettings::theme() const
{
    const QString theme = m_values.value(THEME_KEY).toString();
    return knownTheme(theme) ? theme : THEME_SYSTEM;
}

void AppSettings::setTheme(const QString &theme)
{
    if (!knownTheme(theme) || theme == this->theme()) {
        return;
    }
    set(THEME_KEY, theme);
    emit themeChanged();
    updateDark();
}

bool AppSettings::dark() const
{
    return m_dark;
}

QString AppSettings::lastFolder() const
{
    return m_values.value(FOLDER_KEY).toString().left(MAX_TEXT_LENGTH);
}

void AppSettings::setLastFolder(const QString &folder)
{
    if (folder.size() > MAX_TEXT_LENGTH || folder == lastFolder()) {
        return;
    }
    set(FOLDER_KEY, folder);
    emit lastFolderChanged();
}

QRect AppSettings::windowGeometry() const
{
    const QJsonObject window = m_values.value(WINDOW_KEY).toObject();
    const QRect geometry(window.value("x").toInt(), window.value("y").toInt(), window.value("width").toInt(),
                         window.value("height").toInt());
    return geometry.isValid() ? geometry : QRect();
}

void AppSettings::setWindowGeometry(const QRect &geometry)
{
    if (!geometry.isValid() || geometry == windowGeometry()) {
        return;
    }
    set(WINDOW_KEY, QJsonObject{{"x", geometry.x()},
                                {"y", geometry.y()},
                                {"width", geometry.width()},
                                {"height", geometry.height()}});
}

QString AppSettings::startFolder() const
{
    const QStringList candidates = {lastFolder(),
                                    QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                                    QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)};
    for (const QString &folder : candidates) {
        if (isFolder(folder)) {
            return folder;
        }
    }
    return QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
}

bool AppSettings::isFolder(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

void AppSettings::load()
{
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    if (file.size() > MAX_FILE_SIZE) {
        qWarning().noquote() << "[AppSettings] ignoring an oversized" << m_file;
        return;
    }
    m_values = QJsonDocument::fromJson(file.readAll()).object();
}

void AppSettings::set(const QString &key, const QJsonValue &value)
{
    m_values.insert(key, value);
    if (!save()) {
        emit saveFailed();
    }
}

bool AppSettings::save() const
{
    return DataDirectory::writeFile(m_file, QJsonDocument(m_values).toJson());
}

void AppSettings::updateDark()
{
    const QString theme = this->theme();
    const bool dark = theme == THEME_SYSTEM ? m_scheme->dark() : theme == QLatin1String("dark");
    if (dark != m_dark) {
        m_dark = dark;
        emit darkChanged();
    }
}
