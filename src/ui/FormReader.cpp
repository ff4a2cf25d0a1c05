#include "ui/FormReader.h"

#include <vector>

#include "skin/PropertyPath.h"
#include "skin/StoredForm.h"
#include "ui/OwnedComponent.h"
#include "ui/RdTimer.h"

namespace nudgelet::ui {

FormReadError::FormReadError(std::wstring_view form, int line, const std::string& problem)
    : std::runtime_error(WideToUtf8(form) + "(" + std::to_string(line) + "): " + problem), line_(line) {}

void ControlClasses::Register(const std::wstring& name, Factory factory) { factories_[name] = std::move(factory); }

const ControlClasses::Factory* ControlClasses::Find(std::wstring_view name) const {
  const auto it = factories_.find(std::wstring(name));
  return it == factories_.end() ? nullptr : &it->second;
}

namespace {

bool IsEventName(std::wstring_view name) {
  return name.size() > 2 && (name[0] == L'O' || name[0] == L'o') && (name[1] == L'n' || name[1] == L'N') &&
         name.find(L'.') == std::wstring_view::npos;
}

class Reader {
 public:
  Reader(UiContext& ui, std::wstring_view form, const ControlClasses& classes, const EventBinder& events)
      : ui_(ui), form_(form), classes_(classes), events_(events) {}

  std::unique_ptr<skin::TComponent> Create(const skin::FormObject& object) {
    const ControlClasses::Factory* factory = classes_.Find(object.className);
    if (!factory) Fail(object.line, "unknown class " + WideToUtf8(object.className));
    return (*factory)(ui_);
  }

  void Fill(skin::TComponent& component, const skin::FormObject& object, TControl* owner = nullptr) {
    component.State().loading = true;
    component.State().reading = true;
    loaded_.push_back({&component, owner});
    if (!object.name.empty()) component.SetName(object.name);
    for (const auto& property : object.properties) Set(component, object, property);
    component.State().reading = false;
    for (const auto& child : object.children) {
      auto made = Create(child);
      skin::TComponent& placed = Place(component, std::move(made), child);
      Fill(placed, child, dynamic_cast<TControl*>(&component));
    }
  }

  void Finish() {
    // Every control has all its properties and children now: complete the
    // loading in creation order, so parents lay out before their children skin.
    for (auto [c, owner] : loaded_) {
      if (auto* control = dynamic_cast<TControl*>(c)) {
        control->Loaded();
      } else if (auto* owned = dynamic_cast<OwnedComponent*>(c); owned && owner) {
        owned->Loaded(*owner);
      } else {
        c->State().loading = false;
      }
    }
  }

 private:
  skin::TComponent& Place(skin::TComponent& parent, std::unique_ptr<skin::TComponent> child,
                          const skin::FormObject& object) {
    auto* container = dynamic_cast<TControl*>(&parent);
    if (!container) Fail(object.line, WideToUtf8(object.name) + " cannot be placed on " + WideToUtf8(parent.Name()));
    if (dynamic_cast<TControl*>(child.get())) {
      return container->InsertControl(std::unique_ptr<TControl>(static_cast<TControl*>(child.release())));
    }
    return container->AddComponent(std::move(child));
  }

  void Set(skin::TComponent& component, const skin::FormObject& object, const skin::FormProperty& property) {
    const std::wstring& name = property.first;
    if (IsEventName(name) && !component.Class().Find(name)) {
      BindEvent(component, object, property);
      return;
    }
    skin::PropertyContext context;
    context.store = &ui_.store;
    context.forceSkinPictures = true;
    skin::SkinValue value;
    value.form = property.second;
    try {
      if (!skin::SetPropertyPath(component, name, value, context)) {
        Fail(property.second.line, "unknown property " + WideToUtf8(name) + " of " + WideToUtf8(object.className));
      }
    } catch (const skin::EPropertyValueError& e) {
      Fail(property.second.line, WideToUtf8(name) + ": " + e.what());
    }
  }

  void BindEvent(skin::TComponent& component, const skin::FormObject& object, const skin::FormProperty& property) {
    const std::wstring& event = property.first;
    if (property.second.kind != skin::FormValue::Kind::Identifier) {
      Fail(property.second.line, WideToUtf8(event) + " needs a handler name");
    }
    const std::wstring& handler = property.second.text;
    const std::optional<TNotifyEvent> bound = events_ ? events_(handler) : std::nullopt;
    if (!bound) Fail(property.second.line, "no handler " + WideToUtf8(handler) + " for " + WideToUtf8(event));
    bool taken = false;
    if (auto* control = dynamic_cast<TControl*>(&component)) {
      taken = control->BindEvent(event, *bound);
    } else if (auto* timer = dynamic_cast<TRdTimer*>(&component)) {
      taken = timer->BindEvent(event, *bound);
    }
    if (!taken)
      Fail(property.second.line, "unknown event " + WideToUtf8(event) + " of " + WideToUtf8(object.className));
  }

  [[noreturn]] void Fail(int line, const std::string& problem) const { throw FormReadError(form_, line, problem); }

  UiContext& ui_;
  std::wstring form_;
  const ControlClasses& classes_;
  const EventBinder& events_;
  struct Loading {
    skin::TComponent* component;
    TControl* owner;
  };
  std::vector<Loading> loaded_;
};

skin::FormObject Parse(std::wstring_view formName, const std::wstring& text) {
  try {
    return skin::ParseFormText(text);
  } catch (const skin::FormSyntaxError& e) {
    // The syntax error already says "line N: ..."; keep only what follows.
    std::string what = e.what();
    const auto colon = what.find(": ");
    throw FormReadError(formName, e.Line(), colon == std::string::npos ? what : what.substr(colon + 2));
  }
}

}  // namespace

std::unique_ptr<TControl> ReadForm(UiContext& ui, std::wstring_view formName, const std::wstring& text,
                                   const ControlClasses& classes, const EventBinder& events) {
  const skin::FormObject top = Parse(formName, text);
  Reader reader(ui, formName, classes, events);
  std::unique_ptr<skin::TComponent> made = reader.Create(top);
  if (!dynamic_cast<TControl*>(made.get())) {
    throw FormReadError(formName, top.line, WideToUtf8(top.className) + " is no control");
  }
  std::unique_ptr<TControl> root(static_cast<TControl*>(made.release()));
  reader.Fill(*root, top);
  reader.Finish();
  return root;
}

void ReadFormInto(TControl& root, std::wstring_view formName, const std::wstring& text, const ControlClasses& classes,
                  const EventBinder& events) {
  const skin::FormObject top = Parse(formName, text);
  bool fits = false;
  for (const skin::ClassInfo* c = &root.Class(); c && !fits; c = c->Parent()) {
    fits = EqualsIgnoreCase(c->Name(), top.className);
  }
  if (!fits) {
    throw FormReadError(formName, top.line,
                        WideToUtf8(top.className) + " does not fit " + WideToUtf8(root.ClassName()));
  }
  Reader reader(root.Ui(), formName, classes, events);
  reader.Fill(root, top);
  reader.Finish();
}

}  // namespace nudgelet::ui
