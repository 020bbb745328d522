#ifndef KESTREL_APP_QMLTYPES_H
#define KESTREL_APP_QMLTYPES_H

// Makes the four models creatable by the QML screens under "ru.kestrel.vexa" 1.0. Runs first in
// main, before the application object exists; the tests of the screens call it too.
void registerQmlTypes();

#endif // KESTREL_APP_QMLTYPES_H
