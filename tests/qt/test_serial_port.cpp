// The serial ports of the NMEA output, on pseudo-terminal pairs joined by socat:
// what is written on the near end must come out of the far end byte for byte.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "nmea/qt/port_names.h"
#include "nmea/qt/serial_port.h"

using namespace ventrel;

Q_DECLARE_METATYPE(ventrel::PortPlatform)

namespace {

// Two pseudo-terminals joined by socat; the links have names of their own for each
// pair of each run.
class PtyPair {
 public:
  PtyPair() {
    static int count = 0;
    const QString base = QDir::tempPath() + QStringLiteral("/vnt_pty_%1_%2_")
                                                .arg(QCoreApplication::applicationPid())
                                                .arg(++count);
    near_ = base + "A";
    far_ = base + "B";
  }
  ~PtyPair() { stop(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // Starts socat and waits for both links.
  bool start() {
    QFile::remove(near_);
    QFile::remove(far_);
    proc_.setStandardErrorFile(QProcess::nullDevice());
    proc_.start("socat", {"-d", "-d", "pty,raw,echo=0,link=" + near_, "pty,raw,echo=0,link=" + far_});
    if (!proc_.waitForStarted(5000)) {
      return false;
    }
    return QTest::qWaitFor([this] { return QFileInfo::exists(near_) && QFileInfo::exists(far_); },
                           5000);
  }
  // The far end vanishes at once: socat is killed and its links are left dangling.
  void kill() {
    proc_.kill();
    proc_.waitForFinished(5000);
  }
  void stop() {
    if (proc_.state() != QProcess::NotRunning) {
      proc_.terminate();
      if (!proc_.waitForFinished(3000)) {
        kill();
      }
    }
    QFile::remove(near_);
    QFile::remove(far_);
  }
  std::string near() const { return near_.toStdString(); }
  const QString& far() const { return far_; }

 private:
  QProcess proc_;
  QString near_;
  QString far_;
};

// Reads what comes out of the far end of a pair.
class FarEnd {
 public:
  bool open(const QString& path) {
    port_.setPortName(path);
    return port_.open(QIODevice::ReadOnly);
  }
  // Waits until n bytes have come (or the time is up) and returns all that came.
  QByteArray read(qsizetype n, int ms = 3000) {
    // Too few bytes show in the comparison that follows.
    static_cast<void>(QTest::qWaitFor(
        [&] {
          got_ += port_.readAll();
          return got_.size() >= n;
        },
        ms));
    return got_;
  }
  // Everything that came within ms.
  QByteArray settle(int ms = 300) {
    QTest::qWait(ms);
    got_ += port_.readAll();
    return got_;
  }
  void clear() { got_.clear(); }

 private:
  QSerialPort port_;
  QByteArray got_;
};

// The line settings of a port as the system holds them.
termios line_of(const QSerialPort* port) {
  termios tio{};
  if (port == nullptr || ::tcgetattr(static_cast<int>(port->handle()), &tio) != 0) {
    qFatal("no line settings to read");
  }
  return tio;
}

const std::string kCom1 = "\\\\.\\COM1";
const std::string kCom3 = "\\\\.\\COM3";
const std::string kCom5 = "\\\\.\\COM5";

// Sentences as the transmission cycle writes them, each with CR LF.
const std::vector<std::string> kSentences = {
    "$SDMTW,13.00,C*36\r\n",
    "$WIMWV,45.0,R,12.4,N,A*1E\r\n",
    "$GPRMC,101530,A,4717.113,N,00833.912,E,6.3,54.7,061226,1.2,W*4C\r\n",
};

// A device path that does not exist.
std::string missing() {
  return (QDir::tempPath() + QStringLiteral("/vnt_missing_%1").arg(QCoreApplication::applicationPid()))
      .toStdString();
}

QByteArray joined(const std::vector<std::string>& texts) {
  QByteArray all;
  for (const std::string& s : texts) {
    all += QByteArray::fromStdString(s);
  }
  return all;
}

}  // namespace

class TestSerialPort : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();

  // Names and devices, without a port.
  void ten_names();
  void devices_data();
  void devices();
  void typed_names_data();
  void typed_names();
  void port_list_data();
  void port_list();

