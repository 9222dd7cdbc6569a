#pragma once
// The outputs of the sentence cycle, each on its own: every output receives every
// sentence of a group unless it refused one of that group itself. An output that
// refuses (a serial line whose backlog is full, standard output that failed) loses
// the rest of the group, as the line of a serial port always has; the others go
// on, so that standard output and the network outputs are never held back by the
// serial port, and the serial port receives exactly what it would alone.

#include <cstddef>
#include <string_view>
#include <vector>

#include "nmea/output.h"

namespace ventrel {

class OutputFanOut {
 public:
  // What became of one sentence.
  struct Outcome {
    bool taken = false;    // at least one output took it, or there is no output
    bool refused = false;  // one output refused it (and receives no more of the group)
  };

  // Adds an output at the end (not owned; it must outlive this object). The
  // sentences go to the outputs in the order they were added.
  void Add(NmeaOutput& out);
  std::size_t Count() const { return outputs_.size(); }

  // A group begins: every output in use (NmeaOutput::active) may take its
  // sentences; the others sit the group out. With no output in use, every
  // sentence counts as taken, as with no output at all.
  void BeginGroup();
  // One sentence with its CR LF, to each output that has refused nothing of the group.
  Outcome Write(std::string_view bytes);
  // The group ends.
  void EndGroup();
  // Every output has refused a sentence of this group (false with no output).
  bool AllRefused() const;

 private:
  std::vector<NmeaOutput*> outputs_;
  std::vector<bool> refused_;  // per output, for the current group (an output not in use counts as refused)
  bool anyInUse_ = false;      // for the current group
};

}  // namespace ventrel
