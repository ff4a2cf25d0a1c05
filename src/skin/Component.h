#pragma once
// TComponent: a persistent object with the states that decide whether skin
// values may be applied to it now. While a component is being loaded or read
// from stored form data, its properties are still arriving and applying a skin
// would be overwritten; while it is being updated, a skin is being applied.

#include <string>

#include "skin/Published.h"

namespace nudgelet::skin {

struct ComponentState {
  bool loading = false;   // between the start of loading and Loaded
  bool reading = false;   // its properties are being read from stored form data
  bool updating = false;  // a skin class is applying values to it
};

class TComponent : public TPersistent {
 public:
  ComponentState& State() { return state_; }
  const ComponentState& State() const { return state_; }

  const std::wstring& Name() const { return name_; }
  void SetName(std::wstring name) { name_ = std::move(name); }

 private:
  ComponentState state_;
  std::wstring name_;
};

}  // namespace nudgelet::skin
