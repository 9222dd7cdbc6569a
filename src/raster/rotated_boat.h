#pragma once
// The boat at the centre of the dial: a 32-bit picture with alpha, loaded once
// from "iconbat1.jpg" (the hidden source `Img32boat`), and the displayed bitmap
// `Image32Rot` of the same size, redrawn rotated about its centre at each tick.
//
// The source's one-pixel frame is made fully transparent, and so is the plain
// background around the hull (the pixels joined to the frame whose colour is the
// frame's), so that the arrows, rings and labels of the dial show around the boat.
// Without the picture file a plain boat mark, drawn here, takes its place.

#include <QImage>
#include <QString>

#include <functional>

#include "model/canvas.h"

namespace ventrel {

class RotatedBoat final : public BoatPicture {
 public:
  // Size of the plain boat mark used when the picture cannot be read.
  static constexpr int kMarkSize = 140;

  RotatedBoat();

  // Loads the picture file; false when it cannot be read (the plain mark is then used).
  bool Load(const QString& file);
  // Takes a picture already in memory (any format); false for a null image.
  bool SetPicture(const QImage& picture);
  bool loaded() const { return loaded_; }

  // Redraws the displayed bitmap: the source rotated by `angle` degrees about its
  // centre, counter-clockwise positive on the screen (the tick passes minus the
  // heading, so a heading of 90 puts the bow to the right).
  void RotationBat(long double angle) override;
  long double angle() const { return angle_; }

  // The displayed bitmap (premultiplied ARGB, transparent around the boat).
  const QImage& image() const { return Image32Rot; }
  // The source after the frame and background were made transparent.
  const QImage& source() const { return Img32boat; }

  // Called after each redraw, so that the control showing the bitmap repaints.
  void setChanged(std::function<void()> f) { changed_ = std::move(f); }

  // The plain boat mark: a hull seen from above, bow up, on a transparent ground.
  static QImage PlainBoatMark();
  // Makes the one-pixel frame of `img` fully transparent, then every pixel reached
  // from the frame through pixels within `tolerance` (per channel) of the colour
  // just inside the frame. `img` is converted to premultiplied ARGB.
  static void ClearFrameAndGround(QImage& img, int tolerance);

 private:
  QImage Img32boat;
  QImage Image32Rot;
  bool loaded_ = false;
  long double angle_ = 0.0L;
  std::function<void()> changed_;
};

}  // namespace ventrel
