#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <exception>

#include "files/paths.h"
#include "nav/conversions.h"
#include "nav/number_forms.h"
#include "model/dial.h"
#include "qt/file_names.h"
#include "ui/controls.h"
#include "ui/instrument_surface.h"
#include "ui/look.h"
#include "ui/message_queue.h"
#include "ui/nmea_dialog.h"
#include "ui/param_dialog.h"
#include "ui/timer_driver.h"
#include "version.h"

namespace ventrel {

namespace fs = std::filesystem;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Lines kept in the visible sentence list; the raw and time-stamped lists keep everything.
constexpr int kMaxVisibleLines = 5000;

// "Fichier ini|*.ini" -> "Fichier ini (*.ini)".
QString QtFilter(const std::string& filter) {
  if (filter.empty()) return {};
  const QStringList parts = Q(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i] + " (" + parts[i + 1] + ")";
  return out.join(";;");
}

// A file dialog of Qt's own, its labels in French whether Qt's translations are
// installed or not.
void French(QFileDialog& d, bool save) {
  d.setOption(QFileDialog::DontUseNativeDialog);
  d.setLabelText(QFileDialog::LookIn, QStringLiteral("Dossier :"));
  d.setLabelText(QFileDialog::FileName, QStringLiteral("Nom du fichier :"));
  d.setLabelText(QFileDialog::FileType, QStringLiteral("Type de fichier :"));
  d.setLabelText(QFileDialog::Accept, save ? QStringLiteral("Enregistrer") : QStringLiteral("Ouvrir"));
  d.setLabelText(QFileDialog::Reject, QStringLiteral("Annuler"));
}

std::optional<fs::path> Chosen(QFileDialog& d) {
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  return PathOf(d.selectedFiles().front());
}

// The dialogs of the program on Qt's own, unless the setup replaces them.
class QtDialogs final : public ProgramDialogs {
 public:
  QtDialogs(QWidget* window, WindowDialogs overrides, std::function<void(const std::string&)> message)
      : window_(window), o_(std::move(overrides)), message_(std::move(message)) {}

  std::optional<fs::path> OpenFile(const FileDialog& d) override {
    if (o_.openFile) return o_.openFile(d);
    const bool polar = d.defaultExt == "pol";
    const QString title = !d.title.empty() ? Q(d.title)
                          : polar          ? QStringLiteral("Sélectionner la polaire")
                                           : QStringLiteral("Ouvrir une configuration");
    QString filter = QtFilter(d.filter);
    if (filter.isEmpty() && polar) filter = QStringLiteral("Polaires (*.pol *.POL)");
    filter += (filter.isEmpty() ? "" : ";;") + QStringLiteral("Tous les fichiers (*)");
    QFileDialog dlg(window_, title, NameOf(d.folder), filter);
    French(dlg, false);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (!d.places.empty()) {
      QList<QUrl> side = dlg.sidebarUrls();
      for (const fs::path& place : d.places) side.append(QUrl::fromLocalFile(NameOf(place)));
      dlg.setSidebarUrls(side);
    }
    return Chosen(dlg);
  }

  std::optional<fs::path> SaveFile(const FileDialog& d) override {
    if (o_.saveFile) return o_.saveFile(d);
    QFileDialog dlg(window_, d.title.empty() ? QStringLiteral("Enregistrer") : Q(d.title), NameOf(d.folder),
                    QtFilter(d.filter));
    French(dlg, true);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setDefaultSuffix(Q(d.defaultExt));
    return Chosen(dlg);
  }

  std::optional<fs::path> SelectFolder(const std::string& title, const fs::path& start) override {
    if (o_.selectFolder) return o_.selectFolder(title, start);
    QFileDialog dlg(window_, Q(title), NameOf(start));
    French(dlg, false);
    dlg.setLabelText(QFileDialog::Accept, QStringLiteral("Choisir"));
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    return Chosen(dlg);
  }

  void Message(const std::string& text) override { message_(text); }

  bool AskYesNo(const std::string& question) override {
    if (o_.askYesNo) return o_.askYesNo(question);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Question"), Q(question), QMessageBox::NoButton, window_);
    QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
    box.exec();
    return box.clickedButton() == yes;
  }

 private:
  QWidget* window_;
  WindowDialogs o_;
  std::function<void(const std::string&)> message_;
};

}  // namespace

LocalTime SystemLocalTime() {
  const QDateTime now = QDateTime::currentDateTime();
  LocalTime t;
  t.year = now.date().year();
  t.month = now.date().month();
  t.day = now.date().day();
  t.hours = now.time().hour();
  t.minutes = now.time().minute();
  t.seconds = now.time().second();
  t.milliseconds = now.time().msec();
  return t;
}

// ---- Creation

