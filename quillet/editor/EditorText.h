// The text style of the maker's value menus and fader read-outs.
#pragma once

#include "graphics/IGraphicsTypes.h"

namespace quillet {

// "Courier New", 20 pixels, bold, centred, dark grey at three quarters.
graphics::ITextStyle ValueTextStyle();

}  // namespace quillet
