// The value types of the editor: rectangles, colours, blends, mouse state,
// frame strips, text styles and menus.
#include <gtest/gtest.h>

#include <string>

#include "graphics/IGraphicsTypes.h"
#include "graphics/IMenu.h"
#include "graphics/IRect.h"
#include "lice/LICE_Types.h"

using graphics::IArgb;
using graphics::IBlend;
using graphics::IBlendMode;
using graphics::IMenu;
using graphics::IMenuItem;
using graphics::IRect;

TEST(IRect, TheAllZeroRectangleIsEmptyInEveryOperation) {
  const IRect empty;
  const IRect r(2, 3, 10, 8);
  EXPECT_TRUE(empty.Empty());
  EXPECT_FALSE(empty.Contains(0, 0));
  EXPECT_FALSE(empty.Intersects(r));
  EXPECT_FALSE(r.Intersects(empty));
  EXPECT_EQ(empty.Union(r), r);
  EXPECT_EQ(r.Union(empty), r);
  EXPECT_TRUE(r.Intersect(IRect(20, 20, 30, 30)).Empty());
  // A rectangle of zero width elsewhere is not "empty": it still widens a union.
  EXPECT_FALSE(IRect(5, 5, 5, 9).Empty());
  EXPECT_EQ(r.Union(IRect(20, 1, 20, 2)), IRect(2, 1, 20, 8));
}

TEST(IRect, RightAndBottomAreExclusive) {
  const IRect r(2, 3, 10, 8);
  EXPECT_TRUE(r.Contains(2, 3));
  EXPECT_TRUE(r.Contains(9, 7));
  EXPECT_FALSE(r.Contains(10, 7));
  EXPECT_FALSE(r.Contains(9, 8));
  EXPECT_FALSE(r.Intersects(IRect(10, 3, 12, 8)));  // touching edges share no pixel
  EXPECT_EQ(r.Intersect(IRect(8, 0, 20, 4)), IRect(8, 3, 10, 4));
}

TEST(IArgb, PacksForDrawingAndForWindowsColourValues) {
  const IArgb c(128, 176, 128, 112);
  EXPECT_EQ(c.Packed(), 0x80B08070u);
  EXPECT_EQ(c.ColorRef(), 0x7080B0u);
  EXPECT_EQ(IArgb::FromPacked(0x80B08070u), c);
  EXPECT_EQ(IArgb::FromColorRef(0x7080B0u, 128), c);
}

