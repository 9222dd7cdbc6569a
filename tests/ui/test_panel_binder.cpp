// The binding of widgets to the panel by component name: each kind of widget
// shows its field after a refresh (and only the fields that changed are copied),
// and what the user types or picks is written back into the field.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "sim/panel.h"
#include "ui/controls.h"
#include "ui/panel_binder.h"

using namespace ventrel;

namespace {

struct Bound {
  Panel panel;
  QWidget root;
  QLineEdit* hdg = new QLineEdit(&root);
  QLineEdit* am = new QLineEdit(&root);
  RadioGroup* lat = new RadioGroup(QString(), Qt::Horizontal, &root);
  HelmBar* bar = new HelmBar(&root);
  QPushButton* haul = new QPushButton(&root);
  QLabel* typ = new QLabel(&root);
  QLabel* caption = new QLabel(&root);
  QLineEdit* best = new QLineEdit(&root);
  QComboBox* bauds = new QComboBox(&root);
  QLineEdit* stranger = new QLineEdit(&root);
  QAction* params = new QAction(&root);
  PanelBinder binder{panel};

  Bound() {
    hdg->setObjectName("EdHDG");
    am->setObjectName("Edam");
    lat->setObjectName("RadioGLAT");
    bar->setObjectName("TrackBarre");
    haul->setObjectName("BtBestHaul");
    typ->setObjectName("LabTypVent");
    best->setObjectName("LbEdBestHaul");
    bauds->setObjectName("CBbauds");
    bauds->setEditable(true);
    stranger->setObjectName("NotAField");
    params->setObjectName("Paramtres1");
    panel.add("CBbauds").setItems({"4800", "9600"});
    panel["CBbauds"].setItemIndex(0);
    panel["CBbauds"].setText("4800");
    binder.SetPictureFolder(QStringLiteral(VENTREL_DATA_DIR));
    binder.BindTree(&root);
    binder.BindCaption("LbEdBestHaul", caption);
    binder.RefreshAll();
  }
};

}  // namespace

class TestPanelBinder : public QObject {
  Q_OBJECT

 private slots:
  void widgetsShowTheirFields() {
    Bound b;
    QVERIFY(!b.binder.IsBound("NotAField"));
    QCOMPARE(b.hdg->text(), QStringLiteral("335"));
    QCOMPARE(b.hdg->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(b.lat->items(), (std::vector<std::string>{"N", "S"}));
    QCOMPARE(b.lat->itemIndex(), 0);
    QCOMPARE(b.bar->value(), 15);
    QVERIFY(!b.bar->isEnabled());
    QVERIFY(!b.bar->sliderShown());
    QVERIFY(!b.haul->isEnabled());
    QVERIFY(!b.haul->icon().isNull());  // "vamp.bmp" from the picture folder
    QCOMPARE(b.typ->text(), QStringLiteral("Vent réel TW"));
    QCOMPARE(b.caption->text(), QStringLiteral("Meilleur SWA"));
    QCOMPARE(b.params->text(), QStringLiteral("Paramètres"));
    QCOMPARE(b.bauds->count(), 2);
    QCOMPARE(b.bauds->currentText(), QStringLiteral("4800"));
  }

  void changedFieldsAreCopied() {
    Bound b;
    b.panel["EdHDG"].setText("12.5");
    b.panel["Edam"].setText("    TRIBORD AMURE");
    b.panel["Edam"].setBackground(MonVert);
    b.panel["Edam"].setItalic(true);
    b.panel["RadioGLAT"].setItemIndex(1);
    b.panel["TrackBarre"].setEnabled(true);
    b.panel["TrackBarre"].setSliderVisible(true);
    b.panel["TrackBarre"].setPosition(22);
    b.panel["BtBestHaul"].setPicture("jesuisaupres.bmp");
    b.panel["LbEdBestHaul"].setLabel("Meilleur TWA");
    b.panel["Paramtres1"].setEnabled(false);
    // A widget changed behind the binder's back is not touched by a refresh
    // unless its field changed.
    b.typ->setText("autre");
    b.binder.Refresh();
    QCOMPARE(b.hdg->text(), QStringLiteral("12.5"));
    QCOMPARE(b.am->palette().color(QPalette::Base), QColor(122, 212, 122));
    QVERIFY(b.am->font().italic());
    QCOMPARE(b.lat->itemIndex(), 1);
    QCOMPARE(b.bar->value(), 22);
    QVERIFY(b.bar->isEnabled());
    QVERIFY(b.bar->sliderShown());
    QCOMPARE(b.caption->text(), QStringLiteral("Meilleur TWA"));
    QVERIFY(!b.params->isEnabled());
    QCOMPARE(b.typ->text(), QStringLiteral("autre"));
    // Nothing is left marked.
    int left = 0;
    b.panel.takeChanged([&](const PanelField&) { ++left; });
    QCOMPARE(left, 0);
  }

  void userInputReachesThePanel() {
    Bound b;
    b.hdg->selectAll();
    QTest::keyClicks(b.hdg, "270,5");
    QCOMPARE(b.panel["EdHDG"].text(), std::string("270,5"));
    b.lat->clickItem(1);
    QCOMPARE(b.panel["RadioGLAT"].itemIndex(), 1);
    b.panel["TrackBarre"].setEnabled(true);
    b.panel["TrackBarre"].setSliderVisible(true);
    b.binder.Refresh();
    b.bar->setValue(3);
    QCOMPARE(b.panel["TrackBarre"].position(), 3);
    b.bauds->setEditText("19200");
    QCOMPARE(b.panel["CBbauds"].text(), std::string("19200"));
    QCOMPARE(b.panel["CBbauds"].itemIndex(), -1);  // not one of the list's entries
    b.bauds->setEditText("9600");
    QCOMPARE(b.panel["CBbauds"].itemIndex(), 1);
    // The model's own writes do not come back as user input.
    b.panel["TrackBarre"].setPosition(15);
    b.panel.clearAllChanged();
    b.panel["TrackBarre"].setPosition(20);
    b.binder.Refresh();
    QCOMPARE(b.panel["TrackBarre"].position(), 20);
    QCOMPARE(b.bar->value(), 20);
  }
};

QTEST_MAIN(TestPanelBinder)
#include "test_panel_binder.moc"
