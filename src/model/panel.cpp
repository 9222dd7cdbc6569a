#include "model/panel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

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

struct Design {
  const char* name;
  const char* text = "";
  Align align = Align::Left;
};

// Edit fields and labels with their design texts and alignment.
constexpr Design kTexts[] = {
    // Input data.
    {"EdHDG", "335", Align::Centre},
    {"EdTWS", "10", Align::Centre},
    {"EdTWD", "220", Align::Centre},
    {"EdPolPerc", "100"},
    {"EdBSP", "6.2", Align::Centre},
    {"EdLATdeg", "51", Align::Right},
    {"EdLATmin", "4.14"},
    {"EdLGDEG", "2", Align::Right},
    {"EdLGmin", "23.08"},
    {"EdFcourant", "0", Align::Centre},
    {"EdDirCourant", "70", Align::Centre},
    // Waypoint.
    {"EdNwpt", "Att_Dover", Align::Centre},
    {"EdLatWpDeg", "51", Align::Right},
    {"EDLatWpmin", "06.18"},
    {"EDLGWpDeg", "1", Align::Right},
    {"EdLGWpmin", "19.88"},
    {"EdDTW", "", Align::Centre},
    {"EdBTW", "", Align::Centre},
    // Computed data.
    {"LabTypVent", "Vent réel TW"},
    {"EdVRS_S", "", Align::Centre},
    {"EdVRS_D", "", Align::Centre},
    {"EdVRS_A", "", Align::Centre},
    {"EdAWS", "", Align::Centre},
    {"EdAWD", "", Align::Centre},
    {"EdAWA", "", Align::Centre},
    {"LbEdBestHaul", "", Align::Centre},
    {"LbEdVMGauPres", "", Align::Centre},
    {"EdVMGVent", ""},
    {"EdCOG", "", Align::Right},
    {"EdSOG", "", Align::Right},
    {"EdDeriv", "", Align::Right},
    {"LDeriv", "°"},
    {"LabEddistortho", "", Align::Right},
    {"LabEdDistLoxo", "", Align::Right},
    {"LbEdWCV", "", Align::Right},
    {"LbEDETE", ""},
    // Magnetic variation and headings.
    {"EdiDECL", "1", Align::Right},
    {"Ed2HDGT", ""},
    {"EdHDM", ""},
    // Pilot, heading box, tack indicator, polar name.
    {"LbModPil", " AUTO", Align::Centre},
    {"EdCAP", " 335"},
    {"Edam", ""},
    {"StxNomPol", "NOM DE LA POLAIRE"},
    {"LabNOMPOL2", "NOM DE LA POLAIRE"},
    // Buttons and menu items.
    {"BtCalC", ""},
    {"BtModWp", "Modif."},
    {"SpBtPauseRes", ""},
    {"BtBestHaul", ""},
    {"SBtVire", "VIRER !"},
    {"SBtEmp", "EMPANNER"},
    {"SpBtAUTO", ""},
    {"SpBtStdBY", ""},
    {"ImgIndcBarre", ""},
    {"Paramtres1", "Paramètres"},
    {"Ouvrir1", "Configuration"},
};

struct Radio {
  const char* name;
  std::vector<std::string> items;
};

}  // namespace

