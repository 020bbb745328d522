// Start-up, memory and idle cost of the main window with 200 accounts, against a bare
// QQuickView showing one rectangle, each in fresh processes of this program started the same way:
//
//     bench_startup [runs] [idle runs]      (defaults 7 and 3; medians printed)
//
// 1. Time from process start to the first frame, offscreen (software renderer) and in Xvfb (the
//    OpenGL path, Mesa's software rasteriser), bare and main window interleaved.
// 2. Resident memory 2 s after start, in the same runs.
// 3. Process CPU time per second over 10 s with the list on screen and nothing happening (from
//    3 s to 13 s after start), in Xvfb.
//
// Xvfb is started by the program itself on a free display; without it the Xvfb rows are left out.

#include "app/qmltypes.h"
#include "models/accountslistmodel.h"
#include "ui/uitypes.h"

#include <auroraapp.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QQuickView>
#include <QSGRendererInterface>
#include <QScopedPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

const int ACCOUNTS = 200;
const int RSS_AT_MS = 2000;
const int IDLE_FROM_MS = 3000;
const int IDLE_MS = 10000;

long residentKiB()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

void setIdentity()
{
    QCoreApplication::setOrganizationName("ru.kestrel");
    QCoreApplication::setApplicationName("Kestrel2FAClient");
}

// Child: fill the data directory with the accounts through the list model.
int prepare(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    setIdentity();
    AccountsListModel model;
    for (int i = 0; i < ACCOUNTS; ++i) {
        model.add(
            QString("otpauth://totp/Service%1:user%1@example.com?secret=JBSWY3DPEHPK3P%2&issuer=Service%1")
                .arg(i)
                .arg(QChar('A' + i % 26)));
    }
    return model.rowCount() == ACCOUNTS ? 0 : 1;
}

// Child: one window, set up as the program sets up its own. Prints "frame <graphics API>" after
// the first frame, then "rss <KiB>" at 2 s, or "idle <CPU ms per s>" at 13 s when `idle`.
int measure(int argc, char **argv, bool bare, bool idle)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    registerQmlTypes();
    registerUiTypes();
    selectUiStyle();
    QScopedPointer<QGuiApplication> app(Aurora::Application::application(argc, argv));
    setIdentity();
    QScopedPointer<QQuickView> view(Aurora::Application::createView());
    view->resize(420, 760);

    double idleStart = 0;
    bool framed = false;
    const auto at = [&](int ms, auto &&action) {
        QTimer::singleShot(std::max<qint64>(0, ms - sinceStart.elapsed()), app.data(), action);
    };
    QObject::connect(view.data(), &QQuickWindow::frameSwapped, app.data(), [&] {
        if (framed) {
            return;
        }
        framed = true;
        const bool gl = view->rendererInterface()->graphicsApi() == QSGRendererInterface::OpenGL;
        std::printf("frame %s\n", gl ? "OpenGL" : "software");
        std::fflush(stdout);
        if (!idle) {
            at(RSS_AT_MS, [&] {
                std::printf("rss %ld\n", residentKiB());
                std::fflush(stdout);
                app->quit();
            });
            return;
        }
        at(IDLE_FROM_MS, [&] { idleStart = processCpuMs(); });
        at(IDLE_FROM_MS + IDLE_MS, [&] {
            std::printf("idle %.3f\n", (processCpuMs() - idleStart) / (IDLE_MS / 1000.0));
            std::fflush(stdout);
            app->quit();
        });
    });
    view->setSource(bare ? QUrl::fromLocalFile(KESTREL_BENCH_DIR "/startup/BareWindow.qml")
                         : Aurora::Application::pathTo(QStringLiteral("qml/Kestrel2FAClient.qml")));
    if (view->status() != QQuickView::Ready) {
        return 1;
    }
    view->show();
    return app->exec();
}

struct Sample
{
    double ms = 0;
    double value = 0;
    QString api;
};

// Runs one child; `ms` is the time to its "frame" line, `value` the number on its last line.
bool runChild(const QStringList &arguments, const QProcessEnvironment &env, Sample *sample)
{
    QProcess child;
    child.setProcessEnvironment(env);
    // The program's log lines are written (their cost counts) but not shown; run a child by
    // hand ("bench_startup app") to read them.
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForStarted(10000)) {
        return false;
    }
    QList<QByteArray> lines;
    while (child.state() == QProcess::Running || child.canReadLine()) {
        if (timer.elapsed() > 60000) {
            child.kill();
            child.waitForFinished(5000);
            return false;
        }
        if (!child.canReadLine()) {
            child.waitForReadyRead(20);
            continue;
        }
        lines << child.readLine().trimmed();
        if (lines.size() == 1 && sample) {
            sample->ms = timer.nsecsElapsed() / 1e6;
        }
    }
    child.waitForFinished(30000);
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        return false;
    }
    if (!sample) {
        return true;
    }
    if (lines.size() != 2 || !lines.first().startsWith("frame ")) {
        return false;
    }
    sample->api = QString::fromLatin1(lines.first().mid(6));
    bool ok = false;
    sample->value = lines.last().split(' ').last().toDouble(&ok);
    return ok;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// An X server of our own, on the first free display.
