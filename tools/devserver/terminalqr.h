#ifndef KESTREL_TOOLS_DEVSERVER_TERMINALQR_H
#define KESTREL_TOOLS_DEVSERVER_TERMINALQR_H

#include <string>

// Draws a QR code with Unicode half blocks, two modules per character cell, dark on light with
// the quiet zone a phone camera needs.
class TerminalQr
{
public:
    // The drawing, one line per two module rows; empty when the text does not fit a QR code.
    static std::string render(const std::string &text);
};

#endif // KESTREL_TOOLS_DEVSERVER_TERMINALQR_H
