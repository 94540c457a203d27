#include "quillet/editor/IVmMenuControl.h"

#include <cmath>

#include "graphics/IGraphics.h"
#include "plug/IParameter.h"
#include "quillet/Quillet.h"
#include "quillet/editor/EditorText.h"

namespace quillet {

IVmMenuControl::IVmMenuControl(plug::IPlugBase* plugin, const graphics::IRect& rect, int paramIndex)
    : IControl(plugin, rect, paramIndex),
      textRect_(rect.left, rect.top + 6, rect.right, rect.bottom - 6) {
  textStyle_ = ValueTextStyle();
  if (paramIndex == quillet::kGrainMode) {
    count_ = 4;
    const plug::IParameter* param = Param();
    for (int i = 0; i < count_; ++i) {
      const bool has = param && i < param->ValueTextCount();
      items_.AddItem(has ? param->ValueTextAt(i).text.c_str() : "");
    }
  } else if (paramIndex == quillet::kMidiPolyphony) {
    count_ = 8;
    const char* const voices[] = {"1", "2", "3", "4", "5", "6", "7", "8"};
    for (const char* text : voices) items_.AddItem(text);
  }
}

int IVmMenuControl::CurrentItem() const {
  const plug::IParameter* param = Param();
  if (!param || count_ < 2) return -1;
  const int i = static_cast<int>(std::floor(param->NormalizedValue() * (count_ - 1)));
  return i >= 0 && i < count_ ? i : -1;
}

bool IVmMenuControl::Draw(graphics::IGraphics* graphics) {
  const int i = CurrentItem();
  if (i >= 0) {
    graphics::IRect r = textRect_;
    graphics->DrawText(&textStyle_, items_.Item(i)->Text().c_str(), &r);
  }
  return true;
}

void IVmMenuControl::MouseDown(int x, int y, const graphics::IMouseState* state) {
  if (count_ < 2 || !GetGUI()) return;
  items_.CheckItemAlone(CurrentItem());
  const graphics::IRect at(x, y, x, y);
  graphics::IMenu* chosen = GetGUI()->ShowPopupMenu(&items_, &at);
  if (chosen && chosen->ChosenItem() >= 0) {
    SetValueFromUser(static_cast<double>(chosen->ChosenItem()) / (count_ - 1));
    MarkDirty(true);
  }
}

}  // namespace quillet
