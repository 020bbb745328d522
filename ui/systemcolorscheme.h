#ifndef KESTREL_UI_SYSTEMCOLORSCHEME_H
#define KESTREL_UI_SYSTEMCOLORSCHEME_H

#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QString>

// Whether the desktop prefers a dark appearance, as the freedesktop settings portal says
// (ReadOne "org.freedesktop.appearance" "color-scheme": 1 prefers dark, 0 and 2 do not; portals
// older than version 2, without ReadOne, count as none), followed through its SettingChanged
// signal. Without a portal that answers (the phone, a bare session) it stays
// light. The question is asked without blocking, so the window may start light and turn dark.
// GUI thread only.
class SystemColorScheme : public QObject
{
    Q_OBJECT

public:
    static const QString PORTAL_SERVICE;
    static const QString PORTAL_PATH;
    static const QString PORTAL_INTERFACE;

    explicit SystemColorScheme(QObject *parent = nullptr);
    SystemColorScheme(const QDBusConnection &bus, QObject *parent);

    bool dark() const { return m_dark; }
    // True once the portal has answered.
    bool answered() const { return m_answered; }

signals:
    void darkChanged();
    void answeredChanged();

private slots:
    void onSettingChanged(const QString &group, const QString &key, const QDBusVariant &value);

private:
    void take(const QVariant &value);

    QDBusConnection m_bus;
    bool m_dark = false;
    bool m_answered = false;
};

#endif // KESTREL_UI_SYSTEMCOLORSCHEME_H
