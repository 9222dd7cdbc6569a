#pragma once
// Small controls of the window that Qt has no exact match for: a radio group
// whose items are texts, the up-down arrows beside a field, the helm bar whose
// thumb can be hidden, and a picture that answers a click.

#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QWidget>

#include <string>
#include <vector>

class QButtonGroup;
class QBoxLayout;

namespace ventrel {

class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  RadioGroup(const QString& caption, Qt::Orientation orientation, QWidget* parent = nullptr);

  void setItems(const std::vector<std::string>& items);
  std::vector<std::string> items() const;
  // -1: no item selected.
  void setItemIndex(int index);
  int itemIndex() const;
  int count() const;
  // Clicks the item as the user would (tests).
  void clickItem(int index);

 signals:
  // The user chose an item.
  void itemClicked(int index);

 private:
  QButtonGroup* group_;
  QBoxLayout* layout_;
};

class UpDown : public QWidget {
  Q_OBJECT

 public:
  explicit UpDown(QWidget* parent = nullptr);

 signals:
  void clicked(bool up);
};

// The helm bar: 0 to 30 with ticks along its top; its thumb can be hidden.
class HelmBar : public QSlider {
  Q_OBJECT

 public:
  explicit HelmBar(QWidget* parent = nullptr);
  void setSliderShown(bool on);
  bool sliderShown() const { return shown_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  bool shown_ = true;
};

// A picture that can be clicked.
class ClickablePicture : public QLabel {
  Q_OBJECT

 public:
  explicit ClickablePicture(QWidget* parent = nullptr) : QLabel(parent) {}

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
};

}  // namespace ventrel