TFVentrel::TFVentrel(WindowSetup setup, QWidget* parent)
    : QMainWindow(parent),
      setup_(std::move(setup)),
      canvas_(std::max(kDesignWidth, kVisuBkFull.left + kVisuBkFull.width + 8),
              std::max(kDesignHeight, kVisuBkFull.top + kVisuBkFull.height + 8)) {
  setObjectName("FVentrel");
  look::ApplyNavy(this);
  messages_ = new MessageQueue(this);
  messages_->SetShowBoxes(setup_.showMessageBoxes);
  const auto post = [this](const std::string& text) { Post(text, true); };
  dialogs_ = std::make_unique<QtDialogs>(this, setup_.dialogs, post);
  com_ = std::make_unique<SerialPorts>(post, PortOverrides{}, this);
  port_ = std::make_unique<SerialNmeaPort>(*com_);
  // A TCP client dropped or a UDP destination failing: a line of the visible list.
  network_ = std::make_unique<NetworkOutputs>(
      [this](const std::string& m) { program_->transmission().log().visible.Add(" *** " + m + " ***"); });
  baseClock_ = setup_.clock ? setup_.clock : LocalClock(SystemLocalTime);
  program_ = std::make_unique<VentrelProgram>(*port_, [this] { return Now(); }, *dialogs_);
  commands_ = std::make_unique<BoatCommands>(*program_);
  player_ = std::make_unique<EventPlayer>(*commands_, *program_, program_->transmission().faults());
  inputs_ = std::make_unique<NmeaInputs>(
      [this](const SteeringSentence& sentence) { Run([this, &sentence] { commands_->Steer(sentence); }); },
      [this](const std::string& m) { program_->transmission().log().visible.Add(" *** " + m + " ***"); });
  program_->transmission().AddOutput(*port_);
  program_->transmission().AddOutput(*network_);
  binder_ = std::make_unique<PanelBinder>(program_->panel());
  binder_->SetPictureFolder(NameOf(setup_.AppliDir));

  // The ground of the window and the dial drawn on it.
  surface_ = new InstrumentSurface(canvas_, boat_, this);
  surface_->setObjectName("Ground");
  setCentralWidget(surface_);
  surface_->SetBeforePaint([this] { model().dial().GradueCompas(); });
  surface_->SetCentre([this] { return model().dial().Centre; });
  surface_->SetDialSquare([this] {
    const ShapeRect bk = fullScreen_ ? kVisuBkFull : kVisuBkNormal;
    const int d = std::min(bk.width, bk.height);
    return QRect(bk.left + (bk.width - d) / 2, bk.top + (bk.height - d) / 2, d, d);
  });
  surface_->SetResized([this](QSize s) {
    canvas_.Resize(std::max(s.width(), canvas_.image().width()), std::max(s.height(), canvas_.image().height()));
  });
  depthCanvas_.Resize(model().dial().boxWidth, model().dial().boxHeight, QColor(0, 0, 255));

  BuildMenus();
  BuildPanels(surface_);
  BuildDialogs();

  // Captions the model leaves to the window.
  Panel& pn = panel();
  if (pn[Field::StartButton].text().empty()) pn[Field::StartButton].setText("Démarrer");
  if (pn[Field::AutoButton].text().empty()) pn[Field::AutoButton].setText("AUTO");
  if (pn[Field::StandbyButton].text().empty()) pn[Field::StandbyButton].setText("STDBY");
  pn[Field::AutoButton].setHint("Pilote automatique : le bateau tient son cap");
  pn[Field::StandbyButton].setHint("Pilote en veille : barrer à la main avec la barre");
  if (pn[Field::NavButton].text().empty()) pn[Field::NavButton].setText("NAV");
  pn[Field::NavButton].setHint(
      "Pilote NAV : le cap suit les consignes APB / RMB d'un traceur (entrée NMEA du dialogue Réseau)");

  binder_->BindTree(this);
  for (QObject* d : {static_cast<QObject*>(param_.data()), static_cast<QObject*>(parNmea_.data())}) {
    binder_->BindTree(d);
  }
  ConnectHandlers();
  FormCreate();

  // The program's start: start sequence, parameters, polar, sentence dialog and
  // the default configuration.
  Run([this] {
    program_->SetUserFolders(setup_.userDir, setup_.userPolars);
    program_->Start(setup_.AppliDir, setup_.RepMesDoc, setup_.iniPath);
  });
  // The ports of this machine, as the default configuration names them.
  Run([this] {
    com_->set_overrides(program_->PortOverrides());
    program_->transmission().SetPortNames(port_list(com_->overrides()));
  });
  // The network outputs of the default configuration.
  if (const std::string e = network_->Apply(program_->Network()); !e.empty()) Post(e, true);
  ApplyInput();
  WrapTimers();
  if (program_->Control().on) ApplyControl();
  if (setup_.realTimeTimers) driver_ = std::make_unique<TimerDriver>(model().timers());

  resize(kDesignWidth, kDesignHeight);
  binder_->RefreshAll();
  FormPaint();
}

