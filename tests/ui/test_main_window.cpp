// The main window on the shipped default configuration: its panels and captions,
// the first seconds of sailing seen in the fields and on the dial, the two
// layouts, the help pages, and a program folder without the boat picture.

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "sim/dial.h"
#include "ui/controls.h"
#include "ui/instrument_surface.h"
#include "window_fixture.h"

using namespace ventrel;
using ventrel::testing::WindowFixture;

namespace {

int CountColour(const QImage& img, QColor c, QRect area) {
  int n = 0;
  const QRgb want = c.rgb();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if ((img.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF) && qAlpha(img.pixel(x, y)) == 255) ++n;
    }
  }
  return n;
}

QRect DialArea(const Dial& d) {
  return QRect(d.Centre.X - d.Rayon, d.Centre.Y - d.Rayon, 2 * d.Rayon + 1, 2 * d.Rayon + 1);
}

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ventrel::testing::UseProgramStyle(); }

  void opensOnTheDefaultConfiguration() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    QCOMPARE(w.windowTitle(), QStringLiteral("SIMULATEUR DE NAVIGATION et TRANSMETTEUR NMEA 0183  V 2.3"));
    QCOMPARE(w.size(), QSize(1322, 810));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(17, 34, 75));
    QVERIFY(w.font().bold());
    QCOMPARE(w.font().pointSize(), 8);
    // Nothing went wrong while starting.
    QVERIFY2(w.Messages().isEmpty(), qPrintable(w.Messages().join(" | ")));

    // The configuration's values are in the fields, the polar's name is shown.
    QCOMPARE(f.Find<QLineEdit>("EdHDG")->text().toDouble(), 335.0);
    QCOMPARE(f.Find<QLineEdit>("EdTWS")->text().toDouble(), 10.0);
    QCOMPARE(f.Find<QLineEdit>("EdTWD")->text().toDouble(), 220.0);
    QCOMPARE(f.Find<QLineEdit>("EdNwpt")->text(), QStringLiteral("Att_Dover"));
    QCOMPARE(f.Find<QLabel>("StxNomPol")->text(), QStringLiteral("FIRST31_7"));
    QCOMPARE(f.Find<QLabel>("LabNOMPOL2")->text(), QStringLiteral("FIRST31_7"));
    // Every widget shows its field as the panel holds it.
    for (const std::string& n : w.panel().names()) {
      if (auto* e = w.findChild<QLineEdit*>(QString::fromStdString(n))) {
        QCOMPARE(e->text().toStdString(), w.panel()[n].text());
      }
    }
  }

  void panelsCarryTheirCaptions() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    QStringList titles;
    for (QGroupBox* g : w.findChildren<QGroupBox*>()) titles << g->title();
    for (const char* caption :
         {"Données d'entrée", "Position géographique - degrés et minutes décimales",
          "Waypoint (opt) - degrés et minutes décimales", "Courant", "Données calculées", "Route fond",
          "Distances au waypoint", "Déclinaison magnétique locale", "PILOTE", "SORTIE NMEA 0183"}) {
      QVERIFY2(titles.contains(QString::fromUtf8(caption)), caption);
    }
    QStringList labels;
    for (QLabel* l : w.findChildren<QLabel*>()) labels << l->text();
    for (const char* text : {"Cap vrai", "Force du vent réel", "Direction du vent réel", "degrés", "noeuds",
                             "Polaire", "LAT", "LG", "deg", "min", "Dist :", "milles    Relev", "Force",
                             "Direct.", "Vent apparent", "Vitesse du bateau  ", "VMG au vent", "COG", "SOG",
                             "Dérive", "orthodromique", "loxodromique", "WCV", "ETE", "Cap mag", "COM", "Vit",
                             "bds / 8 bits / pas de parité / 1 bit de stop", "   VMG", " Mode act."}) {
      QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
    }
    // Buttons and their start states.
    const struct {
      const char* name;
      const char* text;
      bool enabled;
    } buttons[] = {
        {"SBtVire", "VIRER !", false}, {"SBtEmp", "EMPANNER", false}, {"BtModWp", "Modif.", true},
        {"BtActivNMEA", "Activer", false}, {"RazCom", "Raz", true}, {"SpBtZoomNMEA", "+", true},
        {"SpBtPauseRes", "", false}, {"BtBestHaul", "", false}, {"BtCalC", "Démarrer", true},
        {"SpBtAUTO", "AUTO", true}, {"SpBtStdBY", "STDBY", true},
    };
    for (const auto& b : buttons) {
      auto* bt = w.findChild<QAbstractButton*>(b.name);
      QVERIFY2(bt, b.name);
      QCOMPARE(bt->text(), QString::fromUtf8(b.text));
      QCOMPARE(bt->isEnabled(), b.enabled);
    }
    QCOMPARE(f.Find<QToolButton>("SpBtPauseRes")->toolTip(),
             QStringLiteral("Pause / Reprendre est inhibé pendant la rotation du courant "));
    QVERIFY(!f.Find<QToolButton>("BtBestHaul")->icon().isNull());  // "vamp.bmp"
    auto* bar = f.Find<HelmBar>("TrackBarre");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 30);
    QCOMPARE(bar->value(), 15);
    QVERIFY(!bar->isEnabled());
    QVERIFY(!bar->sliderShown());
    // Alignment as set at creation.
    QCOMPARE(f.Find<QLineEdit>("EdHDG")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(f.Find<QLineEdit>("EdLATdeg")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(f.Find<QLineEdit>("EdLATmin")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    // The speed list at 4800, the ten ports first.
    auto* com = f.Find<QComboBox>("CBcom");
    QVERIFY(com->count() >= 10);
    QCOMPARE(com->itemText(0), QStringLiteral(R"(\\.\COM1)"));
    QCOMPARE(com->itemText(9), QStringLiteral(R"(\\.\COM10)"));
    QCOMPARE(f.Find<QComboBox>("CBbauds")->currentText(), QStringLiteral("4800"));
    QCOMPARE(f.Find<QComboBox>("CBbauds")->count(), 12);
  }

  void menusHoldTheirItems() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    QStringList top;
    for (QAction* a : w.menuBar()->actions()) top << a->text();
    QCOMPARE(top, QStringList({"Fichier", "Configuration", "Paramètres", "Affichage", "Aide", "Quitter"}));
    const struct {
      const char* name;
      const char* text;
      bool enabled;
    } items[] = {
        {"DataNMEA", "Sauvegarder NMEA brut", true}, {"SauvegarderNMEAhorodat1", "Sauvegarder NMEA horodaté", true},
        {"Quitter1", "Quitter", true},  {"Ouvrir2", "Ouvrir", true},
        {"Enregistrer2", "Enregistrer", true}, {"Automatique1", "Automatique", true},
        {"Normal1", "Normal", false},   {"Pleincran1", "Plein écran", true},
        {"Gnralits1", "Généralités", true}, {"parrubrique1", "par rubrique", true},
    };
    for (const auto& i : items) {
      QAction* a = w.Action(i.name);
      QVERIFY2(a, i.name);
      QCOMPARE(a->text(), QString::fromUtf8(i.text));
      QCOMPARE(a->isEnabled(), i.enabled);
    }
    QVERIFY(w.Action("Automatique1")->isCheckable());
  }

  void threeSecondsOfTicksUpdateFieldsAndDial() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    const QString latBefore = f.Find<QLineEdit>("EdLATmin")->text();
    QTest::mouseClick(f.Find<QPushButton>("BtCalC"), Qt::LeftButton);
    QVERIFY(f.Find<QToolButton>("SpBtPauseRes")->isEnabled());
    QVERIFY(!w.Action("Paramtres1")->isEnabled());
    f.Advance(3000);
    QCOMPARE(w.model().state().t, 3);

    // The fields follow the simulation.
    QVERIFY(f.Find<QLineEdit>("EdLATmin")->text() != latBefore);
    for (const char* n : {"EdAWS", "EdAWD", "EdAWA", "EdBSP", "EdSOG", "EdCOG", "EdVRS_S", "LabEddistortho",
                          "LbEdWCV", "EdHDM"}) {
      QVERIFY2(!f.Find<QLineEdit>(n)->text().isEmpty(), n);
      QCOMPARE(f.Find<QLineEdit>(n)->text().toStdString(), w.panel()[n].text());
    }
    QVERIFY(f.Find<QLineEdit>("Edam")->text().contains(QStringLiteral("AMURE")));
    // Without a current the reference wind is the true wind.
    QCOMPARE(f.Find<QLabel>("LabTypVent")->text(), QStringLiteral(" Vent réel TW"));
    QStringList labels;
    for (QLabel* l : w.findChildren<QLabel*>()) labels << l->text();
    QVERIFY(labels.contains(QStringLiteral("Meilleur TWA")));
    QCOMPARE(f.Find<QLineEdit>("EdCAP")->text(), QStringLiteral(" 335"));
    QCOMPARE(f.Find<QLineEdit>("Edam")->palette().color(QPalette::Base),
             w.model().F_amure() == TAmure::tribord ? QColor(122, 212, 122) : QColor(226, 58, 40));

    // The dial: apparent wind in red, true wind in grey, boat speed in blue, the
    // compass card in black; the depth box: olive bars on blue.
    const Dial& d = w.model().dial();
    const QImage& dial = w.canvas().image();
    const QRect area = DialArea(d);
    QVERIFY(CountColour(dial, QColor(255, 0, 0), area) > 50);
    QVERIFY(CountColour(dial, QColor(128, 128, 128), area) > 50);
    QVERIFY(CountColour(dial, QColor(0, 0, 255), area) > 20);
    QVERIFY(CountColour(dial, QColor(0, 0, 0), QRect(d.Centre.X - d.RayonBk, d.Centre.Y - d.RayonBk,
                                                     2 * d.RayonBk, 2 * d.RayonBk)) > 500);
    QVERIFY(CountColour(w.depthCanvas().image(), QColor(128, 128, 0), w.depthCanvas().image().rect()) > 100);

    // The boat lies on the dial, centred.
    const QImage shot = w.surface()->Snapshot();
    const QColor centre = shot.pixelColor(d.Centre.X, d.Centre.Y);
    QVERIFY(centre != QColor(255, 251, 240));
  }

  void layoutsSwapTheirItems() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    w.show();
    QAction* full = w.Action("Pleincran1");
    QAction* normal = w.Action("Normal1");
    auto* pilote = w.findChild<QGroupBox*>("GBPilote");
    auto* decl = w.findChild<QGroupBox*>("GBDecl");
    const QPoint piloteAt = pilote->pos();
    const QPoint declAt = decl->pos();

    full->trigger();
    QVERIFY(!full->isEnabled());
    QVERIFY(normal->isEnabled());
    QVERIFY(w.FullScreenLayout());
    QCOMPARE(pilote->pos(), piloteAt + QPoint(0, 267));
    QCOMPARE(decl->pos(), declAt + QPoint(100, 267));
    QVERIFY(!w.nmeaPanel()->isVisible());
    QVERIFY(!w.findChild<QLabel*>("ImgLegende")->isVisible());
    QCOMPARE(f.Find<QPushButton>("SBtEmp")->x(), 1290);
    QCOMPARE(w.findChild<QWidget*>("ShapeCap")->pos(), QPoint(932, 715));
    QCOMPARE(w.model().dial().Rayon, 349);
    QCOMPARE(w.model().dial().RayonBk, 362);
    QCOMPARE(w.model().dial().Centre, (t_pCan{972, 373}));

    normal->trigger();
    QVERIFY(full->isEnabled());
    QVERIFY(!normal->isEnabled());
    QCOMPARE(pilote->pos(), piloteAt);
    QCOMPARE(decl->pos(), declAt);
    QVERIFY(w.nmeaPanel()->isVisible());
    QCOMPARE(f.Find<QPushButton>("SBtEmp")->x(), 1048);
    QCOMPARE(w.findChild<QWidget*>("ShapeCap")->pos(), QPoint(832, 448));
    QCOMPARE(w.model().dial().Rayon, 215);
    QCOMPARE(w.model().dial().Centre, (t_pCan{864, 239}));
    QCOMPARE(w.size(), QSize(1322, 810));
  }

  void nmeaPanelEnlargesAndComesBack() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    auto* zoom = f.Find<QToolButton>("SpBtZoomNMEA");
    zoom->click();
    QCOMPARE(zoom->text(), QStringLiteral("-"));
    QCOMPARE(w.nmeaPanel()->y(), 24);
    QCOMPARE(w.nmeaPanel()->height(), 720);
    QCOMPARE(w.nmeaList()->height(), 720 - 56);
    zoom->click();
    QCOMPARE(zoom->text(), QStringLiteral("+"));
    QCOMPARE(w.nmeaPanel()->y(), 528);
    QCOMPARE(w.nmeaList()->height(), 217 - 56);
  }

  void helpPagesOpenOrSayTheyAreMissing_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("page");
    QTest::newRow("Généralités") << "Gnralits1" << "VNT_generalites.html";
    QTest::newRow("par rubrique") << "parrubrique1" << "VNT_Aide par rubrique.html";
  }

  void helpPagesOpenOrSayTheyAreMissing() {
    QFETCH(QString, item);
    QFETCH(QString, page);
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    w.Action(item)->trigger();
    QCOMPARE(f.opened.size(), std::size_t{1});
    QCOMPARE(f.opened[0].toLocalFile(), f.file("Help/" + page));
    QVERIFY(w.Messages().isEmpty());

    QVERIFY(QFile::remove(f.file("Help/" + page)));
    w.Action(item)->trigger();
    QCOMPARE(f.opened.size(), std::size_t{1});
    QCOMPARE(w.Messages().size(), 1);
    QVERIFY(w.Messages().back().startsWith(QStringLiteral("The specified file was not found")));
    QVERIFY(w.Messages().back().contains(QStringLiteral("réinstallez le dossier « Help »")));
  }

  void opensWithoutTheBoatPicture() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    QVERIFY(QFile::remove(f.file("iconbat1.jpg")));
    TFVentrel& w = f.Open();
    QVERIFY(!w.boat().loaded());
    QCOMPARE(w.Messages().size(), 1);
    QVERIFY(w.Messages().front().contains(QStringLiteral("iconbat1.jpg")));
    // The plain mark stands at the centre and the boat still sails.
    QCOMPARE(qAlpha(w.boat().image().pixel(70, 70)), 255);
    f.Find<QPushButton>("BtCalC")->click();
    f.Advance(2000);
    QCOMPARE(w.model().state().t, 2);
  }

  void sailsInRealTime() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    WindowSetup setup;
    setup.AppliDir = std::filesystem::path(f.folder().toStdString());
    setup.showMessageBoxes = false;
    TFVentrel w(std::move(setup));  // the model's timers on Qt's clock
    QVERIFY(w.timerDriver());
    w.show();
    w.findChild<QPushButton*>("BtCalC")->click();
    const QString lat = w.findChild<QLineEdit*>("EdLATmin")->text();
    QVERIFY(QTest::qWaitFor([&] { return w.model().state().t >= 2; }, 5000));
    QVERIFY(w.findChild<QLineEdit*>("EdLATmin")->text() != lat);
  }

  void quitterStopsAndWritesThePolarBack() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    ventrel::testing::SetIniKeys(f.file("Ventrel.ini"), {{"PolaireAct", "AUTRE.pol"}});
    TFVentrel& w = f.Open();  // AUTRE.pol does not exist: the default polar is taken
    f.Find<QPushButton>("BtCalC")->click();
    f.Advance(2000);
    QVERIFY(w.model().timers().TimerAT.enabled());
    w.Action("Quitter2")->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(!w.model().timers().TimerAT.enabled());
    QVERIFY(!w.program().transmission().Started());
    QFile ini(f.file("Ventrel.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    QVERIFY2(text.contains(QStringLiteral("PolaireAct=FIRST31_7.pol")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("iTWD=220")));  // every other line kept
  }

  void typingNonsenseNeverStopsTheWindow() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    for (const char* n : {"EdHDG", "EdTWS", "EdPolPerc", "EdLATdeg", "EdFcourant", "EdiDECL", "EdBSP"}) {
      auto* e = f.Find<QLineEdit>(n);
      e->selectAll();
      QTest::keyClicks(e, "abc,,.;");
    }
    f.Find<QPushButton>("BtCalC")->click();
    f.Advance(3000);
    QVERIFY(!w.Messages().isEmpty());
    QCOMPARE(w.model().state().t, 3);
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
