#include "GraphicsFixture.h"

#include "graphics/IGraphics.h"
#include "lice/LICE_IBitmap.h"
#include "plug/FourCharCode.h"

namespace graphics_test {

HostLog* HostLog::current = nullptr;
int TestGraphics::decodes = 0;

void HostLogServices::BeginParamGesture(int paramIndex) {
  if (HostLog* log = HostLog::current) log->calls.push_back("b" + std::to_string(paramIndex));
}

void HostLogServices::NotifyHostParamValue(int paramIndex, double normalized) {
  if (HostLog* log = HostLog::current) {
    log->calls.push_back("a" + std::to_string(paramIndex));
    log->values.push_back(static_cast<float>(normalized));
  }
}

void HostLogServices::EndParamGesture(int paramIndex) {
  if (HostLog* log = HostLog::current) log->calls.push_back("e" + std::to_string(paramIndex));
}

void HostLogServices::ResizeEditor(int width, int height) {
  if (HostLog* log = HostLog::current) {
    ++log->sizeWindowCalls;
    log->lastWidth = width;
    log->lastHeight = height;
  }
}

bool HostLogServices::RequestEditorResize(int width, int height) {
  HostLog* log = HostLog::current;
  if (!log) return true;
  log->requests.emplace_back(width, height);
  if (log->editor)
    log->editorSizeDuringRequest.emplace_back(log->editor->Width(), log->editor->Height());
  return !log->refuseResize;
}

std::string HostLog::Joined() const {
  std::string s;
  for (const std::string& c : calls) s += (s.empty() ? "" : " ") + c;
  return s;
}

namespace {
plug::IPlugConfig Config() {
  plug::IPlugConfig c;
  c.effectName = "GraphicsTest";
  c.productName = "";
  c.makerName = "Vellum Music";
  c.uniqueId = plug::FourCharCode('g', 'r', 'f', 'x');
  c.version = 0x00010102;
  c.paramCount = 4;
  c.presetCount = 1;
  c.channelIO = "2-2";
  return c;
}
}  // namespace

GraphicsPlug::GraphicsPlug(int format) : plug::IPlugBase(Config()), services_(format) {
  SetHostServices(&services_);
  GetParam(0)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.01);
  GetParam(1)->InitEnumeration("Mode", 0, 3);
  GetParam(1)->AddValueText(0, "A");
  GetParam(1)->AddValueText(1, "B");
  GetParam(1)->AddValueText(2, "C");
  GetParam(2)->InitContinuous("Gain", 0.0, -12.0, 12.0, 0.1, "dB");
  GetParam(3)->InitSwitch("Bypass", false);
  GetParam(3)->AddValueText(0, "off");
  GetParam(3)->AddValueText(1, "on");
}

LICE_pixel MakePixel(int frame, int x, int y) {
  return LICE_RGBA(40 + frame * 20, x & 0xFF, y & 0xFF, 255);
}

LICE_MemBitmap* MakeStripBitmap(int w, int h, int frames, bool sideBySide) {
  LICE_MemBitmap* bitmap = new LICE_MemBitmap(w, h);
  const int fw = sideBySide ? w / frames : w;
  const int fh = sideBySide ? h : h / frames;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int frame = sideBySide ? x / fw : y / fh;
      bitmap->Bits()[y * bitmap->RowSpan() + x] = MakePixel(frame, x % fw, y % fh);
    }
  }
  return bitmap;
}

LICE_IBitmap* TestGraphics::LoadPlatformBitmap(int id, const char* name) {
  if (id < kFirstTestBitmap) return IGraphicsHeadless::LoadPlatformBitmap(id, name);
  ++decodes;
  // Ids encode the strip: 1000 + frames * 10 + side-by-side; frames of 4 x 3.
  const int frames = (id - kFirstTestBitmap) / 10;
  const bool sideBySide = (id % 10) == 1;
  if (frames < 1) return nullptr;  // a missing image
  return sideBySide ? MakeStripBitmap(4 * frames, 3, frames, true)
                    : MakeStripBitmap(4, 3 * frames, frames, false);
}