TFVentrel::~TFVentrel() {
  // The widgets outlive the program by a moment: nothing they say on their way
  // out (a field losing the focus) may reach it.
  for (QObject* o : findChildren<QObject*>()) o->blockSignals(true);
  program_->transmission().log().visible.SetListener({}, {});
  control_.reset();
  driver_.reset();
  scenarioRun_.reset();
  // The timers' handlers refer to this window.
  for (ModelTimer* t : model().timers().all()) t->setEnabled(false);
}

void TFVentrel::FormCreate() {
  // 1. The boat picture, from the program folder.
  const std::optional<fs::path> pic = FindFileNoCase(setup_.AppliDir / "iconbat1.jpg");
  if (!pic || !boat_.Load(Q(pic->string()))) {
    Post("Le fichier « iconbat1.jpg » est absent du dossier du programme (" + setup_.AppliDir.string() +
             ") ou illisible : le bateau est représenté par une marque simple. Réinstallez ce fichier à côté "
             "du programme pour retrouver son image.",
         true);
  }
  boat_.setChanged([this] {
    if (surface_) surface_->update();
  });
  // 2. The drawing surfaces; the depth box draws its bars only while DPT is sent.
  model().SetDrawing(&canvas_, &depthCanvas_, &boat_);
  model().dial().DptOn = [this] { return program_->nmea().dptr.switch_ == t_switch::ON; };
  // 3-9. The model's part of the creation (display memory, depth history, the
  // variation and the waypoint, no manoeuvre, AUTO, water temperature, timers).
  model().FormCreate();
  ApplyShapes();
  model().dial().PaintBxProfPaint(model().state().dbs, model().state().WatrTemp);
  // The legend of the arrows.
  if (const auto legend = FindFileNoCase(setup_.AppliDir / "legende.bmp")) {
    imgLegende_->setPixmap(QPixmap(Q(legend->string())));
  }
}

void TFVentrel::BuildDialogs() {
  param_ = new TFParam(this);
  parNmea_ = new TFParNMEA(this);
  parNmea_->SetLoadMeter([this](const NmeaSelection& s) { return program_->LineLoadReport(s); });
  for (Field f : {Field::PolarFolder, Field::SelectedPolar, Field::SurfaceSensorOffset, Field::KeelSensorOffset,
                  Field::Draft, Field::SensorDepth, Field::UtcOffset}) {
    binder_->BindCaption(f, param_->findChild<QLabel*>(QStringLiteral("Cap") + Q(std::string(ObjectNameOf(f)))));
  }
  connect(param_, &TFParam::dirSelClicked, this, [this] { Run([this] { program_->BtDirSelClick(); }); });
  connect(param_, &TFParam::modPolClicked, this, [this] { Run([this] { program_->SpeedBtModPolClick(); }); });
  connect(param_, &TFParam::validClicked, this, [this] { Run([this] { program_->BtValidCSCQClick(); }); });
  connect(param_, &TFParam::nmeaClicked, this, [this] { Run([this] { program_->BtParNMEAClick(); }); });
  connect(param_, &TFParam::okClicked, this, [this] {
    Run([this] {
      program_->ChkBClick();
      program_->BtOKClick();
    });
  });
  connect(param_, &TFParam::closedByFrame, this, &TFVentrel::ParamClosedByFrame);
  connect(parNmea_, &TFParNMEA::okClicked, this, [this](const NmeaSelection& s) {
    Run([this, s] {
      program_->selection() = s;
      program_->selection().BtParNMEA_OKClick(program_->nmea());
      panel()[Field::SentenceDialog].setVisible(false);
      // The depth box shows the depth only while DPT is sent.
      model().dial().PaintBxProfPaint(model().state().dbs, model().state().WatrTemp);
    });
  });
  connect(parNmea_, &TFParNMEA::closedByFrame, this,
          [this] { Run([this] { panel()[Field::SentenceDialog].setVisible(false); }); });
}

void TFVentrel::ParamClosedByFrame() {
  // Nothing typed in the dialog is applied: its fields show the values in force again.
  Run([this] {
    Panel& pn = panel();
    const Params& p = model().params();
    pn[Field::VariesHeading].setChecked(p.varyHeading);
    pn[Field::VariesWindSpeed].setChecked(p.varyWindSpeed);
    pn[Field::VariesWindDirection].setChecked(p.varyWindDirection);
    pn[Field::UtcOffset].setText(tuAtOpen_);
    pn[Field::Draft].setText(generalForm(p.Teau));
    pn[Field::SensorDepth].setText(generalForm(p.PC));
    pn[Field::ParametersDialog].setVisible(false);
  });
}

