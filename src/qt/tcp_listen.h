#pragma once
// What the two TCP servers (the sentence output and the control port) share: the
// text of an address and the start of listening with its French reason.

#include <QHostAddress>

#include <string>

class QTcpServer;

namespace ventrel {

// "HOST:PORT", an IPv6 host in brackets; the address of every interface is "::" (or
// "0.0.0.0" for every IPv4 one).
std::string EndpointText(const QHostAddress& address, quint16 port);

// Starts `server` listening on address:port. "" when it listens; otherwise why not,
// in French: `portTakenMessage` when the port is in use (`*portTaken` then true),
// else "<who> ne peut pas écouter sur HOST:PORT : <the system's reason>".
std::string StartListening(QTcpServer& server, const QHostAddress& address, quint16 port,
                           const std::string& portTakenMessage, const std::string& who, bool* portTaken = nullptr);

}  // namespace ventrel
