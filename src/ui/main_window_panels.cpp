// The panels, fields and controls of the main window at their places in the
// normal layout (pixels on the window's ground, below the menu bar).

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

#include "model/dial.h"
#include "ui/controls.h"
#include "ui/instrument_surface.h"
#include "ui/look.h"
#include "ui/main_window.h"

namespace ventrel {

namespace {

constexpr int kRowH = 22;

QLineEdit* Edit(QWidget* parent, const char* name, QRect r, bool readOnly = false) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setGeometry(r);
  e->setReadOnly(readOnly);
  if (readOnly) e->setFocusPolicy(Qt::ClickFocus);
  return e;
}

QLabel* Lab(QWidget* parent, const QString& text, int x, int y, int w = -1, const char* name = nullptr) {
  auto* l = new QLabel(text, parent);
  if (name) l->setObjectName(name);
  const int width = w > 0 ? w : l->sizeHint().width() + 2;
  l->setGeometry(x, y, width, kRowH);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return l;
}

QGroupBox* Group(QWidget* parent, const QString& caption, QRect r, const char* name = nullptr) {
  auto* g = new QGroupBox(caption, parent);
  if (name) g->setObjectName(name);
  g->setGeometry(r);
  return g;
}

RadioGroup* Radio(QWidget* parent, const char* name, QRect r, Qt::Orientation o,
                  const QString& caption = QString()) {
  auto* g = new RadioGroup(caption, o, parent);
  g->setObjectName(name);
  g->setGeometry(r);
  g->setFlat(true);
  return g;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, QRect r) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setGeometry(r);
  return b;
}

// The picture beside the helm bar: the bar with its centre marked.
QPixmap HelmIndicatorIcon() {
  QPixmap pm(28, 28);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.drawLine(3, 19, 25, 19);
  p.setPen(QPen(QColor(40, 40, 40), 1));
  for (int x = 3; x <= 25; x += 4) p.drawLine(x, 15, x, 19);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(226, 58, 40));
  const QPointF tip[3] = {{14, 13}, {9, 4}, {19, 4}};
  p.drawPolygon(tip, 3);
  return pm;
}

}  // namespace