void TFVentrel::WrapTimers() {
  // Every timer event is a handler of the window: its errors are told to the
  // user and the panel is shown as it leaves it.
  for (ModelTimer* t : model().timers().all()) {
    std::function<void()> h = t->handler();
    if (!h) continue;
    t->setHandler([this, h = std::move(h)] { Run(h); });
  }
}

// ---- Running the program

void TFVentrel::Post(const std::string& text, bool error) {
  if (text.empty()) return;
  messages_->Post(Q(text), error);
  // While the window closes, a queued box would never be seen.
  if (closed_ && setup_.showMessageBoxes) QMessageBox::critical(this, QStringLiteral("Erreur"), Q(text));
}

QStringList TFVentrel::Messages() const { return messages_->History(); }

void TFVentrel::Run(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    Post(std::string("L'opération a été interrompue par une erreur : ") + e.what() +
             ". La simulation continue ; vérifiez les valeurs saisies.",
         true);
  } catch (...) {
    Post("L'opération a été interrompue par une erreur inconnue. La simulation continue ; vérifiez les "
         "valeurs saisies.",
         true);
  }
  RefreshFromModel();
}

void TFVentrel::RefreshFromModel() {
  // With a TCP server or a UDP destination on, "Activer" needs no serial port,
  // and the serial port is set aside while none is open.
  NmeaTransmission& tr = program_->transmission();
  const bool networkOn = network_->active();
  tr.SetNetworkOn(networkOn);
  port_->setInUse(tr.ComValid() || !networkOn);
  binder_->Refresh();
  // A single step is offered while the run is paused.
  if (auto* step = findChild<QPushButton*>(QStringLiteral("BtPasAPas"))) {
    const SimState& s = model().state();
    step->setEnabled(!s.PremPasse && s.StPause);
  }
  SyncDialogs();
  if (surface_) surface_->update();
  if (depthBox_) depthBox_->update();
}

void TFVentrel::SyncDialogs() {
  Panel& pn = panel();
  if (param_) {
    const bool want = pn[Field::ParametersDialog].visible();
    if (want && !param_->isVisible()) {
      tuAtOpen_ = pn[Field::UtcOffset].text();
      param_->show();
      param_->raise();
    } else if (!want && param_->isVisible()) {
      param_->hide();
    }
  }
  if (parNmea_) {
    const bool want = pn[Field::SentenceDialog].visible();
    if (want && !parNmea_->isVisible()) {
      parNmea_->ShowSelection(program_->selection());
    } else if (!want && parNmea_->isVisible()) {
      parNmea_->hide();
    } else if (want) {
      parNmea_->ShowLoad();
    }
  }
  if (auto* load = findChild<QLabel*>(QStringLiteral("LbChargeLigne"))) {
    bool warning = false;
    load->setText(Q(program_->LineLoadLine(&warning)));
    load->setStyleSheet(warning ? QStringLiteral("color: #ff5050; font-weight: bold") : QString());
  }
}

LocalTime TFVentrel::Now() const {
  if (!runClock_ || !driver_) return baseClock_();
  return AddMilliseconds(runClock_->first, driver_->now() - runClock_->second);
}

bool TFVentrel::SetRunSpeed(int times) {
  auto* selector = findChild<QComboBox*>(QStringLiteral("CBVitesse"));
  const auto show = [selector](int speed) {
    if (!selector) return;
    const int i = selector->findData(speed);
    if (i >= 0) selector->setCurrentIndex(i);
  };
  if (times == runSpeed_) return true;
  if (std::find(kRunSpeeds.begin(), kRunSpeeds.end(), times) == kRunSpeeds.end()) {
    show(runSpeed_);
    return false;
  }
  // The serial port in use must carry each group in its share of a second.
  const NmeaTransmission& tr = program_->transmission();
  if (tr.Started() && tr.ComValid()) {
    if (const std::string refusal = program_->RunSpeedRefusal(times); !refusal.empty()) {
      Post(refusal, true);
      show(runSpeed_);
      return false;
    }
  }
  // From the first speed other than ×1 the clock of the sentences follows the
  // run from where it stands (and keeps doing so back at ×1: it never goes back).
  if (driver_ && !runClock_) runClock_.emplace(Now(), driver_->now());
  if (driver_) driver_->setSpeed(times);
  runSpeed_ = times;
  show(times);
  return true;
}

void TFVentrel::KeepRunSpeedOnLine() {
  // A serial port started, or a line speed chosen, under a run it cannot carry:
  // the run goes back to real time.
  const NmeaTransmission& tr = program_->transmission();
  if (runSpeed_ == 1 || !tr.Started() || !tr.ComValid()) return;
  if (const std::string refusal = program_->RunSpeedRefusal(runSpeed_); !refusal.empty()) {
    Post(refusal + ". La simulation repasse à ×1.", true);
    SetRunSpeed(1);
  }
}

