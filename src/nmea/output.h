#pragma once
// Where the sentences go: the sentence cycle writes each sentence, followed by
// CR LF, to every output of its list (nmea/fan_out.h). The serial port is one
// output, standard output another, each TCP server and each UDP sender one more.
//
// An output never blocks the cycle: it takes the bytes (into its own buffer, a
// driver, a pipe, its clients' buffers) or refuses them at once.

#include <string>
#include <string_view>

namespace ventrel {

class NmeaOutput {
 public:
  virtual ~NmeaOutput() = default;
  // Takes the bytes of one sentence and its CR LF; true when every byte was
  // accepted. A refusal leaves the rest of the group for the next cycle.
  virtual bool write(std::string_view bytes) = 0;
  // What the output is, in the user's words ("sortie standard", a port name),
  // for the messages that speak of it.
  virtual std::string name() const = 0;
  // A group of sentences begins and ends: the writes between the two are the
  // sentences of one second. A TCP server lets a client that joined meanwhile
  // start at a group; a UDP sender packs a group into datagrams. Nothing to do
  // for an output that passes each sentence on as it comes.
  virtual void beginGroup() {}
  virtual void endGroup() {}
  // Whether the output is in use: one that is not (no TCP server nor UDP
  // destination switched on, a serial port set aside) is left out of the groups,
  // neither taking nor refusing their sentences.
  virtual bool active() const { return true; }
};

}  // namespace ventrel
