// IGraphics: the value prompt (a menu of value texts or a text entry) and the
// platform-free half of the text entry: which characters a field keeps and
// how a committed text becomes a value.
#include <string>

#include "graphics/IGraphics.h"
#include "plug/IParameter.h"
#include "plug/TextUtil.h"

namespace graphics {

namespace {
// A committed field is read into a buffer of this size (31 characters).
constexpr int kEntryTextBytes = 32;
}  // namespace

void IGraphics::PromptUserInput(IControl* control, plug::IParameter* param, const IRect* r) {
  if (!control || !param || !r) return;
  const plug::ParamKind kind = param->Kind();
  if (kind == plug::ParamKind::Enumeration ||
      (kind == plug::ParamKind::Switch && param->HasValueTexts())) {
    char current[plug::IParameter::kTextCapacity];
    param->FormatValue(param->Value(), false, current, true);
    IMenu menu;
    for (int v = 0; v < param->ValueTextCount(); ++v) {
      const char* text = param->FindValueText(v);
      IMenuItem* item = menu.AddItem(text ? text : "");
      if (item->Text() == current) item->SetChecked(true);
    }
    IMenu* chosen = ShowPopupMenu(&menu, r);
    if (chosen && chosen->ChosenItem() >= 0)
      control->SetValueFromUser(param->ToNormalized(chosen->ChosenItem()));
    return;
  }
  char text[plug::IParameter::kTextCapacity];
  param->FormatValue(param->Value(), false, text, false);
  ShowTextEntry(control, &control->TextStyle(), r, text, param);
}

bool IGraphics::TextEntryAccepts(const plug::IParameter* param, int character) {
  if (!param || character == '\b') return true;
  if (character >= '0' && character <= '9') return true;
  if (character == '+' || character == '-') return true;
  return character == '.' && param->Kind() == plug::ParamKind::Continuous;
}

void IGraphics::CommitTextEntry(IControl* control, plug::IParameter* param, const char* text) {
  if (!control) return;
  char entry[kEntryTextBytes];
  plug::CopyText(entry, text, sizeof entry);
  if (!param) {
    control->SetTextFromPlugin(entry);
    return;
  }
  double plain = 0.0;
  const plug::ParamKind kind = param->Kind();
  if (kind == plug::ParamKind::Switch || kind == plug::ParamKind::Enumeration) {
    int found = 0;
    if (param->FindValueByText(entry, &found)) plain = found;
  } else {
    plain = plug::ParseLeadingNumber(entry);
    if (param->NegateDisplay()) plain = -plain;
  }
  // A typed value is a gesture of its own.
  BeginGesture(control->ParamIdx());
  control->SetValueFromUser(param->ToNormalized(plain));
  EndGesture();
}

}  // namespace graphics
