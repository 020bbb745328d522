#include "protocol/tcpnodelay.h"

#include <dirent.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cstdlib>

int TcpNoDelay::applyToConnectedSockets()
{
    DIR *dir = opendir("/proc/self/fd");
    if (!dir) {
        return 0;
    }
    int changed = 0;
    while (const dirent *entry = readdir(dir)) {
        char *end = nullptr;
        const long number = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || number == dirfd(dir)) {
            continue;
        }
        const int fd = static_cast<int>(number);
        int value = 0;
        socklen_t length = sizeof value;
        // Not a socket, not a stream, or not IP: the calls fail or the values differ.
        if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &value, &length) != 0 || value != SOCK_STREAM) {
            continue;
        }
        length = sizeof value;
        if (getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &value, &length) != 0 ||
            (value != AF_INET && value != AF_INET6)) {
            continue;
        }
        length = sizeof value;
        if (getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, &length) != 0 || value != 0) {
            continue;
        }
        sockaddr_storage peer{};
        socklen_t peerLength = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLength) != 0) {
            continue;
        }
        value = 1;
        if (setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, sizeof value) == 0) {
            ++changed;
        }
    }
    closedir(dir);
    return changed;
}
