#include "ui/panel_binder.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

#include <algorithm>

#include "files/paths.h"
#include "qt/file_names.h"
#include "ui/controls.h"

namespace ventrel {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QColor C(Rgb c) { return QColor(c.r, c.g, c.b); }

Qt::Alignment ToQt(Align a) {
  switch (a) {
    case Align::Centre: return Qt::AlignHCenter | Qt::AlignVCenter;
    case Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case Align::Left: break;
  }
  return Qt::AlignLeft | Qt::AlignVCenter;
}

struct ObjectName {
  Field field;
  std::string_view name;
};

// The objectName of the widget of each field, in the order of the fields.
constexpr ObjectName kObjectNames[] = {
    {Field::HeadingInput, "EdHDG"},
    {Field::TrueWindSpeedInput, "EdTWS"},
    {Field::TrueWindDirectionInput, "EdTWD"},
    {Field::PolarPercentInput, "EdPolPerc"},
    {Field::BoatSpeed, "EdBSP"},
    {Field::LatitudeDegrees, "EdLATdeg"},
    {Field::LatitudeMinutes, "EdLATmin"},
    {Field::LongitudeDegrees, "EdLGDEG"},
    {Field::LongitudeMinutes, "EdLGmin"},
    {Field::CurrentSpeedInput, "EdFcourant"},
    {Field::CurrentDirectionInput, "EdDirCourant"},
    {Field::WaypointName, "EdNwpt"},
    {Field::WaypointLatitudeDegrees, "EdLatWpDeg"},
    {Field::WaypointLatitudeMinutes, "EDLatWpmin"},
    {Field::WaypointLongitudeDegrees, "EDLGWpDeg"},
    {Field::WaypointLongitudeMinutes, "EdLGWpmin"},
    {Field::WaypointDistance, "EdDTW"},
    {Field::WaypointBearing, "EdBTW"},
    {Field::WindKindCaption, "LabTypVent"},
    {Field::ReferenceWindSpeed, "EdVRS_S"},
    {Field::ReferenceWindDirection, "EdVRS_D"},
    {Field::ReferenceWindAngle, "EdVRS_A"},
    {Field::ApparentWindSpeed, "EdAWS"},
    {Field::ApparentWindDirection, "EdAWD"},
    {Field::ApparentWindAngle, "EdAWA"},
    {Field::BestUpwindAngle, "LbEdBestHaul"},
    {Field::BestUpwindVmg, "LbEdVMGauPres"},
    {Field::VmgToWind, "EdVMGVent"},
    {Field::CourseOverGround, "EdCOG"},
    {Field::SpeedOverGround, "EdSOG"},
    {Field::DriftAngle, "EdDeriv"},
    {Field::DriftSide, "LDeriv"},
    {Field::GreatCircleDistance, "LabEddistortho"},
    {Field::RhumbLineDistance, "LabEdDistLoxo"},
    {Field::WaypointClosingSpeed, "LbEdWCV"},
    {Field::TimeEnRoute, "LbEDETE"},
    {Field::VariationInput, "EdiDECL"},
    {Field::TrueHeading, "Ed2HDGT"},
    {Field::MagneticHeading, "EdHDM"},
    {Field::PilotMode, "LbModPil"},
    {Field::NavOrder, "LbNavConsigne"},
    {Field::NavArrival, "LbNavArrivee"},
    {Field::HeadingBox, "EdCAP"},
    {Field::TackIndicator, "Edam"},
    {Field::PolarName, "StxNomPol"},
    {Field::PolarNameOnDial, "LabNOMPOL2"},
    {Field::StartButton, "BtCalC"},
    {Field::WaypointChangeButton, "BtModWp"},
    {Field::PauseResumeButton, "SpBtPauseRes"},
    {Field::BestHaulButton, "BtBestHaul"},
    {Field::TackButton, "SBtVire"},
    {Field::GybeButton, "SBtEmp"},
    {Field::AutoButton, "SpBtAUTO"},
    {Field::StandbyButton, "SpBtStdBY"},
    {Field::NavButton, "SpBtNAV"},
    {Field::HelmIndicator, "ImgIndcBarre"},
    {Field::ParametersMenuItem, "Paramtres1"},
    {Field::ConfigurationMenu, "Ouvrir1"},
    {Field::LatitudeHemisphere, "RadioGLAT"},
    {Field::LongitudeHemisphere, "RadioGrLG"},
    {Field::WaypointLatitudeHemisphere, "RdGrWpNS"},
    {Field::WaypointLongitudeHemisphere, "RdGrWpEW"},
    {Field::VariationSide, "RdgDecl"},
    {Field::CurrentKind, "RadioGTypC"},
    {Field::PolarPercentUpDown, "UpDownPol"},
    {Field::HelmBar, "TrackBarre"},
    {Field::PortList, "CBcom"},
    {Field::SpeedList, "CBbauds"},
    {Field::ActivateButton, "BtActivNMEA"},
    {Field::ResetPortButton, "RazCom"},
    {Field::MainWindow, "FVentrel"},
    {Field::OpenConfigurationItem, "Ouvrir2"},
    {Field::SaveConfigurationItem, "Enregistrer2"},
    {Field::AutomaticReloadItem, "Automatique1"},
    {Field::ParametersDialog, "FParam"},
    {Field::PolarFolder, "LabEdRepPol"},
    {Field::SelectedPolar, "LabEdPolSel"},
    {Field::SurfaceSensorOffset, "LEdCS"},
    {Field::KeelSensorOffset, "LEdCQ"},
    {Field::Draft, "LbEdTirando"},
    {Field::SensorDepth, "LbEdProfCapt"},
    {Field::UtcOffset, "LbEdTU"},
    {Field::VariesHeading, "ChkB_HDG"},
    {Field::VariesWindSpeed, "ChkB_TWS"},
    {Field::VariesWindDirection, "ChkB_TWD"},
    {Field::SentenceDialog, "FParNMEA"},
};
static_assert(std::size(kObjectNames) == kFieldCount, "every field has one widget name");

constexpr bool InFieldOrder() {
  for (std::size_t i = 0; i < std::size(kObjectNames); ++i) {
    if (kObjectNames[i].field != static_cast<Field>(i)) return false;
  }
  return true;
}
static_assert(InFieldOrder(), "the widget names are in the order of the fields");

std::size_t Index(Field f) { return static_cast<std::size_t>(f); }

}  // namespace

