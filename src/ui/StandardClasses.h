#pragma once
// The classes form text may name without a program adding its own.

#include "ui/FormReader.h"

namespace nudgelet::ui {

// TForm, TPanel, TImage, TShape, TRdLabel, TRdHtmLabel, TRdImageButton,
// TRdScrollBar, TRdScrollBarEx and TRdTimer.
ControlClasses StandardControlClasses();

}  // namespace nudgelet::ui