void TFVentrel::FormPaint() {
  Run([this] { program_->FormPaint(); });
}

void TFVentrel::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  FormPaint();
}

QAction* TFVentrel::Action(const QString& name) const {
  for (QAction* a : findChildren<QAction*>()) {
    if (a->objectName() == name) return a;
  }
  return nullptr;
}

// ---- Menus

void TFVentrel::BuildMenus() {
  QMenuBar* bar = menuBar();
  // A light menu bar with dark text, as the system draws one.
  QPalette mp = bar->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    mp.setColor(g, QPalette::Window, QColor(236, 236, 236));
    mp.setColor(g, QPalette::Button, QColor(236, 236, 236));
    mp.setColor(g, QPalette::WindowText, Qt::black);
    mp.setColor(g, QPalette::ButtonText, Qt::black);
    mp.setColor(g, QPalette::Text, Qt::black);
  }
  mp.setColor(QPalette::Disabled, QPalette::Window, QColor(236, 236, 236));
  mp.setColor(QPalette::Disabled, QPalette::Button, QColor(236, 236, 236));
  mp.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 150, 150));
  mp.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(150, 150, 150));
  mp.setColor(QPalette::Disabled, QPalette::Text, QColor(150, 150, 150));
  bar->setPalette(mp);
  bar->setAutoFillBackground(true);
  auto item = [this](QMenu* m, const char* name, const QString& text) {
    QAction* a = m->addAction(text);
    a->setObjectName(name);
    return a;
  };
  QMenu* fichier = bar->addMenu(QStringLiteral("Fichier"));
  fichier->menuAction()->setObjectName("Fichier1");
  connect(item(fichier, "DataNMEA", QStringLiteral("Sauvegarder NMEA brut")), &QAction::triggered, this,
          [this] { SaveNmeaList(false); });
  connect(item(fichier, "SauvegarderNMEAhorodat1", QStringLiteral("Sauvegarder NMEA horodaté")),
          &QAction::triggered, this, [this] { SaveNmeaList(true); });
  fichier->addSeparator();
  connect(item(fichier, "OuvrirScenario", QStringLiteral("Ouvrir un scénario...")), &QAction::triggered, this,
          &TFVentrel::OpenScenario);
  fichier->addSeparator();
  connect(item(fichier, "Quitter1", QStringLiteral("Quitter")), &QAction::triggered, this, &TFVentrel::Quitter);

  QMenu* conf = bar->addMenu(QStringLiteral("Configuration"));
  conf->menuAction()->setObjectName("Ouvrir1");
  connect(item(conf, "Ouvrir2", QStringLiteral("Ouvrir")), &QAction::triggered, this,
          [this] {
            Run([this] { program_->Ouvrir2Click(); });
            // The network outputs of the configuration opened.
            if (const std::string e = network_->ApplyIfChanged(program_->Network()); !e.empty()) Post(e, true);
            ApplyInput();
            ApplyControl();
          });
  connect(item(conf, "Enregistrer2", QStringLiteral("Enregistrer")), &QAction::triggered, this,
          [this] { Run([this] { program_->Enregistrer2Click(); }); });
  QAction* autoItem = item(conf, "Automatique1", QStringLiteral("Automatique"));
  autoItem->setCheckable(true);
  connect(autoItem, &QAction::triggered, this, [this] { Run([this] { program_->Automatique1Click(); }); });
  conf->addSeparator();
  connect(item(conf, "Reseau1", QStringLiteral("Réseau")), &QAction::triggered, this, &TFVentrel::OpenNetworkDialog);

  QAction* params = bar->addAction(QStringLiteral("Paramètres"));
  params->setObjectName("Paramtres1");
  connect(params, &QAction::triggered, this, [this] { Run([this] { program_->Paramtres1Click(); }); });

  QMenu* aff = bar->addMenu(QStringLiteral("Affichage"));
  aff->menuAction()->setObjectName("Affichage1");
  QAction* normal = item(aff, "Normal1", QStringLiteral("Normal"));
  normal->setEnabled(false);
  connect(normal, &QAction::triggered, this, &TFVentrel::Normal);
  connect(item(aff, "Pleincran1", QStringLiteral("Plein écran")), &QAction::triggered, this, &TFVentrel::PleinEcran);

  QMenu* aide = bar->addMenu(QStringLiteral("Aide"));
  aide->menuAction()->setObjectName("Aide1");
  connect(item(aide, "Gnralits1", QStringLiteral("Généralités")), &QAction::triggered, this,
          [this] { OpenHelp(HelpPage::Generalites); });
  connect(item(aide, "parrubrique1", QStringLiteral("par rubrique")), &QAction::triggered, this,
          [this] { OpenHelp(HelpPage::ParRubrique); });
  aide->addSeparator();
  connect(item(aide, "APropos1", QStringLiteral("À propos")), &QAction::triggered, this, &TFVentrel::About);

  QAction* quit = bar->addAction(QStringLiteral("Quitter"));
  quit->setObjectName("Quitter2");
  connect(quit, &QAction::triggered, this, &TFVentrel::Quitter);
}