  // On pseudo-terminals.
  void sentences_at_speed_data();
  void sentences_at_speed();
  void other_settings_as_found_data();
  void other_settings_as_found();
  void long_texts();
  void settings_refused_data();
  void settings_refused();
  void open_twice();
  void second_port_leaves_first_open();
  void raz_never_opened();
  void far_end_vanishes();
  void far_end_stalls();

 private:
  std::vector<std::string> messages_;
  MessageSink sink() {
    return [this](const std::string& m) { messages_.push_back(m); };
  }
  QStringList msgs() const {
    QStringList list;
    for (const std::string& m : messages_) {
      list << QString::fromStdString(m);
    }
    return list;
  }
};

void TestSerialPort::initTestCase() {
  if (QStandardPaths::findExecutable("socat").isEmpty()) {
    QFAIL("socat is needed for the pseudo-terminal pairs");
  }
}

void TestSerialPort::ten_names() {
  // Two backslashes, a point, a backslash and the port name.
  QCOMPARE(Pcom.size(), std::size_t{10});
  for (std::size_t k = 0; k < Pcom.size(); ++k) {
    const std::string expected = std::string("\\\\.\\COM") + std::to_string(k + 1);
    QCOMPARE(QString::fromStdString(std::string(Pcom[k])), QString::fromStdString(expected));
  }
  QCOMPARE(Pcom[0].size(), std::size_t{8});

  CommUnitA com(sink());
  QCOMPARE(com.entry_count(), std::size_t{10});
  for (std::size_t k = 0; k < Pcom.size(); ++k) {
    QVERIFY(com.index_com(Pcom[k]) == k);
    QCOMPARE(com.state(k), HandleState::NeverOpened);
  }
  QVERIFY(com.index_com("COM4") == std::size_t{3});
  // Exact and case-sensitive.
  QVERIFY(!com.index_com("\\\\.\\com4"));
  QVERIFY(!com.index_com("/dev/ttyUSB0"));
}

void TestSerialPort::devices_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("overrides");  // "KEY=value;KEY=value"
  QTest::addColumn<PortPlatform>("platform");
  QTest::addColumn<QString>("device");  // "-" for none

  const auto U = PortPlatform::Unix;
  const auto W = PortPlatform::Windows;
  QTest::newRow("COM1 default") << R"(\\.\COM1)" << "" << U << "/dev/ttyS0";
  QTest::newRow("COM10 default") << R"(\\.\COM10)" << "" << U << "/dev/ttyS9";
  QTest::newRow("COM3 overridden") << R"(\\.\COM3)" << "COM3=/tmp/xxxB" << U << "/tmp/xxxB";
  QTest::newRow("COM1 beside an override of COM3")
      << R"(\\.\COM1)" << "COM3=/tmp/xxxB" << U << "/dev/ttyS0";
  QTest::newRow("empty override ignored") << R"(\\.\COM3)" << "COM3=" << U << "/dev/ttyS2";
  QTest::newRow("COM10 overridden") << R"(\\.\COM10)" << "COM10=/dev/ttyUSB1;COM1=/dev/ttyACM0" << U
                                    << "/dev/ttyUSB1";
  QTest::newRow("typed COM4") << "COM4" << "" << U << "/dev/ttyS3";
  QTest::newRow("typed COM3 overridden") << "COM3" << "COM3=/tmp/xxxB" << U << "/tmp/xxxB";
  QTest::newRow("COM12 beyond the ten") << R"(\\.\COM12)" << "COM12=/dev/x" << U << "/dev/ttyS11";
  QTest::newRow("device path") << "/dev/ttyUSB0" << "" << U << "/dev/ttyUSB0";
  QTest::newRow("Windows device not COM") << R"(\\.\CNCA0)" << "" << U << "-";
  QTest::newRow("COM0") << "COM0" << "" << U << "-";
  QTest::newRow("leading zero") << "COM01" << "" << U << "-";
  QTest::newRow("COM256") << "COM256" << "" << U << "-";
  QTest::newRow("no number") << "COMx" << "" << U << "-";
  QTest::newRow("bare name") << "ttyS0" << "" << U << "-";
  QTest::newRow("empty") << "" << "" << U << "-";
  QTest::newRow("Windows COM3 is itself") << R"(\\.\COM3)" << "COM3=/tmp/xxxB" << W << R"(\\.\COM3)";
  QTest::newRow("Windows typed COM3") << "COM3" << "" << W << R"(\\.\COM3)";
  QTest::newRow("Windows COM11") << R"(\\.\COM11)" << "" << W << R"(\\.\COM11)";
  QTest::newRow("Windows other device") << R"(\\.\CNCA0)" << "" << W << R"(\\.\CNCA0)";
}

