#include "model/window_model.h"

#include "files/value_ranges.h"

namespace ventrel {

std::string FieldCaption(Field field) {
  const FieldDesign& d = DesignOf(field);
  return std::string(d.caption.empty() ? d.identifier : d.caption);
}

VentrelModel::VentrelModel() {
  timers_.TimerAT.setHandler([this] {
    NavStep();
    TimerATTimer();
  });
  timers_.TimerC.setHandler([this] { TimerCTimer(); });
  timers_.Timer60.setHandler([this] { Timer60Timer(); });
  WireManoeuvres();
  FormCreate();
}

void VentrelModel::SetPolar(PolarTable table) {
  polar_ = std::move(table);
  speed_.setPolar(polar_);
}

void VentrelModel::SetDrawing(Canvas* window, Canvas* depthBox, BoatPicture* boat) {
  dial_.SetCanvases(window, depthBox);
  boat_ = boat ? boat : &nullBoat_;
}

void VentrelModel::SetNmeaListSink(TextSink sink) { speed_.setDiagnostics(std::move(sink)); }

void VentrelModel::SetLayout(ShapeRect visu, ShapeRect visuBk) {
  visuBk_ = visuBk;
  dial_.SetShapes(visu, visuBk);
}

void VentrelModel::FormCreate() {
  // The boat at angle 0.
  boat_->RotationBat(0);
  // Scale speed and depth history; the display memory starts empty.
  dial_.mem = DisplayMemory{};
  dial_.mem.etalon = 20;
  dial_.tabProf.fill(100);
  // The variation, then the waypoint, from their fields; the second waypoint is empty.
  ReadMagneticVariation();
  ReadWaypoint();
  w_.Wp1 = t_wpt{};
  w_.Wp1.P.Init("", "", "", 0, 0);
  panel_[Field::BestHaulButton].setPicture("vamp.bmp");
  s_.VireEncour = s_.EmpEncour = s_.RecENCour = false;
  s_.ModPil = TModPil::AUTO;
  speed_.AlphaOptWndWrd = 10000;
  s_.WatrTemp = 13;
  s_.tdiv = 1.0L;
  // The intervals of the tick and helm timers follow the time divisor.
  const int tickMs = RoundEven(1000 / s_.tdiv);
  timers_.TimerAT.setInterval(tickMs);
  timers_.TimerB.setInterval(tickMs);
}

void VentrelModel::FormPaint() {
  SetLayout(dial_.visu(), visuBk_);
  dial_.GradueCompas();
  panel_[Field::PilotMode].setText(nav_.engaged                ? "NAV"
                                   : s_.ModPil == TModPil::AUTO ? " AUTO"
                                                                : " STDBY");
}

void VentrelModel::Report(const std::string& message) const {
  if (messages_) messages_(message);
}

void VentrelModel::Show(Field field, long double x, int p, int d) {
  panel_[field].setNumber(x, p, d);
}

std::optional<long double> VentrelModel::FieldNumber(Field field) const {
  bool ok = true;
  const long double v = ReadField(field, 0, &ok);
  if (!ok) return std::nullopt;
  return v;
}

long double VentrelModel::ReadField(Field field, long double previous, bool* ok) const {
  const std::string& text = panel_[field].text();
  const NumberRead r = Val_Str_Flott(text, ds_);
  if (!r.ok) {
    if (ok) *ok = false;
    Report("Champ « " + FieldCaption(field) + " » : « " + ShownValue(text) +
           " » n'est pas un nombre, la valeur précédente est conservée. " + kMsgSeparateur);
    return previous;
  }
  // A number outside the range of its quantity (1e20 knots) is refused too.
  if (const ValueRange* range = RangeOfField(DesignOf(field).range)) {
    if (const std::optional<std::string> problem = RangeProblem(*range, r.value)) {
      if (ok) *ok = false;
      Report("Champ « " + FieldCaption(field) + " » : « " + ShownValue(text) + " » " + *problem +
             ", la valeur précédente est conservée.");
      return previous;
    }
  }
  return r.value;
}

}  // namespace ventrel
