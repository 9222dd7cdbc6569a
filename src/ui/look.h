#pragma once
// The look shared by the window and its dialogs: dark navy ground, bold 8-point
// sans-serif text in cream, white edit fields with black text.

#include <QColor>
#include <QFont>

class QWidget;

namespace ventrel::look {

inline const QColor kNavy{17, 34, 75};       // window ground, red 17 green 34 blue 75
inline const QColor kCreamText{255, 251, 240};
inline const QColor kRingGround{226, 220, 200};  // the ring of the compass card behind the dial
inline const QColor kDialOutline{90, 90, 90};
inline const QColor kYellowNote{255, 255, 200};  // the description box of the sentence dialog

// Bold 8-point sans-serif.
QFont WindowFont();
// Navy ground, cream text, white fields: on `w` and everything inside it.
void ApplyNavy(QWidget* w);

}  // namespace ventrel::look
