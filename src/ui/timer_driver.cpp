#include "ui/timer_driver.h"

#include <algorithm>
#include <limits>

namespace ventrel {

TimerDriver::TimerDriver(ModelTimers& timers, QObject* parent) : QObject(parent), timers_(timers) {
  clock_.start();
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, &TimerDriver::onTimeout);
  timers_.setObserver(this);
  for (ModelTimer* t : timers_.all()) timerChanged(*t);
}

TimerDriver::~TimerDriver() { timers_.setObserver(nullptr); }

std::int64_t TimerDriver::now() const { return origin_ + clock_.nsecsElapsed() * speed_ / 1'000'000; }

void TimerDriver::setSpeed(int times) {
  if (times < 1 || times > kMaxSpeed || times == speed_) return;
  // The time of the run goes on from where it is: the origin moves so that now()
  // stays, and the deadlines keep their places on it.
  const std::int64_t at = now();
  clock_.restart();
  speed_ = times;
  origin_ = at;
  arm();
}

std::optional<std::int64_t> TimerDriver::nextDue(const ModelTimer& t) const {
  const int i = timers_.indexOf(t);
  return i < 0 ? std::nullopt : due_[static_cast<std::size_t>(i)];
}

std::int64_t TimerDriver::runEvent(const std::function<void()>& fn) {
  if (firing_) {  // already inside an event: it is that one's instant
    fn();
    return *firing_;
  }
  const std::int64_t at = now();
  firing_ = at;
  fn();
  firing_.reset();
  arm();
  return at;
}

void TimerDriver::setEnd(std::int64_t ms) {
  // Beyond kMaxEndMs (more than a thousand years) the run has no end in practice;
  // the bound keeps the sums and the nanosecond products below within 64 bits.
  end_ = std::min(ms, kMaxEndMs);
  if (!firing_) arm();
}

void TimerDriver::timerChanged(ModelTimer& t) {
  const int i = timers_.indexOf(t);
  if (i < 0) return;
  auto& due = due_[static_cast<std::size_t>(i)];
  if (t.enabled() && t.interval() > 0) {
    due = instant() + t.interval();
  } else {
    due.reset();
  }
  // While handlers run, the loop re-arms once they are done.
  if (!firing_) arm();
}

ModelTimer* TimerDriver::nextToFire(std::int64_t limit) const { return NextToFire(timers_, due_, limit); }

void TimerDriver::onTimeout() {
  if (ended_) return;
  // What is due now; a handler that makes more timers due right away (a stall)
  // is followed by a new turn of the event loop, so that the port can write.
  std::int64_t limit = now();
  if (end_) limit = std::min(limit, *end_);
  while (ModelTimer* t = nextToFire(limit)) {
    auto& due = due_[static_cast<std::size_t>(timers_.indexOf(*t))];
    firing_ = *due;
    maxLateness_ = std::max(maxLateness_, now() - *due);
    *due += t->interval();
    ++fired_;
    t->fire();
  }
  firing_.reset();
  if (end_ && now() >= *end_ && !nextToFire(*end_)) {
    ended_ = true;
    wake_.stop();
    emit finished();
    return;
  }
  arm();
}

void TimerDriver::arm() {
  if (ended_) return;
  std::optional<std::int64_t> next;
  for (const auto& d : due_) {
    if (d && (!next || *d < *next)) next = d;
  }
  if (end_ && (!next || *end_ < *next)) next = end_;
  if (!next) {
    wake_.stop();
    return;
  }
  // Wake at the deadline or just after it, never before: the remaining time is
  // rounded up to the next whole millisecond.
  // Deadlines are at most kMaxEndMs plus one timer interval (an int): the
  // product stays below 2^63.
  // At speed N a millisecond of the run takes 1/N of a real one.
  const std::int64_t runNs = origin_ * 1'000'000 + clock_.nsecsElapsed() * speed_;
  const std::int64_t leftNs = std::min(*next, 2 * kMaxEndMs) * 1'000'000 - runNs;
  const std::int64_t realNs = leftNs <= 0 ? 0 : leftNs / speed_;
  const std::int64_t leftMs = (realNs + 999'999) / 1'000'000;
  wake_.start(static_cast<int>(std::min<std::int64_t>(leftMs, std::numeric_limits<int>::max())));
}

}  // namespace ventrel
