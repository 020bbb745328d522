// Start-up, memory and idle cost of the main window with 200 accounts, against a bare
// QQuickView showing one rectangle, each in fresh processes of this program started the same way:
//
//     bench_startup [runs] [idle runs]      (defaults 7 and 3; medians printed)
//
// 1. Time from process start to the first frame, offscreen (software renderer) and in Xvfb, bare
//    and main window interleaved. The bare windows take the renderer Qt picks by itself (in Xvfb
//    the OpenGL path, Mesa's software rasteriser); the main window the one the program picks (in
//    Xvfb without a graphics device, Qt Quick's software renderer). In Xvfb a bare window drawn in
//    software is shown as well.
// 2. Resident memory 2 s after start, in the same runs.
// 3. Process CPU time per second over 10 s with the list on screen and nothing happening (from
//    3 s to 13 s after start), in both; the bare window redrawn once a second shows what a
//    frame a second costs by itself, and in Xvfb the share of Mesa's rasteriser threads (the
//    GPU's work on a phone) is shown.
//
// Xvfb is started by the program itself on a free display; without it the Xvfb rows are left out.

#include "app/qmltypes.h"
#include "models/accountslistmodel.h"
#include "ui/uitypes.h"

#include <auroraapp.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
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

// CPU milliseconds of the process's threads by thread name, from the scheduler's statistics.
QHash<QString, double> threadCpuMs()
{
    QHash<QString, double> byName;
    const QDir tasks("/proc/self/task");
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(tid + "/comm"));
        QFile schedstat(tasks.filePath(tid + "/schedstat"));
        if (!comm.open(QIODevice::ReadOnly) || !schedstat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString name = QString::fromLatin1(comm.readAll().trimmed());
        byName[name.startsWith("llvmpipe") ? "llvmpipe" : name] +=
            schedstat.readAll().split(' ').first().toDouble() / 1e6;
    }
    return byName;
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

// The windows compared: the main window, the bare one, and the bare one with its rectangle
// changed once a second (the least a window redrawn each second costs); "bare-software" is the
// bare one drawn in software.
const char *const WINDOWS[] = {"app", "bare", "ticking", "bare-software"};

// Child: one window, set up as the program sets up its own. Prints "frame <graphics API> <CPU
// ms>" after the first frame (the process's CPU time so far, which a busy machine disturbs less
// than the wall time), then "rss <KiB>" at 2 s, or, when `idle`, "idle <rasteriser> <total>" (CPU
// ms per s) at 13 s.
int measure(int argc, char **argv, const QString &window, bool idle)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    registerQmlTypes();
    registerUiTypes();
    selectUiStyle();
    // Off screen there is no OpenGL to draw with.
    if (window == "bare-software" || (window != "app" && qgetenv("QT_QPA_PLATFORM") == "offscreen")) {
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    }
    // Only the main window gets the program's choice of renderer.
    QScopedPointer<QGuiApplication> app(window == "app" ? Aurora::Application::application(argc, argv)
                                                        : new QGuiApplication(argc, argv));
    setIdentity();
    QScopedPointer<QQuickView> view(Aurora::Application::createView());
    view->resize(420, 760);

    double idleStart = 0;
    QHash<QString, double> threadsStart;
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
        std::printf("frame %s %.1f\n", gl ? "OpenGL" : "software", processCpuMs());
        std::fflush(stdout);
        if (!idle) {
            at(RSS_AT_MS, [&] {
                std::printf("rss %ld\n", residentKiB());
                std::fflush(stdout);
                app->quit();
            });
            return;
        }
        at(IDLE_FROM_MS, [&] {
            idleStart = processCpuMs();
            threadsStart = threadCpuMs();
        });
        at(IDLE_FROM_MS + IDLE_MS, [&] {
            const double seconds = IDLE_MS / 1000.0;
            const double total = (processCpuMs() - idleStart) / seconds;
            const QHash<QString, double> threads = threadCpuMs();
            // The GPU's work, done here by Mesa's software rasteriser, is shown on its own.
            const double rasteriser = (threads.value("llvmpipe") - threadsStart.value("llvmpipe")) / seconds;
            std::fprintf(stderr, "idle CPU ms per s by thread:");
            for (auto it = threads.cbegin(); it != threads.cend(); ++it) {
                std::fprintf(stderr, " %s %.2f", qPrintable(it.key()),
                             (it.value() - threadsStart.value(it.key())) / seconds);
            }
            std::fprintf(stderr, "\n");
            std::printf("idle %.3f %.3f\n", rasteriser, total);
            std::fflush(stdout);
            app->quit();
        });
    });
    view->setSource(window == "app" ? Aurora::Application::pathTo(QStringLiteral("qml/Kestrel2FAClient.qml"))
                    : window == "ticking"
                        ? QUrl::fromLocalFile(KESTREL_BENCH_DIR "/startup/TickingWindow.qml")
                        : QUrl::fromLocalFile(KESTREL_BENCH_DIR "/startup/BareWindow.qml"));
    if (view->status() != QQuickView::Ready) {
        return 1;
    }
    view->show();
    return app->exec();
}

