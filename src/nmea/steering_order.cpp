#include "nmea/steering_order.h"

#include <cmath>
#include <limits>

#include "sim/wind.h"

namespace ventrel {

namespace {

std::optional<long double> TrueOf(const std::optional<Bearing>& b, long double variationEast) {
  if (!b) return std::nullopt;
  return Wrap360(b->ref == NorthRef::Magnetic ? b->degrees + variationEast : b->degrees);
}

// A cross-track error that is a number (the reader lets nothing else through).
std::optional<long double> Finite(const std::optional<long double>& x) {
  if (x && std::isfinite(*x)) return x;
  return std::nullopt;
}

}  // namespace

bool SteeringOrders::Take(const SteeringSentence& sentence, std::int64_t nowMs, long double variationEast) {
  if (const auto* apb = std::get_if<ApbSentence>(&sentence)) {
    if (!apb->valid) return false;
    if (apb->destination.empty()) {
      courseCleared_ = true;
      apb_.reset();
      return false;
    }
    FromApb a;
    a.headingToSteer = TrueOf(apb->headingToSteer, variationEast);
    a.bearingToDestination = TrueOf(apb->presentToDestination, variationEast);
    a.crossTrackNm = Finite(apb->crossTrackNm);
    a.destination = apb->destination;
    a.arrived = apb->arrivalCircle || apb->perpendicular;
    courseCleared_ = false;
    const bool steers = a.headingToSteer || a.bearingToDestination;
    apb_ = TakenApb{std::move(a), nowMs};
    return steers;
  }
  if (const auto* rmb = std::get_if<RmbSentence>(&sentence)) {
    if (!rmb->valid || courseCleared_ || rmb->destination.empty() || !rmb->latitude || !rmb->longitude ||
        !rmb->bearingTrue)
      return false;
    FromRmb r;
    r.bearing = Wrap360(*rmb->bearingTrue);
    r.crossTrackNm = Finite(rmb->crossTrackNm);
    r.origin = rmb->origin;
    r.destination = rmb->destination;
    r.latitude = *rmb->latitude;
    r.longitude = *rmb->longitude;
    r.arrived = rmb->arrived;
    rmb_ = TakenRmb{std::move(r), nowMs};
    return true;
  }
  if (const auto* xte = std::get_if<XteSentence>(&sentence)) {
    if (xte->valid && Finite(xte->crossTrackNm)) xte_ = TakenNumber{*xte->crossTrackNm, nowMs};
    return false;
  }
  const auto& hsc = std::get<HscSentence>(sentence);
  std::optional<long double> heading;
  if (hsc.headingTrue) {
    heading = Wrap360(*hsc.headingTrue);
  } else if (hsc.headingMagnetic) {
    heading = Wrap360(*hsc.headingMagnetic + variationEast);
  }
  if (!heading) return false;
  hsc_ = TakenNumber{*heading, nowMs};
  return true;
}

std::optional<SteeringOrder> SteeringOrders::Current(std::int64_t nowMs, std::int64_t freshMs) const {
  const auto fresh = [&](bool taken, std::int64_t ms) { return taken && nowMs - ms <= freshMs; };
  const bool apb = fresh(apb_.has_value(), apb_ ? apb_->ms : 0);
  const bool rmb = fresh(rmb_.has_value(), rmb_ ? rmb_->ms : 0) && !courseCleared_;
  const bool hsc = fresh(hsc_.has_value(), hsc_ ? hsc_->ms : 0);
  const bool xte = fresh(xte_.has_value(), xte_ ? xte_->ms : 0);
  SteeringOrder o;
  if (apb && apb_->value.headingToSteer) {
    o.headingTrue = *apb_->value.headingToSteer;
    o.headingSource = "APB cap à suivre";
  } else if (apb && apb_->value.bearingToDestination) {
    o.headingTrue = *apb_->value.bearingToDestination;
    o.headingSource = "APB relèvement";
  } else if (rmb) {
    o.headingTrue = rmb_->value.bearing;
    o.headingSource = "RMB relèvement";
  } else if (hsc) {
    o.headingTrue = hsc_->value;
    o.headingSource = "HSC";
  } else {
    return std::nullopt;
  }
  // The cross-track error of the freshest sentence that gives one.
  std::int64_t xteMs = std::numeric_limits<std::int64_t>::min();
  const auto consider = [&](const std::optional<long double>& x, std::int64_t ms) {
    if (x && ms >= xteMs) {
      o.crossTrackNm = *x;
      xteMs = ms;
    }
  };
  if (xte) consider(xte_->value, xte_->ms);
  if (rmb) consider(rmb_->value.crossTrackNm, rmb_->ms);
  if (apb) consider(apb_->value.crossTrackNm, apb_->ms);
  const std::string apbName = apb ? apb_->value.destination : std::string();
  if (rmb) {
    const FromRmb& r = rmb_->value;
    o.destination = apbName.empty() ? r.destination : apbName;
    if (o.destination == r.destination || o.destination == r.origin) {
      o.latitude = r.latitude;
      o.longitude = r.longitude;
    }
  } else {
    o.destination = apbName;
  }
  o.arrived = (apb && apb_->value.arrived) || (rmb && rmb_->value.arrived);
  return o;
}

}  // namespace ventrel
