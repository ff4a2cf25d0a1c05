#include "ui/StandardClasses.h"

#include "ui/FormSkin.h"
#include "ui/HtmLabel.h"
#include "ui/Image.h"
#include "ui/ImageButton.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Panel.h"
#include "ui/RdTimer.h"
#include "ui/ScrollBar.h"
#include "ui/Shape.h"

namespace nudgelet::ui {

ControlClasses StandardControlClasses() {
  ControlClasses classes;
  classes.Register<TForm>(L"TForm");
  classes.Register<TPanel>(L"TPanel");
  classes.Register<TImage>(L"TImage");
  classes.Register<TShape>(L"TShape");
  classes.Register<TRdFormSkin>(L"TRdFormSkin");
  classes.Register<TRdLabel>(L"TRdLabel");
  classes.Register<TRdListView>(L"TRdListView");
  classes.Register<TRdHtmLabel>(L"TRdHtmLabel");
  classes.Register<TRdImageButton>(L"TRdImageButton");
  classes.Register<TRdScrollBar>(L"TRdScrollBar");
  classes.Register<TRdScrollBarEx>(L"TRdScrollBarEx");
  classes.Register(L"TRdTimer", [](UiContext& ui) { return std::make_unique<TRdTimer>(ui.timers); });
  return classes;
}

}  // namespace nudgelet::ui
