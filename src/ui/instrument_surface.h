#pragma once
// The ground of the main window, with the instrument dial on it, and the depth box.
//
// The dial lives in a persistent image (an ImageCanvas the size of the window's
// ground) that the model draws on tick after tick; painting the window only copies
// it, after the compass card has been drawn on it again, and lays the rotated boat
// on top, centred on the dial. The boat is not drawn into the image: it never has
// to be erased.

#include <QWidget>

#include <functional>

#include "sim/sim_state.h"

namespace ventrel {

class ImageCanvas;
class RotatedBoat;

class InstrumentSurface : public QWidget {
  Q_OBJECT

 public:
  InstrumentSurface(ImageCanvas& canvas, RotatedBoat& boat, QWidget* parent = nullptr);

  // Run at each paint before the image is copied (the compass card).
  void SetBeforePaint(std::function<void()> f) { beforePaint_ = std::move(f); }
  // The centre of the dial, where the boat is laid.
  void SetCentre(std::function<t_pCan()> f) { centre_ = std::move(f); }
  // The circle the dial is shown in (the ring of the compass card): what the
  // model draws beyond it (the scale rings of large speeds) is not shown.
  void SetDialSquare(std::function<QRect()> f) { dialSquare_ = std::move(f); }
  // Called when the widget grows, so that the image follows.
  void SetResized(std::function<void(QSize)> f) { resized_ = std::move(f); }

  // The window's ground as it would be painted now (image, boat), for tests.
  QImage Snapshot();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void PaintOn(QPainter& p, const QRect& area);

  ImageCanvas& canvas_;
  RotatedBoat& boat_;
  std::function<void()> beforePaint_;
  std::function<t_pCan()> centre_;
  std::function<QRect()> dialSquare_;
  std::function<void(QSize)> resized_;
};

// The depth box: the depth history and the water temperature, drawn by the model
// on its own canvas.
class DepthBox : public QWidget {
  Q_OBJECT

 public:
  DepthBox(ImageCanvas& canvas, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  ImageCanvas& canvas_;
};

}  // namespace ventrel