void TestSerialPort::devices() {
  QFETCH(QString, name);
  QFETCH(QString, overrides);
  QFETCH(PortPlatform, platform);
  QFETCH(QString, device);
  PortOverrides map;
  for (const QString& pair : overrides.split(';', Qt::SkipEmptyParts)) {
    const auto at = pair.indexOf('=');
    map[pair.left(at).toStdString()] = pair.mid(at + 1).toStdString();
  }
  const auto got = device_for(name.toStdString(), map, platform);
  if (device == "-") {
    QVERIFY2(!got, got ? got->c_str() : "");
  } else {
    QVERIFY(got.has_value());
    QCOMPARE(QString::fromStdString(*got), device);
  }
}

void TestSerialPort::typed_names_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("accepted");
  QTest::addColumn<QString>("canonical");
  QTest::newRow("path") << "/dev/ttyUSB0" << true << "/dev/ttyUSB0";
  QTest::newRow("Windows device") << R"(\\.\COM2)" << true << R"(\\.\COM2)";
  QTest::newRow("COM5") << "COM5" << true << R"(\\.\COM5)";
  QTest::newRow("COM15") << "COM15" << true << R"(\\.\COM15)";
  QTest::newRow("COM without number") << "COMx" << true << "COMx";
  QTest::newRow("lower case") << "com5" << false << "com5";
  QTest::newRow("bare name") << "ttyUSB0" << false << "ttyUSB0";
  QTest::newRow("empty") << "" << false << "";
}

void TestSerialPort::typed_names() {
  QFETCH(QString, text);
  QFETCH(bool, accepted);
  QFETCH(QString, canonical);
  QCOMPARE(is_port_name(text.toStdString()), accepted);
  QCOMPARE(QString::fromStdString(canonical_port_name(text.toStdString())), canonical);
}

