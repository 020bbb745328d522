// Start-up of the main window with 200 accounts against a bare QQuickView that loads a page with
// the same imports, each in fresh processes of this program, measured from the process start
// to the first frame, and the resident memory after that frame.
//
//     bench_startup [runs]        (default 7 runs of each, medians printed)
//
// Runs on the offscreen platform with the software renderer unless QT_QPA_PLATFORM says
// otherwise (e.g. under xvfb-run with QT_QPA_PLATFORM=xcb).

#include "app/qmltypes.h"
#include "models/accountslistmodel.h"
#include "ui/uitypes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

const int ACCOUNTS = 200;

long residentKiB()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
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

// Child: one window, then "<ms to first frame inside the process> <RSS KiB>" on stdout.
int measure(int argc, char **argv, bool bare)
{
    registerQmlTypes();
    registerUiTypes();
    selectUiStyle();
    QGuiApplication app(argc, argv);
    setIdentity();
    QQuickView view;
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(420, 760);
    QObject::connect(&view, &QQuickWindow::frameSwapped, &app, [&] {
        QTimer::singleShot(0, &app, [&] {
            std::printf("%ld\n", residentKiB());
            std::fflush(stdout);
            app.quit();
        });
    });
    view.setSource(QUrl::fromLocalFile(bare ? KESTREL_BENCH_DIR "/startup/BareWindow.qml"
                                            : KESTREL_QML_DIR "/Kestrel2FAClient.qml"));
    if (view.status() != QQuickView::Ready)
        return 1;
    view.show();
    return app.exec();
}

struct Sample
{
    double ms = 0;
    long kib = 0;
};

bool runChild(const QString &mode, const QProcessEnvironment &env, Sample *sample)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {mode});
    if (!child.waitForStarted(10000))
        return false;
    // The child prints after its first frame; the time to that line is the start-up.
    while (!child.canReadLine() && child.state() == QProcess::Running)
        child.waitForReadyRead(50);
    if (sample) {
        sample->ms = timer.nsecsElapsed() / 1e6;
        sample->kib = child.readLine().trimmed().toLong();
    }
    child.waitForFinished(30000);
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
           (!sample || sample->kib > 0);
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "prepare") == 0)
        return prepare(argc, argv);
    if (argc > 1 && (qstrcmp(argv[1], "app") == 0 || qstrcmp(argv[1], "bare") == 0))
        return measure(argc, argv, qstrcmp(argv[1], "bare") == 0);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString(argv[1]).toInt()) : 7;
    QTemporaryDir dataHome;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dataHome.path());
    env.insert("XDG_RUNTIME_DIR", dataHome.path());
    if (!env.contains("QT_QPA_PLATFORM"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    if (env.value("QT_QPA_PLATFORM") == "offscreen")
        env.insert("QT_QUICK_BACKEND", "software");

    if (!runChild("prepare", env, nullptr)) {
        std::fprintf(stderr, "bench_startup: could not create the accounts\n");
        return 1;
    }
    QVector<double> appMs, bareMs, appMiB, bareMiB;
    // Interleaved, so that a busy moment of the machine hits both alike.
    for (int i = 0; i < runs; ++i) {
        Sample a, b;
        if (!runChild("bare", env, &b) || !runChild("app", env, &a)) {
            std::fprintf(stderr, "bench_startup: a window did not come up\n");
            return 1;
        }
        bareMs << b.ms;
        appMs << a.ms;
        bareMiB << b.kib / 1024.0;
        appMiB << a.kib / 1024.0;
    }
    const double ratio = median(appMs) / median(bareMs);
    const double extra = median(appMiB) - median(bareMiB);
    std::printf("platform %s, %d accounts, median of %d runs\n", qPrintable(env.value("QT_QPA_PLATFORM")),
                ACCOUNTS, runs);
    std::printf("bare window:   first frame %7.1f ms   RSS %6.1f MiB\n", median(bareMs), median(bareMiB));
    std::printf("main window:   first frame %7.1f ms   RSS %6.1f MiB\n", median(appMs), median(appMiB));
    std::printf("time ratio %.2f (target <= 1.5), memory +%.1f MiB (target <= 15)\n", ratio, extra);
    return 0;
}
