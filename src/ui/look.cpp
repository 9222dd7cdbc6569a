#include "ui/look.h"

#include <QPalette>
#include <QWidget>

namespace ventrel::look {

QFont WindowFont() {
  QFont f(QStringLiteral("Sans Serif"), 8, QFont::Bold);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

void ApplyNavy(QWidget* w) {
  QPalette p = w->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(g, QPalette::Window, kNavy);
    p.setColor(g, QPalette::WindowText, kCreamText);
    p.setColor(g, QPalette::Base, Qt::white);
    p.setColor(g, QPalette::AlternateBase, QColor(240, 240, 240));
    p.setColor(g, QPalette::Text, Qt::black);
    p.setColor(g, QPalette::Button, QColor(225, 225, 225));
    p.setColor(g, QPalette::ButtonText, Qt::black);
    p.setColor(g, QPalette::ToolTipBase, QColor(255, 255, 225));
    p.setColor(g, QPalette::ToolTipText, Qt::black);
  }
  p.setColor(QPalette::Disabled, QPalette::Window, kNavy);
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(150, 160, 185));
  p.setColor(QPalette::Disabled, QPalette::Base, QColor(235, 235, 235));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(110, 110, 110));
  p.setColor(QPalette::Disabled, QPalette::Button, QColor(170, 175, 190));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(100, 100, 110));
  w->setPalette(p);
  w->setAutoFillBackground(true);
  w->setFont(WindowFont());
}

}  // namespace ventrel::look
