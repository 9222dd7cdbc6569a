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

#include "qt/nmea_inputs.h"
#include "qt/port_names.h"
#include "qt/serial_nmea_port.h"
#include "qt/serial_port.h"

using namespace ventrel;

namespace {

// Two pseudo-terminals joined by socat, with link names of their own for each pair.
class PtyPair {
 public:
  PtyPair() {
    static int count = 0;
    const QString base =
        QDir::tempPath() + QStringLiteral("/vnt_pty_%1_%2_").arg(QCoreApplication::applicationPid()).arg(++count);
    near_ = base + "A";
    far_ = base + "B";
  }
  ~PtyPair() {
    if (proc_.state() != QProcess::NotRunning) {
      proc_.terminate();
      if (!proc_.waitForFinished(3000)) kill();
    }
    QFile::remove(near_);
    QFile::remove(far_);
  }
  // Starts socat and waits for both links.
  bool start() {
    QFile::remove(near_);
    QFile::remove(far_);
    proc_.setStandardErrorFile(QProcess::nullDevice());
    proc_.start("socat", {"-d", "-d", "pty,raw,echo=0,link=" + near_, "pty,raw,echo=0,link=" + far_});
    return proc_.waitForStarted(5000) &&
           QTest::qWaitFor([this] { return QFileInfo::exists(near_) && QFileInfo::exists(far_); }, 5000);
  }
  // The far end vanishes at once: socat is killed and its links are left dangling.
  void kill() {
    proc_.kill();
    proc_.waitForFinished(5000);
  }
  std::string near() const { return near_.toStdString(); }
  const QString& far() const { return far_; }

 private:
  QProcess proc_;
  QString near_, far_;
};

// Reads what comes out of the far end of a pair.
class FarEnd {
 public:
  bool open(const QString& path) {
    port_.setPortName(path);
    return port_.open(QIODevice::ReadWrite);
  }
  // Sends bytes toward the near end, in pieces of `piece` bytes.
  void send(const std::string& bytes, std::size_t piece) {
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      port_.write(bytes.substr(at, piece).c_str());
      port_.waitForBytesWritten(1000);
    }
  }
  // All that came once n bytes have come or the time is up (too few show in the comparison).
  QByteArray read(qsizetype n, int ms = 3000) {
    static_cast<void>(QTest::qWaitFor([&] { return (got_ += port_.readAll()).size() >= n; }, ms));
    return got_;
  }
  // Everything that came within ms.
  QByteArray settle(int ms = 300) {
    QTest::qWait(ms);
    return got_ += port_.readAll();
  }

 private:
  QSerialPort port_;
  QByteArray got_;
};

// A pair whose far end is read.
struct Line {
  Line() : ok(pair.start() && far.open(pair.far())) {}
  PtyPair pair;
  FarEnd far;
  bool ok;
};

// The line settings of a port as the system holds them.
termios line_of(const QSerialPort* port) {
  termios tio{};
  if (port == nullptr || ::tcgetattr(static_cast<int>(port->handle()), &tio) != 0) qFatal("no line settings to read");
  return tio;
}

const std::string kCom1 = "\\\\.\\COM1";
const std::string kCom3 = "\\\\.\\COM3";
const std::string kCom5 = "\\\\.\\COM5";

// Sentences as the transmission cycle writes them, each with CR LF.
const std::vector<std::string> kSentences = {"$SDMTW,13.00,C*36\r\n", "$WIMWV,45.0,R,12.4,N,A*1E\r\n",
                                             "$GPRMC,101530,A,4717.113,N,00833.912,E,6.3,54.7,061226,1.2,W*4C\r\n"};
const QByteArray kAll = QByteArray::fromStdString(kSentences[0] + kSentences[1] + kSentences[2]);
QByteArray Bytes(const std::string& s) { return QByteArray::fromStdString(s); }

PortOverrides Overrides(const QString& text) {  // "KEY=value;KEY=value"
  PortOverrides map;
  for (const QString& pair : text.split(';', Qt::SkipEmptyParts)) {
    map[pair.left(pair.indexOf('=')).toStdString()] = pair.mid(pair.indexOf('=') + 1).toStdString();
  }
  return map;
}

}  // namespace

