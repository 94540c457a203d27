#pragma once

#include <cstdint>
#include <cstring>

namespace quillet {

// x^exponent for the envelopes' domain: a base in 0..1 and a positive
// exponent (the FadeCurve exponents, 0.25 to 16). Inline, in base 2 and
// without the general library function's special cases, it takes about 90
// instructions where glibc's std::pow takes about 125 with its call, and stays
// within 1e-15 of it, absolute (tests/quillet/UnitPowerTest.cpp measures it
// over the whole domain). It computes the same on every platform: no library
// function is involved.
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

  // Each series as two Horner chains, its even and its odd terms, which run
  // side by side: one chain would cost the same operations but wait on every
  // one of them (twice the latency).
  constexpr double kLn2 = 0.6931471805599453;
  constexpr double a = 2.0 / kLn2;  // log2 m = s (a + a/3 z + a/5 z^2 + ...)
  const double s = (m - 1.0) / (m + 1.0);
  const double z = s * s;
  const double z2 = z * z;
  double even = a / 17;
  even = even * z2 + a / 13;
  even = even * z2 + a / 9;
  even = even * z2 + a / 5;
  even = even * z2 + a;
  double odd = a / 15;
  odd = odd * z2 + a / 11;
  odd = odd * z2 + a / 7;
  odd = odd * z2 + a / 3;
  const double log2M = s * (even + odd * z);
  const double y = exponent * (k + log2M);
  if (!(y > -1022.0)) return 0.0;

  // n = round(y) by the 1.5 x 2^52 trick (the addition rounds); f is exact.
  constexpr double kRoundingShift = 6755399441055744.0;
  const double n = (y + kRoundingShift) - kRoundingShift;
  const double f = y - n;
  // 2^f = sum of c_j f^j, c_j = (ln 2)^j / j!
  constexpr double c1 = kLn2, c2 = c1 * kLn2 / 2, c3 = c2 * kLn2 / 3, c4 = c3 * kLn2 / 4,
                   c5 = c4 * kLn2 / 5, c6 = c5 * kLn2 / 6, c7 = c6 * kLn2 / 7, c8 = c7 * kLn2 / 8,
                   c9 = c8 * kLn2 / 9, c10 = c9 * kLn2 / 10, c11 = c10 * kLn2 / 11,
                   c12 = c11 * kLn2 / 12;
  const double f2 = f * f;
  double evenF = c12;
  evenF = evenF * f2 + c10;
  evenF = evenF * f2 + c8;
  evenF = evenF * f2 + c6;
  evenF = evenF * f2 + c4;
  evenF = evenF * f2 + c2;
  evenF = evenF * f2 + 1.0;
  double oddF = c11;
  oddF = oddF * f2 + c9;
  oddF = oddF * f2 + c7;
  oddF = oddF * f2 + c5;
  oddF = oddF * f2 + c3;
  oddF = oddF * f2 + c1;
  const double p = evenF + oddF * f;
  // 2^n for n in -1021..0, straight into the exponent field.
  const std::uint64_t scaleBits = static_cast<std::uint64_t>(static_cast<int>(n) + 1023) << 52;
  double scale;
  std::memcpy(&scale, &scaleBits, sizeof scale);
  return p * scale;
}

}  // namespace quillet