void TestSerialPort::port_list_data() {
  QTest::addColumn<QStringList>("detected");
  QTest::addColumn<QString>("override3");
  QTest::addColumn<PortPlatform>("platform");
  QTest::addColumn<QStringList>("after_ten");

  QTest::newRow("detected beside the ten")
      << QStringList{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyACM0"} << ""
      << PortPlatform::Unix << QStringList{"/dev/ttyUSB0", "/dev/ttyACM0"};
  QTest::newRow("a device given to COM3 is not listed twice")
      << QStringList{"/dev/ttyS2", "/dev/ttyUSB0", "/dev/ttyACM0"} << "/dev/ttyUSB0"
      << PortPlatform::Unix << QStringList{"/dev/ttyS2", "/dev/ttyACM0"};
  QTest::newRow("nothing detected") << QStringList{} << "" << PortPlatform::Unix << QStringList{};
  QTest::newRow("Windows") << QStringList{R"(\\.\COM3)", R"(\\.\COM12)"} << ""
                           << PortPlatform::Windows << QStringList{R"(\\.\COM12)"};
}

void TestSerialPort::port_list() {
  QFETCH(QStringList, detected);
  QFETCH(QString, override3);
  QFETCH(PortPlatform, platform);
  QFETCH(QStringList, after_ten);
  std::vector<std::string> found;
  for (const QString& d : detected) {
    found.push_back(d.toStdString());
  }
  PortOverrides overrides;
  if (!override3.isEmpty()) {
    overrides["COM3"] = override3.toStdString();
  }
  const auto list = build_port_list(found, overrides, platform);
  QCOMPARE(list.size(), 10 + static_cast<std::size_t>(after_ten.size()));
  for (std::size_t k = 0; k < 10; ++k) {
    QCOMPARE(QString::fromStdString(list[k]), QString::fromStdString(std::string(Pcom[k])));
  }
  for (qsizetype k = 0; k < after_ten.size(); ++k) {
    QCOMPARE(QString::fromStdString(list[10 + static_cast<std::size_t>(k)]), after_ten[k]);
  }
  // The list of this machine starts with the same ten names.
  const auto here = ventrel::port_list({});
  QVERIFY(here.size() >= 10);
  QCOMPARE(QString::fromStdString(here[9]), QString::fromStdString(std::string(Pcom[9])));
}

void TestSerialPort::sentences_at_speed_data() {
  QTest::addColumn<uint>("speed");
  QTest::addColumn<uint>("code");  // the system's speed code the line must carry
  const std::vector<std::pair<uint, uint>> speeds = {
      {150, B150},     {300, B300},     {600, B600},     {1200, B1200},
      {2400, B2400},   {4800, B4800},   {9600, B9600},   {19200, B19200},
      {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}};
  for (const auto& [speed, code] : speeds) {
    QTest::addRow("%u bds", speed) << speed << code;
  }
}

void TestSerialPort::sentences_at_speed() {
  QFETCH(uint, speed);
  QFETCH(uint, code);
  PtyPair pair;
  QVERIFY(pair.start());
  FarEnd far;
  QVERIFY(far.open(pair.far()));
  messages_.clear();

  CommUnitA com(sink(), {{"COM1", pair.near()}});
  QSignalSpy drained(&com, &CommUnitA::allWritten);
  QVERIFY(com.InitCom(kCom1, speed, 0, 8, 0));
  QCOMPARE(msgs(), QStringList());
  QCOMPARE(com.idx_com(), std::size_t{0});
  QCOMPARE(com.state(0), HandleState::Open);

  // 8 data bits, no parity, one stop bit at the chosen speed, on the device itself.
  const termios tio = line_of(com.port(0));
  QCOMPARE(static_cast<uint>(cfgetospeed(&tio)), code);
  QCOMPARE(tio.c_cflag & CSIZE, tcflag_t{CS8});
  QCOMPARE(tio.c_cflag & PARENB, tcflag_t{0});
  QCOMPARE(tio.c_cflag & CSTOPB, tcflag_t{0});
  QCOMPARE(com.comDCB(0).BaudRate, std::uint32_t{speed});

  for (const std::string& s : kSentences) {
    QVERIFY(com.Write_Com(s));
    QCOMPARE(com.PnbWrit(), static_cast<std::uint32_t>(s.size()));
    QCOMPARE(com.Tot_nbwrit(), com.PnbWrit());
  }
  const QByteArray expected = joined(kSentences);
  QCOMPARE(far.read(expected.size()), expected);
  QCOMPARE(far.settle(), expected);
  QVERIFY(drained.count() > 0 || drained.wait(2000));
  QCOMPARE(com.pending_bytes(), std::int64_t{0});

  // An empty text writes nothing and is a success.
  QVERIFY(com.Write_Com(""));
  QCOMPARE(far.settle(100), expected);
}

void TestSerialPort::other_settings_as_found_data() {
  QTest::addColumn<uint>("cflag_on");
  QTest::addColumn<uint>("iflag_on");
  QTest::addColumn<int>("flow");
  QTest::newRow("hardware flow control") << uint{CRTSCTS} << 0u << int{QSerialPort::HardwareControl};
  QTest::newRow("software flow control")
      << 0u << uint{IXON | IXOFF} << int{QSerialPort::SoftwareControl};
  QTest::newRow("no flow control") << 0u << 0u << int{QSerialPort::NoFlowControl};
}

void TestSerialPort::other_settings_as_found() {
  QFETCH(uint, cflag_on);
  QFETCH(uint, iflag_on);
  QFETCH(int, flow);
  PtyPair pair;
  QVERIFY(pair.start());

  // Another program left the line at 1200 bauds, 7 bits, odd parity, 2 stop bits,
  // with the flow control of the row.
  {
    const int fd = ::open(pair.near().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    termios tio{};
    QCOMPARE(::tcgetattr(fd, &tio), 0);
    tio.c_cflag &= ~(CSIZE | CRTSCTS);
    tio.c_cflag |= CS7 | PARENB | PARODD | CSTOPB | cflag_on;
    tio.c_iflag &= ~(IXON | IXOFF);
    tio.c_iflag |= iflag_on;
    cfsetspeed(&tio, B1200);
    QCOMPARE(::tcsetattr(fd, TCSANOW, &tio), 0);
    ::close(fd);
  }

  messages_.clear();
  CommUnitA com(sink(), {{"COM1", pair.near()}});
  QVERIFY(com.InitCom(kCom1, 4800, 0, 8, 0));
  QCOMPARE(msgs(), QStringList());
  QCOMPARE(static_cast<int>(com.comDCB(0).FlowControl), flow);

  const termios tio = line_of(com.port(0));
  QCOMPARE(static_cast<uint>(cfgetospeed(&tio)), uint{B4800});
  QCOMPARE(tio.c_cflag & CSIZE, tcflag_t{CS8});
  QCOMPARE(tio.c_cflag & (PARENB | CSTOPB), tcflag_t{0});
  QCOMPARE(tio.c_cflag & CRTSCTS, tcflag_t{cflag_on});
  QCOMPARE(tio.c_iflag & (IXON | IXOFF), tcflag_t{iflag_on});
}

void TestSerialPort::long_texts() {
  PtyPair pair;
  QVERIFY(pair.start());
  FarEnd far;
  QVERIFY(far.open(pair.far()));
  CommUnitA com(sink(), {{"COM1", pair.near()}});
  QVERIFY(com.InitCom(kCom1, 115200, 0, 8, 0));

  // 2047 characters fill the write buffer but one and go out whole.
  std::string longest(2045, 'x');
  longest += "\r\n";
  QVERIFY(com.Write_Com(longest));
  QCOMPARE(com.PnbWrit(), std::uint32_t{2047});
  QCOMPARE(far.read(2047), QByteArray::fromStdString(longest));

  // 2048 and more do not fit: refused, nothing sent.
  QVERIFY(!com.Write_Com(std::string(2048, 'y')));
  QCOMPARE(com.PnbWrit(), std::uint32_t{0});
  QVERIFY(!com.Write_Com(std::string(5000, 'y')));
  QCOMPARE(far.settle(), QByteArray::fromStdString(longest));

  // A count beyond the buffer reads nothing past it.
  QCOMPARE(com.Write_Com_Data(CommUnitA::kBuffSize + 1), std::uint32_t{0});
  QCOMPARE(far.settle(100), QByteArray::fromStdString(longest));
}

void TestSerialPort::settings_refused_data() {
  QTest::addColumn<uint>("speed");
  QTest::addColumn<uint>("parity");
  QTest::addColumn<uint>("data_bits");
  QTest::addColumn<uint>("stop_bits");
  QTest::newRow("9 data bits") << 4800u << 0u << 9u << 0u;
  QTest::newRow("4 data bits") << 4800u << 0u << 4u << 0u;
  QTest::newRow("parity code 5") << 4800u << 5u << 8u << 0u;
  QTest::newRow("stop-bit code 3") << 4800u << 0u << 8u << 3u;
  QTest::newRow("speed 0") << 0u << 0u << 8u << 0u;
}

void TestSerialPort::settings_refused() {
  QFETCH(uint, speed);
  QFETCH(uint, parity);
  QFETCH(uint, data_bits);
  QFETCH(uint, stop_bits);
  PtyPair pair;
  QVERIFY(pair.start());
  messages_.clear();
  CommUnitA com(sink(), {{"COM1", pair.near()}});
  QVERIFY(!com.InitCom(kCom1, speed, static_cast<std::uint8_t>(parity),
                       static_cast<std::uint8_t>(data_bits), static_cast<std::uint8_t>(stop_bits)));
  QCOMPARE(msgs(), QStringList{"Erreur dans SetCommState"});
  // The port stays open, as a handle whose settings were refused does; "Raz" closes
  // it quietly.
  QCOMPARE(com.state(0), HandleState::Open);
  messages_.clear();
  com.ResetCom(kCom1);
  QCOMPARE(msgs(), QStringList());
  QCOMPARE(com.state(0), HandleState::Closed);
}

void TestSerialPort::open_twice() {
  PtyPair pair;
  QVERIFY(pair.start());
  FarEnd far;
  QVERIFY(far.open(pair.far()));
  messages_.clear();
  CommUnitA com(sink(), {{"COM1", pair.near()}});
  QVERIFY(com.InitCom(kCom1, 4800, 0, 8, 0));

  // Open in this program already: fails without a message; the entry is failed and
  // the writes fail.
  QVERIFY(!com.InitCom(kCom1, 4800, 0, 8, 0));
  QCOMPARE(msgs(), QStringList());
  QCOMPARE(com.state(0), HandleState::Failed);
  QCOMPARE(com.port(0), nullptr);
  QVERIFY(!com.Write_Com(kSentences[0]));
  QCOMPARE(com.PnbWrit(), std::uint32_t{0});
  QCOMPARE(far.settle(), QByteArray());

  // "Raz" on a failed entry: the message, nothing else.
  com.ResetCom(kCom1);
  QCOMPARE(msgs(), QStringList{"Handle invalide en fermeture "});
  QCOMPARE(com.state(0), HandleState::Failed);

  // The earlier handle was released: the port opens again and writes go out.
  messages_.clear();
  QVERIFY(com.InitCom(kCom1, 4800, 0, 8, 0));
  QVERIFY(com.Write_Com(kSentences[0]));
  QCOMPARE(far.read(qsizetype(kSentences[0].size())), QByteArray::fromStdString(kSentences[0]));

  // Held by another port object: fails the same way.
  com.ResetCom(kCom1);
  QSerialPort other(QString::fromStdString(pair.near()));
  QVERIFY(other.open(QIODevice::ReadWrite));
  QVERIFY(!com.InitCom(kCom1, 4800, 0, 8, 0));
  QCOMPARE(com.state(0), HandleState::Failed);
  QCOMPARE(msgs(), QStringList());

  // A name without a device fails the same way.
  QVERIFY(!com.InitCom("COMx", 4800, 0, 8, 0));
  QCOMPARE(com.state(*com.index_com("COMx")), HandleState::Failed);
  QCOMPARE(msgs(), QStringList());
}

void TestSerialPort::second_port_leaves_first_open() {
  PtyPair one;
  PtyPair three;
  QVERIFY(one.start());
  QVERIFY(three.start());
  FarEnd far1;
  FarEnd far3;
  QVERIFY(far1.open(one.far()));
  QVERIFY(far3.open(three.far()));
  messages_.clear();
  CommUnitA com(sink(), {{"COM1", one.near()}, {"COM3", three.near()}, {"COM5", missing()}});

  QVERIFY(com.InitCom(kCom1, 4800, 0, 8, 0));
  QVERIFY(com.Write_Com(kSentences[0]));
  QCOMPARE(far1.read(qsizetype(kSentences[0].size())), QByteArray::fromStdString(kSentences[0]));
  far1.clear();

  QVERIFY(com.InitCom(kCom3, 9600, 0, 8, 0));
  QCOMPARE(com.idx_com(), std::size_t{2});
  QCOMPARE(com.state(0), HandleState::Open);
  QCOMPARE(com.state(2), HandleState::Open);
  // COM1 still holds its device: nobody else can have it.
  QSerialPort other(QString::fromStdString(one.near()));
  QVERIFY(!other.open(QIODevice::ReadWrite));
  QVERIFY(com.port(0) != nullptr && com.port(0)->isOpen());

  QVERIFY(com.Write_Com(kSentences[1]));
  QCOMPARE(far3.read(qsizetype(kSentences[1].size())), QByteArray::fromStdString(kSentences[1]));
  QCOMPARE(far1.settle(), QByteArray());

  // A failed attempt on another port stops the writes, though COM3 stays open.
  QVERIFY(!com.InitCom(kCom5, 4800, 0, 8, 0));
  QCOMPARE(com.idx_com(), std::size_t{4});
  QCOMPARE(com.state(4), HandleState::Failed);
  QCOMPARE(com.state(2), HandleState::Open);
  QVERIFY(!com.Write_Com(kSentences[2]));

  // Closing COM1 turns the writes to it: they fail until a port opens again.
  com.ResetCom(kCom1);
  QCOMPARE(com.state(0), HandleState::Closed);
  QCOMPARE(com.idx_com(), std::size_t{0});
  QVERIFY(!com.Write_Com(kSentences[2]));
  // Closing again does nothing.
  com.ResetCom(kCom1);
  QCOMPARE(com.state(0), HandleState::Closed);
  QCOMPARE(msgs(), QStringList());
  QCOMPARE(far3.settle(), QByteArray::fromStdString(kSentences[1]));
  QCOMPARE(far1.settle(), QByteArray());
}

void TestSerialPort::raz_never_opened() {
  PtyPair pair;
  QVERIFY(pair.start());
  messages_.clear();
  CommUnitA com(sink(), {{"COM1", pair.near()}});

  // At start no port is open: writes fail.
  QVERIFY(!com.Write_Com(kSentences[0]));

  QVERIFY(com.InitCom(kCom1, 4800, 0, 8, 0));
  com.ResetCom(kCom5);
  QCOMPARE(msgs(), QStringList());
  QCOMPARE(com.state(4), HandleState::NeverOpened);
  QCOMPARE(com.idx_com(), std::size_t{4});
  // COM1 is untouched, but writes now follow COM5.
  QCOMPARE(com.state(0), HandleState::Open);
  QVERIFY(!com.Write_Com(kSentences[0]));

  // A device path never opened: the same.
  com.ResetCom("/dev/vnt_none");
  QCOMPARE(msgs(), QStringList());
  QCOMPARE(com.state(*com.index_com("/dev/vnt_none")), HandleState::NeverOpened);
}

void TestSerialPort::far_end_vanishes() {
  PtyPair pair;
  QVERIFY(pair.start());
  messages_.clear();
  CommUnitA com(sink(), {{"COM1", pair.near()}});
  QSignalSpy failed(&com, &CommUnitA::writeFailed);
  QVERIFY(com.InitCom(kCom1, 4800, 0, 8, 0));

  // A backlog on its way, then the far end is gone.
  for (int k = 0; k < 60; ++k) {
    QVERIFY(com.Write_Com(kSentences[2]));
  }
  pair.kill();

  bool refused = false;
  QElapsedTimer clock;
  clock.start();
  while (!refused && clock.elapsed() < 5000) {
    refused = !com.Write_Com(kSentences[0]);
    QTest::qWait(20);
  }
  QVERIFY(refused);
  QVERIFY(failed.count() > 0);
  QCOMPARE(msgs(), QStringList());
  // Later writes keep failing; nothing crashes.
  QVERIFY(!com.Write_Com(kSentences[1]));
  QVERIFY(!com.Write_Com(kSentences[1]));

  // The device comes back under the same name: choosing the port again resumes.
  QVERIFY(pair.start());
  FarEnd far;
  QVERIFY(far.open(pair.far()));
  QVERIFY(com.InitCom(kCom1, 4800, 0, 8, 0));
  QCOMPARE(msgs(), QStringList());
  for (const std::string& s : kSentences) {
    QVERIFY(com.Write_Com(s));
  }
  const QByteArray expected = joined(kSentences);
  QCOMPARE(far.read(expected.size()), expected);
}

void TestSerialPort::far_end_stalls() {
  // Nobody reads the far end: the line fills up, writes are refused instead of
  // waiting, and they go through again once the far end reads.
  PtyPair pair;
  QVERIFY(pair.start());
  CommUnitA com(sink(), {{"COM1", pair.near()}});
  QVERIFY(com.InitCom(kCom1, 230400, 0, 8, 0));

  const std::string chunk = std::string(998, 'z') + "\r\n";
  qsizetype sent = 0;
  bool refused = false;
  QElapsedTimer clock;
  clock.start();
  while (!refused && clock.elapsed() < 20000) {
    QElapsedTimer call;
    call.start();
    if (com.Write_Com(chunk)) {
      sent += qsizetype(chunk.size());
    } else {
      refused = true;
    }
    QVERIFY2(call.elapsed() < 200, "a write waited for the line");
    QTest::qWait(1);
  }
  QVERIFY(refused);
  QVERIFY(com.pending_bytes() > 0);
  QVERIFY(com.pending_bytes() <= qint64(CommUnitA::kMaxPending));

  QSignalSpy drained(&com, &CommUnitA::allWritten);
  FarEnd far;
  QVERIFY(far.open(pair.far()));
  QCOMPARE(far.read(sent, 20000).size(), sent);
  QVERIFY(drained.count() > 0 || drained.wait(5000));
  QVERIFY(com.Write_Com(kSentences[0]));
}

QTEST_MAIN(TestSerialPort)
#include "test_serial_port.moc"
