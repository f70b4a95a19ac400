#pragma once
// Where students reach the teacher's computer: its IPv4 addresses on the
// networks it is connected to, the one it reaches others by first, and the
// join address made of one of them.

#include <QString>
#include <QStringList>

namespace LiveAddress {
// This computer alone.
inline const QString Loopback = QStringLiteral("127.0.0.1");

// This computer's IPv4 addresses other than loopback, of interfaces that are
// up; the address of the network it reaches others by (the one its default
// route leaves from) first. Empty without a network.
QStringList localAddresses();

// "http://192.168.1.23:8080/k3m9tx/"; an IPv6 host in brackets.
QString joinAddress(const QString &host, int port, const QString &code);

// The address a `--bind` names: "localhost" is loopback; anything else as
// given (an IPv4 or IPv6 address).
QString bindAddress(const QString &given);
// "0.0.0.0" and "::": every network of this computer.
bool isWildcard(const QString &host);
}