void TFVentrel::BuildPanels(QWidget* ground) {
  // ---- "Données d'entrée"
  QGroupBox* in = Group(ground, QStringLiteral("Données d'entrée"), {4, 2, 564, 304}, "GBEntree");
  Lab(in, QStringLiteral("Cap vrai"), 10, 16);
  Edit(in, "EdHDG", {10, 38, 64, kRowH});
  Lab(in, QStringLiteral("degrés"), 78, 38);
  Lab(in, QStringLiteral("Force du vent réel"), 140, 16);
  Edit(in, "EdTWS", {140, 38, 64, kRowH});
  Lab(in, QStringLiteral("noeuds"), 208, 38);
  Lab(in, QStringLiteral("Direction du vent réel"), 290, 16);
  Edit(in, "EdTWD", {290, 38, 64, kRowH});
  Lab(in, QStringLiteral("degrés"), 358, 38);
  Lab(in, QStringLiteral("Polaire"), 460, 16);
  Edit(in, "EdPolPerc", {460, 38, 48, kRowH});
  auto* upDown = new UpDown(in);
  upDown->setObjectName("UpDownPol");
  upDown->setGeometry(510, 38, 16, kRowH);
  Lab(in, QStringLiteral("%"), 530, 38);

  QGroupBox* pos = Group(in, QStringLiteral("Position géographique - degrés et minutes décimales"),
                         {6, 66, 552, 72}, "GBPosition");
  Lab(pos, QStringLiteral("deg"), 42, 14);
  Lab(pos, QStringLiteral("min"), 94, 14);
  Lab(pos, QStringLiteral("deg"), 312, 14);
  Lab(pos, QStringLiteral("min"), 364, 14);
  Lab(pos, QStringLiteral("LAT"), 8, 38);
  Edit(pos, "EdLATdeg", {40, 38, 48, kRowH});
  Edit(pos, "EdLATmin", {92, 38, 100, kRowH});
  Radio(pos, "RadioGLAT", {196, 34, 80, 30}, Qt::Horizontal);
  Lab(pos, QStringLiteral("LG"), 282, 38);
  Edit(pos, "EdLGDEG", {310, 38, 48, kRowH});
  Edit(pos, "EdLGmin", {362, 38, 100, kRowH});
  Radio(pos, "RadioGrLG", {464, 34, 84, 30}, Qt::Horizontal);

  QGroupBox* wp = Group(in, QStringLiteral("Waypoint (opt) - degrés et minutes décimales"), {6, 142, 372, 156},
                        "GBWaypoint");
  Lab(wp, QStringLiteral("Nom"), 8, 20);
  Edit(wp, "EdNwpt", {40, 20, 152, kRowH});
  Button(wp, "BtModWp", QStringLiteral("Modif."), {276, 17, 88, 28})
      ->setToolTip(QStringLiteral("Prendre en compte le waypoint saisi"));
  Lab(wp, QStringLiteral("deg"), 42, 44);
  Lab(wp, QStringLiteral("min"), 94, 44);
  Lab(wp, QStringLiteral("LAT"), 8, 64);
  Edit(wp, "EdLatWpDeg", {40, 64, 48, kRowH});
  Edit(wp, "EDLatWpmin", {92, 64, 100, kRowH});
  Radio(wp, "RdGrWpNS", {196, 60, 80, 30}, Qt::Horizontal);
  Lab(wp, QStringLiteral("LG"), 8, 92);
  Edit(wp, "EDLGWpDeg", {40, 92, 48, kRowH});
  Edit(wp, "EdLGWpmin", {92, 92, 100, kRowH});
  Radio(wp, "RdGrWpEW", {196, 88, 80, 30}, Qt::Horizontal);
  Lab(wp, QStringLiteral("Dist :"), 8, 124);
  Edit(wp, "EdDTW", {52, 124, 72, kRowH}, true);
  Lab(wp, QStringLiteral("milles    Relev"), 130, 124);
  Edit(wp, "EdBTW", {240, 124, 60, kRowH}, true);

  QGroupBox* cur = Group(in, QStringLiteral("Courant"), {384, 142, 174, 156}, "GBCourant");
  Lab(cur, QStringLiteral("Force"), 8, 22);
  Edit(cur, "EdFcourant", {66, 22, 60, kRowH});
  Lab(cur, QStringLiteral("nds"), 130, 22);
  Lab(cur, QStringLiteral("Direct."), 8, 52);
  Edit(cur, "EdDirCourant", {66, 52, 60, kRowH});
  Lab(cur, QStringLiteral("°"), 130, 52);
  Radio(cur, "RadioGTypC", {8, 80, 158, 64}, Qt::Vertical);

  // ---- "Données calculées"
  QGroupBox* calc = Group(ground, QStringLiteral("Données calculées"), {4, 308, 564, 148}, "GBCalculees");
  Lab(calc, QStringLiteral("Force"), 130, 16);
  Lab(calc, QStringLiteral("Direction"), 196, 16);
  Lab(calc, QStringLiteral("Angle"), 262, 16);
  Lab(calc, QString(), 8, 38, 118, "LabTypVent");
  Edit(calc, "EdVRS_S", {130, 38, 62, kRowH}, true);
  Edit(calc, "EdVRS_D", {196, 38, 62, kRowH}, true);
  Edit(calc, "EdVRS_A", {262, 38, 62, kRowH}, true);
  Lab(calc, QStringLiteral("Vent apparent"), 8, 66);
  Edit(calc, "EdAWS", {130, 66, 62, kRowH}, true);
  Edit(calc, "EdAWD", {196, 66, 62, kRowH}, true);
  Edit(calc, "EdAWA", {262, 66, 62, kRowH}, true);
  Lab(calc, QStringLiteral("au près"), 8, 112);
  binder_->BindCaption(Field::BestUpwindAngle, Lab(calc, QString(), 130, 90, 104));
  Edit(calc, "LbEdBestHaul", {130, 112, 62, kRowH}, true);
  Lab(calc, QStringLiteral("°"), 196, 112);
  binder_->BindCaption(Field::BestUpwindVmg, Lab(calc, QString(), 236, 90, 80));
  Edit(calc, "LbEdVMGauPres", {262, 112, 62, kRowH}, true);
  Lab(calc, QStringLiteral("nds"), 328, 112);
  Lab(calc, QStringLiteral("Vitesse du bateau  "), 356, 16);
  Edit(calc, "EdBSP", {356, 38, 70, kRowH});
  Lab(calc, QStringLiteral("nds"), 430, 38);
  Lab(calc, QStringLiteral("VMG au vent"), 356, 90);
  Edit(calc, "EdVMGVent", {356, 112, 70, kRowH}, true);
  Lab(calc, QStringLiteral("nds"), 430, 112);

  // ---- "Route fond" and "Distances au waypoint"
  QGroupBox* rf = Group(ground, QStringLiteral("Route fond"), {4, 460, 272, 104}, "GBRouteFond");
  Lab(rf, QStringLiteral("COG"), 8, 20);
  Edit(rf, "EdCOG", {60, 20, 80, kRowH}, true);
  Lab(rf, QStringLiteral("°"), 144, 20);
  Lab(rf, QStringLiteral("SOG"), 8, 48);
  Edit(rf, "EdSOG", {60, 48, 80, kRowH}, true);
  Lab(rf, QStringLiteral("nds"), 144, 48);
  Lab(rf, QStringLiteral("Dérive"), 8, 76);
  Edit(rf, "EdDeriv", {60, 76, 80, kRowH}, true);
  Lab(rf, QString(), 144, 76, 120, "LDeriv");

  QGroupBox* dist = Group(ground, QStringLiteral("Distances au waypoint"), {282, 460, 286, 104}, "GBDistances");
  Lab(dist, QStringLiteral("orthodromique"), 8, 20);
  Edit(dist, "LabEddistortho", {118, 20, 96, kRowH}, true);
  Lab(dist, QStringLiteral("milles"), 218, 20);
  Lab(dist, QStringLiteral("loxodromique"), 8, 48);
  Edit(dist, "LabEdDistLoxo", {118, 48, 96, kRowH}, true);
  Lab(dist, QStringLiteral("milles"), 218, 48);
  Lab(dist, QStringLiteral("WCV"), 8, 76);
  Edit(dist, "LbEdWCV", {44, 76, 64, kRowH}, true);
  Lab(dist, QStringLiteral("nds"), 112, 76);
  Lab(dist, QStringLiteral("ETE"), 150, 76);
  Edit(dist, "LbEDETE", {184, 76, 94, kRowH}, true);

  // ---- Start, pause, tack indicator, polar name and depth box
  QPushButton* start = Button(ground, "BtCalC", QString(), {8, 574, 180, 42});
  start->setToolTip(QStringLiteral("Démarrer la simulation avec les valeurs saisies"));
  QFont startFont = start->font();
  startFont.setPointSize(10);
  start->setFont(startFont);
  auto* pause = new QToolButton(ground);
  pause->setObjectName("SpBtPauseRes");
  pause->setGeometry(196, 574, 42, 42);
  // Beside the pause: one second at a time while paused, and the speed of the run.
  QPushButton* step = Button(ground, "BtPasAPas", QStringLiteral("Pas à pas"), {244, 574, 76, 20});
  step->setToolTip(QStringLiteral("En pause : avancer la simulation d'une seconde, puis rester en pause"));
  step->setEnabled(false);
  auto* speed = new QComboBox(ground);
  speed->setObjectName("CBVitesse");
  speed->setGeometry(244, 596, 76, 20);
  for (const int times : kRunSpeeds) speed->addItem(QStringLiteral("×%1").arg(times), times);
  speed->setToolTip(QStringLiteral("Vitesse de la simulation : ×1 en temps réel, ×10 dix fois plus vite "
                                   "(les heures des phrases suivent)"));
  QLineEdit* am = Edit(ground, "Edam", {326, 578, 242, 34}, true);
  am->setFrame(false);
  am->setToolTip(QStringLiteral("Amure du bateau"));
  QFont amFont = am->font();
  amFont.setPointSize(11);
  am->setFont(amFont);

  auto* shape1 = new QFrame(ground);
  shape1->setObjectName("Shape1");
  shape1->setGeometry(8, 628, 160, 118);
  shape1->setFrameShape(QFrame::Box);
  shape1->setLineWidth(2);
  depthBox_ = new DepthBox(depthCanvas_, ground);
  depthBox_->setObjectName("PaintBxProf");
  depthBox_->setGeometry(12, 632, model().dial().boxWidth, model().dial().boxHeight);
  depthBox_->setToolTip(QStringLiteral("Profondeur sous la surface des 30 dernières secondes, température de l'eau"));
  Lab(ground, QStringLiteral("Profondeur sous la surface (30 s)"), 176, 700);
  Lab(ground, QStringLiteral("et température de l'eau"), 176, 720);

  // Under the depth box: the scenario being run, its time out of its duration.
  scenarioLabel_ = Lab(ground, QString(), 8, 752, 560, "LbScenario");
  scenarioLabel_->setToolTip(QStringLiteral("Scénario en cours : temps écoulé / durée"));
  Lab(ground, QStringLiteral("Polaire en service"), 176, 630);
  auto* nomPol = new QLabel(ground);
  nomPol->setObjectName("StxNomPol");
  nomPol->setGeometry(176, 652, 392, 40);
  nomPol->setFrameShape(QFrame::Panel);
  nomPol->setFrameShadow(QFrame::Sunken);
  nomPol->setAlignment(Qt::AlignCenter);
  QFont big = nomPol->font();
  big.setPointSize(11);
  nomPol->setFont(big);

  // ---- Around the dial: the manoeuvre buttons, the legend, the heading box.
  QPushButton* vire = Button(ground, "SBtVire", QString(), {584, 24, 100, 30});
  vire->setToolTip(QStringLiteral("Virer de bord"));
  auto* bestHaul = new QToolButton(ground);
  bestHaul->setObjectName("BtBestHaul");
  bestHaul->setGeometry(584, 62, 50, 50);
  bestHaul->setToolTip(QStringLiteral("Rechercher le meilleur angle au près"));
  QPushButton* emp = Button(ground, "SBtEmp", QString(), {1048, 24, 100, 30});
  emp->setToolTip(QStringLiteral("Empanner"));
  sBtEmp_ = emp;

  imgLegende_ = new QLabel(ground);
  imgLegende_->setObjectName("ImgLegende");
  imgLegende_->setGeometry(1154, 24, 168, 140);

  auto* shapeCap = new QFrame(ground);
  shapeCap->setObjectName("ShapeCap");
  shapeCap->setGeometry(832, 448, 64, 26);
  shapeCap->setFrameShape(QFrame::Box);
  shapeCap->setAutoFillBackground(true);
  QPalette sp = shapeCap->palette();
  sp.setColor(QPalette::Window, Qt::white);
  sp.setColor(QPalette::WindowText, Qt::black);
  shapeCap->setPalette(sp);
  shapeCap_ = shapeCap;
  QLineEdit* cap = Edit(ground, "EdCAP", {840, 450, 48, kRowH}, true);
  cap->setFrame(false);
  QFont capFont = cap->font();
  capFont.setPointSize(10);
  cap->setFont(capFont);
  cap->setToolTip(QStringLiteral("Cap vrai"));
  edCap_ = cap;

  // ---- Under the dial: the helm bar, the polar name, the variation, the pilot.
  auto* panel1 = new QFrame(ground);
  panel1->setObjectName("Panel1");
  panel1->setGeometry(700, 478, 300, 42);
  panel1->setFrameShape(QFrame::Panel);
  panel1->setFrameShadow(QFrame::Raised);
  panel1_ = panel1;
  auto* bar = new HelmBar(ground);
  bar->setObjectName("TrackBarre");
  bar->setGeometry(706, 482, 288, 34);
  bar->setToolTip(QStringLiteral("Barre : à gauche le bateau abat sur tribord, à droite sur bâbord"));
  trackBarre_ = bar;
  auto* indc = new QToolButton(ground);
  indc->setObjectName("ImgIndcBarre");
  indc->setGeometry(1006, 482, 34, 34);
  indc->setIcon(HelmIndicatorIcon());
  indc->setIconSize(QSize(28, 28));
  indc->setToolTip(QStringLiteral("Remettre la barre au centre"));
  imgIndcBarre_ = indc;
  auto* nomPol2 = new QLabel(ground);
  nomPol2->setObjectName("LabNOMPOL2");
  nomPol2->setGeometry(1046, 488, 104, kRowH);
  nomPol2->setToolTip(QStringLiteral("Polaire en service"));
  labNomPol2_ = nomPol2;

  gbDecl_ = Group(ground, QStringLiteral("Déclinaison magnétique locale"), {576, 528, 280, 92}, "GBDecl");
  Edit(gbDecl_, "EdiDECL", {8, 24, 56, kRowH});
  Lab(gbDecl_, QStringLiteral("°"), 66, 24);
  Radio(gbDecl_, "RdgDecl", {80, 20, 96, 30}, Qt::Horizontal);
  Lab(gbDecl_, QStringLiteral("Cap vrai"), 8, 58);
  Edit(gbDecl_, "Ed2HDGT", {70, 58, 64, kRowH}, true);
  Lab(gbDecl_, QStringLiteral("Cap mag"), 142, 58);
  Edit(gbDecl_, "EdHDM", {206, 58, 64, kRowH}, true);

  gbPilote_ = Group(ground, QStringLiteral("PILOTE"), {576, 626, 280, 119}, "GBPilote");
  auto* autoBt = Button(gbPilote_, "SpBtAUTO", QString(), {10, 22, 84, 30});
  autoBt->setCheckable(true);
  autoBt->setAutoExclusive(true);
  autoBt->setToolTip(QStringLiteral("Pilote automatique : le bateau tient son cap"));
  auto* stdby = Button(gbPilote_, "SpBtStdBY", QString(), {98, 22, 84, 30});
  stdby->setCheckable(true);
  stdby->setAutoExclusive(true);
  stdby->setToolTip(QStringLiteral("Pilote en veille : barrer à la main avec la barre"));
  auto* nav = Button(gbPilote_, "SpBtNAV", QString(), {186, 22, 84, 30});
  nav->setCheckable(true);
  nav->setAutoExclusive(true);
  binder_->BindCaption(Field::PilotMode, Lab(gbPilote_, QString(), 10, 62, 80));
  Edit(gbPilote_, "LbModPil", {96, 62, 102, kRowH}, true);
  Lab(gbPilote_, QString(), 10, 92, 196, "LbNavConsigne")
      ->setToolTip(QStringLiteral("Dernier cap demandé par le traceur, vrai, et la phrase qui le donne"));
  Lab(gbPilote_, QString(), 210, 92, 64, "LbNavArrivee");

  BuildNmeaPanel(ground);
}