std::string_view ObjectNameOf(Field f) { return kObjectNames[Index(f)].name; }

std::optional<Field> FieldOfObjectName(std::string_view name) {
  for (const ObjectName& o : kObjectNames) {
    if (o.name == name) return o.field;
  }
  return std::nullopt;
}

PanelBinder::PanelBinder(Panel& panel) : panel_(panel) {}

void PanelBinder::BindTree(QObject* root) {
  Bind(root);
  for (QObject* o : root->findChildren<QObject*>()) Bind(o);
}

bool PanelBinder::Bind(QObject* o) {
  const QString name = o->objectName();
  if (name.isEmpty()) return false;
  const std::optional<Field> f = FieldOfObjectName(name.toStdString());
  if (!f) return false;
  if (bound_[Index(*f)] == o) return true;
  // Only widgets and actions carry a field.
  if (!qobject_cast<QWidget*>(o) && !qobject_cast<QAction*>(o)) return false;
  bound_[Index(*f)] = o;
  Connect(o, *f);
  return true;
}

void PanelBinder::BindCaption(Field field, QLabel* caption) { captions_[Index(field)] = caption; }

QObject* PanelBinder::Find(Field f) const { return bound_[Index(f)].data(); }

void PanelBinder::Connect(QObject* o, Field name) {
  Panel& panel = panel_;
  if (auto* e = qobject_cast<QLineEdit*>(o)) {
    QObject::connect(e, &QLineEdit::textEdited, e,
                     [&panel, name](const QString& t) { panel[name].setText(t.toStdString()); });
  } else if (auto* r = qobject_cast<RadioGroup*>(o)) {
    QObject::connect(r, &RadioGroup::itemClicked, r, [&panel, name](int i) { panel[name].setItemIndex(i); });
  } else if (auto* s = qobject_cast<QSlider*>(o)) {
    QObject::connect(s, &QSlider::valueChanged, s, [this, &panel, name](int v) {
      if (!applying_) panel[name].setPosition(v);
    });
  } else if (auto* c = qobject_cast<QComboBox*>(o)) {
    QObject::connect(c, &QComboBox::activated, c, [&panel, name, c](int i) {
      PanelField& f = panel[name];
      f.setItemIndex(i);
      f.setText(c->itemText(i).toStdString());
    });
    QObject::connect(c, &QComboBox::editTextChanged, c, [this, &panel, name, c](const QString& t) {
      if (applying_) return;
      PanelField& f = panel[name];
      f.setText(t.toStdString());
      const auto& items = f.items();
      const auto it = std::find(items.begin(), items.end(), t.toStdString());
      f.setItemIndex(it == items.end() ? -1 : static_cast<int>(it - items.begin()));
      (void)c;
    });
  } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
    QObject::connect(b, &QAbstractButton::toggled, b, [this, &panel, name](bool on) {
      if (!applying_) panel[name].setChecked(on);
    });
  } else if (auto* a = qobject_cast<QAction*>(o)) {
    QObject::connect(a, &QAction::toggled, a, [this, &panel, name](bool on) {
      if (!applying_) panel[name].setChecked(on);
    });
  }
}

