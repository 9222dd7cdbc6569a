// The main window on the shipped default configuration: its panels, captions and
// menus; the first seconds of sailing in the fields and on the dial; the commands
// that reach the model (manoeuvres, helm bar, pause, single step); the speed of the
// run and the clock of the sentences; the two layouts; the help
// pages; the dialogs, applied by OK and not by closing them; the "SORTIE NMEA 0183"
// panel on a pseudo-terminal pair made by socat; the quit sequence.

#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <tuple>

#include "nmea/registry.h"
#include "model/dial.h"
#include "sim/timers.h"
#include "ui/controls.h"
#include "ui/instrument_surface.h"
#include "ui/main_window.h"

using namespace ventrel;

namespace {

int CountColour(const QImage& img, QColor c, QRect area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) n += img.pixel(x, y) == c.rgba();
  }
  return n;
}

// The smaller angle between two headings, degrees.
double Turn(long double from, long double to) {
  const double d = std::fmod(std::fabs(static_cast<double>(to - from)), 360.0);
  return d > 180 ? 360 - d : d;
}

int SentencesOn(NmeaModule& m) {
  return static_cast<int>(std::count_if(kNmeaItemTable.begin(), kNmeaItemTable.end(), [&m](const NmeaItem& it) {
    const SentenceEntry* e = FindSentence(it.type);
    return e && e->flag(m) == t_switch::ON;
  }));
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Click(const QObject* root, const char* button) {
  auto* b = root->findChild<QAbstractButton*>(QString::fromUtf8(button));
  QVERIFY2(b, button);
  QTest::mouseClick(b, Qt::LeftButton);
}

// Types into a box as the user does, leaving it with `end`, then lets the event loop turn.
void Type(QLineEdit* e, const QString& text, Qt::Key end = Qt::Key_Tab) {
  e->setFocus();
  e->selectAll();
  QTest::keyClicks(e, text);
  QTest::keyClick(e, end);
  QCoreApplication::processEvents();
}

// Each of `wanted` is the title of a group or the text of a label or a button under `root`.
void ExpectCaptions(const QObject* root, std::initializer_list<const char*> wanted) {
  QStringList have;
  for (const QGroupBox* g : root->findChildren<QGroupBox*>()) have << g->title();
  for (const QLabel* l : root->findChildren<QLabel*>()) have << l->text();
  for (const QAbstractButton* b : root->findChildren<QAbstractButton*>()) have << b->text();
  for (const char* t : wanted) QVERIFY2(have.contains(QString::fromUtf8(t)), t);
}

}  // namespace

// Each test opens a window on a copy of data/ in a folder of its own (the window
// writes its default configuration back there when it closes), the three variations
// off, no message box shown (the messages are recorded), the browser and the file
// dialogs replaced by recorders, the model timers on a virtual clock.
class TestMainWindow : public QObject {
  Q_OBJECT
  std::unique_ptr<QTemporaryDir> dir;
  std::vector<std::string> asked;  // what the browser and the file dialogs were asked
  std::unique_ptr<TFVentrel> win;
  std::unique_ptr<VirtualClock> clock;

  QString file(const QString& name) const { return dir->path() + "/" + name; }
  // Sets keys of the copied Ventrel.ini; each must be there.
  bool SetKeys(const std::map<QString, QString>& keys) const {
    QFile f(file("Ventrel.ini"));
    QString text = f.open(QIODevice::ReadWrite) ? QString::fromUtf8(f.readAll()) : QString();
    for (const auto& [k, v] : keys) {
      const QRegularExpression line("^" + k + "=[^\r\n]*", QRegularExpression::MultilineOption);
      if (!text.contains(line)) return false;
      text.replace(line, k + "=" + v);
    }
    return f.resize(0) && f.seek(0) && f.write(text.toUtf8()) > 0;
  }
  // `more` changes the setup before the window opens.
  TFVentrel& Open(const std::function<void(WindowSetup&)>& more = {}) {
    WindowSetup setup;
    setup.AppliDir = dir->path().toStdString();
    setup.realTimeTimers = false;
    setup.showMessageBoxes = false;
    setup.helpOpener = [this](const QUrl& u) { return asked.push_back(u.toLocalFile().toStdString()), true; };
    setup.dialogs.openFile = [this](const FileDialog& d) -> std::optional<std::filesystem::path> {
      asked.push_back(d.folder.generic_string());
      for (const std::filesystem::path& p : d.places) asked.push_back("offered " + p.generic_string());
      return file("Autre bateau.pol").toStdString();
    };
    setup.dialogs.selectFolder = [this](const std::string& title, auto&) -> std::optional<std::filesystem::path> {
      asked.push_back(title);
      return dir->path().toStdString();
    };
    setup.dialogs.saveFile = [this](const FileDialog& d) -> std::optional<std::filesystem::path> {
      asked.push_back(d.title);
      return file(QString("save%1.txt").arg(asked.size())).toStdString();
    };
    if (more) more(setup);
    win = std::make_unique<TFVentrel>(std::move(setup));
    win->show();
    clock = std::make_unique<VirtualClock>(win->model().timers());
    return *win;
  }
  template <class T>
  T* Find(const char* name) const {
    return win->findChild<T*>(QString::fromUtf8(name));
  }
  void Advance(std::int64_t ms) { clock->advance(ms); }

