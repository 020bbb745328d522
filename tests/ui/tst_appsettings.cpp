#include "tests/platform/privatebus.h"
#include "ui/appsettings.h"
#include "ui/systemcolorscheme.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

// The desktop's settings portal on the private bus: its colour scheme, through ReadOne or, like
// portals before version 2, only through Read.
class FakePortal : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    uint scheme = 0;
    bool readOne = true;

public slots:
    QDBusVariant ReadOne(const QString &, const QString &)
    {
        if (!readOne) {
            sendErrorReply(QDBusError::UnknownMethod, "no ReadOne");
        }
        return QDBusVariant(scheme);
    }
    QDBusVariant Read(const QString &, const QString &)
    {
        return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme)));
    }

signals:
    void SettingChanged(const QString &group, const QString &key, const QDBusVariant &value);
};

class TestAppSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FakePortal m_portal;
    QDBusConnection m_portalBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal");

    QString file() const { return m_dir.filePath("data/settings.json"); }
    static SystemColorScheme *noDesktop()
    {
        return new SystemColorScheme(QDBusConnection(QString()), nullptr);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(
            m_portalBus.registerObject(SystemColorScheme::PORTAL_PATH, &m_portal,
                                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(m_portalBus.registerService(SystemColorScheme::PORTAL_SERVICE));
    }

    void theme_data()
    {
        QTest::addColumn<bool>("readOne");
        QTest::addColumn<uint>("scheme");
        QTest::addColumn<QString>("theme");
        QTest::addColumn<bool>("dark");
        QTest::newRow("desktop prefers dark") << true << 1u << "system" << true;
        QTest::newRow("desktop prefers light") << true << 2u << "system" << false;
        QTest::newRow("no preference") << true << 0u << "system" << false;
        QTest::newRow("older portal") << false << 1u << "system" << true;
        QTest::newRow("dark chosen") << true << 2u << "dark" << true;
        QTest::newRow("light chosen") << true << 1u << "light" << false;
    }

    void theme()
    {
        QFETCH(bool, readOne);
        QFETCH(uint, scheme);
        QFETCH(QString, theme);
        QFETCH(bool, dark);
        m_portal.readOne = readOne;
        m_portal.scheme = scheme;
        auto *system = new SystemColorScheme;
        AppSettings settings(file(), system);
        settings.setTheme(theme);
        QTRY_VERIFY(system->answered());
        QCOMPARE(settings.dark(), dark);
        QCOMPARE(AppSettings(file(), noDesktop()).theme(), theme);
    }

    // The desktop switches while the program runs; a chosen theme stays.
    void followsTheDesktop()
    {
        m_portal.scheme = 2;
        auto *system = new SystemColorScheme;
        AppSettings settings(file(), system);
        settings.setTheme("system");
        QTRY_VERIFY(system->answered());
        QSignalSpy changed(&settings, &AppSettings::darkChanged);
        QSignalSpy followed(system, &SystemColorScheme::darkChanged);
        emit m_portal.SettingChanged("org.freedesktop.appearance", "color-scheme", QDBusVariant(1u));
        QTRY_VERIFY(settings.dark());
        settings.setTheme("light");
        emit m_portal.SettingChanged("org.freedesktop.appearance", "color-scheme", QDBusVariant(2u));
        emit m_portal.SettingChanged("org.freedesktop.appearance", "color-scheme", QDBusVariant(1u));
        QTRY_COMPARE(followed.size(), 3);
        QVERIFY(!settings.dark());
        QCOMPARE(changed.size(), 2);
    }

    void keptPrivately()
    {
        const QRect place(40, 50, 500, 700);
        {
            AppSettings settings(file(), noDesktop());
            settings.setTheme("dark");
            settings.setTheme("purple");
            settings.setLastFolder("/home/u/Картинки");
            settings.setWindowGeometry(place);
        }
        AppSettings settings(file(), noDesktop());
        QCOMPARE(settings.theme(), QString("dark"));
        QCOMPARE(settings.lastFolder(), QString("/home/u/Картинки"));
        QCOMPARE(settings.windowGeometry(), place);
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(file()).permissions() & (others | QFile::ExeOwner), QFile::Permissions());
        QCOMPARE(QFileInfo(QFileInfo(file()).path()).permissions() & others, QFile::Permissions());

        // The picker starts in the last folder while it exists.
        settings.setLastFolder(m_dir.path());
        QCOMPARE(settings.startFolder(), m_dir.path());
        settings.setLastFolder(m_dir.filePath("gone"));
        QVERIFY(settings.startFolder() != settings.lastFolder() && settings.isFolder(settings.startFolder()));

        // A failed write is told and the choice holds for the run.
        AppSettings blocked(m_dir.path(), noDesktop());
        QSignalSpy failed(&blocked, &AppSettings::saveFailed);
        blocked.setTheme("light");
        QCOMPARE(failed.size(), 1);
        QCOMPARE(blocked.theme(), QString("light"));
    }
};

KESTREL_PRIVATE_BUS_TEST_MAIN(QGuiApplication, TestAppSettings)

#include "tst_appsettings.moc"
