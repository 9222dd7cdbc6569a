#include "model/panel.h"


#include "nav/number_forms.h"

namespace ventrel {

void PanelField::makeText() const {
  if (!number_.pending && !maker_) return;
  std::string s;
  if (number_.pending) {
    number_.pending = false;
    s = fixedForm(number_.x, number_.p, number_.d);
  } else {
    s = maker_();
    maker_ = nullptr;
  }
  if (s != text_) {
    text_ = std::move(s);
    changed_ = true;
  }
}

namespace {

constexpr const char* kHintSurfaceWind = "En présence de courant la référence devient le vent surface";

struct Radio {
  Field field;
  std::vector<std::string> items;
};

}  // namespace

Panel::Panel() {
  for (const FieldDesign& d : kFieldDesigns) {
    PanelField& f = fields_[static_cast<std::size_t>(d.id)];
    f = PanelField(d.id);
    f.setText(std::string(d.text));
    f.setAlign(d.align);
  }
  const Radio radios[] = {
      {Field::LatitudeHemisphere, {"N", "S"}},  {Field::LongitudeHemisphere, {"E", "W"}},
      {Field::WaypointLatitudeHemisphere, {"N", "S"}},   {Field::WaypointLongitudeHemisphere, {"E", "W"}},
      {Field::VariationSide, {"E", "W"}},    {Field::CurrentKind, {"constant", "alterné"}},
  };
  for (const Radio& r : radios) {
    PanelField& f = (*this)[r.field];
    f.setItems(r.items);
    f.setItemIndex(0);
  }

  (*this)[Field::BestUpwindAngle].setLabel("Meilleur SWA");
  (*this)[Field::BestUpwindVmg].setLabel("   VMG");
  (*this)[Field::GreatCircleDistance].setLabel("orthodromique");
  (*this)[Field::RhumbLineDistance].setLabel("loxodromique");
  (*this)[Field::WaypointClosingSpeed].setLabel("WCV");
  (*this)[Field::TimeEnRoute].setLabel("ETE");
  (*this)[Field::PilotMode].setLabel(" Mode act.");

  for (Field n : {Field::WindKindCaption, Field::ReferenceWindSpeed, Field::ReferenceWindDirection, Field::ReferenceWindAngle}) (*this)[n].setHint(kHintSurfaceWind);
  (*this)[Field::WaypointDistance].setHint("distance orthodromique");
  (*this)[Field::WaypointBearing].setHint("Relèvement orthodromique ");
  (*this)[Field::PauseResumeButton].setHint("Pause / Reprendre est inhibé pendant la rotation du courant ");
  (*this)[Field::CurrentKind].setHint("En mode alterné le courant opère toutes les minutes une rotation de 180 degrés");

  // Buttons disabled until the first start; the pictures of the picture buttons.
  for (Field n : {Field::PauseResumeButton, Field::BestHaulButton, Field::TackButton, Field::GybeButton}) (*this)[n].setEnabled(false);
  (*this)[Field::PauseResumeButton].setPicture("Gl_pause.bmp");
  (*this)[Field::BestHaulButton].setPicture("vamp.bmp");
  (*this)[Field::AutoButton].setChecked(true);

  // The up-down control of the polar percentage and the helm bar.
  PanelField& upDown = (*this)[Field::PolarPercentUpDown];
  upDown.setPosition(100);
  PanelField& bar = (*this)[Field::HelmBar];
  bar.setPosition(15);
  bar.setEnabled(false);
  bar.setSliderVisible(false);
}

void Panel::takeChanged(const std::function<void(const PanelField&)>& f) {
  for (PanelField& field : fields_) {
    if (field.changed()) {
      f(field);
      field.clearChanged();
    }
  }
}

void Panel::clearAllChanged() {
  for (PanelField& field : fields_) field.clearChanged();
}

}  // namespace ventrel
