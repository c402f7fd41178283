// Double-double numbers: an unevaluated sum hi + lo of two doubles with |lo| <= ulp(hi) / 2,
// about 32 significant digits (unit round-off about 1e-32) with the range of a double.
//
// The operations are the classic error-free transformations: TwoSum (Knuth) gives a + b exactly
// as a rounded sum and its error; TwoProduct gives a * b exactly as a rounded product and its
// error, by a fused multiply-add where the processor has one in this build and by Dekker's
// splitting otherwise. On them rest the sum, product and quotient below (Dekker 1971; the
// "sloppy" sum, which is accurate to a few units of 1e-32 of the larger operand's magnitude:
// enough for elimination, where every step is of that form anyway).
//
// The code relies on IEEE double arithmetic rounded to nearest, evaluated as written: no
// reassociation (no -ffast-math) and, without hardware FMA, no contraction of a * b + c.
#pragma once

#include <cmath>

namespace spanlab {

struct DoubleDouble {
  double hi = 0, lo = 0;

  constexpr DoubleDouble() = default;
  constexpr DoubleDouble(double h) : hi(h) {}  // NOLINT: a double is exact as a double-double
  constexpr DoubleDouble(double h, double l) : hi(h), lo(l) {}
  // The nearest double.
  double Value() const { return hi + lo; }
};

namespace dd {

// s + e == a + b exactly, s = fl(a + b).
inline DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// Precondition |a| >= |b| (or a == 0).
inline DoubleDouble QuickTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// hi + lo == a, each with at most 26 significant bits (Dekker's splitting). Beyond 2^996 the
// splitter's product would overflow, so such a factor is split at 2^-28 of its size and scaled
// back (powers of two: exact).
inline DoubleDouble Split(double a) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  constexpr double kThreshold = 6.69692879491417e+299;  // 2^996
  if (std::fabs(a) > kThreshold) {
    const double scaled = a * 3.7252902984619140625e-09;  // 2^-28
    const double t = kSplitter * scaled;
    const double hi = t - (t - scaled);
    return {hi * 268435456.0, (scaled - hi) * 268435456.0};  // 2^28
  }
  const double t = kSplitter * a;
  const double hi = t - (t - a);
  return {hi, a - hi};
}

// p + e == a * b exactly (barring underflow), p = fl(a * b).
inline DoubleDouble TwoProduct(double a, double b) {
  const double p = a * b;
#if defined(__FMA__) || defined(__ARM_FEATURE_FMA)
  return {p, std::fma(a, b, -p)};
#else
  // Dekker: split each factor into two halves of 26 bits whose products are exact.
  const DoubleDouble sa = Split(a), sb = Split(b);
  const double ah = sa.hi, al = sa.lo, bh = sb.hi, bl = sb.lo;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
#endif
}

}  // namespace dd

inline DoubleDouble operator-(const DoubleDouble& a) { return {-a.hi, -a.lo}; }

inline DoubleDouble operator+(const DoubleDouble& a, const DoubleDouble& b) {
  const DoubleDouble s = dd::TwoSum(a.hi, b.hi);
  return dd::QuickTwoSum(s.hi, s.lo + a.lo + b.lo);
}

inline DoubleDouble operator+(const DoubleDouble& a, double b) {
  const DoubleDouble s = dd::TwoSum(a.hi, b);
  return dd::QuickTwoSum(s.hi, s.lo + a.lo);
}

inline DoubleDouble operator-(const DoubleDouble& a, const DoubleDouble& b) { return a + -b; }
inline DoubleDouble operator-(const DoubleDouble& a, double b) { return a + -b; }

inline DoubleDouble operator*(const DoubleDouble& a, const DoubleDouble& b) {
  const DoubleDouble p = dd::TwoProduct(a.hi, b.hi);
  return dd::QuickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

inline DoubleDouble operator*(const DoubleDouble& a, double b) {
  const DoubleDouble p = dd::TwoProduct(a.hi, b);
  return dd::QuickTwoSum(p.hi, p.lo + a.lo * b);
}

// One Newton step on the double quotient: q1 = a.hi / b.hi, then the remainder a - q1 b in
// double-double divided once more.
inline DoubleDouble operator/(const DoubleDouble& a, const DoubleDouble& b) {
  const double q1 = a.hi / b.hi;
  const DoubleDouble r = a - b * q1;
  const double q2 = r.hi / b.hi;
  const DoubleDouble r2 = r - b * q2;
  return dd::QuickTwoSum(q1, q2) + r2.hi / b.hi;
}

inline DoubleDouble& operator+=(DoubleDouble& a, const DoubleDouble& b) { return a = a + b; }
inline DoubleDouble& operator-=(DoubleDouble& a, const DoubleDouble& b) { return a = a - b; }

}  // namespace spanlab
