#pragma once
// A component of a form that is not a control but needs to know the control
// that owns it once the form has arrived (a form skin needs its form).

namespace nudgelet::ui {

class TControl;

class OwnedComponent {
 public:
  virtual ~OwnedComponent() = default;
  // The whole form has been read; `owner` holds this component.
  virtual void Loaded(TControl& owner) = 0;
};

}  // namespace nudgelet::ui
