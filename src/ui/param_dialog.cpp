#include "ui/param_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/look.h"

namespace ventrel {

namespace {

constexpr int kRowH = 22;

// A caption whose text the panel gives (the label of its field).
QLabel* Caption(QWidget* parent, const char* field, int x, int y, int w) {
  auto* l = new QLabel(parent);
  l->setObjectName(QStringLiteral("Cap") + field);
  l->setGeometry(x, y, w, kRowH);
  return l;
}

QLabel* Lab(QWidget* parent, const QString& text, int x, int y) {
  auto* l = new QLabel(text, parent);
  l->setGeometry(x, y, l->sizeHint().width() + 4, kRowH);
  return l;
}

QLineEdit* Edit(QWidget* parent, const char* name, QRect r, bool readOnly = false) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setGeometry(r);
  e->setReadOnly(readOnly);
  return e;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, QRect r) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setGeometry(r);
  b->setAutoDefault(false);
  return b;
}

QCheckBox* Check(QWidget* parent, const char* name, int x, int y) {
  auto* c = new QCheckBox(parent);
  c->setObjectName(name);
  c->setGeometry(x, y, 240, kRowH);
  return c;
}

}  // namespace

TFParam::TFParam(QWidget* parent) : QDialog(parent) {
  setObjectName("FParam");
  setWindowTitle(QStringLiteral("Paramètres"));
  setModal(false);
  look::ApplyNavy(this);
  setFixedSize(560, 430);

  auto* pol = new QGroupBox(QStringLiteral("Polaires"), this);
  pol->setGeometry(8, 6, 544, 110);
  Caption(pol, "LabEdRepPol", 8, 18, 300);
  Edit(pol, "LabEdRepPol", {8, 40, 470, kRowH})
      ->setToolTip(QStringLiteral("Dossier où « Modifier » commence à chercher les polaires"));
  Button(pol, "BtDirSel", QStringLiteral("....."), {484, 38, 52, 26})
      ->setToolTip(QStringLiteral("Choisir le dossier des polaires"));
  Caption(pol, "LabEdPolSel", 8, 74, 160);
  Edit(pol, "LabEdPolSel", {170, 74, 220, kRowH}, true);
  Button(pol, "SpeedBtModPol", QStringLiteral("Modifier"), {400, 72, 90, 26})
      ->setToolTip(QStringLiteral("Choisir un autre fichier de polaire (.pol)"));

  auto* off = new QGroupBox(QStringLiteral("Offsets pour la profondeur"), this);
  off->setGeometry(8, 122, 270, 174);
  Caption(off, "LEdCS", 8, 22, 160);
  Edit(off, "LEdCS", {170, 22, 60, kRowH}, true);
  Lab(off, QStringLiteral("m"), 234, 22);
  Caption(off, "LEdCQ", 8, 50, 160);
  Edit(off, "LEdCQ", {170, 50, 60, kRowH}, true);
  Lab(off, QStringLiteral("m"), 234, 50);
  Caption(off, "LbEdTirando", 8, 84, 160);
  Edit(off, "LbEdTirando", {170, 84, 60, kRowH});
  Lab(off, QStringLiteral("m"), 234, 84);
  Caption(off, "LbEdProfCapt", 8, 112, 160);
  Edit(off, "LbEdProfCapt", {170, 112, 60, kRowH});
  Lab(off, QStringLiteral("m"), 234, 112);
  Button(off, "BtValidCSCQ", QStringLiteral("Valider"), {170, 140, 80, 26})
      ->setToolTip(QStringLiteral("Recalculer les offsets à partir du tirant d'eau et de la profondeur du capteur"));

  auto* var = new QGroupBox(QStringLiteral("Données variables"), this);
  var->setGeometry(286, 122, 266, 130);
  Lab(var, QStringLiteral("Décocher pour rendre constant"), 8, 20);
  Check(var, "ChkB_HDG", 8, 46);
  Check(var, "ChkB_TWS", 8, 72);
  Check(var, "ChkB_TWD", 8, 98);

  auto* tu = new QGroupBox(QStringLiteral("Décalage heure locale / heure TU"), this);
  tu->setGeometry(286, 258, 266, 70);
  Caption(tu, "LbEdTU", 8, 30, 166);
  Edit(tu, "LbEdTU", {176, 30, 50, kRowH})
      ->setToolTip(QStringLiteral(
          "Heures et minutes : -2 pour -2 h, 5.30 pour 5 h 30 ; vide : le décalage du système, heure d'été comprise"));
  Lab(tu, QStringLiteral("H.MS"), 230, 30);

  QPushButton* nmea = Button(this, "BtParNMEA", QStringLiteral("Paramètres NMEA 0183"), {8, 340, 200, 32});
  QPushButton* ok = Button(this, "BtOK", QStringLiteral("OK"), {452, 388, 100, 32});
  ok->setDefault(true);

  connect(findChild<QPushButton*>("BtDirSel"), &QPushButton::clicked, this, &TFParam::dirSelClicked);
  connect(findChild<QPushButton*>("SpeedBtModPol"), &QPushButton::clicked, this, &TFParam::modPolClicked);
  connect(findChild<QPushButton*>("BtValidCSCQ"), &QPushButton::clicked, this, &TFParam::validClicked);
  connect(nmea, &QPushButton::clicked, this, &TFParam::nmeaClicked);
  connect(ok, &QPushButton::clicked, this, &TFParam::okClicked);
}

void TFParam::closeEvent(QCloseEvent* e) {
  e->accept();
  emit closedByFrame();
}

void TFParam::reject() {
  hide();
  emit closedByFrame();
}

}  // namespace ventrel