TEST(IBlend, ModesMapToTheDrawingLayersBlitModes) {
  EXPECT_EQ(IBlend(IBlendMode::kNormal, 1.0f).BlitMode(),
            LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(IBlend(IBlendMode::kCopy, 1.0f).BlitMode(), LICE_BLIT_MODE_COPY);
  EXPECT_EQ(IBlend(IBlendMode::kAdd, 1.0f).BlitMode(), LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(IBlend(IBlendMode::kColorDodge, 1.0f).BlitMode(),
            LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA);
  // No blend: normal at full weight.
  EXPECT_EQ(IBlend::BlitModeOf(nullptr), LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
  EXPECT_EQ(IBlend::WeightOf(nullptr), 1.0f);
}

TEST(IMouseState, ComesFromTheMessageKeyState) {
  const graphics::IMouseState s = graphics::IMouseState::FromKeyState(0x1 | 0x8, true);
  EXPECT_TRUE(s.left);
  EXPECT_FALSE(s.right);
  EXPECT_FALSE(s.shift);
  EXPECT_TRUE(s.control);
  EXPECT_TRUE(s.alt);
  const graphics::IMouseState r = graphics::IMouseState::FromKeyState(0x2 | 0x4, false);
  EXPECT_TRUE(r.right && r.shift && !r.left && !r.control && !r.alt);
}

TEST(IFrameStrip, FramesDivideTheBitmapAlongTheirDirection) {
  graphics::IFrameStrip knob;
  knob.w = 64;
  knob.h = 4160;
  knob.frames = 65;
  EXPECT_EQ(knob.FrameWidth(), 64);
  EXPECT_EQ(knob.FrameHeight(), 64);
  knob.framesSideBySide = true;
  knob.w = 4160;
  knob.h = 64;
  EXPECT_EQ(knob.FrameWidth(), 64);
  EXPECT_EQ(knob.FrameHeight(), 64);
}

TEST(ITextStyle, DefaultsAndLongFontNames) {
  const graphics::ITextStyle style;
  EXPECT_STREQ(style.fontName, "Verdana");
  EXPECT_EQ(style.size, 12);
  EXPECT_EQ(style.colour, IArgb(255, 0, 0, 0));
  EXPECT_EQ(style.entryBackground, IArgb(255, 255, 255, 255));
  EXPECT_EQ(style.entryText, IArgb(255, 0, 0, 0));
  EXPECT_EQ(style.style, graphics::ITextStyleWeight::kNormal);
  EXPECT_EQ(style.align, graphics::ITextAlign::kCenter);
  EXPECT_EQ(style.orientationDeg, 0);
  EXPECT_EQ(style.quality, graphics::ITextQuality::kDefault);
  EXPECT_EQ(style.cachedFont, nullptr);
  const std::string longName(80, 'x');
  const graphics::ITextStyle cut(longName.c_str(), 20, IArgb());
  EXPECT_EQ(std::string(cut.fontName), std::string(31, 'x'));
}

TEST(IMenu, PrefixStylesNumberItemsFromOne) {
  const char* expected[][2] = {{"Alpha", "Beta"},
                               {"1: Alpha", "2: Beta"},
                               {"01: Alpha", "02: Beta"},
                               {"001: Alpha", "002: Beta"}};
  for (int style = 0; style < 4; ++style) {
    IMenu menu(style);
    menu.AddItem("Alpha");
    menu.AddItem("Beta");
    EXPECT_EQ(menu.DisplayText(0), expected[style][0]) << "style " << style;
    EXPECT_EQ(menu.DisplayText(1), expected[style][1]) << "style " << style;
  }
}

TEST(IMenu, LongItemTextsAreShownWholeWithTheirPrefix) {
  IMenu menu(IMenu::kPrefix3);
  const std::string text(5000, 'q');
  menu.AddItem(text.c_str());
  EXPECT_EQ(menu.DisplayText(0), "001: " + text);
  EXPECT_EQ(menu.DisplayText(1), "");  // no such item
}

TEST(IMenu, CheckItemAloneUnchecksTheOthers) {
  IMenu menu;
  menu.AddItem("a", IMenuItem::kChecked);
  menu.AddItem("b", IMenuItem::kGrayed);
  menu.CheckItemAlone(1);
  EXPECT_FALSE(menu.Item(0)->IsChecked());
  EXPECT_TRUE(menu.Item(1)->IsChecked());
  EXPECT_EQ(menu.Item(1)->Flags(), IMenuItem::kGrayed | IMenuItem::kChecked);
}

TEST(MenuCommandMap, AMenuNumbersItsOwnItemsBeforeItsSubMenus) {
  IMenu root;
  IMenu* first = new IMenu();
  first->AddItem("f0");
  first->AddItem("f1");
  IMenu* nested = new IMenu();
  nested->AddItem("n0");
  first->AddItem("nested", 0, nested);
  IMenu* second = new IMenu();
  second->AddItem("s0");
  root.AddItem("r0");
  root.AddItem("first", 0, first);
  root.AddSeparator();
  root.AddItem("second", 0, second);
  const graphics::MenuCommandMap map(&root);
  // root 0..3, first 4..6, nested 7, second 8.
  EXPECT_EQ(map.FirstCommand(&root), 0);
  EXPECT_EQ(map.FirstCommand(first), 4);
  EXPECT_EQ(map.FirstCommand(nested), 7);
  EXPECT_EQ(map.FirstCommand(second), 8);
  EXPECT_EQ(map.CommandCount(), 9);
  EXPECT_EQ(map.Choose(5), first);
  EXPECT_EQ(first->ChosenItem(), 1);
  EXPECT_EQ(map.Choose(8), second);
  EXPECT_EQ(second->ChosenItem(), 0);
  EXPECT_EQ(map.Choose(9), nullptr);
  EXPECT_EQ(map.Choose(-1), nullptr);
}
