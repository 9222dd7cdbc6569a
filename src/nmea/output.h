#pragma once
// Where the sentences go: the sentence cycle writes each sentence, followed by
// CR LF, to every output of its list in turn. The serial port is one output,
// standard output another; a network output will be one more.
//
// An output never blocks the cycle: it takes the bytes (into its own buffer, a
// driver, a pipe) or refuses them at once.

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
};

}  // namespace ventrel
