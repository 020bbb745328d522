#include "tests/common/privatebus.h"
#include "ui/appsettings.h"
#include "ui/systemcolorscheme.h"

#include <QDBusConnection>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

// The desktop's settings portal on the private bus, with its colour scheme.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    uint scheme = 0;

public slots:
    QDBusVariant ReadOne(const QString &, const QString &) { return QDBusVariant(scheme); }

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
        QTest::addColumn<uint>("scheme");
        QTest::addColumn<QString>("theme");
        QTest::addColumn<bool>("dark");
        QTest::newRow("desktop prefers dark") << 1u << "system" << true;
        QTest::newRow("desktop prefers light") << 2u << "system" << false;
        QTest::newRow("dark chosen") << 2u << "dark" << true;
        QTest::newRow("light chosen") << 1u << "light" << false;
    }

    void theme()
    {
        QFETCH(uint, scheme);
        QFETCH(QString, theme);
        QFETCH(bool, dark);
        m_portal.scheme = scheme;
        auto *system = new SystemColorScheme;
        AppSettings settings(file(), system);
        settings.setTheme(theme);
        QTRY_VERIFY(system->answered());
        QCOMPARE(settings.dark(), dark);
        // The desktop turns the other way while the program runs: "system" follows, a choice stays.
        emit m_portal.SettingChanged("org.freedesktop.appearance", "color-scheme", QDBusVariant(3u - scheme));
        QTRY_COMPARE(system->dark(), scheme == 2);
        QCOMPARE(settings.dark(), theme == "system" ? !dark : dark);
    }

    void keptAcrossRuns()
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
