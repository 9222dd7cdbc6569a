#pragma once
// Binds the widgets of a window to the fields of the model's panel. A widget's
// objectName says which field it shows; the table of those names, one per
// `Field`, is here and nowhere else (ObjectNameOf, FieldOfObjectName).
//
// Model to widgets: Refresh() copies every changed field into its widget (text,
// enabled and visible states, colours and italic of edit fields, alignment, hint,
// picture, radio item, bar position, check state). Widgets to model: what the user
// types or picks is written into the field at once, before the window calls the
// model's handler (the binder connects to a widget's signals when it binds it, so
// before the window connects its handlers, and Qt calls slots in that order).

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/panel.h"

class QLabel;

namespace ventrel {

// The objectName of the widget that shows a field ("EdTWS" for the true wind speed).
std::string_view ObjectNameOf(Field f);
// The field a widget of that objectName shows, if any.
std::optional<Field> FieldOfObjectName(std::string_view name);

class PanelBinder {
 public:
  explicit PanelBinder(Panel& panel);

  // Binds `root` and every object inside it (widgets and actions) whose objectName
  // is a field of the panel.
  void BindTree(QObject* root);
  // Binds one object to the field of its objectName; false when the panel has none.
  bool Bind(QObject* o);
  // The caption label of a field (the label() of the best upwind angle, "Meilleur SWA").
  void BindCaption(Field field, QLabel* caption);
  // Where the picture files of picture buttons lie (the program folder).
  void SetPictureFolder(const QString& folder) { pictureFolder_ = folder; }

  // The bound object of a field, or nullptr.
  QObject* Find(Field f) const;

  // Copies the changed fields into their widgets.
  void Refresh();
  // Copies every field.
  void RefreshAll();
  void Apply(const PanelField& f);

 private:
  void Connect(QObject* o, Field f);
  // A button picture from the picture folder (name matched without regard to case),
  // its ground colour (that of its bottom-left pixel) made transparent; null when
  // the file cannot be read.
  QPixmap Picture(const std::string& file);

  Panel& panel_;
  std::array<QPointer<QObject>, kFieldCount> bound_{};
  std::array<QPointer<QLabel>, kFieldCount> captions_{};
  QString pictureFolder_;
  QHash<QString, QPixmap> pictures_;
  bool applying_ = false;
};

}  // namespace ventrel