Panel::Panel() {
  for (const Design& d : kTexts) {
    PanelField& f = add(d.name);
    f.setText(d.text);
    f.setAlign(d.align);
  }
  const Radio radios[] = {
      {"RadioGLAT", {"N", "S"}},  {"RadioGrLG", {"E", "W"}},
      {"RdGrWpNS", {"N", "S"}},   {"RdGrWpEW", {"E", "W"}},
      {"RdgDecl", {"E", "W"}},    {"RadioGTypC", {"constant", "alterné"}},
  };
  for (const Radio& r : radios) {
    PanelField& f = add(r.name);
    f.setItems(r.items);
    f.setItemIndex(0);
  }

  (*this)["LbEdBestHaul"].setLabel("Meilleur SWA");
  (*this)["LbEdVMGauPres"].setLabel("   VMG");
  (*this)["LabEddistortho"].setLabel("orthodromique");
  (*this)["LabEdDistLoxo"].setLabel("loxodromique");
  (*this)["LbEdWCV"].setLabel("WCV");
  (*this)["LbEDETE"].setLabel("ETE");
  (*this)["LbModPil"].setLabel(" Mode act.");

  for (const char* n : {"LabTypVent", "EdVRS_S", "EdVRS_D", "EdVRS_A"}) (*this)[n].setHint(kHintSurfaceWind);
  (*this)["EdDTW"].setHint("distance orthodromique");
  (*this)["EdBTW"].setHint("Relèvement orthodromique ");
  (*this)["SpBtPauseRes"].setHint("Pause / Reprendre est inhibé pendant la rotation du courant ");
  (*this)["RadioGTypC"].setHint("En mode alterné le courant opère toutes les minutes une rotation de 180 degrés");

  // Buttons disabled until the first start; the pictures of the picture buttons.
  for (const char* n : {"SpBtPauseRes", "BtBestHaul", "SBtVire", "SBtEmp"}) (*this)[n].setEnabled(false);
  (*this)["SpBtPauseRes"].setPicture("Gl_pause.bmp");
  (*this)["BtBestHaul"].setPicture("vamp.bmp");
  (*this)["SpBtAUTO"].setChecked(true);

  // The up-down control of the polar percentage and the helm bar.
  PanelField& upDown = add("UpDownPol");
  upDown.setPosition(100);
  PanelField& bar = add("TrackBarre");
  bar.setPosition(15);
  bar.setEnabled(false);
  bar.setSliderVisible(false);
}

namespace {

// The length and the first and last four characters of a name, mixed by one
// multiplication (names shorter than 4 characters are read whole).
std::size_t NameHash(std::string_view name) {
  std::uint32_t head = 0, tail = 0;
  if (name.size() >= 4) {
    std::memcpy(&head, name.data(), 4);
    std::memcpy(&tail, name.data() + name.size() - 4, 4);
  } else if (!name.empty()) {
    std::memcpy(&head, name.data(), name.size());
  }
  const std::uint64_t h = ((std::uint64_t{head} << 32 | tail) ^ name.size()) * 0x9E3779B97F4A7C15ULL;
  return static_cast<std::size_t>(h >> 32);
}

}  // namespace

PanelField* Panel::find(std::string_view name) const {
  if (slots_.empty()) return nullptr;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = NameHash(name) & mask;; i = (i + 1) & mask) {
    PanelField* f = slots_[i];
    if (f == nullptr || f->name() == name) return f;
  }
}

void Panel::place(PanelField& f) {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = NameHash(f.name()) & mask;
  while (slots_[i] != nullptr) i = (i + 1) & mask;
  slots_[i] = &f;
}

PanelField& Panel::operator[](std::string_view name) {
  PanelField* f = find(name);
  if (f == nullptr) throw std::out_of_range("unknown panel field " + std::string(name));
  return *f;
}

const PanelField& Panel::operator[](std::string_view name) const {
  const PanelField* f = find(name);
  if (f == nullptr) throw std::out_of_range("unknown panel field " + std::string(name));
  return *f;
}

bool Panel::has(std::string_view name) const { return find(name) != nullptr; }

PanelField& Panel::add(const std::string& name) {
  const auto [it, added] = fields_.try_emplace(name, name);
  if (!added) return it->second;
  if (2 * fields_.size() > slots_.size()) {
    // Half full: twice the slots, and every field placed again.
    slots_.assign(std::max<std::size_t>(128, 2 * slots_.size()), nullptr);
    for (auto& [n, field] : fields_) place(field);
  } else {
    place(it->second);
  }
  return it->second;
}

std::vector<std::string> Panel::names() const {
  std::vector<std::string> out;
  out.reserve(fields_.size());
  for (const auto& [n, f] : fields_) out.push_back(n);
  return out;
}

void Panel::takeChanged(const std::function<void(const PanelField&)>& f) {
  for (auto& [n, field] : fields_) {
    if (field.changed()) {
      f(field);
      field.clearChanged();
    }
  }
}

void Panel::clearAllChanged() {
  for (auto& [n, field] : fields_) field.clearChanged();
}

}  // namespace ventrel
