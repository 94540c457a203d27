#include "quillet/editor/IVmPresetMenu.h"

#include <mutex>
#include <string>
#include <vector>

#include "graphics/IGraphics.h"
#include "quillet/Quillet.h"

namespace quillet {

IVmPresetMenu::IVmPresetMenu(Quillet* plugin, const graphics::IFrameStrip& marker)
    : IControl(plugin,
               graphics::IRect(kX, kY, kX + marker.FrameWidth(), kY + marker.FrameHeight())),
      quillet_(plugin),
      marker_(marker) {}

bool IVmPresetMenu::Draw(graphics::IGraphics* graphics) {
  if (hover_) graphics->DrawBitmap(&marker_, &rect_, 0, 0, nullptr);
  return true;
}

void IVmPresetMenu::MouseOver(int x, int y, const graphics::IMouseState* state) {
  hover_ = true;
  IControl::MarkDirty(false);
}

void IVmPresetMenu::MouseOut() {
  hover_ = false;
  IControl::MarkDirty(false);
}

void IVmPresetMenu::MouseDown(int x, int y, const graphics::IMouseState* state) {
  graphics::IGraphics* gui = GetGUI();
  if (!quillet_ || !gui) return;
  // The names, copied under the lock: a chunk load may rename programs on
  // another thread.
  std::vector<std::string> names;
  int current = 0;
  {
    plug::InstanceLock lock(quillet_->Mutex());
    for (int i = 0; i < quillet_->NPresets(); ++i) names.push_back(quillet_->GetPresetName(i));
    current = quillet_->GetCurrentPresetIdx();
  }
  graphics::IMenu menu;
  for (int i = 0; i < static_cast<int>(names.size()); ++i)
    menu.AddItem(names[static_cast<size_t>(i)].c_str(),
                 i == current ? graphics::IMenuItem::kChecked : 0);
  menu.AddSeparator();
  menu.AddItem("Reset Current Preset");
  graphics::IMenu* chosen = gui->ShowPopupMenu(&menu, &rect_);
  if (chosen && chosen->ChosenItem() >= 0) {
    const int item = chosen->ChosenItem();
    if (item < static_cast<int>(names.size())) {
      quillet_->SelectPreset(item);
    } else {
      quillet_->ResetCurrentPreset();
    }
  }
  for (int i = 0; i < gui->NControls(); ++i) gui->GetControl(i)->MarkDirty(false);
}

}  // namespace quillet
