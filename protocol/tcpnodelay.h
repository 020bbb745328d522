#ifndef KESTREL_PROTOCOL_TCPNODELAY_H
#define KESTREL_PROTOCOL_TCPNODELAY_H

// Turns off Nagle's algorithm on the process's connected TCP sockets.
//
// Qt 5's HTTP layer writes a request's header at once and its body only after the body has
// come over from the thread that posted it, as a second segment. With Nagle on, that segment
// waits for the server to acknowledge the header, and a server that delays its ACKs (Linux
// does on a kept-alive connection) holds every POST for about 40 ms. The network manager
// offers no access to its sockets, so they are found through /proc/self/fd.
//
// Stateless; safe from any thread (the option is set by the kernel, not by the socket's owner).
class TcpNoDelay
{
public:
    // Sets TCP_NODELAY on every connected TCP socket that does not have it yet and returns how
    // many it changed. Sockets of other kinds and descriptors closed meanwhile are skipped.
    static int applyToConnectedSockets();
};

#endif // KESTREL_PROTOCOL_TCPNODELAY_H
