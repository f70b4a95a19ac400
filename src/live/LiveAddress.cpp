#include "live/LiveAddress.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The address the system would send from to reach the wider network: a
// datagram socket "connected" to an address of the documentation range
// sends nothing, but is given the source address of the default route.
QString outgoingAddress()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return {};
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    ::inet_pton(AF_INET, "192.0.2.1", &to.sin_addr);
    QString out;
    sockaddr_in local{};
    socklen_t len = sizeof local;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &len) == 0) {
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text))
            out = QString::fromLatin1(text);
    }
    ::close(fd);
    return out;
}
}

namespace LiveAddress {
QStringList localAddresses()
{
    QStringList out;
    ifaddrs *list = nullptr;
    if (::getifaddrs(&list) == 0) {
        for (ifaddrs *i = list; i; i = i->ifa_next) {
            if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP)
                || (i->ifa_flags & IFF_LOOPBACK))
                continue;
            char text[INET_ADDRSTRLEN] = {};
            const auto *in = reinterpret_cast<const sockaddr_in *>(i->ifa_addr);
            if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) && !out.contains(QString::fromLatin1(text)))
                out << QString::fromLatin1(text);
        }
        ::freeifaddrs(list);
    }
    const QString preferred = outgoingAddress();
    if (out.removeAll(preferred) > 0)
        out.prepend(preferred);
    return out;
}

QString joinAddress(const QString &host, int port, const QString &code)
{
    const QString shown = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("http://%1:%2/%3/").arg(shown, QString::number(port), code);
}

QString bindAddress(const QString &given)
{
    const QString host = given.trimmed();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return Loopback;
    return host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')) ? host.mid(1, host.size() - 2) : host;
}

bool isWildcard(const QString &host)
{
    return host == QLatin1String("0.0.0.0") || host == QLatin1String("::");
}
}