void TFVentrel::BuildNmeaPanel(QWidget* ground) {
  gbNmea_ = Group(ground, QStringLiteral("SORTIE NMEA 0183"), {862, 528, 456, 217}, "GBNMEA");
  Lab(gbNmea_, QStringLiteral("COM"), 8, 14);
  auto* com = new QComboBox(gbNmea_);
  com->setObjectName("CBcom");
  com->setEditable(true);
  com->setInsertPolicy(QComboBox::NoInsert);
  com->setGeometry(40, 14, 140, kRowH);
  com->setToolTip(QStringLiteral("Port série de sortie (ou chemin d'un périphérique, par exemple /dev/ttyUSB0)"));
  Lab(gbNmea_, QStringLiteral("Vit"), 188, 14);
  auto* bauds = new QComboBox(gbNmea_);
  bauds->setObjectName("CBbauds");
  bauds->setEditable(true);
  bauds->setInsertPolicy(QComboBox::NoInsert);
  bauds->setGeometry(214, 14, 80, kRowH);
  Button(gbNmea_, "BtActivNMEA", QString(), {300, 12, 70, 26});
  Button(gbNmea_, "RazCom", QString(), {374, 12, 44, 26});
  auto* zoom = new QToolButton(gbNmea_);
  zoom->setObjectName("SpBtZoomNMEA");
  zoom->setText(QStringLiteral("+"));
  zoom->setGeometry(422, 12, 26, 26);
  zoom->setToolTip(QStringLiteral("Agrandir ou réduire la liste des phrases"));
  QLabel* line = Lab(gbNmea_, QStringLiteral("bds / 8 bits / pas de parité / 1 bit de stop"), 8, 36);
  line->setGeometry(8, 37, 440, 16);
  // Below the panel, the line-load meter: the load of each group, or the warning
  // when one spills into the next second.
  QLabel* load = Lab(ground, QString(), 866, 748, 448, "LbChargeLigne");
  load->setFixedHeight(32);
  load->setWordWrap(true);
  memoNMEA_ = new QListWidget(gbNmea_);
  memoNMEA_->setObjectName("MemoNMEA");
  memoNMEA_->setGeometry(8, 54, 440, gbNmea_->height() - 56);
  memoNMEA_->setUniformItemSizes(true);
  QFont mono(QStringLiteral("Monospace"), 8);
  mono.setStyleHint(QFont::TypeWriter);
  memoNMEA_->setFont(mono);
}

}  // namespace ventrel
