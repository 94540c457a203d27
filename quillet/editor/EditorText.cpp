#include "quillet/editor/EditorText.h"

namespace quillet {

graphics::ITextStyle ValueTextStyle() {
  return graphics::ITextStyle("Courier New", 20, graphics::IArgb(192, 64, 64, 64),
                              graphics::ITextStyleWeight::kBold, graphics::ITextAlign::kCenter);
}

}  // namespace quillet
