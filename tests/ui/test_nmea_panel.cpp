// The "SORTIE NMEA 0183" panel on a pseudo-terminal pair made by socat: a device
// typed into the port list is opened, "Activer" sends the sentences, which arrive
// on the far end as the lists hold them; the two saves write what the lists hold;
// "Raz" empties the visible list; a port that cannot be opened is reported.

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTest>

#include "window_fixture.h"

using namespace ventrel;
using ventrel::testing::WindowFixture;

namespace {

// Two pseudo-terminals joined by socat.
class PtyPair {
 public:
  PtyPair() {
    const QString base = QDir::tempPath() + QStringLiteral("/vnt_ui_pty_%1_").arg(QCoreApplication::applicationPid());
    near_ = base + "A";
    far_ = base + "B";
  }
  ~PtyPair() {
    if (proc_.state() != QProcess::NotRunning) {
      proc_.terminate();
      if (!proc_.waitForFinished(3000)) proc_.kill();
      proc_.waitForFinished(3000);
    }
    QFile::remove(near_);
    QFile::remove(far_);
  }
  bool start() {
    proc_.setStandardErrorFile(QProcess::nullDevice());
    proc_.start("socat", {"-d", "-d", "pty,raw,echo=0,link=" + near_, "pty,raw,echo=0,link=" + far_});
    if (!proc_.waitForStarted(5000)) return false;
    return QTest::qWaitFor([this] { return QFileInfo::exists(near_) && QFileInfo::exists(far_); }, 5000);
  }
  const QString& near() const { return near_; }
  const QString& far() const { return far_; }

 private:
  QProcess proc_;
  QString near_;
  QString far_;
};

// The checksum of a sentence computed here: XOR of the characters between "$" and "*".
bool ChecksumHolds(const QString& s) {
  const qsizetype star = s.lastIndexOf('*');
  if (!s.startsWith('$') || star < 0 || star + 3 != s.size()) return false;
  unsigned x = 0;
  for (qsizetype i = 1; i < star; ++i) x ^= static_cast<unsigned char>(s[i].toLatin1());
  return s.mid(star + 1).toUInt(nullptr, 16) == x;
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Types a device into the port list and confirms it.
void ChoosePort(QComboBox* com, const QString& device) {
  com->lineEdit()->setFocus();
  com->lineEdit()->selectAll();
  QTest::keyClicks(com->lineEdit(), device);
  QTest::keyClick(com->lineEdit(), Qt::Key_Return);
}

}  // namespace

class TestNmeaPanel : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ventrel::testing::UseProgramStyle(); }

  void activerSendsTheSentencesAndTheSavesWriteTheLists() {
    if (QStandardPaths::findExecutable("socat").isEmpty()) QSKIP("socat is not installed");
    PtyPair pty;
    QVERIFY(pty.start());
    QSerialPort far;
    far.setPortName(pty.far());
    QVERIFY(far.open(QIODevice::ReadOnly));

    WindowFixture f;
    QVERIFY(f.Prepare());
    const QString raw = f.file("brut.txt");
    const QString stamped = f.file("horodate.txt");
    WindowSetup setup;
    std::vector<std::string> titles;
    setup.dialogs.saveFile = [&](const FileDialog& d) -> std::optional<std::filesystem::path> {
      titles.push_back(d.title);
      return std::filesystem::path((titles.size() == 1 ? raw : stamped).toStdString());
    };
    TFVentrel& w = f.Open(std::move(setup));
    NmeaTransmission& tr = w.program().transmission();
    auto* activer = f.Find<QPushButton>("BtActivNMEA");
    QVERIFY(!activer->isEnabled());

    ChoosePort(f.Find<QComboBox>("CBcom"), pty.near());
    QVERIFY2(tr.ComValid(), qPrintable(w.Messages().join(" | ")));
    QVERIFY(activer->isEnabled());
    f.Find<QPushButton>("BtCalC")->click();
    QTest::mouseClick(activer, Qt::LeftButton);
    f.Advance(3000);  // groups 1, 2 and 3, one a second

    // What the far end receives is the raw list, sentence by sentence with CR LF.
    const QByteArray expected = QByteArray::fromStdString(tr.MemoNMEAbrut.Text());
    QVERIFY(tr.MemoNMEAbrut.Count() > 10);
    QByteArray got;
    QVERIFY(QTest::qWaitFor(
        [&] {
          got += far.readAll();
          return got.size() >= expected.size();
        },
        10000));
    QCOMPARE(got, expected);
    for (const QString& line : QString::fromLatin1(got).split("\r\n", Qt::SkipEmptyParts)) {
      QVERIFY2(ChecksumHolds(line), qPrintable(line));
    }

    // The visible list shows the same sentences.
    QListWidget* list = w.nmeaList();
    QCOMPARE(static_cast<std::size_t>(list->count()), tr.MemoNMEA.Count());
    for (int i = 0; i < list->count(); ++i) {
      QCOMPARE(list->item(i)->text().toStdString(), std::string(tr.MemoNMEA.Line(static_cast<std::size_t>(i))));
    }

    // The saves write the raw and the time-stamped lists.
    w.Action("DataNMEA")->trigger();
    w.Action("SauvegarderNMEAhorodat1")->trigger();
    QCOMPARE(titles, (std::vector<std::string>{"Sauvegarde NMEA", "Sauvegarde NMEA"}));
    QCOMPARE(ReadFile(raw), QByteArray::fromStdString(tr.MemoNMEAbrut.Text()));
    const QByteArray hms = ReadFile(stamped);
    QCOMPARE(hms, QByteArray::fromStdString(tr.MemoNMEAHMS.Text()));
    const QList<QByteArray> lines = hms.split('\n');
    QCOMPARE(lines.front(), QByteArray("\r"));  // the empty first line
    QVERIFY(lines.at(1).startsWith("NMEA183:"));
    QVERIFY(lines.at(1).contains(QByteArray(":") + QByteArray::fromStdString(std::string(tr.MemoNMEAbrut.Line(0)))));

    // "Raz" closes the port and empties the visible list.
    QTest::mouseClick(f.Find<QPushButton>("RazCom"), Qt::LeftButton);
    QCOMPARE(list->count(), 0);
    QVERIFY(!tr.ComValid());
    QVERIFY(w.Messages().isEmpty());
  }

  void aPortThatCannotBeOpenedIsReported() {
    WindowFixture f;
    QVERIFY(f.Prepare());
    TFVentrel& w = f.Open();
    ChoosePort(f.Find<QComboBox>("CBcom"), f.file("pas_de_port"));
    QVERIFY(!w.program().transmission().ComValid());
    QVERIFY(!f.Find<QPushButton>("BtActivNMEA")->isEnabled());
    QCOMPARE(w.Messages().size(), 1);
    QVERIFY(w.Messages().front().contains(QStringLiteral("Ce Com n'est pas disponible sur la machine")));
  }
};

QTEST_MAIN(TestNmeaPanel)
#include "test_nmea_panel.moc"
