#pragma once
// TFParam, the "Paramètres" dialog: polar folder and polar, depth sensor offsets,
// the variations, the UTC offset; it opens the sentence dialog. Its fields are
// fields of the program's panel (bound by name); its buttons call the program's
// handlers through the main window. Shown without blocking the main window.

#include <QDialog>

namespace ventrel {

class TFParam : public QDialog {
  Q_OBJECT

 public:
  explicit TFParam(QWidget* parent = nullptr);

 signals:
  void dirSelClicked();        // "....."
  void modPolClicked();        // "Modifier"
  void validClicked();         // "Valider"
  void nmeaClicked();          // "Paramètres NMEA 0183"
  void okClicked();            // "OK"
  // Closed by its frame (or Escape): nothing is to be applied.
  void closedByFrame();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;
};

}  // namespace ventrel
