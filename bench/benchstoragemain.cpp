#include "benchstoragemain.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

int runStorageBenchmarks(int argc, char **argv, const std::function<void(const QString &)> &prepare,
                         const std::function<void()> &finish)
{
    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    if (prepare) {
        prepare(home.path());
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (finish) {
        finish();
    }
    return 0;
}