std::string TFVentrel::ApplyInput() {
  const NavSettings& nav = program_->Nav();
  inputs_->Stop();
  inputs_->SetSerialPorts(com_.get());
  std::vector<TcpServerOutput*> servers;
  if (TcpServerOutput* server = network_->TcpServer()) servers.push_back(server);
  inputs_->SetTcpServers(servers);
  inputs_->SetAllowMissingChecksum(nav.allowMissingChecksum);
  if (!nav.input) return {};
  std::string error = inputs_->Start(nav.sources);
  if (!error.empty()) Post("Entrée NMEA du pilote NAV : " + error, true);
  return error;
}

std::string TFVentrel::ApplyControl() {
  const ControlSettings& c = program_->Control();
  if (control_ && c == controlOpen_) return {};
  control_.reset();
  if (!c.on) {
    ControlSeconds();
    return {};
  }
  ControlTarget target;
  target.play = [this](const BoatEvent& e) {
    CommandResult r{false, "La commande n'a pas été jouée."};
    Run([this, &e, &r] { r = player_->Play(e, PlayerNowMs()); });
    return r;
  };
  target.readout = [this] { return commands_->Readout(); };
  control_ = std::make_unique<ControlPort>(ControlListenAddress(c.address), c.port, std::move(target));
  connect(control_.get(), &ControlPort::told, this,
          [this](const QString& line) { program_->transmission().log().visible.Add(" *** " + line.toStdString() + " ***"); });
  if (!control_->Listen()) {
    const std::string error = control_->ErrorText();  // names the control port
    control_.reset();
    Post(error, true);
    return error;
  }
  controlOpen_ = c;
  ControlSeconds();
  return {};
}

std::string TFVentrel::ControlState() const {
  if (control_ && control_->Listening()) {
    const int n = control_->ClientCount();
    return "Port de contrôle en écoute sur " + control_->Where() + " : " + std::to_string(n) +
           (n > 1 ? " clients connectés" : " client connecté");
  }
  return program_->Control().on ? "Port de contrôle non ouvert" : "Port de contrôle arrêté";
}

void TFVentrel::OpenNetworkDialog() {
  if (!network_dialog_) {
    network_dialog_ = new NetworkDialog(
        *network_, [this] { return program_->Network(); },
        [this](const NetworkSettings& n) {
          program_->SetNetwork(n);
          Run([] {});  // the outputs in use and "Activer" follow the settings applied
        },
        this);
    network_dialog_->SetInput(
        inputs_.get(), [this] { return program_->Nav(); },
        [this](const NavSettings& n) { program_->SetNav(n); }, [this] { return ApplyInput(); });
    network_dialog_->SetControl(
        [this] { return program_->Control(); }, [this](const ControlSettings& c) { program_->SetControl(c); },
        [this] { return ApplyControl(); }, [this] { return ControlState(); });
  }
  network_dialog_->Refresh();
  network_dialog_->show();
  network_dialog_->raise();
}

// ---- Handlers of the controls

