#ifndef KESTREL_UI_UITYPES_H
#define KESTREL_UI_UITYPES_H

// Registers the screens' own helpers (QR images, clipboard, PIN attempt limit) under
// "ru.kestrel.ui" 1.0, apart from the models of "ru.kestrel.vexa".
void registerUiTypes();

#endif // KESTREL_UI_UITYPES_H
