#pragma once

#include <QString>

class StreamSocket;

// The address other machines on the local network reach this one at.
namespace options {

// The first IPv4 address of the machine's first interface that is up,
// running and not a loopback one, in the system's interface order;
// "127.0.0.1" when there is none.
[[nodiscard]] QString MachineLocalAddress();

// The local address of a connected socket; an unconnected or listening
// socket has no address of its own, so then the machine's address.
[[nodiscard]] QString SocketLocalAddress(const StreamSocket &socket);

} // namespace options
