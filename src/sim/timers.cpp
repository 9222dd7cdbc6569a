#include "sim/timers.h"

#include <limits>

namespace ventrel {

ModelTimer::ModelTimer(ModelTimers& owner, std::string name, int intervalMs)
    : owner_(owner), name_(std::move(name)), interval_(intervalMs) {}

void ModelTimer::setEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (on) enableOrder_ = owner_.nextEnableOrder();
  owner_.notify(*this);
}

void ModelTimer::setInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (enabled_) owner_.notify(*this);
}

ModelTimers::ModelTimers()
    : all_{&TimerAT, &TimerB, &TimerC, &Timer60, &TimerV, &TimerE, &TimerPres, &TimerLoadCFG, &TimerNMEA,
             &TimerZero, &TimerScenario} {
  // A phase sends what the tick of the same second has computed.
  TimerNMEA.setFiresLast(true);
}

int ModelTimers::indexOf(const ModelTimer& t) const {
  for (int i = 0; i < kCount; ++i) {
    if (all_[i] == &t) return i;
  }
  return -1;
}

VirtualClock::VirtualClock(ModelTimers& timers) : timers_(timers) {
  timers_.setObserver(this);
  for (ModelTimer* t : timers_.all()) timerChanged(*t);
}

VirtualClock::~VirtualClock() { timers_.setObserver(nullptr); }

void VirtualClock::timerChanged(ModelTimer& t) {
  const int i = timers_.indexOf(t);
  if (i < 0) return;
  if (t.enabled() && t.interval() > 0) {
    due_[i] = now_ + t.interval();
  } else {
    due_[i].reset();
  }
}

std::optional<std::int64_t> VirtualClock::nextDue(const ModelTimer& t) const {
  const int i = timers_.indexOf(t);
  return i < 0 ? std::nullopt : due_[i];
}

ModelTimer* NextToFire(const ModelTimers& timers, const TimerDues& due, std::int64_t limit) {
  ModelTimer* best = nullptr;
  std::int64_t bestDue = std::numeric_limits<std::int64_t>::max();
  for (int i = 0; i < ModelTimers::kCount; ++i) {
    if (!due[i] || *due[i] > limit) continue;
    ModelTimer* t = timers.all()[i];
    if (*due[i] < bestDue || (*due[i] == bestDue && ModelTimers::firesBefore(*t, *best))) {
      best = t;
      bestDue = *due[i];
    }
  }
  return best;
}

ModelTimer* VirtualClock::nextToFire(std::int64_t limit) const { return NextToFire(timers_, due_, limit); }

bool VirtualClock::step() {
  ModelTimer* t = nextToFire(std::numeric_limits<std::int64_t>::max());
  if (!t) return false;
  const int i = timers_.indexOf(*t);
  now_ = *due_[i];
  due_[i] = now_ + t->interval();
  ++fired_;
  t->fire();
  return true;
}

void VirtualClock::advance(std::int64_t ms) {
  const std::int64_t target = now_ + ms;
  while (ModelTimer* t = nextToFire(target)) {
    const int i = timers_.indexOf(*t);
    now_ = *due_[i];
    due_[i] = now_ + t->interval();
    ++fired_;
    t->fire();
  }
  now_ = target;
}

}  // namespace ventrel
