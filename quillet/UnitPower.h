#pragma once

#include <cstdint>
#include <cstring>

namespace quillet {

// x^exponent for the envelopes' domain: a base in 0..1 and a positive
// exponent (the FadeCurve exponents, 0.25 to 16). Inline, in base 2 and
// without the general library function's special cases, it costs about a
// third of std::pow and stays within 1e-15 of it, absolute
// (tests/quillet/UnitPowerTest.cpp measures it over the whole domain).
//
//   log2 x = k + log2 m       m in [sqrt(1/2), sqrt(2)) from the bits of x
//   log2 m = 2 atanh(s) / ln 2, s = (m - 1) / (m + 1), |s| <= 0.172, to s^17
//   x^e    = 2^n 2^f          y = e log2 x = n + f, |f| <= 1/2,
//                             2^f = exp(f ln 2) by its series to f^12
//
// An exponent of exactly 1 or 2 gives x and x * x without any rounding (the
// fade controls hit these exactly). For the other exponents a base of 1 or
// more gives 1; a base of 0 or less, a subnormal one or not a number gives 0,
// and so do results below 2^-1022, far below anything audible.
inline double UnitPower(double x, double exponent) {
  if (exponent == 1.0) return x;
  if (exponent == 2.0) return x * x;

  constexpr std::uint64_t kSmallestNormalBits = 0x0010000000000000u;
  constexpr std::uint64_t kOneBits = 0x3FF0000000000000u;
  constexpr std::uint64_t kSqrt2Bits = 0x3FF6A09E667F3BCDu;
  constexpr std::uint64_t kExponentBits = 0x7FF0000000000000u;
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  // One unsigned comparison for everything outside (0, 1) and normal: the
  // sign bit makes negative bases huge.
  if (bits - kSmallestNormalBits >= kOneBits - kSmallestNormalBits) return x >= 1.0 ? 1.0 : 0.0;

  int k = static_cast<int>(bits >> 52) - 1023;
  bits = (bits & ~kExponentBits) | kOneBits;  // the mantissa as m in [1, 2)
  if (bits > kSqrt2Bits) {
    bits -= std::uint64_t{1} << 52;  // m / 2
    ++k;
  }
  double m;
  std::memcpy(&m, &bits, sizeof m);

  constexpr double kLn2 = 0.6931471805599453;
  constexpr double kTwoOverLn2 = 2.0 / kLn2;
  const double s = (m - 1.0) / (m + 1.0);
  const double z = s * s;
  double series = kTwoOverLn2 / 17.0;
  series = series * z + kTwoOverLn2 / 15.0;
  series = series * z + kTwoOverLn2 / 13.0;
  series = series * z + kTwoOverLn2 / 11.0;
  series = series * z + kTwoOverLn2 / 9.0;
  series = series * z + kTwoOverLn2 / 7.0;
  series = series * z + kTwoOverLn2 / 5.0;
  series = series * z + kTwoOverLn2 / 3.0;
  const double log2X = k + (s * kTwoOverLn2 + s * z * series);
  const double y = exponent * log2X;
  if (!(y > -1022.0)) return 0.0;

  // n = round(y) by the 1.5 x 2^52 trick (the addition rounds); f is exact.
  constexpr double kRoundingShift = 6755399441055744.0;
  const double n = (y + kRoundingShift) - kRoundingShift;
  const double f = y - n;
  constexpr double c1 = kLn2, c2 = c1 * kLn2 / 2, c3 = c2 * kLn2 / 3, c4 = c3 * kLn2 / 4,
                   c5 = c4 * kLn2 / 5, c6 = c5 * kLn2 / 6, c7 = c6 * kLn2 / 7, c8 = c7 * kLn2 / 8,
                   c9 = c8 * kLn2 / 9, c10 = c9 * kLn2 / 10, c11 = c10 * kLn2 / 11,
                   c12 = c11 * kLn2 / 12;
  double p = c12;
  p = p * f + c11;
  p = p * f + c10;
  p = p * f + c9;
  p = p * f + c8;
  p = p * f + c7;
  p = p * f + c6;
  p = p * f + c5;
  p = p * f + c4;
  p = p * f + c3;
  p = p * f + c2;
  p = p * f + c1;
  p = p * f + 1.0;
  // 2^n for n in -1021..0, straight into the exponent field.
  const std::uint64_t scaleBits = static_cast<std::uint64_t>(static_cast<int>(n) + 1023) << 52;
  double scale;
  std::memcpy(&scale, &scaleBits, sizeof scale);
  return p * scale;
}

}  // namespace quillet
