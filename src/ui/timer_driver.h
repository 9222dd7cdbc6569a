#pragma once
// Runs the model timers in real time on the event loop.
//
// Each enabled model timer has a deadline on the monotonic clock; one precise Qt
// timer wakes the loop at the earliest. The timers due fire in the order of the
// virtual clock (deadline, then the timers that fire last, then enable order), and
// each one's next deadline is its last deadline plus its interval, not the instant
// it actually ran: a late wake-up does not move the following periods, so a tick a
// second keeps to the second over hours. A timer enabled by a handler starts its
// period at that handler's deadline, as on the virtual clock; a timer enabled from
// anywhere else (a click) starts it at the present instant.
//
// At speed N (setSpeed) the time of the run goes N times as fast as the
// monotonic clock: the timers fire N times as often, and now() and the
// deadlines count milliseconds of the run.
//
// After a stall longer than a period (a machine asleep) the periods missed fire one
// after the other until the deadlines have caught up with the clock.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "sim/timers.h"

namespace ventrel {

class TimerDriver final : public QObject, public TimerObserver {
  Q_OBJECT

 public:
  // Becomes the observer of `timers` (which must outlive it); time 0 is now.
  explicit TimerDriver(ModelTimers& timers, QObject* parent = nullptr);
  ~TimerDriver() override;
  TimerDriver(const TimerDriver&) = delete;
  TimerDriver& operator=(const TimerDriver&) = delete;

  // Milliseconds of the run since the driver was made: of the monotonic clock at
  // speed 1.
  std::int64_t now() const;
  static constexpr int kMaxSpeed = 100;
  // The run goes `times` (1 to kMaxSpeed) as fast as real time from now on;
  // another value is ignored.
  void setSpeed(int times);
  int speed() const { return speed_; }
  // The deadline of the handler being run, otherwise now(): where a period
  // started at this moment counts from.
  std::int64_t instant() const { return firing_ ? *firing_ : now(); }
  // Deadline of t, or nothing when it is stopped.
  std::optional<std::int64_t> nextDue(const ModelTimer& t) const;
  // Runs fn as one event of the present instant, returned: the timers it enables
  // all start their periods at that instant, however long fn takes (a click that
  // starts the run and the sentence cycle together).
  std::int64_t runEvent(const std::function<void()>& fn);

  // Latest end accepted: 2^42 ms, about 139 years; a later one is brought to it.
  static constexpr std::int64_t kMaxEndMs = std::int64_t{1} << 42;
  // Ends the run at `ms` (at most kMaxEndMs): the timers due at or before that
  // instant fire, then finished() is emitted once and nothing fires any more.
  void setEnd(std::int64_t ms);
  bool ended() const { return ended_; }

  // Largest delay seen between a deadline and the firing of its timer, in ms.
  std::int64_t maxLateness() const { return maxLateness_; }
  std::uint64_t fired() const { return fired_; }

  void timerChanged(ModelTimer& t) override;

 signals:
  void finished();

 private:
  void onTimeout();
  void arm();
  ModelTimer* nextToFire(std::int64_t limit) const;

  ModelTimers& timers_;
  QElapsedTimer clock_;
  int speed_ = 1;
  std::int64_t origin_ = 0;  // now() when clock_ was last started
  QTimer wake_;
  TimerDues due_{};
  std::optional<std::int64_t> firing_;
  std::optional<std::int64_t> end_;
  bool ended_ = false;
  std::int64_t maxLateness_ = 0;
  std::uint64_t fired_ = 0;
};

}  // namespace ventrel
