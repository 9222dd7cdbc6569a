#include "ui/nmea_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "ui/controls.h"
#include "ui/look.h"

namespace ventrel {

namespace {

constexpr int kItemH = 17;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

TFParNMEA::TFParNMEA(QWidget* parent) : QDialog(parent) {
  setObjectName("FParNMEA");
  setWindowTitle(Q(kNmeaDialogCaption));
  setModal(false);
  look::ApplyNavy(this);
  const int listH = kNmeaItems * kItemH + 6;
  setFixedSize(820, listH + 190);

  list_ = new QListWidget(this);
  list_->setObjectName("ChkLBNMEA");
  list_->setGeometry(8, 8, 110, listH);
  memo_ = new QListWidget(this);
  memo_->setObjectName("MemoPNMEA");
  memo_->setGeometry(120, 8, 420, listH);
  memo_->setSelectionMode(QAbstractItemView::NoSelection);
  memo_->setFocusPolicy(Qt::NoFocus);
  QPalette yp = memo_->palette();
  yp.setColor(QPalette::Base, QColor(255, 255, 0));
  yp.setColor(QPalette::Text, Qt::black);
  memo_->setPalette(yp);
  for (const NmeaItem& it : kNmeaItemTable) {
    // The list texts end with a tab that only spaces the columns: not shown.
    auto* item = new QListWidgetItem(Q(it.name).trimmed(), list_);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Checked);
    item->setSizeHint(QSize(100, kItemH));
    auto* d = new QListWidgetItem(QStringLiteral("  ") + Q(it.description), memo_);
    d->setSizeHint(QSize(400, kItemH));
  }
  for (QListWidget* l : {list_, memo_}) {
    l->setUniformItemSizes(true);
    l->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  // The descriptions follow the list line for line, scrolled or not.
  connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, memo_->verticalScrollBar(), &QScrollBar::setValue);

  static const char* const kNames[4] = {"RdGDevPos", "RdGDevSond", "RdGInst", "RdGWI"};
  for (int g = 0; g < 4; ++g) {
    const TalkerRadio& r = kTalkerRadios[static_cast<std::size_t>(g)];
    auto* box = new RadioGroup(Q(r.caption), Qt::Vertical, this);
    box->setObjectName(kNames[g]);
    box->setGeometry(552, 8 + g * 84, 260, 78);
    box->setItems({std::string(r.items[0]), std::string(r.items[1])});
    radios_[static_cast<std::size_t>(g)] = box;
  }

  auto* all = new QPushButton(QStringLiteral("Sélectionner tout"), this);
  all->setObjectName("BtSelAll");
  all->setGeometry(552, 350, 126, 28);
  auto* none = new QPushButton(QStringLiteral("Désélectionner tout"), this);
  none->setObjectName("BtDeselALL");
  none->setGeometry(684, 350, 128, 28);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("BtParNMEA_OK");
  ok->setGeometry(712, listH + 150, 100, 32);
  ok->setDefault(true);
  for (QPushButton* b : {all, none}) b->setAutoDefault(false);

  auto* note = new QLabel(Q(kNmeaDialogNote), this);
  note->setObjectName("StaticText1");
  note->setGeometry(8, listH + 14, 690, 40);
  note->setWordWrap(true);

  // The line-load meter of the selection as checked.
  load_ = new QLabel(this);
  load_->setObjectName("LbChargeNMEA");
  load_->setGeometry(8, listH + 56, 690, 90);
  load_->setWordWrap(true);
  load_->setTextFormat(Qt::RichText);
  load_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  connect(list_, &QListWidget::itemChanged, this, &TFParNMEA::ShowLoad);

  connect(all, &QPushButton::clicked, this, &TFParNMEA::BtSelAllClick);
  connect(none, &QPushButton::clicked, this, &TFParNMEA::BtDeselALLClick);
  connect(ok, &QPushButton::clicked, this, &TFParNMEA::BtParNMEA_OKClick);
}

void TFParNMEA::SetLoadMeter(std::function<std::string(const NmeaSelection&)> meter) {
  meter_ = std::move(meter);
  ShowLoad();
}

void TFParNMEA::ShowLoad() {
  if (!meter_) return;
  // The figures one a line; the warning (the line after the line's load) in red.
  const QStringList lines = Q(meter_(Selection())).toHtmlEscaped().split(QLatin1Char('\n'));
  QString html;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) html += QStringLiteral("<br>");
    html += i < 4 ? lines[i] : QStringLiteral("<b><span style=\"color:#ff5050\">%1</span></b>").arg(lines[i]);
  }
  load_->setText(html);
}

void TFParNMEA::Fill(const NmeaSelection& s) {
  {
    // One measure once every item is set, not one an item.
    const QSignalBlocker quiet(list_);
    for (int i = 0; i < kNmeaItems; ++i) {
      list_->item(i)->setCheckState(s.checked[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    }
  }
  ShowLoad();
  radios_[0]->setItemIndex(s.RdGDevPos);
  radios_[1]->setItemIndex(s.RdGDevSond);
  radios_[2]->setItemIndex(s.RdGInst);
  radios_[3]->setItemIndex(s.RdGWI);
}

void TFParNMEA::ShowSelection(const NmeaSelection& s) {
  Fill(s);
  show();
  raise();
  activateWindow();
}

NmeaSelection TFParNMEA::Selection() const {
  NmeaSelection s;
  for (int i = 0; i < kNmeaItems; ++i) {
    s.checked[static_cast<std::size_t>(i)] = list_->item(i)->checkState() == Qt::Checked;
  }
  s.RdGDevPos = radios_[0]->itemIndex();
  s.RdGDevSond = radios_[1]->itemIndex();
  s.RdGInst = radios_[2]->itemIndex();
  s.RdGWI = radios_[3]->itemIndex();
  return s;
}

void TFParNMEA::BtSelAllClick() {
  NmeaSelection s = Selection();
  s.BtSelAllClick();
  Fill(s);
}

void TFParNMEA::BtDeselALLClick() {
  NmeaSelection s = Selection();
  s.BtDeselALLClick();
  Fill(s);
}

void TFParNMEA::closeEvent(QCloseEvent* e) {
  e->accept();
  emit closedByFrame();
}

void TFParNMEA::reject() {
  hide();
  emit closedByFrame();
}

void TFParNMEA::BtParNMEA_OKClick() {
  emit okClicked(Selection());
  hide();
}

}  // namespace ventrel
