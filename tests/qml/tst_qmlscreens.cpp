#include "tests/qml/qmltestsetup.h"

#include <QtQuickTest>

QUICK_TEST_MAIN_WITH_SETUP(qmlscreens, QmlTestSetup)