void TFVentrel::ConnectHandlers() {
  VentrelModel& m = model();
  NmeaTransmission& tr = program_->transmission();
  BoatCommands& cmd = *commands_;
  auto click = [this](const char* name, std::function<void()> h) {
    if (auto* b = findChild<QAbstractButton*>(name)) {
      connect(b, &QAbstractButton::clicked, this, [this, h = std::move(h)] { Run(h); });
    }
  };
  // A button is clicked only while it is enabled, and a command refuses only
  // what a disabled button would have kept out or what its handler declines by
  // itself (after telling the user why): the results need no second message.
  click("BtCalC", [&cmd] { cmd.Start(); });
  click("SpBtPauseRes", [&cmd, &m] { m.state().StPause ? cmd.Resume() : cmd.Pause(); });
  click("BtModWp", [&m] { m.BtModWpClick(); });
  click("SBtVire", [&cmd] { cmd.Tack(); });
  click("SBtEmp", [&cmd] { cmd.Gybe(); });
  click("BtBestHaul", [&cmd] { cmd.BestHaul(); });
  click("SpBtAUTO", [&cmd] { cmd.Auto(); });
  click("SpBtStdBY", [&cmd] { cmd.Standby(); });
  click("SpBtNAV", [&cmd] { cmd.Navigate(); });
  click("ImgIndcBarre", [&m] { m.CentreHelmBar(); });
  click("BtActivNMEA", [this, &tr] {
    tr.BtActivNMEAClick();
    KeepRunSpeedOnLine();
  });
  click("BtPasAPas", [&cmd] { cmd.Step(); });
  if (auto* speed = findChild<QComboBox*>("CBVitesse")) {
    connect(speed, &QComboBox::activated, this, [this, speed](int i) {
      const int times = speed->itemData(i).toInt();
      Run([this, times] { SetRunSpeed(times); });
    });
  }
  click("RazCom", [&tr] { tr.RazComClick(); });
  click("SpBtZoomNMEA", [this] { SpBtZoomNMEAClick(); });

  auto radio = [this](const char* name, std::function<void()> h) {
    if (auto* r = findChild<RadioGroup*>(name)) {
      connect(r, &RadioGroup::itemClicked, this, [this, h = std::move(h)] { Run(h); });
    }
  };
  radio("RadioGTypC", [&m] { m.RadioGTypCClick(); });
  radio("RdgDecl", [&m] { m.RdgDeclClick(); });

  if (auto* e = findChild<QLineEdit*>("EdTWS")) {
    connect(e, &QLineEdit::editingFinished, this, [this, &m] { Run([&m] { m.EdTWSChange(); }); });
  }
  if (auto* e = findChild<QLineEdit*>("EdPolPerc")) {
    connect(e, &QLineEdit::textEdited, this, [this, &m] { Run([&m] { m.EdPolPercChange(); }); });
  }
  if (auto* e = findChild<QLineEdit*>("EdiDECL")) {
    connect(e, &QLineEdit::textEdited, this, [this, &m] { Run([&m] { m.EdiDECLChange(); }); });
  }
  if (auto* u = findChild<UpDown*>("UpDownPol")) {
    connect(u, &UpDown::clicked, this, [this, &m](bool up) { Run([&m, up] { m.UpDownPolClick(up); }); });
  }

  // The port list: a port picked opens it; a device typed by hand and confirmed
  // joins the list and is opened; any other typing only updates "Activer". The
  // list itself also answers the Return key of its field: that one confirmation
  // must open the port once.
  if (auto* com = findChild<QComboBox*>("CBcom")) {
    connect(com, &QComboBox::activated, this, [this, &tr] {
      if (!portTyped_) Run([&tr] { tr.CBComSelect(); });
    });
    connect(com, &QComboBox::editTextChanged, this, [this, &tr, com] {
      if (com->hasFocus()) Run([&tr] { tr.BtActivNMEAEnable(); });
    });
    if (QLineEdit* typed = com->lineEdit()) {
      connect(typed, &QLineEdit::returnPressed, this, [this, &tr, com] {
        const std::string name = com->currentText().trimmed().toStdString();
        if (name.empty() || portTyped_) return;
        portTyped_ = true;
        QTimer::singleShot(0, this, [this] { portTyped_ = false; });
        Run([this, &tr, name] {
          const int idx = tr.AddPortName(name);
          panel()[Field::PortList].setItemIndex(idx);
          panel()[Field::PortList].setText(name);
          tr.CBComSelect();
        });
      });
    }
  }
  if (auto* bauds = findChild<QComboBox*>("CBbauds")) {
    connect(bauds, &QComboBox::activated, this, [this, &tr] {
      Run([this, &tr] {
        tr.BtActivNMEAEnable();
        KeepRunSpeedOnLine();
      });
    });
    connect(bauds, &QComboBox::editTextChanged, this, [this, &tr, bauds] {
      if (bauds->hasFocus()) Run([&tr] { tr.BtActivNMEAEnable(); });
    });
  }

  // The sentence lists: the visible one in the window.
  tr.log().visible.SetListener(
      [this](std::string_view line) {
        if (!memoNMEA_) return;
        memoNMEA_->addItem(Q(line));
        while (memoNMEA_->count() > kMaxVisibleLines) delete memoNMEA_->takeItem(0);
        memoNMEA_->scrollToBottom();
      },
      [this] {
        if (memoNMEA_) memoNMEA_->clear();
      });
}

// ---- Dial shapes and layouts

void TFVentrel::ApplyShapes() {
  const ShapeRect visu = fullScreen_ ? kVisuFull : kVisuNormal;
  const ShapeRect bk = fullScreen_ ? kVisuBkFull : kVisuBkNormal;
  model().SetLayout(visu, bk);
  // Everything drawn on the dial goes with the old shapes.
  canvas_.Clear(Qt::transparent);
  canvas_.Disc({bk.left, bk.top}, bk.width, bk.height, look::kRingGround, look::kDialOutline);

  model().dial().RepaintVisu();
  model().dial().GradueCompas();
}