class TestSerialPort : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    if (QStandardPaths::findExecutable("socat").isEmpty()) QFAIL("socat is needed for the pseudo-terminal pairs");
  }
  void init() { messages_.clear(); }
  void names_and_devices();
  void sentences_at_speed_data();
  void sentences_at_speed();
  void other_settings_as_found();
  void long_texts();
  void settings_refused();
  void open_twice();
  void second_port_leaves_first_open();
  void far_end_vanishes();
  void far_end_stalls();
  void open_failures_told();
  void lost_port_reopened();
  void nmea_port_is_an_output();
  void received_sentences_of_the_port_in_use();

 private:
  QStringList messages_;
  MessageSink sink() {
    return [this](const std::string& m) { messages_ << QString::fromStdString(m); };
  }
};

void TestSerialPort::names_and_devices() {
  // Two backslashes, a point, a backslash and the port name, exact and case-sensitive.
  QCOMPARE(Pcom.size(), std::size_t{10});
  SerialPorts com(sink());
  QCOMPARE(com.entry_count(), std::size_t{10});
  for (std::size_t k = 0; k < Pcom.size(); ++k) {
    QCOMPARE(QString::fromStdString(std::string(Pcom[k])), QStringLiteral("\\\\.\\COM%1").arg(k + 1));
    QVERIFY(com.portIndex(Pcom[k]) == k);
    QCOMPARE(com.state(k), HandleState::NeverOpened);
  }
  QVERIFY(com.portIndex("COM4") == std::size_t{3});
  QVERIFY(!com.portIndex("\\\\.\\com4"));
  QVERIFY(!com.portIndex("/dev/ttyUSB0"));
  // Names typed by hand: accepted or not, and their canonical form.
  const struct {
    const char *text, *canonical;
    bool accepted;
  } typed[] = {{"/dev/ttyUSB0", "/dev/ttyUSB0", true}, {R"(\\.\COM2)", R"(\\.\COM2)", true},
               {"COM5", R"(\\.\COM5)", true}, {"COM15", R"(\\.\COM15)", true}, {"COMx", "COMx", true},
               {"com5", "com5", false}, {"ttyUSB0", "ttyUSB0", false}, {"", "", false}};
  for (const auto& t : typed) {
    QVERIFY2(is_port_name(t.text) == t.accepted, t.text);
    QCOMPARE(QString::fromStdString(canonical_port_name(t.text)), QString(t.canonical));
  }
  const auto U = PortPlatform::Unix;
  const auto W = PortPlatform::Windows;
  const struct {
    const char *name, *overrides;
    PortPlatform platform;
    const char* device;  // nullptr for none
  } devices[] = {
      {R"(\\.\COM1)", "", U, "/dev/ttyS0"},             {R"(\\.\COM10)", "", U, "/dev/ttyS9"},
      {R"(\\.\COM3)", "COM3=/tmp/xxxB", U, "/tmp/xxxB"}, {R"(\\.\COM1)", "COM3=/tmp/xxxB", U, "/dev/ttyS0"},
      {R"(\\.\COM3)", "COM3=", U, "/dev/ttyS2"},  // an empty override is ignored
      {R"(\\.\COM10)", "COM10=/dev/ttyUSB1;COM1=/dev/ttyACM0", U, "/dev/ttyUSB1"},
      {"COM4", "", U, "/dev/ttyS3"},                      {"COM3", "COM3=/tmp/xxxB", U, "/tmp/xxxB"},
      {R"(\\.\COM12)", "COM12=/dev/x", U, "/dev/ttyS11"},  // beyond the ten: no override
      {"/dev/ttyUSB0", "", U, "/dev/ttyUSB0"},            {R"(\\.\CNCA0)", "", U, nullptr},
      {"COM0", "", U, nullptr},    {"COM01", "", U, nullptr}, {"COM256", "", U, nullptr}, {"COMx", "", U, nullptr},
      {"ttyS0", "", U, nullptr},   {"", "", U, nullptr},
      {R"(\\.\COM3)", "COM3=/tmp/xxxB", W, R"(\\.\COM3)"},  // on Windows the names are the ports
      {"COM3", "", W, R"(\\.\COM3)"}, {R"(\\.\COM11)", "", W, R"(\\.\COM11)"}, {R"(\\.\CNCA0)", "", W, R"(\\.\CNCA0)"}};
  for (const auto& d : devices) {
    const auto got = device_for(d.name, Overrides(d.overrides), d.platform);
    QVERIFY2(got.has_value() == (d.device != nullptr), d.name);
    if (d.device != nullptr) QCOMPARE(QString::fromStdString(*got), QString(d.device));
  }
  // The list: the ten names, then each detected device that none of the ten opens, once.
  const struct {
    std::vector<std::string> detected;
    const char* overrides;
    PortPlatform platform;
    std::vector<std::string> after_ten;
  } lists[] = {
      {{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyACM0"}, "", U, {"/dev/ttyUSB0", "/dev/ttyACM0"}},
      {{"/dev/ttyS2", "/dev/ttyUSB0", "/dev/ttyACM0"}, "COM3=/dev/ttyUSB0", U, {"/dev/ttyS2", "/dev/ttyACM0"}},
      {{}, "", U, {}},
      {{R"(\\.\COM3)", R"(\\.\COM12)"}, "", W, {R"(\\.\COM12)"}}};
  for (const auto& l : lists) {
    std::vector<std::string> expected(Pcom.begin(), Pcom.end());
    expected.insert(expected.end(), l.after_ten.begin(), l.after_ten.end());
    QVERIFY(build_port_list(l.detected, Overrides(l.overrides), l.platform) == expected);
  }
  // The list of this machine starts with the same ten names.
  const auto here = port_list({});
  QVERIFY(here.size() >= 10);
  QVERIFY(std::equal(Pcom.begin(), Pcom.end(), here.begin()));
}

void TestSerialPort::sentences_at_speed_data() {
  QTest::addColumn<uint>("speed");
  QTest::addColumn<uint>("code");  // the system's speed code the line must carry
  for (const auto& [speed, code] : std::vector<std::pair<uint, uint>>{
           {150, B150}, {300, B300}, {600, B600}, {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600},
           {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}}) {
    QTest::addRow("%u bds", speed) << speed << code;
  }
}

void TestSerialPort::sentences_at_speed() {
  QFETCH(uint, speed);
  QFETCH(uint, code);
  Line line;
  QVERIFY(line.ok);
  SerialPorts com(sink(), {{"COM1", line.pair.near()}});
  QSignalSpy drained(&com, &SerialPorts::allWritten);
  QVERIFY(com.OpenPort(kCom1, speed, 0, 8, 0));
  QCOMPARE(messages_, QStringList());
  QCOMPARE(com.idx_com(), std::size_t{0});
  QCOMPARE(com.state(0), HandleState::Open);
  // 8 data bits, no parity, one stop bit at the chosen speed, on the device itself.
  const termios tio = line_of(com.port(0));
  QCOMPARE(static_cast<uint>(cfgetospeed(&tio)), code);
  QCOMPARE(tio.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});
  QCOMPARE(com.comDCB(0).BaudRate, std::uint32_t{speed});
  for (const std::string& s : kSentences) {
    QVERIFY(com.Write_Com(s));
    QCOMPARE(com.PnbWrit(), static_cast<std::uint32_t>(s.size()));
    QCOMPARE(com.Tot_nbwrit(), com.PnbWrit());
  }
  QCOMPARE(line.far.read(kAll.size()), kAll);
  QCOMPARE(line.far.settle(), kAll);
  QVERIFY(drained.count() > 0 || drained.wait(2000));
  QCOMPARE(com.pending_bytes(), std::int64_t{0});
  QVERIFY(com.Write_Com(""));  // an empty text writes nothing and is a success
  QCOMPARE(line.far.settle(100), kAll);
}

void TestSerialPort::other_settings_as_found() {
  const struct {
    tcflag_t cflag_on, iflag_on;
    QSerialPort::FlowControl flow;
  } rows[] = {{CRTSCTS, 0, QSerialPort::HardwareControl},
              {0, IXON | IXOFF, QSerialPort::SoftwareControl},
              {0, 0, QSerialPort::NoFlowControl}};
  PtyPair pair;
  QVERIFY(pair.start());
  SerialPorts com(sink(), {{"COM1", pair.near()}});
  for (const auto& r : rows) {
    // Another program left the line at 1200 bauds, 7 bits, odd parity, 2 stop bits, with
    // the flow control of the row.
    const int fd = ::open(pair.near().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    termios tio{};
    QCOMPARE(::tcgetattr(fd, &tio), 0);
    tio.c_cflag = (tio.c_cflag & ~(CSIZE | CRTSCTS)) | CS7 | PARENB | PARODD | CSTOPB | r.cflag_on;
    tio.c_iflag = (tio.c_iflag & ~(IXON | IXOFF)) | r.iflag_on;
    cfsetspeed(&tio, B1200);
    QCOMPARE(::tcsetattr(fd, TCSANOW, &tio), 0);
    ::close(fd);
    QVERIFY(com.OpenPort(kCom1, 4800, 0, 8, 0));
    QCOMPARE(messages_, QStringList());
    QCOMPARE(static_cast<int>(com.comDCB(0).FlowControl), static_cast<int>(r.flow));
    tio = line_of(com.port(0));
    QCOMPARE(static_cast<uint>(cfgetospeed(&tio)), uint{B4800});
    QCOMPARE(tio.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t{CS8});
    QCOMPARE(tio.c_cflag & CRTSCTS, r.cflag_on);
    QCOMPARE(tio.c_iflag & (IXON | IXOFF), r.iflag_on);
    com.ClosePort(kCom1);
  }
}

void TestSerialPort::long_texts() {
  Line line;
  QVERIFY(line.ok);
  SerialPorts com(sink(), {{"COM1", line.pair.near()}});
  QVERIFY(com.OpenPort(kCom1, 115200, 0, 8, 0));
  // 2047 characters fill the write buffer but one and go out whole.
  const std::string longest = std::string(2045, 'x') + "\r\n";
  QVERIFY(com.Write_Com(longest));
  QCOMPARE(com.PnbWrit(), std::uint32_t{2047});
  QCOMPARE(line.far.read(2047), Bytes(longest));
  // 2048 and more do not fit: refused, nothing sent; a count beyond the buffer reads nothing past it.
  QVERIFY(!com.Write_Com(std::string(2048, 'y')));
  QCOMPARE(com.PnbWrit(), std::uint32_t{0});
  QVERIFY(!com.Write_Com(std::string(5000, 'y')));
  QCOMPARE(com.Write_Com_Data(SerialPorts::kBuffSize + 1), std::uint32_t{0});
  QCOMPARE(line.far.settle(), Bytes(longest));
}

void TestSerialPort::settings_refused() {
  const struct {
    std::uint32_t speed;
    std::uint8_t parity, data_bits, stop_bits;
  } rows[] = {{4800, 0, 9, 0}, {4800, 0, 4, 0}, {4800, 5, 8, 0}, {4800, 0, 8, 3}, {0, 0, 8, 0}};
  PtyPair pair;
  QVERIFY(pair.start());
  SerialPorts com(sink(), {{"COM1", pair.near()}});
  for (const auto& r : rows) {
    messages_.clear();
    QVERIFY(!com.OpenPort(kCom1, r.speed, r.parity, r.data_bits, r.stop_bits));
    QCOMPARE(messages_, QStringList{"Erreur dans SetCommState"});
    // The port stays open, as a handle whose settings were refused does; "Raz" closes it quietly.
    QCOMPARE(com.state(0), HandleState::Open);
    com.ClosePort(kCom1);
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(com.state(0), HandleState::Closed);
    QVERIFY(QString::fromStdString(com.open_failure()).contains("refuse la vitesse"));
  }
}

void TestSerialPort::open_twice() {
  Line line;
  QVERIFY(line.ok);
  SerialPorts com(sink(), {{"COM1", line.pair.near()}});
  QVERIFY(com.OpenPort(kCom1, 4800, 0, 8, 0));
  // Open in this program already: fails without a message; the entry is failed and the writes fail.
  QVERIFY(!com.OpenPort(kCom1, 4800, 0, 8, 0));
  QCOMPARE(messages_, QStringList());
  QCOMPARE(com.state(0), HandleState::Failed);
  QCOMPARE(com.port(0), nullptr);
  QVERIFY(!com.Write_Com(kSentences[0]));
  QCOMPARE(com.PnbWrit(), std::uint32_t{0});
  QCOMPARE(line.far.settle(), QByteArray());
  // "Raz" on a failed entry: the message, nothing else.
  com.ClosePort(kCom1);
  QCOMPARE(messages_, QStringList{"Handle invalide en fermeture "});
  QCOMPARE(com.state(0), HandleState::Failed);
  // The earlier handle was released: the port opens again and writes go out.
  messages_.clear();
  QVERIFY(com.OpenPort(kCom1, 4800, 0, 8, 0));
  QVERIFY(com.Write_Com(kSentences[0]));
  QCOMPARE(line.far.read(qsizetype(kSentences[0].size())), Bytes(kSentences[0]));
  // Held by another port object, or a name without a device: fails the same way.
  com.ClosePort(kCom1);
  QSerialPort other(QString::fromStdString(line.pair.near()));
  QVERIFY(other.open(QIODevice::ReadWrite));
  QVERIFY(!com.OpenPort(kCom1, 4800, 0, 8, 0));
  QCOMPARE(com.state(0), HandleState::Failed);
  QVERIFY(!com.OpenPort("COMx", 4800, 0, 8, 0));
  QCOMPARE(com.state(*com.portIndex("COMx")), HandleState::Failed);
  QCOMPARE(messages_, QStringList());
}

void TestSerialPort::second_port_leaves_first_open() {
  PtyPair one, three;
  QVERIFY(one.start());
  QVERIFY(three.start());
  FarEnd far1, far3;
  QVERIFY(far1.open(one.far()));
  QVERIFY(far3.open(three.far()));
  const std::string missing = QDir::tempPath().toStdString() + "/vnt_missing_" +
                              std::to_string(QCoreApplication::applicationPid());
  SerialPorts com(sink(), {{"COM1", one.near()}, {"COM3", three.near()}, {"COM5", missing}});
  QVERIFY(!com.Write_Com(kSentences[0]));  // at start no port is open
  QVERIFY(com.OpenPort(kCom1, 4800, 0, 8, 0));
  QVERIFY(com.Write_Com(kSentences[0]));
  QCOMPARE(far1.read(qsizetype(kSentences[0].size())), Bytes(kSentences[0]));

  QVERIFY(com.OpenPort(kCom3, 9600, 0, 8, 0));
  QCOMPARE(com.idx_com(), std::size_t{2});
  QCOMPARE(com.state(0), HandleState::Open);
  QCOMPARE(com.state(2), HandleState::Open);
  // COM1 still holds its device: nobody else can have it.
  QSerialPort other(QString::fromStdString(one.near()));
  QVERIFY(!other.open(QIODevice::ReadWrite));
  QVERIFY(com.port(0) != nullptr && com.port(0)->isOpen());
  QVERIFY(com.Write_Com(kSentences[1]));
  QCOMPARE(far3.read(qsizetype(kSentences[1].size())), Bytes(kSentences[1]));
  QCOMPARE(far1.settle(), Bytes(kSentences[0]));

  // "Raz" on a port never opened does nothing, but the writes now follow it, as they
  // follow a failed attempt on another port, though COM1 and COM3 stay open.
  com.ClosePort(kCom5);
  QCOMPARE(com.state(4), HandleState::NeverOpened);
  QCOMPARE(com.idx_com(), std::size_t{4});
  QVERIFY(!com.Write_Com(kSentences[0]));
  com.ClosePort("/dev/vnt_none");
  QCOMPARE(com.state(*com.portIndex("/dev/vnt_none")), HandleState::NeverOpened);
  QVERIFY(!com.OpenPort(kCom5, 4800, 0, 8, 0));
  QCOMPARE(com.idx_com(), std::size_t{4});
  QCOMPARE(com.state(4), HandleState::Failed);
  QCOMPARE(com.state(2), HandleState::Open);
  QCOMPARE(com.state(0), HandleState::Open);
  QVERIFY(!com.Write_Com(kSentences[2]));
  // Closing COM1 turns the writes to it: they fail until a port opens again. Closing again does nothing.
  com.ClosePort(kCom1);
  QCOMPARE(com.state(0), HandleState::Closed);
  QCOMPARE(com.idx_com(), std::size_t{0});
  QVERIFY(!com.Write_Com(kSentences[2]));
  com.ClosePort(kCom1);
  QCOMPARE(com.state(0), HandleState::Closed);
  QCOMPARE(messages_, QStringList());
  QCOMPARE(far3.settle(), Bytes(kSentences[1]));
  QCOMPARE(far1.settle(), Bytes(kSentences[0]));
}

void TestSerialPort::far_end_vanishes() {
  PtyPair pair;
  QVERIFY(pair.start());
  SerialPorts com(sink(), {{"COM1", pair.near()}});
  QSignalSpy failed(&com, &SerialPorts::writeFailed);
  QVERIFY(com.OpenPort(kCom1, 4800, 0, 8, 0));
  // A backlog on its way, then the far end is gone.
  for (int k = 0; k < 60; ++k) QVERIFY(com.Write_Com(kSentences[2]));
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
  QCOMPARE(messages_, QStringList());
  QVERIFY(!com.Write_Com(kSentences[1]));  // later writes keep failing; nothing crashes
  QVERIFY(!com.Write_Com(kSentences[1]));
  // The device comes back under the same name: choosing the port again resumes.
  QVERIFY(pair.start());
  FarEnd far;
  QVERIFY(far.open(pair.far()));
  QVERIFY(com.OpenPort(kCom1, 4800, 0, 8, 0));
  QCOMPARE(messages_, QStringList());
  for (const std::string& s : kSentences) QVERIFY(com.Write_Com(s));
  QCOMPARE(far.read(kAll.size()), kAll);
}

void TestSerialPort::far_end_stalls() {
  // Nobody reads the far end: the line fills up, writes are refused instead of waiting,
  // and they go through again once the far end reads.
  PtyPair pair;
  QVERIFY(pair.start());
  SerialPorts com(sink(), {{"COM1", pair.near()}});
  QVERIFY(com.OpenPort(kCom1, 230400, 0, 8, 0));
  const std::string chunk = std::string(998, 'z') + "\r\n";
  qsizetype sent = 0;
  bool refused = false;
  QElapsedTimer clock;
  clock.start();
  while (!refused && clock.elapsed() < 20000) {
    QElapsedTimer call;
    call.start();
    refused = !com.Write_Com(chunk);
    if (!refused) sent += qsizetype(chunk.size());
    QVERIFY2(call.elapsed() < 200, "a write waited for the line");
    QTest::qWait(1);
  }
  QVERIFY(refused);
  QVERIFY(com.pending_bytes() > 0 && com.pending_bytes() <= qint64(SerialPorts::kMaxPending));
  QSignalSpy drained(&com, &SerialPorts::allWritten);
  FarEnd far;
  QVERIFY(far.open(pair.far()));
  QCOMPARE(far.read(sent, 20000).size(), sent);
  QVERIFY(drained.count() > 0 || drained.wait(5000));
  QVERIFY(com.Write_Com(kSentences[0]));
}

void TestSerialPort::open_failures_told() {
  PtyPair pair;
  QVERIFY(pair.start());
  const std::string absent = QDir::tempPath().toStdString() + "/vnt_no_such_tty";
  const struct {
    std::string name;
    const char* reason;  // a part of open_failure(); "" after a successful open
  } rows[] = {{absent, "n'existe pas"},
              {"COM4", "vnt_no_such_tty_4"},  // the device named, not the port
              {"bogus", "aucun périphérique"},
              {kCom1, ""}};
  SerialPorts com(sink(), {{"COM1", pair.near()}, {"COM4", absent + "_4"}});
  for (const auto& r : rows) {
    const bool opened = com.OpenPort(r.name, 4800, 0, 8, 0);
    QCOMPARE(opened, *r.reason == '\0');
    const QString why = QString::fromStdString(com.open_failure());
    QVERIFY2(*r.reason == '\0' ? why.isEmpty() : why.contains(r.reason), qPrintable(why));
    QVERIFY(!com.lost());  // a port that never opened is not lost
  }
  QCOMPARE(messages_, QStringList());
}

void TestSerialPort::lost_port_reopened() {
  PtyPair pair;
  QVERIFY(pair.start());
  SerialPorts com(sink(), {{"COM1", pair.near()}});
  QVERIFY(com.OpenPort(kCom1, 9600, 0, 8, 0));
  QVERIFY(!com.lost());
  QVERIFY(com.Reopen());  // open: nothing to do
  pair.kill();
  QVERIFY(QTest::qWaitFor(
      [&] {
        com.Write_Com(kSentences[0]);
        return com.lost();
      },
      5000));
  QVERIFY(!com.Reopen());  // the device is gone: still lost, nothing said
  QVERIFY(com.lost());
  QVERIFY(!com.Write_Com(kSentences[0]));
  // The device comes back under the same name: opened again at the speed it had.
  QVERIFY(pair.start());
  FarEnd far;
  QVERIFY(far.open(pair.far()));
  QVERIFY(com.Reopen());
  QVERIFY(!com.lost());
  const termios tio = line_of(com.port(0));
  QCOMPARE(static_cast<uint>(cfgetospeed(&tio)), uint{B9600});
  for (const std::string& s : kSentences) QVERIFY(com.Write_Com(s));
  QCOMPARE(far.read(kAll.size()), kAll);
  // Closed by the user: neither lost nor opened again.
  com.ClosePort(kCom1);
  QVERIFY(!com.lost());
  QVERIFY(!com.Reopen());
  QCOMPARE(messages_, QStringList());
}

// The port of the NMEA panel as an output of the cycle: its bytes go to the port
// of the last open or close, under that port's name; a closed port refuses them.
void TestSerialPort::nmea_port_is_an_output() {
  PtyPair one, three;
  QVERIFY(one.start());
  QVERIFY(three.start());
  FarEnd far1, far3;
  QVERIFY(far1.open(one.far()));
  QVERIFY(far3.open(three.far()));
  SerialPorts com(sink(), {{"COM1", one.near()}, {"COM3", three.near()}});
  SerialNmeaPort port(com);
  NmeaOutput& out = port;
  struct Step {
    const std::string* open;  // opened before the write; nullptr: the last one closed
    FarEnd* far;              // where the sentence comes out; nullptr: refused
  };
  const Step steps[] = {{&kCom1, &far1}, {&kCom3, &far3}, {nullptr, nullptr}};
  std::string last;
  for (const Step& st : steps) {
    if (st.open != nullptr) {
      QVERIFY(port.OpenPort(*st.open, 4800, 0, 8, 0));
      last = *st.open;
    } else {
      port.ClosePort(last);
    }
    QCOMPARE(out.name(), last);
    QCOMPARE(out.write(kSentences[1]), st.far != nullptr);
    if (st.far != nullptr) QCOMPARE(st.far->read(qsizetype(kSentences[1].size())), Bytes(kSentences[1]));
  }
  // Each port received its one sentence; the refused write went nowhere.
  QCOMPARE(far1.settle(), Bytes(kSentences[1]));
  QCOMPARE(far3.settle(), Bytes(kSentences[1]));
}

// What the far end of the port in use sends reaches the steering input, whatever
// its pieces; what another open port receives is thrown away.
void TestSerialPort::received_sentences_of_the_port_in_use() {
  PtyPair one, three;
  QVERIFY(one.start());
  QVERIFY(three.start());
  FarEnd far1, far3;
  QVERIFY(far1.open(one.far()));
  QVERIFY(far3.open(three.far()));
  SerialPorts com(sink(), {{"COM1", one.near()}, {"COM3", three.near()}});
  int got = 0;
  NmeaInputs inputs([&got](const SteeringSentence&) { ++got; }, {});
  inputs.SetSerialPorts(&com);
  QCOMPARE(inputs.Start({{NmeaSourceKind::Serial, {}}}), std::string());
  const std::string hsc = "$APHSC,272.0,T,270.5,M*57\r\n";
  const std::string* inUse = nullptr;
  const struct {
    const std::string* open;  // the port in use
    FarEnd* far;              // whose far end sends
    std::size_t piece;
    int used;                 // sentences used after it, in all
  } steps[] = {{&kCom1, &far1, 1, 1}, {&kCom1, &far1, 9, 2}, {&kCom3, &far1, 64, 2}, {&kCom3, &far3, 5, 3}};
  for (const auto& st : steps) {
    if (inUse != st.open) QVERIFY(com.OpenPort(*st.open, 4800, 0, 8, 0));
    inUse = st.open;
    st.far->send(hsc, st.piece);
    QTest::qWait(300);
    QCOMPARE(got, st.used);
  }
  QCOMPARE(inputs.Counts().dropped(), 0u);
}

QTEST_MAIN(TestSerialPort)
#include "test_serial_port.moc"