void ProbeControl::MouseDown(int x, int y, const graphics::IMouseState* s) {
  log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  graphics::IGraphics* g = GetGUI();
  switch (onPress) {
    case OnPress::kMenu:
    case OnPress::kMenuAtPointer: {
      graphics::IMenu menu;
      menu.AddItem("one");
      menu.AddItem("two");
      const graphics::IRect pointer(x, y, x, y);
      graphics::IMenu* chosen =
          g->ShowPopupMenu(&menu, onPress == OnPress::kMenu ? &rect_ : &pointer);
      chosenItem = chosen ? chosen->ChosenItem() : -1;
      chosenMenu = chosen ? "main" : "";
      if (chosen) SetValueFromUser(chosen->ChosenItem() / 2.0);
      break;
    }
    case OnPress::kSubMenu: {
      graphics::IMenu menu;
      graphics::IMenu* more = new graphics::IMenu();
      more->AddItem("x");
      more->AddItem("y");
      menu.AddItem("top");
      menu.AddItem("more", 0, more);
      graphics::IMenu* chosen = g->ShowPopupMenu(&menu, &rect_);
      chosenItem = chosen ? chosen->ChosenItem() : -1;
      chosenMenu = chosen == more ? "more" : (chosen ? "main" : "");
      break;
    }
    case OnPress::kMessageBox:
      messageBoxAnswer = g->ShowMessageBox(messageBoxText.c_str(), "caption", messageBoxType);
      break;
    case OnPress::kChange:
      SetValue(0.75);
      MarkDirty(true);
      break;
    case OnPress::kPrompt:
      PromptValue();
      break;
    case OnPress::kNothing:
      break;
  }
}

void ProbeControl::MouseDrag(int x, int y, int dX, int dY, const graphics::IMouseState* s) {
  log.push_back("drag " + std::to_string(dX) + "," + std::to_string(dY));
  SetValue(Value() + 0.01);
  MarkDirty(true);
}

bool ProbeControl::KeyDown(int x, int y, int key) {
  log.push_back("key " + std::to_string(key));
  return keyHandled;
}

void ProbeControl::MouseWheel(int x, int y, const graphics::IMouseState* s, int d) {
  log.push_back("wheel " + std::to_string(d));
  SetValue(Value() + 0.1 * d);
  MarkDirty(true);
}

bool ProbeControl::Draw(graphics::IGraphics* g) {
  ++draws;
  const int grey = static_cast<int>(Value() * 255.0 + 0.5);
  graphics::IArgb c =
      greyFromValue ? graphics::IArgb(255, grey, grey, grey) : graphics::IArgb::FromPacked(colour_);
  g->FillRect(&c, &rect_);
  return true;
}

void GraphicsTest::SetUp() {
  HostLog::current = &log_;
  editor_ = new TestGraphics(&plug_);
  plug_.AttachEditor(editor_);
}

void GraphicsTest::TearDown() { HostLog::current = nullptr; }

void GraphicsTest::Click(int x, int y, bool right) {
  graphics::IMouseState s;
  s.left = !right;
  s.right = right;
  editor_->OnMouseDown(x, y, &s);
  editor_->OnMouseUp(x, y, &s);
}

LICE_pixel GraphicsTest::PixelAt(int x, int y) {
  LICE_IBitmap* b = editor_->DrawingBitmap();
  return b->Bits()[y * b->RowSpan() + x];
}

void ProbePanel::Attach(graphics::IGraphics* editor, plug::IPlugBase* plugin, int yesNoType) {
  auto probe = [&](const graphics::IRect& r, int param) {
    ProbeControl* p = new ProbeControl(plugin, r, param);
    editor->AttachControl(p);
    return p;
  };
  background = probe(graphics::IRect(0, 0, editor->Width(), editor->Height()), -1);
  knob = probe(graphics::IRect(10, 10, 60, 60), 0);
  knob->greyFromValue = true;
  menu = probe(graphics::IRect(70, 10, 120, 60), 1);
  menu->onPress = ProbeControl::OnPress::kMenu;
  entry = probe(graphics::IRect(130, 10, 180, 60), 2);
  entry->onPress = ProbeControl::OnPress::kPrompt;
  entry->SetPromptDisabled(false);
  box = probe(graphics::IRect(190, 10, 240, 60), -1);
  box->onPress = ProbeControl::OnPress::kMessageBox;
  box->messageBoxType = yesNoType;
  sub = probe(graphics::IRect(250, 10, 300, 60), -1);
  sub->onPress = ProbeControl::OnPress::kSubMenu;
}

}  // namespace graphics_test
