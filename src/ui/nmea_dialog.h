#pragma once
// TFParNMEA, "Sélection des phrases NMEA à générer": which of the 31 sentences are
// sent and which talker each simulated instrument uses. The dialog edits a copy of
// the selection; "OK" hands it back and hides the dialog; closing it by its frame
// applies nothing.

#include <QDialog>

#include <array>
#include <functional>
#include <string>

#include "nmea/selection.h"

class QLabel;
class QListWidget;

namespace ventrel {

class RadioGroup;

class TFParNMEA : public QDialog {
  Q_OBJECT

 public:
  explicit TFParNMEA(QWidget* parent = nullptr);

  // Shows the selection (check states and radio items) and the dialog.
  void ShowSelection(const NmeaSelection& s);
  // The selection as the controls hold it.
  NmeaSelection Selection() const;

  void BtSelAllClick();
  void BtDeselALLClick();
  void BtParNMEA_OKClick();

  // What the line-load meter says of a selection: the figures of each group, then
  // the warning when a group does not fit in its second. Shown below the list and
  // told again at each check or uncheck.
  void SetLoadMeter(std::function<std::string(const NmeaSelection&)> meter);
  QLabel* loadLabel() const { return load_; }
  // Measures the selection as checked again (the lengths sent change as the run goes).
  void ShowLoad();

  QListWidget* list() const { return list_; }
  QListWidget* descriptions() const { return memo_; }

 signals:
  void okClicked(const ventrel::NmeaSelection& selection);
  // Closed by its frame (or Escape): nothing is to be applied.
  void closedByFrame();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  void Fill(const NmeaSelection& s);

  QListWidget* list_;
  QListWidget* memo_;
  std::array<RadioGroup*, 4> radios_{};
  QLabel* load_;
  std::function<std::string(const NmeaSelection&)> meter_;
};

}  // namespace ventrel
