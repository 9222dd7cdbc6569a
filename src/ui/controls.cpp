#include "ui/controls.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QStyleOptionSlider>
#include <QStylePainter>
#include <QToolButton>

namespace ventrel {

// ---- RadioGroup

RadioGroup::RadioGroup(const QString& caption, Qt::Orientation orientation, QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)) {
  layout_ = orientation == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(this))
                                          : static_cast<QBoxLayout*>(new QVBoxLayout(this));
  layout_->setContentsMargins(4, caption.isEmpty() ? 2 : 14, 4, 2);
  layout_->setSpacing(orientation == Qt::Horizontal ? 8 : 1);
  connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
}

void RadioGroup::setItems(const std::vector<std::string>& items) {
  if (this->items() == items) return;
  const int keep = itemIndex();
  for (QAbstractButton* b : group_->buttons()) {
    group_->removeButton(b);
    delete b;
  }
  while (QLayoutItem* it = layout_->takeAt(0)) delete it;
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(QString::fromStdString(items[i]), this);
    group_->addButton(b, static_cast<int>(i));
    layout_->addWidget(b);
  }
  layout_->addStretch(1);
  setItemIndex(keep);
}

std::vector<std::string> RadioGroup::items() const {
  std::vector<std::string> out;
  for (int i = 0; i < count(); ++i) out.push_back(group_->button(i)->text().toStdString());
  return out;
}

int RadioGroup::count() const { return static_cast<int>(group_->buttons().size()); }

void RadioGroup::setItemIndex(int index) {
  if (index >= 0 && index < count()) {
    group_->button(index)->setChecked(true);
    return;
  }
  // No item: the group has to stop being exclusive to uncheck the checked one.
  group_->setExclusive(false);
  for (QAbstractButton* b : group_->buttons()) b->setChecked(false);
  group_->setExclusive(true);
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::clickItem(int index) {
  if (index >= 0 && index < count()) group_->button(index)->click();
}

// ---- UpDown

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  auto* l = new QVBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(0);
  auto* up = new QToolButton(this);
  up->setArrowType(Qt::UpArrow);
  up->setObjectName("UpDownPolUp");
  up->setAutoRepeat(true);
  auto* down = new QToolButton(this);
  down->setArrowType(Qt::DownArrow);
  down->setObjectName("UpDownPolDown");
  down->setAutoRepeat(true);
  for (QToolButton* b : {up, down}) {
    b->setFixedSize(16, 11);
    b->setFocusPolicy(Qt::NoFocus);
    l->addWidget(b);
  }
  connect(up, &QToolButton::clicked, this, [this] { emit clicked(true); });
  connect(down, &QToolButton::clicked, this, [this] { emit clicked(false); });
}

// ---- HelmBar

HelmBar::HelmBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setRange(0, 30);
  setValue(15);
  setTickPosition(QSlider::TicksAbove);
  setTickInterval(1);
  setPageStep(1);
}

void HelmBar::setSliderShown(bool on) {
  if (shown_ == on) return;
  shown_ = on;
  update();
}

void HelmBar::paintEvent(QPaintEvent* e) {
  if (shown_) {
    QSlider::paintEvent(e);
    return;
  }
  QStylePainter p(this);
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  opt.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderTickmarks;
  p.drawComplexControl(QStyle::CC_Slider, opt);
}

void HelmBar::mousePressEvent(QMouseEvent* e) {
  // Without its thumb the bar does not move.
  if (!shown_) {
    e->ignore();
    return;
  }
  QSlider::mousePressEvent(e);
}

// ---- ClickablePicture

void ClickablePicture::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(e);
}

}  // namespace ventrel
