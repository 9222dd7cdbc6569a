#pragma once
// The panel of the main window as the model sees it: every field, label, button,
// radio group, menu item and control that the simulation reads or writes, one
// element per `Field` of the table in model/panel_fields.h. The window binds its
// widgets to these fields and copies the changed ones after each handler; the
// model never sees a widget.

#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "model/colour.h"
#include "model/panel_fields.h"

namespace ventrel {

// One element of the panel. Every setter marks the field changed when the value
// differs, so that the window refreshes only what moved.
class PanelField {
 public:
  PanelField() = default;
  explicit PanelField(Field id) : id_(id) {}

  Field id() const { return id_; }

  // Text of an edit field or label, caption of a button.
  const std::string& text() const {
    makeText();
    return text_;
  }
  void setText(std::string s) {
    number_.pending = false;
    maker_ = nullptr;
    set(text_, std::move(s));
  }
  // A number shown in the fixed form (p, d) (see fixedForm). Its text is made
  // only when it is read (text(), changed()), so that a run nobody watches does
  // not format the fields at every tick; the field counts as changed only when
  // that text differs from the one it replaces.
  void setNumber(long double x, int p, int d) {
    maker_ = nullptr;
    number_ = {x, p, d, true};
  }
  // The same for a text that `make` gives: a value that is shown and used nowhere
  // else is not even worked out until the window reads it.
  void setTextFrom(std::function<std::string()> make) {
    number_.pending = false;
    maker_ = std::move(make);
  }
  // Caption of the label attached to an edit field ("Meilleur SWA" of the best upwind angle).
  const std::string& label() const { return label_; }
  void setLabel(std::string s) { set(label_, std::move(s)); }
  const std::string& hint() const { return hint_; }
  void setHint(std::string s) { set(hint_, std::move(s)); }
  bool enabled() const { return enabled_; }
  void setEnabled(bool on) { set(enabled_, on); }
  bool visible() const { return visible_; }
  void setVisible(bool on) { set(visible_, on); }
  Rgb fontColour() const { return fontColour_; }
  void setFontColour(Rgb c) { set(fontColour_, c); }
  Rgb background() const { return background_; }
  void setBackground(Rgb c) { set(background_, c); }
  bool italic() const { return italic_; }
  void setItalic(bool on) { set(italic_, on); }
  // File name of the picture of a picture button ("vamp.bmp"), resolved in the program folder.
  const std::string& picture() const { return picture_; }
  void setPicture(std::string s) { set(picture_, std::move(s)); }
  // Selected item of a radio group (0 is the first item); -1: none.
  int itemIndex() const { return itemIndex_; }
  void setItemIndex(int i) { set(itemIndex_, i); }
  // Items of a radio group, in order.
  const std::vector<std::string>& items() const { return items_; }
  void setItems(std::vector<std::string> v) { set(items_, std::move(v)); }
  // Position of a track bar or an up-down control.
  int position() const { return position_; }
  void setPosition(int p) { set(position_, p); }
  // Pressed state of a speed button, check state of a check box or menu item.
  bool checked() const { return checked_; }
  void setChecked(bool on) { set(checked_, on); }
  // Whether a track bar shows its slider.
  bool sliderVisible() const { return sliderVisible_; }
  void setSliderVisible(bool on) { set(sliderVisible_, on); }
  Align align() const { return align_; }
  void setAlign(Align a) { set(align_, a); }

  bool changed() const {
    makeText();
    return changed_;
  }
  void clearChanged() {
    makeText();
    changed_ = false;
  }

 private:
  // A number set and not yet written.
  struct Number {
    long double x = 0.0L;
    int p = 0;
    int d = 0;
    bool pending = false;
  };

  // Turns a pending number or maker into the text.
  void makeText() const;

  template <class T, class U>
  void set(T& member, U&& value) {
    if (!(member == value)) {
      member = std::forward<U>(value);
      changed_ = true;
    }
  }

  Field id_{};
  mutable std::string text_;
  mutable Number number_;
  mutable std::function<std::string()> maker_;
  std::string label_;
  std::string hint_;
  bool enabled_ = true;
  bool visible_ = true;
  Rgb fontColour_{colours::kBlack};
  Rgb background_{colours::kWhite};
  bool italic_ = false;
  std::string picture_;
  int itemIndex_ = -1;
  std::vector<std::string> items_;
  int position_ = 0;
  bool checked_ = false;
  bool sliderVisible_ = true;
  Align align_ = Align::Left;
  mutable bool changed_ = true;  // a new field has never been shown
};

class Panel {
 public:
  // Every field with the design state of the window (texts, items, pictures,
  // enabled states and hints before any configuration is read).
  Panel();
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;

  PanelField& operator[](Field f) { return fields_[static_cast<std::size_t>(f)]; }
  const PanelField& operator[](Field f) const { return fields_[static_cast<std::size_t>(f)]; }
  // Every field, in the order of the table.
  std::span<const PanelField> fields() const { return fields_; }

  // Calls f for every changed field and clears its mark.
  void takeChanged(const std::function<void(const PanelField&)>& f);
  void clearAllChanged();

 private:
  std::array<PanelField, kFieldCount> fields_;
};

}  // namespace ventrel
