// The bundle as hosts read it agrees with the product's tables: every
// parameter a control port with the same name, range, default and kind, every
// factory program a preset with the same name and values; and the names hosts
// store in projects (URI, port symbols and indexes) are the ones released.
#include <algorithm>
#include <memory>

#include "e2e/lv2/Lv2Fixture.h"
#include "plug/IPlugBase.h"
#include "plug/PluginFactory.h"

namespace e2e {
namespace {

using Lv2Description = Lv2Instance;

// Released with the first LV2 build: never change one.
const char* const kSymbols[29] = {"volume",
                                  "mix",
                                  "grain_mode",
                                  "grain_length",
                                  "grain_sync",
                                  "grain_frequency",
                                  "grain_overlap",
                                  "grain_fade_in",
                                  "grain_skew",
                                  "grain_fade_out",
                                  "frame_length",
                                  "frame_sync",
                                  "frame_sync_to_host",
                                  "frame_overlap",
                                  "frame_fade_in",
                                  "frame_skew",
                                  "frame_fade_out",
                                  "midi_polyphony",
                                  "midi_attack",
                                  "midi_decay",
                                  "midi_sustain",
                                  "midi_release",
                                  "reserved_22",
                                  "reserved_23",
                                  "reserved_24",
                                  "reserved_25",
                                  "reserved_26",
                                  "reserved_27",
                                  "reserved_28"};

TEST_F(Lv2Description, PortsKeepTheirReleasedSymbolsAndIndexes) {
  ASSERT_EQ(host_.controls().size(), 29u);
  for (int i = 0; i < 29; ++i) {
    EXPECT_EQ(host_.controls()[i].port, static_cast<uint32_t>(i));
    EXPECT_EQ(host_.controls()[i].symbol, kSymbols[i]) << "port " << i;
  }
  EXPECT_EQ(host_.audioInputs(), 2);
  EXPECT_EQ(host_.audioOutputs(), 2);
  EXPECT_TRUE(host_.requiresFeature("http://lv2plug.in/ns/ext/urid#map"));
}

TEST_F(Lv2Description, ControlPortsDescribeTheParameters) {
  std::unique_ptr<plug::IPlugBase> product(plug::CreatePlugin());
  ASSERT_EQ(product->NParams(), 29);
  for (int i = 0; i < 29; ++i) {
    const plug::IParameter& p = *product->GetParam(i);
    const lv2host::ControlInfo& c = host_.controls()[i];
    SCOPED_TRACE(c.symbol);
    if (p.Kind() != plug::ParamKind::None) {
      EXPECT_EQ(c.name, p.Name());
    }
    EXPECT_EQ(c.minimum, static_cast<float>(p.Min()));
    EXPECT_EQ(c.maximum, static_cast<float>(p.Max()));
    EXPECT_EQ(c.defaultValue, static_cast<float>(p.Default()));
    EXPECT_EQ(c.toggled, p.Kind() == plug::ParamKind::Switch);
    EXPECT_EQ(c.enumeration, p.Kind() == plug::ParamKind::Enumeration);
    EXPECT_EQ(c.integer,
              p.Kind() == plug::ParamKind::Integer || p.Kind() == plug::ParamKind::Enumeration);
    ASSERT_EQ(c.scalePoints.size(), static_cast<std::size_t>(p.ValueTextCount()));
    for (int v = 0; v < p.ValueTextCount(); ++v) {
      EXPECT_EQ(c.scalePoints[v].first, static_cast<float>(p.ValueTextAt(v).value));
      EXPECT_EQ(c.scalePoints[v].second, p.ValueTextAt(v).text);
    }
  }
  EXPECT_EQ(host_.controls()[5].unit, "http://lv2plug.in/ns/extensions/units#hz");
}

TEST_F(Lv2Description, PresetsAreTheFactoryProgramsWithTheirValues) {
  std::unique_ptr<plug::IPlugBase> product(plug::CreatePlugin());
  std::vector<lv2host::PresetInfo> presets = host_.presets();
  ASSERT_EQ(static_cast<int>(presets.size()), product->NPresets());
  plug::InstanceLock lock(product->Mutex());
  for (int k = 0; k < product->NPresets(); ++k) {
    const std::string uri =
        std::string("https://vellum-music.com/plugins/quillet#preset-") + std::to_string(k);
    auto found = std::find_if(presets.begin(), presets.end(),
                              [&uri](const lv2host::PresetInfo& p) { return p.uri == uri; });
    ASSERT_NE(found, presets.end()) << uri;
    EXPECT_EQ(found->label, product->GetPresetName(k));
    ASSERT_TRUE(host_.applyPreset(uri));
    product->HostSelectPreset(k);
    for (int i = 0; i < 29; ++i)
      EXPECT_EQ(host_.control(i), static_cast<float>(product->GetParam(i)->Value()))
          << found->label << ", " << kSymbols[i];
  }
}

}  // namespace
}  // namespace e2e
