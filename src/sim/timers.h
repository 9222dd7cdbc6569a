#pragma once
// The timers of the main window as part of the model, and a virtual clock that
// fires them in time order without waiting.
//
// A timer has an enabled flag, an interval in milliseconds and a handler. Enabling
// a timer that is already enabled changes nothing (its period goes on); enabling a
// stopped timer starts a period from the present instant; changing the interval of
// a running timer starts a new period. A driver (the virtual clock here, a Qt timer
// per model timer in the window) learns of every such change through the observer.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace ventrel {

class ModelTimers;

class ModelTimer {
 public:
  ModelTimer(ModelTimers& owner, std::string name, int intervalMs);
  ModelTimer(const ModelTimer&) = delete;
  ModelTimer& operator=(const ModelTimer&) = delete;

  const std::string& name() const { return name_; }
  bool enabled() const { return enabled_; }
  int interval() const { return interval_; }
  // Grows each time the timer goes from stopped to enabled: two timers due at the
  // same instant fire in the order of this number.
  std::uint64_t enableOrder() const { return enableOrder_; }
  // A timer that fires after every other timer due at the same instant (the
  // sentence phases, which send the state as that second's tick leaves it).
  bool firesLast() const { return firesLast_; }
  void setFiresLast(bool on) { firesLast_ = on; }

  void setEnabled(bool on);
  // An interval of 0 or less never fires.
  void setInterval(int ms);
  void setHandler(std::function<void()> handler) { handler_ = std::move(handler); }
  const std::function<void()>& handler() const { return handler_; }
  // What the driver calls when the period ends.
  void fire() {
    if (handler_) handler_();
  }

 private:
  ModelTimers& owner_;
  std::string name_;
  int interval_;
  bool enabled_ = false;
  bool firesLast_ = false;
  std::uint64_t enableOrder_ = 0;
  std::function<void()> handler_;
};

class TimerObserver {
 public:
  virtual ~TimerObserver() = default;
  // `t` was enabled, disabled, or given a new interval while enabled.
  virtual void timerChanged(ModelTimer& t) = 0;
};

class ModelTimers {
 public:
  static constexpr int kCount = 11;

  ModelTimers();
  ModelTimers(const ModelTimers&) = delete;
  ModelTimers& operator=(const ModelTimers&) = delete;

  ModelTimer TimerAT{*this, "TimerAT", 1000};          // the tick in AUTO
  ModelTimer TimerB{*this, "TimerB", 1000};            // helm step then the tick in STDBY
  ModelTimer TimerC{*this, "TimerC", 1000};            // one step of a current rotation
  ModelTimer Timer60{*this, "Timer60", 60000};         // starts the next current rotation
  ModelTimer TimerV{*this, "TimerV", 1000};            // one tack step
  ModelTimer TimerE{*this, "TimerE", 200};             // one gybe step
  ModelTimer TimerPres{*this, "TimerPres", 1000};      // one best-haul step
  ModelTimer TimerLoadCFG{*this, "TimerLoadCFG", 10000};  // watch of the configuration file
  ModelTimer TimerNMEA{*this, "TimerNMEA", 1000};      // the next phase of the sentence cycle
  ModelTimer TimerZero{*this, "TimerZero", 100};       // one step of the helm bar back to the centre
  ModelTimer TimerScenario{*this, "TimerScenario", 1000};  // the next second of a scenario being played

  const std::array<ModelTimer*, kCount>& all() const { return all_; }
  // Index of t in all(), 0..kCount-1.
  int indexOf(const ModelTimer& t) const;
  // Of two timers due at the same instant, whether a fires before b: the timers
  // that fire last after the others, then the order in which they were enabled.
  static bool firesBefore(const ModelTimer& a, const ModelTimer& b) {
    if (a.firesLast() != b.firesLast()) return b.firesLast();
    return a.enableOrder() < b.enableOrder();
  }
  // One observer at a time (the driver); nullptr detaches it.
  void setObserver(TimerObserver* o) { observer_ = o; }
  std::uint64_t nextEnableOrder() { return ++enableCounter_; }
  void notify(ModelTimer& t) {
    if (observer_) observer_->timerChanged(t);
  }

 private:
  std::array<ModelTimer*, kCount> all_;
  TimerObserver* observer_ = nullptr;
  std::uint64_t enableCounter_ = 0;
};

// Next instant of each timer, indexed like ModelTimers::all(); empty when stopped.
using TimerDues = std::array<std::optional<std::int64_t>, ModelTimers::kCount>;

// The timer that fires first among those due at or before `limit`: the earliest
// instant, then ModelTimers::firesBefore; nullptr when none is due. The virtual
// clock and the real-time driver both choose with it, so they fire in one order.
ModelTimer* NextToFire(const ModelTimers& timers, const TimerDues& due, std::int64_t limit);

// Simulated time in milliseconds. advance() fires every enabled timer whose
// period ends within the span, in time order, each at its own instant; a handler
// that enables, disables or re-times a timer is taken into account at once.
class VirtualClock final : public TimerObserver {
 public:
  explicit VirtualClock(ModelTimers& timers);
  ~VirtualClock() override;
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  std::int64_t now() const { return now_; }
  // Instant at which t fires next, or nothing when it is stopped.
  std::optional<std::int64_t> nextDue(const ModelTimer& t) const;
  // Moves the clock forward by ms, firing what falls due (at the end instant too).
  void advance(std::int64_t ms);
  void runFor(std::int64_t ms) { advance(ms); }
  // Jumps to the next instant at which a timer is due and fires that one timer;
  // false when no timer is enabled.
  bool step();
  std::uint64_t fired() const { return fired_; }

  void timerChanged(ModelTimer& t) override;

 private:
  ModelTimer* nextToFire(std::int64_t limit) const;

  ModelTimers& timers_;
  std::int64_t now_ = 0;
  TimerDues due_{};
  std::uint64_t fired_ = 0;
};

}  // namespace ventrel
