// The parameters dialog and the sentence dialog: shown without blocking, their
// choices applied by OK and not by closing them with the frame; the polar and
// folder choices; the layout of the sentence dialog.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "nmea/registry.h"
#include "ui/controls.h"
#include "window_fixture.h"

using namespace ventrel;
using ventrel::testing::WindowFixture;

namespace {

void Type(QLineEdit* e, const QString& text) {
  e->setFocus();
  e->selectAll();
  QTest::keyClicks(e, text);
}

// How many of the 26 sentences are switched on.
int SentencesOn(NmeaModule& m) {
  int n = 0;
  for (const NmeaItem& it : kNmeaItemTable) {
    const SentenceEntry* e = FindSentence(it.type);
    if (e && e->flag(m) == t_switch::ON) ++n;
  }
  return n;
}

}  // namespace

class TestDialogsWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ventrel::testing::UseProgramStyle(); }

  void parametersApplyOnOkNotOnClose() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    TFParam* dlg = w.paramDialog();
    QVERIFY(!dlg->isVisible());
    w.Action("Paramtres1")->trigger();
    QVERIFY(dlg->isVisible());
    QVERIFY(w.isEnabled());  // the main window is not blocked
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Paramètres"));
    QCOMPARE(dlg->palette().color(QPalette::Window), QColor(17, 34, 75));
    auto* hdg = dlg->findChild<QCheckBox*>("ChkB_HDG");
    auto* tu = dlg->findChild<QLineEdit*>("LbEdTU");
    QCOMPARE(hdg->text(), QStringLiteral("Cap vrai"));
    QVERIFY(!hdg->isChecked());
    const long double dTU = w.model().params().dTU;

    // Checked and typed, then closed by the frame: nothing changes.
    hdg->click();
    Type(tu, "5.30");
    QVERIFY(dlg->close());
    QVERIFY(!dlg->isVisible());
    QVERIFY(!w.model().params().ChkB_HDG);
    QCOMPARE(w.model().params().dTU, dTU);
    w.FormPaint();  // a repaint of the main window does not take the typed offset either
    QCOMPARE(w.model().params().dTU, dTU);

    // Shown again: the values in force; checked, typed and OK: applied.
    w.Action("Paramtres1")->trigger();
    QVERIFY(dlg->isVisible());
    QVERIFY(!hdg->isChecked());
    QVERIFY(tu->text() != QStringLiteral("5.30"));
    hdg->click();
    Type(tu, "5.30");
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtOK"), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QVERIFY(w.model().params().ChkB_HDG);
    QCOMPARE(static_cast<double>(w.model().params().dTU), 5.5);
  }

  void offsetsFollowTheDraftAndTheSensorDepth() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    w.Action("Paramtres1")->trigger();
    TFParam* dlg = w.paramDialog();
    QStringList captions;
    for (QLabel* l : dlg->findChildren<QLabel*>()) captions << l->text();
    for (const char* c : {"Dossier des fichiers de polaires :", "Polaire sélectionnée :", "Capteur surface :     +",
                          "Capteur quille  :       -", "Tirant d'eau              ", "Profondeur du capteur",
                          "Décocher pour rendre constant", "Heure TU = heure locale", "H.MS"}) {
      QVERIFY2(captions.contains(QString::fromUtf8(c)), c);
    }
    Type(dlg->findChild<QLineEdit*>("LbEdTirando"), "2.1");
    Type(dlg->findChild<QLineEdit*>("LbEdProfCapt"), "0,5");
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtValidCSCQ"), Qt::LeftButton);
    QCOMPARE(dlg->findChild<QLineEdit*>("LEdCQ")->text(), QStringLiteral("1.6"));
    QCOMPARE(dlg->findChild<QLineEdit*>("LEdCS")->text(), QStringLiteral("0.5"));
  }

  void modifierLoadsTheChosenPolar() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    QVERIFY(QFile::copy(f.file("DefPolars/First31_7.pol"), f.file("Autre bateau.pol")));
    WindowSetup setup;
    std::vector<std::string> asked;
    setup.dialogs.openFile = [&](const FileDialog& d) -> std::optional<std::filesystem::path> {
      asked.push_back(d.folder.generic_string());
      return std::filesystem::path(f.file("Autre bateau.pol").toStdString());
    };
    setup.dialogs.selectFolder = [&](const std::string& title, const std::filesystem::path&)
        -> std::optional<std::filesystem::path> {
      asked.push_back(title);
      return std::filesystem::path(f.folder().toStdString());
    };
    TFVentrel& w = f.Open(std::move(setup));
    w.Action("Paramtres1")->trigger();
    TFParam* dlg = w.paramDialog();
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtDirSel"), Qt::LeftButton);
    QCOMPARE(asked.back(), std::string("Sélectionner le répertoire"));
    QVERIFY(dlg->findChild<QLineEdit*>("LabEdRepPol")->text().startsWith(f.folder()));
    QTest::mouseClick(dlg->findChild<QPushButton*>("SpeedBtModPol"), Qt::LeftButton);
    QVERIFY(asked.back().starts_with(f.folder().toStdString()));  // starts in the folder shown
    QCOMPARE(dlg->findChild<QLineEdit*>("LabEdPolSel")->text(), QStringLiteral("AUTRE BATEAU"));
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtOK"), Qt::LeftButton);
    QCOMPARE(w.findChild<QLabel*>("StxNomPol")->text(), QStringLiteral("AUTRE BATEAU"));
    QVERIFY(w.Messages().isEmpty());
  }

  void sentenceDialogShowsTheListBesideItsDescriptions() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    w.Action("Paramtres1")->trigger();
    QTest::mouseClick(w.paramDialog()->findChild<QPushButton*>("BtParNMEA"), Qt::LeftButton);
    TFParNMEA* dlg = w.nmeaDialog();
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Sélection des phrases NMEA à générer"));
    QCOMPARE(dlg->palette().color(QPalette::Window), QColor(17, 34, 75));
    QCOMPARE(dlg->palette().color(QPalette::WindowText), QColor(255, 251, 240));
    QCOMPARE(dlg->list()->count(), 26);
    QCOMPARE(dlg->descriptions()->count(), 26);
    QCOMPARE(dlg->descriptions()->palette().color(QPalette::Base), QColor(255, 255, 0));
    int marked = 0;
    for (int i = 0; i < 26; ++i) {
      const QString name = dlg->list()->item(i)->text();
      QCOMPARE(name, QString::fromUtf8(kNmeaItemTable[static_cast<std::size_t>(i)].name.data(),
                                       kNmeaItemTable[static_cast<std::size_t>(i)].name.size())
                         .trimmed());
      if (name.endsWith(QStringLiteral(" *"))) ++marked;
      QCOMPARE(dlg->descriptions()->item(i)->text(),
               QStringLiteral("  ") + QString::fromUtf8(kNmeaItemTable[static_cast<std::size_t>(i)].description.data(),
                                                        kNmeaItemTable[static_cast<std::size_t>(i)].description.size()));
      // Each description on the line of its sentence.
      QCOMPARE(dlg->descriptions()->visualItemRect(dlg->descriptions()->item(i)).top() +
                   dlg->descriptions()->y(),
               dlg->list()->visualItemRect(dlg->list()->item(i)).top() + dlg->list()->y());
    }
    QCOMPARE(marked, 5);
    QCOMPARE(dlg->findChild<QLabel*>("StaticText1")->text(),
             QStringLiteral("* phrases réputées obsolètes pour le matériel postérieur à 2010 mais utilsées sur le "
                            "matériel antérieur"));
    QStringList radios;
    for (QRadioButton* r : dlg->findChildren<QRadioButton*>()) radios << r->text();
    for (const char* t : {"EC      Electronic Cartography", "GP      Global Positioning System", "SD      Sondeur",
                          "DM     Speedomètre", "WI      Weather Instruments", "II         Integrated Instrumentation"}) {
      QVERIFY2(radios.contains(QString::fromUtf8(t)), t);
    }
  }

  void sentenceChoicesApplyOnOkNotOnClose() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    NmeaModule& m = w.program().nmea();
    QCOMPARE(SentencesOn(m), 26);
    w.Action("Paramtres1")->trigger();
    QTest::mouseClick(w.paramDialog()->findChild<QPushButton*>("BtParNMEA"), Qt::LeftButton);
    TFParNMEA* dlg = w.nmeaDialog();

    QTest::mouseClick(dlg->findChild<QPushButton*>("BtDeselALL"), Qt::LeftButton);
    dlg->findChild<RadioGroup*>("RdGDevSond")->clickItem(1);
    QVERIFY(dlg->close());
    QCOMPARE(SentencesOn(m), 26);
    QCOMPARE(m.Sounder, std::string("SD"));

    QTest::mouseClick(w.paramDialog()->findChild<QPushButton*>("BtParNMEA"), Qt::LeftButton);
    QVERIFY(dlg->isVisible());
    QCOMPARE(dlg->list()->item(0)->checkState(), Qt::Checked);  // the flags in force again
    QCOMPARE(dlg->findChild<RadioGroup*>("RdGDevSond")->itemIndex(), 0);
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtDeselALL"), Qt::LeftButton);
    dlg->list()->item(6)->setCheckState(Qt::Checked);  // DPT alone
    dlg->findChild<RadioGroup*>("RdGDevSond")->clickItem(1);
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtParNMEA_OK"), Qt::LeftButton);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(SentencesOn(m), 1);
    QCOMPARE(m.dptr.switch_, t_switch::ON);
    QCOMPARE(m.Sounder, std::string("II"));

    QTest::mouseClick(w.paramDialog()->findChild<QPushButton*>("BtParNMEA"), Qt::LeftButton);
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtSelAll"), Qt::LeftButton);
    QTest::mouseClick(dlg->findChild<QPushButton*>("BtParNMEA_OK"), Qt::LeftButton);
    QCOMPARE(SentencesOn(m), 26);
  }
};

QTEST_MAIN(TestDialogsWindow)
#include "test_dialogs_window.moc"
