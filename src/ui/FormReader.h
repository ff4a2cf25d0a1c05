#pragma once
// Builds controls from form text: the classic form description
// ("object Name: TClass", "Prop = value", nested objects, "end"). Properties
// are set through the same property paths that skins use, events are bound
// by handler name, and each control completes its loading only when the whole
// form has arrived.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/Strings.h"
#include "skin/Component.h"
#include "ui/Control.h"

namespace nudgelet::ui {

// A form text that cannot be read or names what does not exist. The one-line
// message names the form, the line and the culprit.
class FormReadError : public std::runtime_error {
 public:
  FormReadError(std::wstring_view form, int line, const std::string& problem);
  int Line() const { return line_; }

 private:
  int line_;
};

// The classes form text may name.
class ControlClasses {
 public:
  using Factory = std::function<std::unique_ptr<skin::TComponent>(UiContext&)>;
  void Register(const std::wstring& name, Factory factory);
  template <class T>
  void Register(const std::wstring& name) {
    Register(name, [](UiContext& ui) { return std::make_unique<T>(ui); });
  }
  const Factory* Find(std::wstring_view name) const;

 private:
  std::map<std::wstring, Factory, LessIgnoreCase> factories_;
};

// The handler a form names for an event ("OnClick = Rdbtn_ActiveClick").
using EventBinder = std::function<std::optional<TNotifyEvent>(std::wstring_view handler)>;

// Reads a form whose top object becomes a new control of its class.
std::unique_ptr<TControl> ReadForm(UiContext& ui, std::wstring_view formName, const std::wstring& text,
                                   const ControlClasses& classes, const EventBinder& events);
// Reads a form into a control that already exists (a form class of the program
// that keeps its own handlers); its class must be the text's top class or derive from it.
void ReadFormInto(TControl& root, std::wstring_view formName, const std::wstring& text, const ControlClasses& classes,
                  const EventBinder& events);

}  // namespace nudgelet::ui
