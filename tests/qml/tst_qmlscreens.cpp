#include "servers/servermanager.h"
#include "tests/common/qmltestsetup.h"
#include "tests/qml/fastanimationdriver.h"

#include <QtQuickTest>

#include <cstdio>

int main(int argc, char **argv)
{
    QTEST_SET_MAIN_SOURCE_PATH
    QmlTestSetup setup;
    // Logins reach the screens within a tenth of a second instead of the phone's three.
    ServerManager::SetDefaultPollIntervalForTests(100);
    FastAnimationDriver animations;
    animations.install();
    const int result = quick_test_main_with_setup(argc, argv, "qmlscreens", QUICK_TEST_SOURCE_DIR, &setup);
    // A QML warning fails the run: broken bindings and handlers would otherwise pass unnoticed.
    const QStringList warnings = setup.qmlWarnings();
    if (!warnings.isEmpty()) {
        std::fprintf(stderr, "FAIL!  : %d QML warning(s):\n%s\n", int(warnings.size()),
                     qPrintable(warnings.join('\n')));
        return result != 0 ? result : 1;
    }
    return result;
}
