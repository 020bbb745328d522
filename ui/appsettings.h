#ifndef KESTREL_UI_APPSETTINGS_H
#define KESTREL_UI_APPSETTINGS_H

#include <QJsonObject>
#include <QObject>
#include <QRect>
#include <QString>

class SystemColorScheme;

// The screens' own choices: the colour theme, the image picker's last folder and the desktop
// window's place, kept in "settings.json" in the data directory (written through DataDirectory:
// replaced whole on every change, private to the user). A file that is missing or unreadable gives the
// defaults; values this version does not know are kept. GUI thread only; one instance per
// process (instance()), shared by the QML singleton and the application controller. It owns its
// SystemColorScheme.
class AppSettings : public QObject
{
    Q_OBJECT
    // "system" (the default: the desktop's preference), "light" or "dark".
    Q_PROPERTY(QString theme READ theme WRITE setTheme NOTIFY themeChanged)
    // The theme in effect.
    Q_PROPERTY(bool dark READ dark NOTIFY darkChanged)
    Q_PROPERTY(QString lastFolder READ lastFolder WRITE setLastFolder NOTIFY lastFolderChanged)

public:
    static const QString FILE_NAME;
    // Longer files and texts are not settings this program wrote.
    static constexpr qint64 MAX_FILE_SIZE = 64 * 1024;
    static constexpr int MAX_TEXT_LENGTH = 4096;

    // The process's settings in the data directory, made on first use (after the application
    // object, whose names choose the directory).
    static AppSettings *instance();

    // Settings kept in `file`, following `scheme`, which this object takes over.
    AppSettings(const QString &file, SystemColorScheme *scheme, QObject *parent = nullptr);

    QString theme() const;
    void setTheme(const QString &theme);
    bool dark() const;
    QString lastFolder() const;
    void setLastFolder(const QString &folder);
    // Empty until a place was saved.
    QRect windowGeometry() const;
    void setWindowGeometry(const QRect &geometry);

    // For the image picker: the last folder while it exists, else the first existing of
    // Pictures, Downloads and home.
    Q_INVOKABLE QString startFolder() const;
    Q_INVOKABLE bool isFolder(const QString &path) const;

signals:
    void themeChanged();
    void darkChanged();
    void lastFolderChanged();
    // A change could not be written; it holds for this run only.
    void saveFailed();

private:
    void load();
    void set(const QString &key, const QJsonValue &value);
    bool save() const;
    void updateDark();

    QString m_file;
    QJsonObject m_values;
    SystemColorScheme *m_scheme;
    bool m_dark = false;
};

#endif // KESTREL_UI_APPSETTINGS_H