class Xvfb
{
public:
    bool start()
    {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
            return false;
        }
        m_process.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        if (!m_process.waitForStarted(5000)) {
            return false;
        }
        while (!m_process.canReadLine() && m_process.state() == QProcess::Running) {
            m_process.waitForReadyRead(100);
        }
        bool ok = false;
        const int display = m_process.readLine().trimmed().toInt(&ok);
        m_display = ok ? QString(":%1").arg(display) : QString();
        return ok;
    }
    ~Xvfb()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            m_process.waitForFinished(5000);
        }
    }
    QString display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

struct Pair
{
    QVector<double> ms;
    QVector<double> value;
    QString api;
};

// `runs` interleaved pairs of children (bare first), so that a busy moment hits both alike.
bool measurePairs(const QProcessEnvironment &env, int runs, bool idle, Pair *bare, Pair *app)
{
    for (int i = 0; i < runs; ++i) {
        for (Pair *pair : {bare, app}) {
            Sample sample;
            QStringList arguments{pair == bare ? "bare" : "app"};
            if (idle) {
                arguments << "idle";
            }
            if (!runChild(arguments, env, &sample)) {
                std::fprintf(stderr, "bench_startup: the %s window did not come up\n",
                             qPrintable(arguments.first()));
                return false;
            }
            pair->ms << sample.ms;
            pair->value << sample.value;
            pair->api = sample.api;
        }
    }
    return true;
}

void printStartup(const char *where, const Pair &bare, const Pair &app, int runs)
{
    const double ratio = median(app.ms) / median(bare.ms);
    const double extra = (median(app.value) - median(bare.value)) / 1024.0;
    std::printf("%s (%s), median of %d runs\n", where, qPrintable(app.api), runs);
    std::printf("  bare window:  first frame %7.1f ms   RSS at 2 s %6.1f MiB\n", median(bare.ms),
                median(bare.value) / 1024.0);
    std::printf("  main window:  first frame %7.1f ms   RSS at 2 s %6.1f MiB\n", median(app.ms),
                median(app.value) / 1024.0);
    std::printf("  start-up ratio %.2f (target <= 1.2), memory %+.1f MiB (target <= +10 in Xvfb)\n", ratio,
                extra);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "prepare") == 0) {
        return prepare(argc, argv);
    }
    if (argc > 1 && (qstrcmp(argv[1], "app") == 0 || qstrcmp(argv[1], "bare") == 0)) {
        return measure(argc, argv, qstrcmp(argv[1], "bare") == 0, argc > 2 && qstrcmp(argv[2], "idle") == 0);
    }

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString(argv[1]).toInt()) : 7;
    const int idleRuns = argc > 2 ? std::max(0, QString(argv[2]).toInt()) : 3;
    QTemporaryDir dataHome;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dataHome.path());
    env.insert("XDG_RUNTIME_DIR", dataHome.path());
    env.remove("QT_QUICK_BACKEND");
    QProcessEnvironment offscreen = env;
    offscreen.insert("QT_QPA_PLATFORM", "offscreen");

    if (!runChild({"prepare"}, offscreen, nullptr)) {
        std::fprintf(stderr, "bench_startup: could not create the accounts\n");
        return 1;
    }
    std::printf("%d accounts; load average at start: %s\n", ACCOUNTS,
                qPrintable(QString::fromLatin1([] {
                               QFile file("/proc/loadavg");
                               return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed()
                                                                     : QByteArray();
                           }())
                               .section(' ', 0, 2)));

    Pair bare, main;
    if (!measurePairs(offscreen, runs, false, &bare, &main)) {
        return 1;
    }
    printStartup("offscreen", bare, main, runs);

    Xvfb xvfb;
    if (!xvfb.start()) {
        std::printf("Xvfb: not available, the X rows are left out\n");
        return 0;
    }
    QProcessEnvironment x = env;
    x.insert("QT_QPA_PLATFORM", "xcb");
    x.insert("DISPLAY", xvfb.display());
    bare = Pair();
    main = Pair();
    if (!measurePairs(x, runs, false, &bare, &main)) {
        return 1;
    }
    printStartup("Xvfb", bare, main, runs);

    if (idleRuns > 0) {
        bare = Pair();
        main = Pair();
        if (!measurePairs(x, idleRuns, true, &bare, &main)) {
            return 1;
        }
        std::printf("Xvfb (%s), idle from 3 s to 13 s after start, median of %d runs\n", qPrintable(main.api),
                    idleRuns);
        std::printf("  bare window:  %6.2f ms CPU per s\n", median(bare.value));
        std::printf("  main window:  %6.2f ms CPU per s (target <= 2)\n", median(main.value));
    }
    return 0;
}
