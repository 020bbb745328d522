#include "tools/devserver/terminalqr.h"

#include <qrencode.h>

namespace {
const int QUIET_ZONE = 2;
} // namespace

std::string TerminalQr::render(const std::string &text)
{
    QRcode *code = QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_L);
    if (!code) {
        return std::string();
    }
    const int width = code->width;
    const int size = width + 2 * QUIET_ZONE;
    // Outside the symbol every module is light.
    auto dark = [&](int row, int column) {
        row -= QUIET_ZONE;
        column -= QUIET_ZONE;
        if (row < 0 || column < 0 || row >= width || column >= width) {
            return false;
        }
        return (code->data[row * width + column] & 1) != 0;
    };
    // Terminals are usually light text on a dark background, so a "light" module is drawn
    // with a block character and a dark one is left blank.
    std::string out;
    for (int row = 0; row < size; row += 2) {
        for (int column = 0; column < size; ++column) {
            const bool top = !dark(row, column);
            const bool bottom = row + 1 < size ? !dark(row + 1, column) : false;
            if (top && bottom) {
                out += "\u2588";
            } else if (top) {
                out += "\u2580";
            } else if (bottom) {
                out += "\u2584";
            } else {
                out += " ";
            }
        }
        out += '\n';
    }
    QRcode_free(code);
    return out;
}