struct Sample
{
    double ms = 0;
    double cpuMs = 0;
    double value = 0;
    // The idle line's share of Mesa's rasteriser threads.
    double rasteriser = 0;
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
    const QList<QByteArray> frame = lines.first().split(' ');
    sample->api = QString::fromLatin1(frame.value(1));
    sample->cpuMs = frame.value(2).toDouble();
    const QList<QByteArray> fields = lines.last().split(' ');
    bool ok = false;
    sample->value = fields.last().toDouble(&ok);
    if (fields.size() == 3) {
        sample->rasteriser = fields.at(1).toDouble();
    }
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

struct Figures
{
    QVector<double> ms;
    QVector<double> cpuMs;
    QVector<double> value;
    QVector<double> rasteriser;
    QString api;
};

// `runs` rounds of one child per window, interleaved, so that a busy moment hits all alike.
bool measureWindows(const QProcessEnvironment &env, int runs, bool idle, const QStringList &windows,
                    QHash<QString, Figures> *figures)
{
    for (int i = 0; i < runs; ++i) {
        for (const QString &window : windows) {
            Sample sample;
            QStringList arguments{window};
            if (idle) {
                arguments << "idle";
            }
            if (!runChild(arguments, env, &sample)) {
                std::fprintf(stderr, "bench_startup: the %s window did not come up\n", qPrintable(window));
                return false;
            }
            Figures &f = (*figures)[window];
            f.ms << sample.ms;
            f.cpuMs << sample.cpuMs;
            f.value << sample.value;
            f.rasteriser << sample.rasteriser;
            f.api = sample.api;
        }
    }
    return true;
}

bool printStartup(const char *where, const QProcessEnvironment &env, int runs, bool softwareToo)
{
    QHash<QString, Figures> f;
    QStringList windows{"bare", "app"};
    if (softwareToo) {
        windows << "bare-software";
    }
    if (!measureWindows(env, runs, false, windows, &f)) {
        return false;
    }
    const Figures &bare = f["bare"];
    const Figures &app = f["app"];
    std::printf("%s, start-up, median of %d runs\n", where, runs);
    for (const QString &window : windows) {
        const Figures &w = f[window];
        std::printf("  %-21s first frame %7.1f ms (CPU %6.1f ms)   RSS at 2 s %6.1f MiB\n",
                    qPrintable(QString("%1 (%2):").arg(window == "app" ? "main" : "bare", w.api)),
                    median(w.ms), median(w.cpuMs), median(w.value) / 1024.0);
    }
    std::printf(
        "  start-up ratio %.2f (CPU %.2f) (target <= 1.2), memory %+.1f MiB (target <= +10 in Xvfb)\n",
        median(app.ms) / median(bare.ms), median(app.cpuMs) / median(bare.cpuMs),
        (median(app.value) - median(bare.value)) / 1024.0);
    if (softwareToo) {
        const Figures &soft = f["bare-software"];
        std::printf(
            "  against the bare window drawn in software: start-up ratio %.2f (CPU %.2f), memory %+.1f MiB\n",
            median(app.ms) / median(soft.ms), median(app.cpuMs) / median(soft.cpuMs),
            (median(app.value) - median(soft.value)) / 1024.0);
    }
    std::fflush(stdout);
    return true;
}

bool printIdle(const char *where, const QProcessEnvironment &env, int runs)
{
    QHash<QString, Figures> f;
    if (!measureWindows(env, runs, true, {"bare", "ticking", "app"}, &f)) {
        return false;
    }
    std::printf("%s, CPU per second from 3 s to 13 s after start, median of %d runs\n", where, runs);
    const char *const labels[] = {"bare window:", "bare, redrawn each second:", "main window:"};
    const char *const windows[] = {"bare", "ticking", "app"};
    for (int i = 0; i < 3; ++i) {
        const Figures &w = f[windows[i]];
        std::printf("  %-27s %6.2f ms (%s)", labels[i], median(w.value), qPrintable(w.api));
        if (w.api == "OpenGL") {
            std::printf(" (of which Mesa's rasteriser threads %.2f)", median(w.rasteriser));
        }
        std::printf(i == 2 ? " (target <= 2)\n" : "\n");
    }
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "prepare") == 0) {
        return prepare(argc, argv);
    }
    for (const char *window : WINDOWS) {
        if (argc > 1 && qstrcmp(argv[1], window) == 0) {
            return measure(argc, argv, window, argc > 2 && qstrcmp(argv[2], "idle") == 0);
        }
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

    if (!printStartup("offscreen", offscreen, runs, false) ||
        (idleRuns > 0 && !printIdle("offscreen", offscreen, idleRuns))) {
        return 1;
    }
    Xvfb xvfb;
    if (!xvfb.start()) {
        std::printf("Xvfb: not available, the X rows are left out\n");
        return 0;
    }
    QProcessEnvironment x = env;
    x.insert("QT_QPA_PLATFORM", "xcb");
    x.insert("DISPLAY", xvfb.display());
    if (!printStartup("Xvfb", x, runs, true) || (idleRuns > 0 && !printIdle("Xvfb", x, idleRuns))) {
        return 1;
    }
    return 0;
}
