#pragma once
// TForm_SoftupdateCombox: the reminder's one window. Everything it does
// happens while it is created: it runs the detection in its update list
// frame, and either shows how many programs need updating or ends the run.
// Closing it in any way ends the process.

#include <functional>
#include <memory>
#include <string>

#include "app/UpdateListFrame.h"
#include "base/Rect.h"
#include "ui/FormReader.h"
#include "ui/FormSkin.h"
#include "ui/HtmLabel.h"
#include "ui/ImageButton.h"
#include "ui/Panel.h"
#include "ui/Shape.h"

namespace nudgelet::app {

class TForm_SoftupdateCombox : public ui::TForm {
 public:
  // What the window asks of the program and the system around it.
  struct Services {
    std::function<void()> endProcess;  // at once, exit code 0; does not return
    std::wstring programFolder;        // with a trailing separator
    std::wstring installFolder;        // the product's, with a trailing separator
    std::function<bool(const std::wstring& path)> fileExists;
    // Whether SQLite can open the update database at all.
    std::function<bool(const std::wstring& path)> probeDatabase;
    std::function<void(const std::wstring& code, const std::wstring& message)> log;
    // Takes the database, makes the inventory and fills the frame (which may
    // end the run, or show the tip through OnShowTip before it returns).
    std::function<void(TFrame_SoftUpdata& frame)> runDetection;
    // Frees the inventory and lets the database go.
    std::function<void()> releaseDetection;
    std::function<bool()> compositionEnabled;
    std::function<Rect()> workArea;  // of the primary screen
    std::function<bool()> isAutoUpdateOff;
    std::function<bool()> isForegroundFullScreen;
    std::function<void(const std::wstring& event, int number)> statistic;
    // "Open" through the shell, owned by this window.
    std::function<void(const std::wstring& file, const std::wstring& parameters)> shellOpen;
    // Moves the window with the pointer (the system's move by caption).
    std::function<void()> startDrag;
    std::function<void()> removeTaskbarButton;
    std::function<std::wstring(const std::wstring& key, const std::wstring& english)> getText;
    // Merges a language section; nullptr when no language is loaded.
    std::function<void(const std::wstring& section)> loadLanguageSection;
    std::wstring closeText = L"Close";  // the shared "Close" of the language's public strings
    TFrame_SoftUpdata::Hooks frameHooks;
    std::wstring frameForm;
  };

  TForm_SoftupdateCombox(ui::UiContext& ui, Services services);
  ~TForm_SoftupdateCombox() override;

  static const skin::ClassInfo& ClassType();
  const skin::ClassInfo& Class() const override { return ClassType(); }

  // Builds the window from its form text; then Create runs FormCreate.
  void LoadForm(const std::wstring& formText, const ui::ControlClasses& classes);
  void Create();

  void FormShow();
  void ShowUpdateCount(TFrame_SoftUpdata& frame);
  void Rdbtn_ActiveClick();
  void FormClose();

  TFrame_SoftUpdata* Frame() const { return frame_; }
  ui::TRdFormSkin& FormSkin() const { return *formSkin_; }
  ui::TRdHtmLabel& MessageLabel() const { return *message_; }
  ui::TRdImageButton& UpdateButton() const { return *update_; }
  ui::TRdImageButton& CloseButton() const { return *close_; }
  ui::TPanel& ContentPanel() const { return *pnlForm_; }

 private:
  void FormCreate();
  void CenterControls();
  void TakeFlushLayout();
  void PlaceOnWorkArea();
  void ApplyLanguage();
  void LoadLanguageSection();
  void FocusList();

  template <class T>
  T& Find(const wchar_t* name);

  Services services_;
  const ui::ControlClasses* classes_ = nullptr;
  ui::TPanel* pnlForm_ = nullptr;
  ui::TPanel* pnlFrame_ = nullptr;
  ui::TRdImageButton* close_ = nullptr;
  ui::TRdImageButton* update_ = nullptr;
  ui::TRdHtmLabel* message_ = nullptr;
  ui::TShape* border_ = nullptr;
  ui::TRdFormSkin* formSkin_ = nullptr;
  TFrame_SoftUpdata* frame_ = nullptr;
  bool closing_ = false;
};

}  // namespace nudgelet::app