QPixmap PanelBinder::Picture(const std::string& file) {
  const QString key = Q(file);
  auto it = pictures_.find(key);
  if (it != pictures_.end()) return *it;
  QPixmap pm;
  const std::filesystem::path wanted = PathOf(pictureFolder_) / file;
  if (const auto found = FindFileNoCase(wanted)) {
    QImage img(NameOf(*found));
    if (!img.isNull()) {
      img = img.convertToFormat(QImage::Format_ARGB32);
      const QRgb ground = img.pixel(0, img.height() - 1);
      for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
          if (line[x] == ground) line[x] = qRgba(0, 0, 0, 0);
        }
      }
      pm = QPixmap::fromImage(img);
    }
  }
  pictures_.insert(key, pm);
  return pm;
}

void PanelBinder::Refresh() {
  panel_.takeChanged([this](const PanelField& f) { Apply(f); });
}

void PanelBinder::RefreshAll() {
  for (const PanelField& f : panel_.fields()) Apply(f);
  panel_.clearAllChanged();
}

void PanelBinder::Apply(const PanelField& f) {
  if (QLabel* cap = captions_[Index(f.id())].data()) cap->setText(Q(f.label()));
  QObject* o = bound_[Index(f.id())].data();
  if (!o) return;
  applying_ = true;
  const QString text = Q(f.text());
  const QString hint = Q(f.hint());

  if (auto* a = qobject_cast<QAction*>(o)) {
    if (!text.isEmpty()) a->setText(text);
    a->setEnabled(f.enabled());
    if (a->isCheckable()) a->setChecked(f.checked());
    if (!hint.isEmpty()) a->setToolTip(hint);
    applying_ = false;
    return;
  }
  auto* w = qobject_cast<QWidget*>(o);
  if (w->isWindow()) {
    // A window or a dialog: its caption; its owner shows and hides it.
    if (!text.isEmpty()) w->setWindowTitle(text);
    applying_ = false;
    return;
  }
  w->setEnabled(f.enabled());
  if (w->isVisibleTo(w->parentWidget()) != f.visible()) w->setVisible(f.visible());
  if (!hint.isEmpty()) w->setToolTip(hint);

  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    if (e->text() != text) e->setText(text);
    e->setAlignment(ToQt(f.align()));
    QPalette p = e->palette();
    p.setColor(QPalette::Active, QPalette::Text, C(f.fontColour()));
    p.setColor(QPalette::Inactive, QPalette::Text, C(f.fontColour()));
    p.setColor(QPalette::Active, QPalette::Base, C(f.background()));
    p.setColor(QPalette::Inactive, QPalette::Base, C(f.background()));
    e->setPalette(p);
    if (e->font().italic() != f.italic()) {
      QFont font = e->font();
      font.setItalic(f.italic());
      e->setFont(font);
    }
  } else if (auto* r = qobject_cast<RadioGroup*>(w)) {
    if (!f.items().empty()) r->setItems(f.items());
    if (r->itemIndex() != f.itemIndex()) r->setItemIndex(f.itemIndex());
  } else if (auto* h = qobject_cast<HelmBar*>(w)) {
    if (h->value() != f.position()) h->setValue(f.position());
    h->setSliderShown(f.sliderVisible());
  } else if (auto* s = qobject_cast<QSlider*>(w)) {
    if (s->value() != f.position()) s->setValue(f.position());
  } else if (auto* c = qobject_cast<QComboBox*>(w)) {
    QStringList items;
    for (const std::string& i : f.items()) items << Q(i);
    QStringList now;
    for (int i = 0; i < c->count(); ++i) now << c->itemText(i);
    if (now != items) {
      c->clear();
      c->addItems(items);
    }
    if (c->currentIndex() != f.itemIndex()) c->setCurrentIndex(f.itemIndex());
    if (c->isEditable() && c->currentText() != text) c->setEditText(text);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (!f.picture().empty()) {
      const QPixmap pm = Picture(f.picture());
      b->setIcon(pm.isNull() ? QIcon() : QIcon(pm));
      if (!pm.isNull()) b->setIconSize(pm.size());
    }
    if (b->text() != text) b->setText(text);
    if (b->isCheckable() && b->isChecked() != f.checked()) b->setChecked(f.checked());
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    if (!f.picture().empty()) {
      l->setPixmap(Picture(f.picture()));
    } else if (l->text() != text) {
      l->setText(text);
    }
  }
  applying_ = false;
}

}  // namespace ventrel
