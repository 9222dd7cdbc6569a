#pragma once
// TFParNMEA, "Sélection des phrases NMEA à générer": which of the 31 sentences are
// sent and which talker each simulated instrument uses. The dialog edits a copy of
// the selection; "OK" hands it back and hides the dialog; closing it by its frame
// applies nothing.

#include <QDialog>

#include <array>

#include "nmea/selection.h"

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
};

}  // namespace ventrel