 private slots:
  void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }
  void init() {
    dir = std::make_unique<QTemporaryDir>();
    asked.clear();
    std::error_code ec;
    std::filesystem::copy(VENTREL_DATA_DIR, dir->path().toStdString(), std::filesystem::copy_options::recursive, ec);
    QVERIFY(dir->isValid() && !ec && SetKeys({{"iHDGvar", "0"}, {"iTWSvar", "0"}, {"iTWDvar", "0"}}));
  }
  void cleanup() {
    clock.reset();
    win.reset();
  }

  void opensOnTheDefaultConfiguration() {
    TFVentrel& w = Open();
    QCOMPARE(w.windowTitle(), QStringLiteral("SIMULATEUR DE NAVIGATION et TRANSMETTEUR NMEA 0183  V 2.3"));
    QCOMPARE(w.size(), QSize(1322, 810));
    QCOMPARE(w.palette().color(QPalette::Window), QColor(17, 34, 75));
    QVERIFY(w.font().bold() && w.font().pointSize() == 8);
    QVERIFY2(w.Messages().isEmpty(), qPrintable(w.Messages().join(" | ")));

    const std::pair<const char*, double> fields[] = {{"EdHDG", 335}, {"EdTWS", 10}, {"EdTWD", 220}};
    for (const auto& [name, value] : fields) QCOMPARE(Find<QLineEdit>(name)->text().toDouble(), value);
    QCOMPARE(Find<QLineEdit>("EdNwpt")->text(), QStringLiteral("Att_Dover"));
    QCOMPARE(Find<QLabel>("StxNomPol")->text(), QStringLiteral("FIRST31_7"));
    QCOMPARE(Find<QLabel>("LabNOMPOL2")->text(), QStringLiteral("FIRST31_7"));
    for (const PanelField& f : w.panel().fields()) {
      const std::string n(ObjectNameOf(f.id()));
      if (auto* e = Find<QLineEdit>(n.c_str())) QCOMPARE(e->text().toStdString(), f.text());
    }

    ExpectCaptions(&w, {"Données d'entrée", "Position géographique - degrés et minutes décimales",
                        "Waypoint (opt) - degrés et minutes décimales", "Courant", "Données calculées", "Route fond",
                        "Distances au waypoint", "Déclinaison magnétique locale", "PILOTE", "SORTIE NMEA 0183",
                        "Cap vrai", "Force du vent réel", "Direction du vent réel", "degrés", "noeuds", "Polaire",
                        "LAT", "LG", "deg", "min", "Dist :", "milles    Relev", "Force", "Direct.", "Vent apparent",
                        "Vitesse du bateau  ", "VMG au vent", "COG", "SOG", "Dérive", "orthodromique",
                        "loxodromique", "WCV", "ETE", "Cap mag", "COM", "Vit",
                        "bds / 8 bits / pas de parité / 1 bit de stop", "   VMG", " Mode act."});
    QStringList menus;
    for (QAction* a : w.menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, QStringList({"Fichier", "Configuration", "Paramètres", "Affichage", "Aide", "Quitter"}));
    // Buttons and menu items: caption and start state.
    const struct {
      const char *name, *text;
      bool enabled;
    } items[] = {
        {"SBtVire", "VIRER !", false}, {"SBtEmp", "EMPANNER", false}, {"BtModWp", "Modif.", true},
        {"BtActivNMEA", "Activer", false}, {"RazCom", "Raz", true}, {"SpBtZoomNMEA", "+", true},
        {"SpBtPauseRes", "", false}, {"BtBestHaul", "", false}, {"BtCalC", "Démarrer", true},
        {"SpBtAUTO", "AUTO", true}, {"SpBtStdBY", "STDBY", true}, {"SpBtNAV", "NAV", true},
        {"Quitter1", "Quitter", true},
        {"DataNMEA", "Sauvegarder NMEA brut", true}, {"SauvegarderNMEAhorodat1", "Sauvegarder NMEA horodaté", true},
        {"Ouvrir2", "Ouvrir", true}, {"Enregistrer2", "Enregistrer", true}, {"Automatique1", "Automatique", true},
        {"Normal1", "Normal", false}, {"Pleincran1", "Plein écran", true}, {"Gnralits1", "Généralités", true},
        {"parrubrique1", "par rubrique", true}, {"APropos1", "À propos", true}, {"Reseau1", "Réseau", true}};
    for (const auto& i : items) {
      QObject* o = w.Action(i.name);
      if (!o) o = Find<QAbstractButton>(i.name);
      QVERIFY2(o, i.name);
      QCOMPARE(o->property("text").toString(), QString::fromUtf8(i.text));
      QVERIFY2(o->property("enabled").toBool() == i.enabled, i.name);
    }
    QVERIFY(w.Action("Automatique1")->isCheckable());
    QCOMPARE(Find<QToolButton>("SpBtPauseRes")->toolTip(),
             QStringLiteral("Pause / Reprendre est inhibé pendant la rotation du courant "));
    QVERIFY(!Find<QToolButton>("BtBestHaul")->icon().isNull());  // "vamp.bmp"
    auto* bar = Find<HelmBar>("TrackBarre");
    QCOMPARE(std::tuple(bar->minimum(), bar->maximum(), bar->value()), std::tuple(0, 30, 15));
    QVERIFY(!bar->isEnabled() && !bar->sliderShown());
    QCOMPARE(Find<QLineEdit>("EdHDG")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(Find<QLineEdit>("EdLATdeg")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(Find<QLineEdit>("EdLATmin")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    // The ten ports first; the speed list at 4800.
    QCOMPARE(Find<QComboBox>("CBcom")->itemText(0), QStringLiteral(R"(\\.\COM1)"));
    QCOMPARE(Find<QComboBox>("CBcom")->itemText(9), QStringLiteral(R"(\\.\COM10)"));
    QCOMPARE(Find<QComboBox>("CBbauds")->currentText(), QStringLiteral("4800"));
    QCOMPARE(Find<QComboBox>("CBbauds")->count(), 12);
  }

  // Every field of the panel has its widget, named as the binding table says: a
  // row whose widget was renamed or removed would leave a field nobody shows.
  void everyFieldIsShownByTheWidgetOfItsName() {
    TFVentrel& w = Open();
    QStringList unbound;
    for (const PanelField& f : w.panel().fields()) {
      QObject* o = w.widgetOf(f.id());
      if (o == nullptr || o->objectName().toStdString() != ObjectNameOf(f.id())) {
        unbound << QString::fromUtf8(IdentifierOf(f.id()).data());
      }
    }
    QVERIFY2(unbound.isEmpty(), qPrintable(unbound.join(' ')));
  }

  void threeSecondsOfTicksUpdateFieldsAndDialAndPauseHoldsThem() {
    TFVentrel& w = Open();
    const QString latBefore = Find<QLineEdit>("EdLATmin")->text();
    Click(&w, "BtCalC");
    QVERIFY(Find<QToolButton>("SpBtPauseRes")->isEnabled());
    QVERIFY(!w.Action("Paramtres1")->isEnabled());
    Advance(3000);
    QCOMPARE(w.model().state().t, 3);

    QVERIFY(Find<QLineEdit>("EdLATmin")->text() != latBefore);
    for (const char* n : {"EdAWS", "EdAWD", "EdAWA", "EdBSP", "EdSOG", "EdCOG", "EdVRS_S", "LabEddistortho",
                          "LbEdWCV", "EdHDM"}) {
      QVERIFY2(!Find<QLineEdit>(n)->text().isEmpty(), n);
      QCOMPARE(Find<QLineEdit>(n)->text().toStdString(), w.panel()[*FieldOfObjectName(n)].text());
    }
    QVERIFY(Find<QLineEdit>("Edam")->text().contains(QStringLiteral("AMURE")));
    QCOMPARE(Find<QLineEdit>("EdCAP")->text(), QStringLiteral(" 335"));

    // The dial: apparent wind in red, true wind in grey, boat speed in blue, the
    // compass card in black; the depth box: olive bars on blue.
    const Dial& d = w.model().dial();
    const QImage& dial = w.canvas().image();
    const QRect area(d.Centre.X - d.Rayon, d.Centre.Y - d.Rayon, 2 * d.Rayon + 1, 2 * d.Rayon + 1);
    QVERIFY(CountColour(dial, QColor(255, 0, 0), area) > 50);
    QVERIFY(CountColour(dial, QColor(128, 128, 128), area) > 50);
    QVERIFY(CountColour(dial, QColor(0, 0, 255), area) > 20);
    QVERIFY(CountColour(dial, QColor(0, 0, 0),
                        QRect(d.Centre.X - d.RayonBk, d.Centre.Y - d.RayonBk, 2 * d.RayonBk, 2 * d.RayonBk)) > 500);
    QVERIFY(CountColour(w.depthCanvas().image(), QColor(128, 128, 0), w.depthCanvas().image().rect()) > 100);
    QVERIFY(w.surface()->Snapshot().pixelColor(d.Centre.X, d.Centre.Y) != QColor(255, 251, 240));  // the boat

    Click(&w, "SpBtPauseRes");
    QVERIFY(w.model().state().StPause);
    const QString lat = Find<QLineEdit>("EdLATmin")->text();
    Advance(5000);
    QCOMPARE(Find<QLineEdit>("EdLATmin")->text(), lat);
    Click(&w, "SpBtPauseRes");
    QVERIFY(!w.model().state().StPause);
    Advance(3000);
    QVERIFY(Find<QLineEdit>("EdLATmin")->text() != lat);
  }

  // A refresh copies the fields that changed, and only those; what the user types
  // or picks is written into its field at once; the model's own writes do not
  // come back as input.
  void widgetsAndPanelFieldsFollowEachOther() {
    TFVentrel& w = Open();
    Panel& p = w.panel();
    auto* am = Find<QLineEdit>("Edam");
    auto* bar = Find<HelmBar>("TrackBarre");
    const qint64 icon = Find<QToolButton>("BtBestHaul")->icon().cacheKey();
    p[Field::HeadingInput].setText("12.5");
    p[Field::TackIndicator].setBackground(MonVert);
    p[Field::TackIndicator].setItalic(true);
    p[Field::LatitudeHemisphere].setItemIndex(1);
    p[Field::HelmBar].setEnabled(true);
    p[Field::HelmBar].setSliderVisible(true);
    p[Field::HelmBar].setPosition(22);
    p[Field::BestHaulButton].setPicture("jesuisaupres.bmp");
    p[Field::BestUpwindAngle].setLabel("Meilleur TWA");
    p[Field::ParametersMenuItem].setEnabled(false);
    Find<QLabel>("LabTypVent")->setText("autre");  // behind the binder's back, its field unchanged
    w.binder().Refresh();
    QCOMPARE(Find<QLineEdit>("EdHDG")->text(), QStringLiteral("12.5"));
    QCOMPARE(am->palette().color(QPalette::Base), QColor(122, 212, 122));
    QVERIFY(am->font().italic());
    QCOMPARE(Find<RadioGroup>("RadioGLAT")->itemIndex(), 1);
    QCOMPARE(bar->value(), 22);
    QVERIFY(bar->isEnabled() && bar->sliderShown());
    QVERIFY(Find<QToolButton>("BtBestHaul")->icon().cacheKey() != icon);
    ExpectCaptions(&w, {"Meilleur TWA"});
    QVERIFY(!w.Action("Paramtres1")->isEnabled());
    QCOMPARE(Find<QLabel>("LabTypVent")->text(), QStringLiteral("autre"));
    int left = 0;  // nothing is left marked
    p.takeChanged([&](const PanelField&) { ++left; });
    QCOMPARE(left, 0);

    Find<QLineEdit>("EdHDG")->selectAll();
    QTest::keyClicks(Find<QLineEdit>("EdHDG"), "270,5");
    QCOMPARE(p[Field::HeadingInput].text(), std::string("270,5"));
    Find<RadioGroup>("RadioGLAT")->clickItem(0);
    QCOMPARE(p[Field::LatitudeHemisphere].itemIndex(), 0);
    bar->setValue(3);
    QCOMPARE(p[Field::HelmBar].position(), 3);
    auto* bauds = Find<QComboBox>("CBbauds");
    bauds->setEditText("5000");
    QCOMPARE(std::pair(p[Field::SpeedList].text(), p[Field::SpeedList].itemIndex()), std::pair(std::string("5000"), -1));
    bauds->setEditText("9600");
    QCOMPARE(p[Field::SpeedList].itemIndex(), bauds->findText("9600"));
    p[Field::HelmBar].setPosition(15);
    p.clearAllChanged();
    p[Field::HelmBar].setPosition(20);
    w.binder().Refresh();
    QCOMPARE(p[Field::HelmBar].position(), 20);
    QCOMPARE(bar->value(), 20);
  }

  void manoeuvreTurnsThroughTheWind_data() {
    QTest::addColumn<QString>("heading");  // typed; the wind comes from 220
    QTest::addColumn<bool>("tack");
    QTest::addColumn<int>("ms");
    // A tack: 13 steps of 2 SWA / 13, the bow through the wind; a gybe: 66 steps of
    // 200 ms, the stern through the wind.
    QTest::newRow("tack") << "260" << true << 26000;
    QTest::newRow("gybe") << "60" << false << 66 * 200 + 1000;
  }

  void manoeuvreTurnsThroughTheWind() {
    QFETCH(QString, heading);
    QFETCH(bool, tack);
    QFETCH(int, ms);
    TFVentrel& w = Open();
    const SimState& s = w.model().state();
    Type(Find<QLineEdit>("EdHDG"), heading);
    Click(&w, "BtCalC");
    Advance(2000);
    QVERIFY(Find<QPushButton>(tack ? "SBtVire" : "SBtEmp")->isEnabled());
    QVERIFY(!Find<QPushButton>(tack ? "SBtEmp" : "SBtVire")->isEnabled());
    const double swa = static_cast<double>(s.SWA);
    const long double before = s.HDG;

    Click(&w, tack ? "SBtVire" : "SBtEmp");
    QVERIFY(tack ? s.VireEncour : s.EmpEncour);
    Advance(ms);
    QVERIFY(!s.VireEncour && !s.EmpEncour);
    QVERIFY2(std::fabs(Turn(before, s.HDG) - (tack ? 2 * swa : 360 - 2 * swa)) < 1.0,
             qPrintable(QString("%1 -> %2, SWA %3").arg(double(before)).arg(double(s.HDG)).arg(swa)));
    QCOMPARE(Find<QLineEdit>("EdCAP")->text().trimmed().toInt(), static_cast<int>(std::lround(s.BS.argt)) % 360);
    QVERIFY(Find<QToolButton>("BtBestHaul")->isEnabled());
  }

  void standbyFollowsTheHelmBar() {
    TFVentrel& w = Open();
    const SimState& s = w.model().state();
    Click(&w, "BtCalC");
    Advance(1000);
    auto* bar = Find<HelmBar>("TrackBarre");
    Click(&w, "SpBtStdBY");
    QCOMPARE(s.ModPil, TModPil::STDBY);
    QVERIFY(bar->isEnabled() && bar->sliderShown());

    // The bar five positions left of the centre: five degrees to starboard a second.
    const long double before = s.BS.argt;
    bar->setValue(10);
    Advance(3000);
    QCOMPARE(Turn(before, s.BS.argt), 15.0);
    // The picture beside the bar brings it back to the centre, a position per 100 ms.
    Click(&w, "ImgIndcBarre");
    Advance(1500);
    QCOMPARE(bar->value(), 15);

    Click(&w, "SpBtAUTO");
    QCOMPARE(s.ModPil, TModPil::AUTO);
    QVERIFY(!bar->isEnabled() && !bar->sliderShown());
  }

  void navFollowsThePlotterUntilAutoIsChosen() {
    TFVentrel& w = Open();
    const SimState& s = w.model().state();
    w.model().params().varyHeading = false;
    Click(&w, "BtCalC");
    Advance(1000);
    Click(&w, "SpBtNAV");
    QVERIFY(w.model().nav().engaged);
    QCOMPARE(Find<QLineEdit>("LbModPil")->text().trimmed(), QString("NAV"));
    auto* bar = Find<HelmBar>("TrackBarre");
    QVERIFY(!bar->isEnabled() && bar->sliderShown());

    // An order 20 degrees to starboard: three degrees a second, the bar shows it.
    ApbSentence apb;
    apb.valid = true;
    apb.destination = "WP1";
    apb.headingToSteer = Bearing{std::fmod(static_cast<double>(s.HDG) + 20, 360.0), NorthRef::True};
    const long double before = s.HDG;
    w.model().NavTake(apb);
    Advance(2000);
    w.model().NavTake(apb);
    Advance(1000);
    QCOMPARE(static_cast<double>(Turn(before, s.HDG)), 9.0);
    QCOMPARE(bar->value(), 12);
    QVERIFY(Find<QLabel>("LbNavConsigne")->text().contains(QString::fromUtf8("(APB cap à suivre)")));
    // A change of layout paints the window again: the mode stays NAV.
    w.PleinEcran();
    w.Normal();
    QCOMPARE(Find<QLineEdit>("LbModPil")->text().trimmed(), QString("NAV"));

    Click(&w, "SpBtAUTO");
    QVERIFY(!w.model().nav().engaged);
    QCOMPARE(Find<QLineEdit>("LbModPil")->text().trimmed(), QString("AUTO"));
    QVERIFY(!bar->sliderShown());
  }

  void layoutsSwapTheirItems() {
    TFVentrel& w = Open();
    QAction* full = w.Action("Pleincran1");
    QAction* normal = w.Action("Normal1");
    QWidget* pilote = Find<QGroupBox>("GBPilote");
    QWidget* decl = Find<QGroupBox>("GBDecl");
    const QPoint piloteAt = pilote->pos();
    const QPoint declAt = decl->pos();

    full->trigger();
    QVERIFY(!full->isEnabled() && normal->isEnabled() && w.FullScreenLayout());
    QCOMPARE(pilote->pos(), piloteAt + QPoint(0, 267));
    QCOMPARE(decl->pos(), declAt + QPoint(100, 267));
    QVERIFY(!w.nmeaPanel()->isVisible() && !Find<QLabel>("ImgLegende")->isVisible());
    QCOMPARE(Find<QPushButton>("SBtEmp")->x(), 1290);
    QCOMPARE(Find<QWidget>("ShapeCap")->pos(), QPoint(932, 715));
    QCOMPARE(std::tuple(w.model().dial().Rayon, w.model().dial().RayonBk), std::tuple(349, 362));
    QCOMPARE(w.model().dial().Centre, (t_pCan{972, 373}));

    normal->trigger();
    QVERIFY(full->isEnabled() && !normal->isEnabled());
    QCOMPARE(pilote->pos(), piloteAt);
    QCOMPARE(decl->pos(), declAt);
    QVERIFY(w.nmeaPanel()->isVisible());
    QCOMPARE(Find<QPushButton>("SBtEmp")->x(), 1048);
    QCOMPARE(Find<QWidget>("ShapeCap")->pos(), QPoint(832, 448));
    QCOMPARE(w.model().dial().Rayon, 215);
    QCOMPARE(w.model().dial().Centre, (t_pCan{864, 239}));
    QCOMPARE(w.size(), QSize(1322, 810));

    // "+" enlarges the NMEA panel, "-" brings it back.
    auto* zoom = Find<QToolButton>("SpBtZoomNMEA");
    zoom->click();
    QCOMPARE(zoom->text(), QStringLiteral("-"));
    QCOMPARE(std::tuple(w.nmeaPanel()->y(), w.nmeaPanel()->height(), w.nmeaList()->height()),
             std::tuple(24, 720, 720 - 56));
    zoom->click();
    QCOMPARE(zoom->text(), QStringLiteral("+"));
    QCOMPARE(std::tuple(w.nmeaPanel()->y(), w.nmeaList()->height()), std::tuple(528, 217 - 56));
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
    TFVentrel& w = Open();
    w.Action(item)->trigger();
    QCOMPARE(asked, std::vector{file("Help/" + page).toStdString()});
    QVERIFY(w.Messages().isEmpty());

    QVERIFY(QFile::remove(file("Help/" + page)));
    w.Action(item)->trigger();
    QCOMPARE(asked.size(), std::size_t{1});
    QCOMPARE(w.Messages().size(), 1);
    QVERIFY(w.Messages().back().startsWith(QStringLiteral("The specified file was not found")));
    QVERIFY(w.Messages().back().contains(QStringLiteral("réinstallez le dossier « Help »")));
  }

  void opensWithoutTheBoatPicture() {
    QVERIFY(QFile::remove(file("iconbat1.jpg")));
    TFVentrel& w = Open();
    QVERIFY(!w.boat().loaded());
    QCOMPARE(w.Messages().size(), 1);
    QVERIFY(w.Messages().front().contains(QStringLiteral("iconbat1.jpg")));
    Click(&w, "BtCalC");
    Advance(2000);
    QCOMPARE(w.model().state().t, 2);
  }

  void typingNonsenseNeverStopsTheWindow() {
    TFVentrel& w = Open();
    for (const char* n : {"EdHDG", "EdTWS", "EdPolPerc", "EdLATdeg", "EdFcourant", "EdiDECL", "EdBSP"}) {
      Find<QLineEdit>(n)->selectAll();
      QTest::keyClicks(Find<QLineEdit>(n), "abc,,.;");
    }
    Click(&w, "BtCalC");
    Advance(3000);
    QVERIFY(!w.Messages().isEmpty());
    QCOMPARE(w.model().state().t, 3);
  }

  void sailsInRealTime() {
    WindowSetup setup;  // timers on Qt's clock
    setup.AppliDir = dir->path().toStdString();
    setup.showMessageBoxes = false;
    TFVentrel w(setup);
    QVERIFY(w.timerDriver());
    w.show();
    Click(&w, "BtCalC");
    const QString lat = w.findChild<QLineEdit*>("EdLATmin")->text();
    QVERIFY(QTest::qWaitFor([&] { return w.model().state().t >= 2; }, 5000));
    QVERIFY(w.findChild<QLineEdit*>("EdLATmin")->text() != lat);
  }

  // Beside the pause: a single step, offered only while paused, advances the run by
  // one second; the speed selector offers ×1 to ×10.
  void singleStepWhilePausedAndTheSpeedSelector() {
    TFVentrel& w = Open();
    auto* step = Find<QPushButton>("BtPasAPas");
    auto* speed = Find<QComboBox>("CBVitesse");
    QVERIFY(step && speed);
    QCOMPARE(step->text(), QStringLiteral("Pas à pas"));
    QStringList speeds;
    for (int i = 0; i < speed->count(); ++i) speeds << speed->itemText(i);
    QCOMPARE(speeds, QStringList({"×1", "×2", "×5", "×10"}));
    QCOMPARE(speed->currentText(), QStringLiteral("×1"));

    const auto t = [&w] { return w.model().state().t; };
    QVERIFY(!step->isEnabled());  // not started
    Click(&w, "BtCalC");
    Advance(2000);
    QVERIFY(!step->isEnabled());  // running
    Click(&w, "SpBtPauseRes");
    QVERIFY(step->isEnabled());
    QCOMPARE(t(), 2);
    const QString lat = Find<QLineEdit>("EdLATmin")->text();
    Click(&w, "BtPasAPas");
    QCOMPARE(t(), 3);
    QVERIFY(w.model().state().StPause);
    QVERIFY(Find<QLineEdit>("EdLATmin")->text() != lat);  // the fields show the step
    Advance(5000);
    QCOMPARE(t(), 3);  // and nothing more
    Click(&w, "SpBtPauseRes");
    QVERIFY(!step->isEnabled());

    // A speed of the list is taken (the selector shows it); any other is not.
    QVERIFY(w.SetRunSpeed(5));
    QCOMPARE(w.RunSpeed(), 5);
    QCOMPARE(speed->currentText(), QStringLiteral("×5"));
    QVERIFY(!w.SetRunSpeed(3));
    QCOMPARE(w.RunSpeed(), 5);
    QCOMPARE(speed->currentText(), QStringLiteral("×5"));
    QVERIFY2(w.Messages().isEmpty(), qPrintable(w.Messages().join(" | ")));
  }

  // The clock of the sentences: the setup's (here stopped) at ×1; from the first
  // faster speed on, the time of the run, which never goes back.
  void theSentenceClockFollowsTheRunSpeed() {
    const LocalTime noon{2026, 12, 6, 12, 0, 0, 0};
    const auto ms = [](const LocalTime& t) {
      return ((DaysFromCivil(t.year, t.month, t.day) * 24 + t.hours) * 60 + t.minutes) * 60000LL +
             t.seconds * 1000LL + t.milliseconds;
    };
    WindowSetup setup;  // timers on Qt's clock
    setup.AppliDir = dir->path().toStdString();
    setup.showMessageBoxes = false;
    setup.clock = [noon] { return noon; };
    TFVentrel w(setup);
    QTest::qWait(100);
    QCOMPARE(w.Now(), noon);
    QElapsedTimer real;  // started before the change: it measures at least the time since
    real.start();
    QVERIFY(w.SetRunSpeed(10));
    QTest::qWait(200);
    // Ten times the real time gone by since the change.
    const std::int64_t fast = ms(w.Now()) - ms(noon);
    QVERIFY2(fast >= 10 * 200 && fast * 100'000 <= real.nsecsElapsed(), qPrintable(QString::number(fast)));
    QVERIFY(w.SetRunSpeed(1));
    QTest::qWait(100);
    QVERIFY(ms(w.Now()) - ms(noon) >= fast + 100);
  }

  // A scenario in the window: its events at their seconds, each in the NMEA list
  // with its time, the progress under the depth box, the report at the end; a
  // malformed one says where and runs nothing.
  void scenarioRunsInTheWindow() {
    TFVentrel& w = Open();
    const auto write = [this](const QString& name, const char* text) {
      QFile f(file(name));
      return f.open(QIODevice::WriteOnly) && f.write(text) > 0;
    };
    QVERIFY(write("bad.yaml", "duration: 10\nevents:\n  - at: 5\n    vent: {speed: 3}\n"));
    QVERIFY(!w.RunScenario(file("bad.yaml").toStdString()));
    QVERIFY2(w.Messages().back().startsWith(QStringLiteral("Scénario refusé, rien n'est lancé : ")) &&
                 w.Messages().back().contains(QStringLiteral("bad.yaml:4:")),
             qPrintable(w.Messages().back()));
    QVERIFY(w.model().state().PremPasse && !w.scenarioRun());

    QVERIFY(write("passage.yaml",
                  "duration: 20\n"
                  "events:\n"
                  "  - at: 0\n    wind: {speed: 14, from: 200}\n"
                  "  - at: 5\n    heading: {deg: 90}\n"
                  "  - at: 8\n    helm: {deg: 3}\n"  // refused in AUTO
                  "expect:\n"
                  "  - sog_above: 1\n"
                  "  - tacks: {min: 1}\n"));  // fails: no tack
    QVERIFY2(w.RunScenario(file("passage.yaml").toStdString()), qPrintable(w.Messages().join(" | ")));
    QVERIFY(!w.model().state().PremPasse);
    QCOMPARE(Find<QLineEdit>("EdTWS")->text().toDouble(), 14.0);  // typed before the start
    QVERIFY(!w.RunScenario(file("passage.yaml").toStdString()));  // one at a time
    Advance(10000);
    QVERIFY(std::fabs(w.model().state().BS.argt - 90) < 10);
    QCOMPARE(Find<QLabel>("LbScenario")->text(), QStringLiteral("Scénario « passage.yaml » : 00:00:10 / 00:00:20 (1 refusé(s))"));
    if (const QByteArray shot = qgetenv("VENTREL_SCENARIO_SHOT"); !shot.isEmpty()) w.grab().save(QString::fromLocal8Bit(shot));
    Advance(10000);
    QVERIFY(w.scenarioRun()->Finished());
    QVERIFY(w.model().state().StPause);  // the run pauses with its scenario
    QStringList lines;
    for (int i = 0; i < w.nmeaList()->count(); ++i) lines << w.nmeaList()->item(i)->text();
    QCOMPARE(lines.filter(QRegularExpression("^\\[")).mid(0, 2),
             QStringList({"[00:00:00] wind", "[00:00:05] heading"}));
    QVERIFY2(lines.filter("[00:00:08] helm : refusé : ").size() == 1, qPrintable(lines.join(" | ")));
    QVERIFY(lines.back().contains(QStringLiteral("terminé : échoué")));
    QCOMPARE(w.Messages().back().toStdString(), w.ScenarioReport());
    QVERIFY(Find<QLabel>("LbScenario")->text().contains(QStringLiteral("00:00:20 / 00:00:20 — terminé, échoué")));
  }

  // [CONTROLE] on: the window listens on 127.0.0.1; a client's command reaches the
  // boat, the read-out comes back, garbage is refused and the port goes on.
  void controlPortOfTheConfigurationDrivesTheBoat() {
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    QFile ini(file("Ventrel.ini"));
    QVERIFY(ini.open(QIODevice::Append));
    ini.write(QStringLiteral("\r\n[CONTROLE]\r\niControle=1\r\niControlePort=%1\r\n").arg(port).toUtf8());
    ini.close();
    TFVentrel& w = Open();
    QVERIFY2(w.controlPort() && w.controlPort()->Listening(), qPrintable(w.Messages().join(" | ")));
    QCOMPARE(QString::fromStdString(w.ControlState()),
             QStringLiteral("Port de contrôle en écoute sur 127.0.0.1:%1 : 0 client connecté").arg(port));
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(client.waitForConnected(3000));
    const auto ask = [&client](const char* line) {
      client.write(line);
      client.write("\n");
      if (!QTest::qWaitFor([&client] { return client.canReadLine(); }, 5000)) return QJsonObject();
      return QJsonDocument::fromJson(client.readLine()).object();
    };
    QJsonObject answer = ask(R"({"cmd": "wind", "speed": 17, "from": 250})");
    QVERIFY2(answer.value("ok").toBool(), qPrintable(QJsonDocument(answer).toJson()));
    QCOMPARE(Find<QLineEdit>("EdTWS")->text().toDouble(), 17.0);  // the window shows it at once
    answer = ask("ceci n'est pas du JSON");
    QVERIFY(answer.contains("ok") && !answer.value("ok").toBool() && !answer.value("error").toString().isEmpty());
    Click(&w, "BtCalC");
    Advance(2000);
    answer = ask(R"({"cmd": "readout"})");
    QVERIFY2(answer.value("readout").toObject().value("started").toBool(), qPrintable(QJsonDocument(answer).toJson()));
    QCOMPARE(answer.value("readout").toObject().value("true_wind_speed").toDouble(), 17.0);
  }

  void quitterStopsAndKeepsAPolarThatStoodIn() {
    QVERIFY(SetKeys({{"PolaireAct", "AUTRE.pol"}}));
    TFVentrel& w = Open();  // AUTRE.pol does not exist: the default polar is taken
    Click(&w, "BtCalC");
    Advance(2000);
    QVERIFY(w.model().timers().TimerAT.enabled());
    w.Action("Quitter2")->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(!w.model().timers().TimerAT.enabled());
    QVERIFY(!w.program().transmission().Started());
    const QString ini = QString::fromUtf8(ReadFile(file("Ventrel.ini")));
    // The default polar only stood in for AUTRE.pol: the configuration keeps its
    // name (the stand-in's name was written over it before).
    QVERIFY2(ini.contains(QStringLiteral("PolaireAct=AUTRE.pol")), qPrintable(ini));
    QVERIFY(ini.contains(QStringLiteral("iTWD=220")));  // every other line kept
  }

  // An installed program: the data read only where it lies, the user's configuration
  // read and written back elsewhere, his folders in the dialogs and in "À propos".
  void installedWindowKeepsToTheUserFolders() {
    QVERIFY(QFile::copy(file("DefPolars/First31_7.pol"), file("Autre bateau.pol")));
    QVERIFY(QDir(dir->path()).mkpath("user/Polars"));
    QVERIFY(QFile::copy(file("Ventrel.ini"), file("user/Ventrel.ini")));
    const QByteArray shipped = ReadFile(file("Ventrel.ini"));
    const std::string user = file("user").toStdString();
    TFVentrel& w = Open([&](WindowSetup& s) {
      s.iniPath = user + "/Ventrel.ini";
      s.userDir = user;
      s.userPolars = user + "/Polars";
      s.aboutFiles = "Configuration lue et enregistrée : " + user + "/Ventrel.ini\n";
      s.dialogs.saveFile = [this](const FileDialog& d) -> std::optional<std::filesystem::path> {
        asked.push_back(d.title + " in " + d.folder.generic_string());
        return std::nullopt;
      };
    });
    w.Action("APropos1")->trigger();
    QVERIFY(!w.Messages().isEmpty());
    QVERIFY2(w.Messages().back().contains(QString::fromStdString(user + "/Ventrel.ini")),
             qPrintable(w.Messages().back()));
    w.Action("DataNMEA")->trigger();
    QCOMPARE(asked.back(), "Sauvegarde NMEA in " + user);
    w.Action("Paramtres1")->trigger();
    Click(w.paramDialog(), "SpeedBtModPol");
    QCOMPARE(std::vector(asked.end() - 2, asked.end()),
             (std::vector<std::string>{"offered " + file("DefPolars/").toStdString(), "offered " + user + "/Polars"}));
    Click(w.paramDialog(), "BtOK");
    w.Action("Quitter2")->trigger();
    QVERIFY(ReadFile(file("user/Ventrel.ini")).contains("PolaireAct=AUTRE BATEAU.pol"));
    QCOMPARE(ReadFile(file("Ventrel.ini")), shipped);
  }

  void parametersApplyOnOkNotOnClose() {
    QVERIFY(QFile::copy(file("DefPolars/First31_7.pol"), file("Autre bateau.pol")));
    TFVentrel& w = Open();
    TFParam* dlg = w.paramDialog();
    QVERIFY(!dlg->isVisible());
    w.Action("Paramtres1")->trigger();
    QVERIFY(dlg->isVisible());
    QVERIFY(w.isEnabled());  // the main window is not blocked
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Paramètres"));
    QCOMPARE(dlg->palette().color(QPalette::Window), QColor(17, 34, 75));
    ExpectCaptions(dlg, {"Dossier des fichiers de polaires :", "Polaire sélectionnée :", "Capteur surface :     +",
                         "Capteur quille  :       -", "Tirant d'eau              ", "Profondeur du capteur",
                         "Décocher pour rendre constant", "Heure TU = heure locale", "H.MS"});
    auto* hdg = dlg->findChild<QCheckBox*>("ChkB_HDG");
    auto* tu = dlg->findChild<QLineEdit*>("LbEdTU");
    QCOMPARE(hdg->text(), QStringLiteral("Cap vrai"));
    QVERIFY(!hdg->isChecked());
    const long double dTU = w.model().params().dTU;
    // The draft and the sensor depth give the offsets at once.
    Type(dlg->findChild<QLineEdit*>("LbEdTirando"), "2.1");
    Type(dlg->findChild<QLineEdit*>("LbEdProfCapt"), "0,5");
    Click(dlg, "BtValidCSCQ");
    QCOMPARE(dlg->findChild<QLineEdit*>("LEdCQ")->text(), QStringLiteral("1.6"));
    QCOMPARE(dlg->findChild<QLineEdit*>("LEdCS")->text(), QStringLiteral("0.5"));

    hdg->click();
    Type(tu, "5.30");
    QVERIFY(dlg->close());
    QVERIFY(!dlg->isVisible());
    QVERIFY(!w.model().params().varyHeading);
    QCOMPARE(w.model().params().dTU, dTU);
    w.FormPaint();  // a repaint of the main window does not take the typed offset either
    QCOMPARE(w.model().params().dTU, dTU);

    // Shown again with the values in force; a folder, a polar and OK apply.
    w.Action("Paramtres1")->trigger();
    QVERIFY(dlg->isVisible());
    QVERIFY(!hdg->isChecked());
    QVERIFY(tu->text() != QStringLiteral("5.30"));
    hdg->click();
    Type(tu, "5.30");
    Click(dlg, "BtDirSel");
    QCOMPARE(asked.back(), std::string("Sélectionner le répertoire"));
    QVERIFY(dlg->findChild<QLineEdit*>("LabEdRepPol")->text().startsWith(dir->path()));
    Click(dlg, "SpeedBtModPol");
    QVERIFY(asked.back().starts_with(dir->path().toStdString()));  // the polar's dialog starts in the folder shown
    QCOMPARE(dlg->findChild<QLineEdit*>("LabEdPolSel")->text(), QStringLiteral("AUTRE BATEAU"));
    Click(dlg, "BtOK");
    QVERIFY(!dlg->isVisible());
    QVERIFY(w.model().params().varyHeading);
    QCOMPARE(static_cast<double>(w.model().params().dTU), 5.5);
    QCOMPARE(Find<QLabel>("StxNomPol")->text(), QStringLiteral("AUTRE BATEAU"));
    QVERIFY(w.Messages().isEmpty());
  }

  void sentenceChoicesApplyOnOkNotOnClose() {
    TFVentrel& w = Open();
    NmeaModule& m = w.program().nmea();
    QCOMPARE(SentencesOn(m), 26);
    w.Action("Paramtres1")->trigger();
    Click(w.paramDialog(), "BtParNMEA");
    TFParNMEA* dlg = w.nmeaDialog();
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Sélection des phrases NMEA à générer"));
    QCOMPARE(dlg->palette().color(QPalette::Window), QColor(17, 34, 75));
    QCOMPARE(dlg->palette().color(QPalette::WindowText), QColor(255, 251, 240));
    QListWidget* list = dlg->list();
    QListWidget* text = dlg->descriptions();
    QCOMPARE(std::tuple(list->count(), text->count()), std::tuple(31, 31));
    QCOMPARE(text->palette().color(QPalette::Base), QColor(255, 255, 0));
    int marked = 0;
    for (int i = 0; i < 31; ++i) {
      QCOMPARE(text->visualItemRect(text->item(i)).top() + text->y(),
               list->visualItemRect(list->item(i)).top() + list->y());  // on the line of its sentence
      marked += list->item(i)->text().endsWith(QStringLiteral(" *"));
    }
    QCOMPARE(marked, 5);
    ExpectCaptions(dlg, {"* phrases réputées obsolètes pour le matériel postérieur à 2010 mais utilsées sur le "
                         "matériel antérieur",
                         "EC      Electronic Cartography", "GP      Global Positioning System", "SD      Sondeur",
                         "DM     Speedomètre", "WI      Weather Instruments", "II         Integrated Instrumentation"});

    // The line-load meter of the shipped selection at 4800 baud: group 3 spills,
    // in the dialog and under the port panel; unchecked, the groups are empty.
    const QString load = dlg->loadLabel()->text();
    QVERIFY2(load.contains(QStringLiteral("Groupe 1 : ")) &&
                 load.contains(QStringLiteral("Ligne à 4800 bauds (480 octets/s) : chargée à ")) &&
                 load.contains(QStringLiteral("Le groupe 3 dure 1,")),
             qPrintable(load));
    QVERIFY2(Find<QLabel>("LbChargeLigne")->text().startsWith(QStringLiteral("Le groupe 3 dure 1,")),
             qPrintable(Find<QLabel>("LbChargeLigne")->text()));
    auto* sounder = dlg->findChild<RadioGroup*>("RdGDevSond");
    Click(dlg, "BtDeselALL");
    QVERIFY2(dlg->loadLabel()->text().contains(QStringLiteral("Groupe 3 : 0 octets")) &&
                 !dlg->loadLabel()->text().contains(QStringLiteral("Le groupe")),
             qPrintable(dlg->loadLabel()->text()));
    sounder->clickItem(1);
    QVERIFY(dlg->close());
    QCOMPARE(SentencesOn(m), 26);
    QCOMPARE(m.Sounder, std::string("SD"));

    Click(w.paramDialog(), "BtParNMEA");
    QVERIFY(dlg->isVisible());
    QCOMPARE(list->item(0)->checkState(), Qt::Checked);  // the flags in force again
    QCOMPARE(sounder->itemIndex(), 0);
    Click(dlg, "BtDeselALL");
    list->item(6)->setCheckState(Qt::Checked);  // DPT alone
    sounder->clickItem(1);
    Click(dlg, "BtParNMEA_OK");
    QVERIFY(!dlg->isVisible());
    QCOMPARE(SentencesOn(m), 1);
    QCOMPARE(m.dptr.switch_, t_switch::ON);
    QCOMPARE(m.Sounder, std::string("II"));

    Click(w.paramDialog(), "BtParNMEA");
    Click(dlg, "BtSelAll");
    Click(dlg, "BtParNMEA_OK");
    QCOMPARE(SentencesOn(m), 31);  // GGA, ROT, RSA, VLW and XTE too, off until chosen
  }

  void activerSendsTheSentencesAndTheSavesWriteTheLists() {
    if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");
    QProcess socat;
    socat.setStandardErrorFile(QProcess::nullDevice());
    socat.start("socat", {"pty,raw,echo=0,link=" + file("ptyA"), "pty,raw,echo=0,link=" + file("ptyB")});
    QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(file("ptyA")) && QFileInfo::exists(file("ptyB")); }, 5000));
    QSerialPort far(file("ptyB"));
    QVERIFY(far.open(QIODevice::ReadOnly));
    TFVentrel& w = Open();
    NmeaTransmission& tr = w.program().transmission();
    auto* activer = Find<QPushButton>("BtActivNMEA");

    Type(Find<QComboBox>("CBcom")->lineEdit(), file("pas_de_port"), Qt::Key_Return);
    QVERIFY(!tr.ComValid() && !activer->isEnabled());
    QCOMPARE(w.Messages().size(), 1);
    QVERIFY(w.Messages().front().startsWith(QStringLiteral("Ce port n'est pas disponible sur la machine")));
    Type(Find<QComboBox>("CBcom")->lineEdit(), file("ptyA"), Qt::Key_Return);
    QVERIFY2(tr.ComValid(), qPrintable(w.Messages().join(" | ")));
    QVERIFY(activer->isEnabled());
    Click(&w, "BtCalC");
    // A run at ×5 chosen before: the port started under it brings it back to ×1.
    QVERIFY(w.SetRunSpeed(5));
    Click(&w, "BtActivNMEA");
    QCOMPARE(w.RunSpeed(), 1);
    QCOMPARE(w.Messages().size(), 2);
    QVERIFY2(w.Messages().back().endsWith(QStringLiteral("La simulation repasse à ×1.")), qPrintable(w.Messages().back()));
    Advance(3000);  // groups 1, 2 and 3, one a second

    // The far end receives the raw list, sentence by sentence with CR LF.
    const QByteArray expected = QByteArray::fromStdString(tr.log().raw.Text());
    QVERIFY(tr.log().raw.Count() > 10);
    QVERIFY(expected.endsWith("\r\n") && expected.count("\r\n") == qsizetype(tr.log().raw.Count()));
    QByteArray got;
    QVERIFY(QTest::qWaitFor([&] { return (got += far.readAll()).size() >= expected.size(); }, 10000));
    QCOMPARE(got, expected);
    QListWidget* list = w.nmeaList();
    QCOMPARE(static_cast<std::size_t>(list->count()), tr.log().visible.Count());
    for (int i = 0; i < list->count(); ++i) {
      QCOMPARE(list->item(i)->text().toStdString(), std::string(tr.log().visible.Line(static_cast<std::size_t>(i))));
    }

    w.Action("DataNMEA")->trigger();
    w.Action("SauvegarderNMEAhorodat1")->trigger();
    QCOMPARE(asked, (std::vector<std::string>{"Sauvegarde NMEA", "Sauvegarde NMEA"}));
    QCOMPARE(ReadFile(file("save1.txt")), expected);
    const QByteArray hms = ReadFile(file("save2.txt"));
    QCOMPARE(hms, QByteArray::fromStdString(tr.log().stamped.Text()));
    const QList<QByteArray> lines = hms.split('\n');
    QCOMPARE(lines.front(), QByteArray("\r"));  // the empty first line
    QVERIFY(lines.at(1).startsWith("NMEA183:"));
    QVERIFY(lines.at(1).contains(":" + QByteArray::fromStdString(std::string(tr.log().raw.Line(0)))));

    // At 4800 baud group 3 already takes 1,23 s: no run faster than real time.
    QVERIFY(!w.SetRunSpeed(2));
    QCOMPARE(w.RunSpeed(), 1);
    QCOMPARE(Find<QComboBox>("CBVitesse")->currentText(), QStringLiteral("×1"));
    QCOMPARE(w.Messages().size(), 3);
    QVERIFY2(w.Messages().back().startsWith(QStringLiteral("À ×2, le groupe 3 (")), qPrintable(w.Messages().back()));

    // "Raz" closes the port and empties the visible list.
    Click(&w, "RazCom");
    QCOMPARE(list->count(), 0);
    QVERIFY(!tr.ComValid());
    QCOMPARE(w.Messages().size(), 3);
    socat.terminate();
    socat.waitForFinished(3000);
  }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
