// The tuning client against the stand-in tuning library, installed where the
// plug-in looks for the real one (the Wine prefix's system directory in the
// Windows builds, a private library folder natively).
#include "effect/TuningClient.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "FakeMtsLibrary.h"

namespace {

using effect::mtsclientglobal;
using effect::TuningClient;
using effect_test::FakeMtsLibrary;

double EqualTempered(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

class TuningClientTest : public ::testing::Test {
 protected:
  void SetUp() override { FakeMtsLibrary::RemoveInstalled(); }
  void TearDown() override {
    fake_.reset();
    FakeMtsLibrary::RemoveInstalled();
  }

  // Installs the stand-in and binds the process to it.
  const FakeMtsLibrary& Install(
      FakeMtsLibrary::Variant variant = FakeMtsLibrary::Variant::kComplete, bool bind = true) {
    fake_ = std::make_unique<FakeMtsLibrary>(variant, bind);
    return *fake_;
  }

  std::unique_ptr<FakeMtsLibrary> fake_;
};

TEST_F(TuningClientTest, WithoutLibraryPlaysEqualTemperamentAndDropsNothing) {
  mtsclientglobal::Process().LoadTuningLibrary();
  ASSERT_FALSE(mtsclientglobal::Process().IsLoaded());
  TuningClient client;
  EXPECT_FALSE(client.HasTuningMaster());
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 440.0);
  for (int note = 0; note < 128; ++note) {
    EXPECT_NEAR(client.TunedFrequency(note), EqualTempered(note), 1e-9 * EqualTempered(note))
        << "note " << note;
    EXPECT_FALSE(client.IsNoteFiltered(note)) << "note " << note;
  }
  // Notes are reduced to 0..127, never index outside the table.
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69 + 128), 440.0);
  EXPECT_DOUBLE_EQ(client.TunedFrequency(-59), 440.0);  // -59 & 0x7F == 69
}

TEST_F(TuningClientTest, LibraryWithoutMasterActsAsNoLibrary) {
  const FakeMtsLibrary& fake = Install();
  ASSERT_TRUE(fake.Ready());
  ASSERT_TRUE(mtsclientglobal::Process().IsLoaded());
  fake.SetFrequency(69, 432.0);
  fake.SetFiltered(60, true);

  TuningClient client;
  EXPECT_FALSE(client.HasTuningMaster());
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 440.0);
  EXPECT_FALSE(client.IsNoteFiltered(60));
}

TEST_F(TuningClientTest, MasterRetunesAndFiltersNotes) {
  const FakeMtsLibrary& fake = Install();
  ASSERT_TRUE(fake.Ready());
  fake.SetMaster(true);
  fake.SetFrequency(69, 432.0);
  fake.SetFrequency(70, 450.5);
  fake.SetFiltered(61, true);

  TuningClient client;
  ASSERT_TRUE(client.HasTuningMaster());
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 432.0);
  EXPECT_DOUBLE_EQ(client.TunedFrequency(70), 450.5);
  EXPECT_DOUBLE_EQ(client.TunedFrequency(72), EqualTempered(72));  // the master's own entry
  EXPECT_TRUE(client.IsNoteFiltered(61));
  EXPECT_FALSE(client.IsNoteFiltered(62));

  // The note goes to the library reduced to 0..127, on "no channel".
  EXPECT_TRUE(client.IsNoteFiltered(61 + 128));
  EXPECT_EQ(fake.LastFilterNote(), 61);
  EXPECT_EQ(fake.LastFilterChannel(), 0xFF);
}

TEST_F(TuningClientTest, MasterAppearingAndDisappearingCountsFromTheNextNote) {
  const FakeMtsLibrary& fake = Install();
  ASSERT_TRUE(fake.Ready());
  fake.SetFrequency(69, 432.0);
  fake.SetFiltered(64, true);
  TuningClient client;

  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 440.0);
  EXPECT_FALSE(client.IsNoteFiltered(64));

  fake.SetMaster(true);
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 432.0);
  EXPECT_TRUE(client.IsNoteFiltered(64));

  // The master rewrites its table while running: the next note reads it.
  fake.SetFrequency(69, 428.0);
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 428.0);

  fake.SetMaster(false);
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 440.0);
  EXPECT_FALSE(client.IsNoteFiltered(64));
}

TEST_F(TuningClientTest, EachClientRegistersOnceAndDeregistersWhenDestroyed) {
  const FakeMtsLibrary& fake = Install();
  ASSERT_TRUE(fake.Ready());
  {
    TuningClient first;
    EXPECT_EQ(fake.ClientCount(), 1);
    {
      TuningClient second;
      EXPECT_EQ(fake.ClientCount(), 2);
    }
    EXPECT_EQ(fake.ClientCount(), 1);
  }
  EXPECT_EQ(fake.ClientCount(), 0);
}

TEST_F(TuningClientTest, NullTableFromTheLibraryMeansNoMaster) {
  const FakeMtsLibrary& fake = Install(FakeMtsLibrary::Variant::kComplete, false);
  ASSERT_TRUE(fake.Ready());
  fake.SetTableAvailable(false);
  fake.SetMaster(true);
  fake.SetFiltered(69, true);
  mtsclientglobal::Process().LoadTuningLibrary();

  TuningClient client;
  EXPECT_FALSE(client.HasTuningMaster());
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 440.0);
  EXPECT_FALSE(client.IsNoteFiltered(69));
}

TEST_F(TuningClientTest, LibraryMissingExportsUsesWhatItHas) {
  // The partial stand-in has no registration and no filter entries.
  const FakeMtsLibrary& fake = Install(FakeMtsLibrary::Variant::kPartial);
  ASSERT_TRUE(fake.Ready());
  fake.SetMaster(true);
  fake.SetFrequency(69, 432.0);
  fake.SetFiltered(69, true);
  {
    TuningClient client;
    EXPECT_TRUE(client.HasTuningMaster());
    EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 432.0);
    EXPECT_FALSE(client.IsNoteFiltered(69));
    EXPECT_EQ(fake.ClientCount(), 0);
  }
  EXPECT_EQ(fake.ClientCount(), 0);
}

TEST_F(TuningClientTest, UnplayableMasterFrequenciesFallBackToEqualTemperament) {
  const FakeMtsLibrary& fake = Install();
  ASSERT_TRUE(fake.Ready());
  fake.SetMaster(true);
  const double bad[] = {0.0, -440.0, std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()};
  TuningClient client;
  for (int i = 0; i < 4; ++i) {
    fake.SetFrequency(60 + i, bad[i]);
    EXPECT_DOUBLE_EQ(client.TunedFrequency(60 + i), EqualTempered(60 + i)) << "stored " << bad[i];
  }
}

TEST_F(TuningClientTest, UnbindingWithClientsAliveIsSafe) {
  const FakeMtsLibrary& fake = Install();
  ASSERT_TRUE(fake.Ready());
  fake.SetMaster(true);
  TuningClient client;
  mtsclientglobal::Process().UnloadTuningLibrary();
  EXPECT_FALSE(client.HasTuningMaster());
  EXPECT_DOUBLE_EQ(client.TunedFrequency(69), 440.0);
  EXPECT_FALSE(client.IsNoteFiltered(69));
}

}  // namespace
