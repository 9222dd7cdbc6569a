#include "qt/tcp_listen.h"

#include <QTcpServer>

namespace ventrel {

std::string EndpointText(const QHostAddress& address, quint16 port) {
  QString host = address.toString();
  if (address == QHostAddress::Any || address == QHostAddress::AnyIPv6) host = "::";
  if (address == QHostAddress::AnyIPv4) host = "0.0.0.0";
  const bool v6 = host.contains(':');
  return (v6 ? "[" + host.toStdString() + "]" : host.toStdString()) + ":" + std::to_string(port);
}

std::string StartListening(QTcpServer& server, const QHostAddress& address, quint16 port,
                           const std::string& portTakenMessage, const std::string& who, bool* portTaken) {
  const bool listens = server.listen(address, port);
  const bool taken = !listens && server.serverError() == QAbstractSocket::AddressInUseError;
  if (portTaken != nullptr) *portTaken = taken;
  if (listens) return {};
  if (taken) return portTakenMessage;
  return who + " ne peut pas écouter sur " + EndpointText(address, port) + " : " + server.errorString().toStdString();
}

}  // namespace ventrel