void TFVentrel::SetLayout(bool full) {
  if (full == fullScreen_) return;
  fullScreen_ = full;
  const int dy = full ? 267 : -267;
  const int dx = full ? 100 : -100;
  auto move = [](QWidget* w, int x, int y) {
    if (w) w->move(w->pos() + QPoint(x, y));
  };
  move(gbPilote_, 0, dy);
  for (QWidget* w : {panel1_, trackBarre_, static_cast<QWidget*>(gbDecl_), labNomPol2_, imgIndcBarre_}) {
    move(w, dx, dy);
  }
  imgLegende_->setVisible(!full);
  gbNmea_->setVisible(!full);
  if (full) {
    shapeCap_->move(932, 715);
    edCap_->move(940, 717);
    sBtEmp_->move(1290, sBtEmp_->y());
  } else {
    shapeCap_->move(832, 448);
    edCap_->move(840, 450);
    sBtEmp_->move(1048, sBtEmp_->y());
  }
  Action("Pleincran1")->setEnabled(!full);
  Action("Normal1")->setEnabled(full);
  ApplyShapes();
  if (full) {
    showMaximized();
    // Without a window manager to honour the maximised state, take the screen
    // (a window manager has done its part by the time this runs).
    const auto takeScreen = [this] {
      QScreen* s = screen();
      if (fullScreen_ && s && width() < s->availableGeometry().width() - 50) setGeometry(s->availableGeometry());
    };
    if (isVisible()) {
      QTimer::singleShot(300, this, takeScreen);
    } else {
      takeScreen();
    }
  } else {
    showNormal();
    resize(kDesignWidth, kDesignHeight);
  }
  FormPaint();
}

void TFVentrel::PleinEcran() { SetLayout(true); }
void TFVentrel::Normal() { SetLayout(false); }

void TFVentrel::SpBtZoomNMEAClick() {
  auto* zoom = findChild<QToolButton*>("SpBtZoomNMEA");
  const bool enlarge = zoom->text() == QStringLiteral("+");
  if (enlarge) {
    gbNmea_->setGeometry(gbNmea_->x(), 24, gbNmea_->width(), 720);
    zoom->setText(QStringLiteral("-"));
    gbNmea_->raise();
  } else {
    gbNmea_->setGeometry(gbNmea_->x(), 528, gbNmea_->width(), 217);
    zoom->setText(QStringLiteral("+"));
  }
  memoNMEA_->resize(memoNMEA_->width(), gbNmea_->height() - 56);
}

// ---- Files, help, quit

void TFVentrel::SaveNmeaList(bool stamped) {
  FileDialog d;
  d.title = "Sauvegarde NMEA";
  d.filter = "Fichier texte NMEA|*.txt";
  d.defaultExt = "txt";
  d.folder = setup_.userDir.empty() ? setup_.AppliDir : setup_.userDir;
  Run([this, stamped, d] {
    const std::optional<fs::path> file = Dialogs().SaveFile(d);
    if (!file) return;
    if (const std::optional<std::string> input = program_->InputFileAt(*file, false)) {
      Dialogs().Message(*input + " La liste n'est pas enregistrée.");
      return;
    }
    NmeaTransmission& tr = program_->transmission();
    if (stamped) {
      tr.SaveNMEAHMS(*file);
    } else {
      tr.SaveNMEAbrut(*file);
    }
  });
}

ProgramDialogs& TFVentrel::Dialogs() { return *dialogs_; }

void TFVentrel::OpenHelp(HelpPage page) {
  const QString text = OpenHelpPage(setup_.AppliDir, page, setup_.helpOpener);
  if (!text.isEmpty()) messages_->Post(text, true);
}

QString TFVentrel::AboutText() const {
  std::string text = "Ventrel " + std::string(Version()) + "\nSimulateur de navigation et transmetteur NMEA 0183\n\n";
  text += setup_.aboutFiles.empty() ? "Dossier du programme : " + setup_.AppliDir.string() + "\n" : setup_.aboutFiles;
  text += "Configuration lue au départ : " + program_->DefaultIni().string() + "\n";
  return Q(text);
}

void TFVentrel::About() {
  if (setup_.showMessageBoxes) {
    QMessageBox::about(this, QStringLiteral("À propos de Ventrel"), AboutText());
  } else {
    messages_->Post(AboutText(), false);
  }
}

void TFVentrel::QuitSequence() {
  if (quitDone_) return;
  quitDone_ = true;
  // 1. The tick and helm timers stop; 2-4. the sentence cycle ends, the port is
  // closed, the visible list is emptied.
  model().timers().TimerAT.setEnabled(false);
  model().timers().TimerB.setEnabled(false);
  Run([this] { program_->transmission().Quit(); });
}

void TFVentrel::Quitter() {
  QuitSequence();
  close();
}

void TFVentrel::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    QuitSequence();
    closed_ = true;
    driver_.reset();
    for (ModelTimer* t : model().timers().all()) t->setEnabled(false);
    // The polar in force is written back into the default configuration.
    Run([this] { program_->FormClose(); });
    if (param_) param_->hide();
    if (parNmea_) parNmea_->hide();
  }
  e->accept();
}

}  // namespace ventrel
