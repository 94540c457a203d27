#include "quillet/NoteFrequencyTable.h"

#include <gtest/gtest.h>

#include <cmath>

namespace nft = quillet::NoteFrequencyTable;

TEST(NoteFrequencyTable, HoldsTheRoundedValues) {
  EXPECT_EQ(nft::FrequencyHz(0), 8.176);
  EXPECT_EQ(nft::FrequencyHz(36), 65.406);
  EXPECT_EQ(nft::FrequencyHz(60), 261.626);
  EXPECT_EQ(nft::FrequencyHz(69), 440.0);
  EXPECT_EQ(nft::FrequencyHz(123), 9956.063);
  // The four highest notes have two decimals only.
  EXPECT_EQ(nft::FrequencyHz(124), 10548.08);
  EXPECT_EQ(nft::FrequencyHz(125), 11175.3);
  EXPECT_EQ(nft::FrequencyHz(126), 11839.82);
  EXPECT_EQ(nft::FrequencyHz(127), 12543.85);
}

TEST(NoteFrequencyTable, EveryEntryIsTheEqualTemperedPitchRounded) {
  for (int n = 0; n < nft::kNoteCount; ++n) {
    const double exact = 440.0 * std::pow(2.0, (n - 69) / 12.0);
    const double tolerance = n >= 124 ? 0.005 : 0.0005;
    EXPECT_NEAR(nft::FrequencyHz(n), exact, tolerance + 1e-9) << "note " << n;
    if (n > 0) {
      EXPECT_GT(nft::FrequencyHz(n), nft::FrequencyHz(n - 1)) << "note " << n;
    }
  }
}

TEST(NoteFrequencyTable, NotesOutsideTheRangeHaveNoFrequency) {
  EXPECT_EQ(nft::FrequencyHz(-1), 0.0);
  EXPECT_EQ(nft::FrequencyHz(128), 0.0);
}
