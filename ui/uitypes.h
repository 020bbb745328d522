#ifndef KESTREL_UI_UITYPES_H
#define KESTREL_UI_UITYPES_H

// Registers the screens' own helpers (QR images and drawing, clipboard, PIN attempt limit) under
// "ru.kestrel.ui" 1.0, apart from the models of "ru.kestrel.vexa".
void registerUiTypes();

// The screens are drawn for the Material style of Qt Quick Controls; a style chosen through
// QT_QUICK_CONTROLS_STYLE still wins. Must run before the first QML file is loaded.
void selectUiStyle();

#endif // KESTREL_UI_UITYPES_H
