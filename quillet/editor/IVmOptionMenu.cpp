#include "quillet/editor/IVmOptionMenu.h"

#include "effect/EditorSizeSetting.h"
#include "effect/Effect.h"
#include "effect/UpdateCheck.h"
#include "graphics/IGraphics.h"

namespace quillet {

const char* const IVmOptionMenu::kSizeTexts[kSizeChoices] = {"Automatic", "100 %", "150 %",
                                                             "200 %"};
const int IVmOptionMenu::kSizePercents[kSizeChoices] = {0, 100, 150, 200};

IVmOptionMenu::IVmOptionMenu(effect::Effect* plugin, const graphics::IRect& rect)
    : IControl(plugin, rect), effect_(plugin) {}

bool IVmOptionMenu::Draw(graphics::IGraphics* graphics) {
  if (hover_) graphics->FillRect(&highlight_, &rect_);
  return true;
}

void IVmOptionMenu::MouseOver(int x, int y, const graphics::IMouseState* state) {
  hover_ = true;
  MarkDirty(false);
}

void IVmOptionMenu::MouseOut() {
  hover_ = false;
  MarkDirty(false);
}

void IVmOptionMenu::MouseDown(int x, int y, const graphics::IMouseState* state) {
  graphics::IGraphics* gui = GetGUI();
  if (!gui || !effect_) return;
  const effect::UpdateServer& server = effect_->GetUpdateServer();
  graphics::IMenu menu;
  menu.AddItem("Check Online for Update");
  menu.AddItem(("Visit " + server.domain).c_str());
  graphics::IMenu* sizes = new graphics::IMenu();
  const int choice = gui->UserScalePercent();
  for (int i = 0; i < kSizeChoices; ++i) {
    graphics::IMenuItem* item = sizes->AddItem(kSizeTexts[i]);
    if (kSizePercents[i] == choice) item->SetChecked(true);
  }
  menu.AddItem("Size", 0, sizes);
  const graphics::IRect at(x, y, x, y);
  graphics::IMenu* chosen = gui->ShowPopupMenu(&menu, &at);
  if (!chosen) return;
  if (chosen == sizes) {
    const int i = chosen->ChosenItem();
    if (i < 0 || i >= kSizeChoices) return;
    // Remembered for the user's next editors; this one follows at once.
    effect::EditorSizeSetting::Write(effect::SettingsFile(effect_->GetSettingsPath()),
                                     kSizePercents[i]);
    gui->SetUserScalePercent(kSizePercents[i]);
  } else if (chosen->ChosenItem() == 0) {
    effect_->CheckForUpdate();
  } else if (chosen->ChosenItem() == 1) {
    gui->OpenUrl(server.HomePage().c_str(), nullptr, nullptr, nullptr);
  }
}

}  // namespace quillet
