// SoftExtended: the x87's 80-bit extended format in plain integer arithmetic,
// so that a processor without it computes the same bits. A 64-bit significand
// with an explicit integer bit and a 15-bit exponent biased by 16383, as the
// x87 stores them; +, -, x, / and the conversions round to nearest, ties to
// even, with the x87's subnormals, infinities and zeros. A NaN operand gives
// a NaN (which one is not defined).
#pragma once

#include <cstdint>
#include <type_traits>

namespace ukvo2 {

struct SoftExtended {
    uint64_t significand = 0;    // bit 63 is the integer bit
    uint16_t signExponent = 0;   // bit 15 the sign, bits 0 .. 14 the biased exponent

    constexpr SoftExtended() = default;
    constexpr SoftExtended(double v);
    template <typename I, typename = std::enable_if_t<std::is_integral_v<I>>>
    constexpr SoftExtended(I v);
    SoftExtended(long double) = delete;  // would lose bits where long double is wider
};

namespace soft {

constexpr int32_t Bias = 16383;
constexpr int32_t MaxExp = 16383;   // of a finite value x = sig x 2^(exp - 63)
constexpr int32_t MinExp = -16382;  // of a normal one
constexpr uint16_t InfNanField = 0x7FFF;
constexpr uint64_t Top = uint64_t{1} << 63;

constexpr SoftExtended Make(bool neg, uint16_t field, uint64_t sig) {
    SoftExtended x;
    x.significand = sig;
    x.signExponent = static_cast<uint16_t>((neg ? 0x8000 : 0) | field);
    return x;
}
constexpr bool Neg(SoftExtended x) { return x.signExponent >> 15; }
constexpr uint16_t Field(SoftExtended x) { return x.signExponent & 0x7FFF; }
constexpr bool IsNan(SoftExtended x) { return Field(x) == InfNanField && x.significand != Top; }
constexpr bool IsInf(SoftExtended x) { return Field(x) == InfNanField && x.significand == Top; }
constexpr bool IsZero(SoftExtended x) { return Field(x) == 0 && x.significand == 0; }
constexpr SoftExtended Inf(bool neg) { return Make(neg, InfNanField, Top); }
constexpr SoftExtended DefaultNan() { return Make(true, InfNanField, Top | Top >> 1); }
constexpr SoftExtended Quiet(SoftExtended x) {
    x.significand |= Top | Top >> 1;
    return x;
}

constexpr int LeadingZeros(uint64_t v) {  // v != 0
    int n = 0;
    for (int s = 32; s > 0; s /= 2)
        if (!(v >> (64 - s))) {
            v <<= s;
            n += s;
        }
    return n;
}

// A finite nonzero value as sig x 2^(exp - 63) with bit 63 of sig set.
struct Unpacked {
    bool neg;
    int32_t exp;
    uint64_t sig;
};
constexpr Unpacked Unpack(SoftExtended x) {
    if (Field(x) == 0) {  // subnormal
        const int n = LeadingZeros(x.significand);
        return {Neg(x), MinExp - n, x.significand << n};
    }
    return {Neg(x), Field(x) - Bias, x.significand};
}

// (hi:lo) >> s, every bit shifted out ORed into bit 0.
constexpr void ShiftRightSticky(uint64_t& hi, uint64_t& lo, int32_t s) {
    if (s <= 0) return;
    if (s < 64) {
        const uint64_t lost = lo << (64 - s);
        lo = (lo >> s) | (hi << (64 - s)) | (lost != 0);
        hi >>= s;
    } else if (s < 128) {
        const uint64_t lost = lo | (s > 64 ? hi << (128 - s) : 0);
        lo = (s > 64 ? hi >> (s - 64) : hi) | (lost != 0);
        hi = 0;
    } else {
        lo = (hi | lo) != 0;
        hi = 0;
    }
}

// Rounds (hi + lo / 2^64) x 2^(exp - 63), hi with bit 63 set, to the format.
constexpr SoftExtended RoundPack(bool neg, int32_t exp, uint64_t hi, uint64_t lo) {
    if (exp > MaxExp) return Inf(neg);
    const bool subnormal = exp < MinExp;
    if (subnormal) ShiftRightSticky(hi, lo, MinExp - exp);
    if ((lo >> 63) && ((lo << 1) || (hi & 1))) {
        if (++hi == 0) {
            hi = Top;
            if (++exp > MaxExp) return Inf(neg);
        }
    }
    if (subnormal) return Make(neg, static_cast<uint16_t>(hi >> 63), hi);  // may round up to normal
    return Make(neg, static_cast<uint16_t>(exp + Bias), hi);
}

constexpr SoftExtended FromMagnitude(bool neg, uint64_t m) {
    if (m == 0) return Make(false, 0, 0);
    const int n = LeadingZeros(m);
    return Make(neg, static_cast<uint16_t>(63 - n + Bias), m << n);
}

constexpr SoftExtended FromDouble(double v) {
    const uint64_t bits = __builtin_bit_cast(uint64_t, v);
    const bool neg = bits >> 63;
    const int32_t e = static_cast<int32_t>((bits >> 52) & 0x7FF);
    const uint64_t frac = bits & ((uint64_t{1} << 52) - 1);
    if (e == 0x7FF) return frac ? Make(neg, InfNanField, Top | Top >> 1 | frac << 11) : Inf(neg);
    if (e == 0) {
        if (frac == 0) return Make(neg, 0, 0);
        const int n = LeadingZeros(frac);
        return Make(neg, static_cast<uint16_t>(-1011 - n + Bias), frac << n);
    }
    return Make(neg, static_cast<uint16_t>(e - 1023 + Bias), Top | frac << 11);
}

// The 128-bit product of a and b.
constexpr void Multiply(uint64_t a, uint64_t b, uint64_t& hi, uint64_t& lo) {
    const uint64_t a0 = a & 0xFFFFFFFF, a1 = a >> 32, b0 = b & 0xFFFFFFFF, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFF) + (p10 & 0xFFFFFFFF);
    lo = (mid << 32) | (p00 & 0xFFFFFFFF);
    hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
}

constexpr SoftExtended Add(SoftExtended a, SoftExtended b) {
    if (IsNan(a)) return Quiet(a);
    if (IsNan(b)) return Quiet(b);
    if (IsInf(a)) return IsInf(b) && Neg(a) != Neg(b) ? DefaultNan() : a;
    if (IsInf(b)) return b;
    if (IsZero(a)) return IsZero(b) ? Make(Neg(a) && Neg(b), 0, 0) : b;
    if (IsZero(b)) return a;
    Unpacked x = Unpack(a), y = Unpack(b);
    if (y.exp > x.exp || (y.exp == x.exp && y.sig > x.sig)) {
        const Unpacked t = x;
        x = y;
        y = t;
    }
    uint64_t hi = x.sig, lo = 0, yhi = y.sig, ylo = 0;
    ShiftRightSticky(yhi, ylo, x.exp - y.exp);
    int32_t exp = x.exp;
    if (x.neg == y.neg) {
        lo += ylo;
        const uint64_t carry = lo < ylo;
        const uint64_t sum = hi + yhi + carry;
        if (sum < hi || (carry && sum == hi)) {  // carried into a new power of two
            lo = (lo >> 1) | (sum << 63) | (lo & 1);
            hi = (sum >> 1) | Top;
            ++exp;
        } else {
            hi = sum;
        }
    } else {
        const uint64_t borrow = lo < ylo;
        lo -= ylo;
        hi = hi - yhi - borrow;
        if (hi == 0 && lo == 0) return Make(false, 0, 0);  // exact cancellation: +0
        const int n = hi ? LeadingZeros(hi) : 64 + LeadingZeros(lo);
        if (n >= 64) {
            hi = lo << (n - 64);
            lo = 0;
        } else if (n > 0) {
            hi = (hi << n) | (lo >> (64 - n));
            lo <<= n;
        }
        exp -= n;
    }
    return RoundPack(x.neg, exp, hi, lo);
}

constexpr SoftExtended Mul(SoftExtended a, SoftExtended b) {
    if (IsNan(a)) return Quiet(a);
    if (IsNan(b)) return Quiet(b);
    const bool neg = Neg(a) != Neg(b);
    if (IsInf(a) || IsInf(b)) return IsZero(a) || IsZero(b) ? DefaultNan() : Inf(neg);
    if (IsZero(a) || IsZero(b)) return Make(neg, 0, 0);
    const Unpacked x = Unpack(a), y = Unpack(b);
    uint64_t hi = 0, lo = 0;
    Multiply(x.sig, y.sig, hi, lo);
    int32_t exp = x.exp + y.exp + 1;
    if (!(hi >> 63)) {
        hi = (hi << 1) | (lo >> 63);
        lo <<= 1;
        --exp;
    }
    return RoundPack(neg, exp, hi, lo);
}

constexpr SoftExtended Div(SoftExtended a, SoftExtended b) {
    if (IsNan(a)) return Quiet(a);
    if (IsNan(b)) return Quiet(b);
    const bool neg = Neg(a) != Neg(b);
    if (IsInf(a)) return IsInf(b) ? DefaultNan() : Inf(neg);
    if (IsInf(b)) return Make(neg, 0, 0);
    if (IsZero(b)) return IsZero(a) ? DefaultNan() : Inf(neg);
    if (IsZero(a)) return Make(neg, 0, 0);
    const Unpacked x = Unpack(a), y = Unpack(b);
    // Long division, one quotient bit a step: q / 2^63 = x.sig / y.sig, or
    // twice that when x.sig < y.sig.
    int32_t exp = x.exp - y.exp;
    uint64_t r = x.sig, q = 0;
    int bits = 64;
    if (r >= y.sig) {
        r -= y.sig;
        q = 1;
        bits = 63;
    } else {
        --exp;
    }
    for (int i = 0; i < bits; ++i) {
        const bool over = r >> 63;
        r <<= 1;
        q <<= 1;
        if (over || r >= y.sig) {
            r -= y.sig;
            q |= 1;
        }
    }
    // The rest, r / y.sig in [0, 1): a half or more sets the round bit, any
    // rest the sticky bit. (It is never exactly a half: a quotient of two
    // 64-bit significands never lies midway between two 64-bit ones.)
    const bool half = (r >> 63) || (r << 1) >= y.sig;
    return RoundPack(neg, exp, q, (half ? Top : 0) | (r != 0));
}

constexpr int Compare(SoftExtended a, SoftExtended b) {  // neither NaN
    if (IsZero(a) && IsZero(b)) return 0;
    if (Neg(a) != Neg(b)) return Neg(a) ? -1 : 1;
    int c = 0;
    if (Field(a) != Field(b)) {
        c = Field(a) < Field(b) ? -1 : 1;
    } else if (a.significand != b.significand) {
        c = a.significand < b.significand ? -1 : 1;
    }
    return Neg(a) ? -c : c;
}

// The integral value nearest x (ties to even) or toward zero.
constexpr SoftExtended ToIntegral(SoftExtended x, bool nearest) {
    if (Field(x) == InfNanField || IsZero(x)) return x;
    const Unpacked u = Unpack(x);
    if (u.exp >= 63) return x;
    if (u.exp < -1) return Make(u.neg, 0, 0);
    const int fractionBits = 63 - u.exp;
    uint64_t whole = fractionBits == 64 ? 0 : u.sig >> fractionBits;
    if (nearest) {
        const uint64_t rest = fractionBits == 64 ? u.sig : u.sig & ((uint64_t{1} << fractionBits) - 1);
        const uint64_t half = uint64_t{1} << (fractionBits - 1);
        if (rest > half || (rest == half && (whole & 1))) ++whole;
    }
    return whole == 0 ? Make(u.neg, 0, 0) : FromMagnitude(u.neg, whole);
}

template <typename I>
constexpr SoftExtended FromInteger(I v) {
    if constexpr (std::is_signed_v<I>) {
        if (v < 0) return FromMagnitude(true, uint64_t{0} - static_cast<uint64_t>(v));
    }
    return FromMagnitude(false, static_cast<uint64_t>(v));
}

}  // namespace soft

constexpr SoftExtended::SoftExtended(double v) : SoftExtended(soft::FromDouble(v)) {}

template <typename I, typename>
constexpr SoftExtended::SoftExtended(I v)
    : SoftExtended(soft::FromInteger(v)) {}

constexpr SoftExtended operator+(SoftExtended a, SoftExtended b) { return soft::Add(a, b); }
constexpr SoftExtended operator-(SoftExtended a) {
    a.signExponent ^= 0x8000;
    return a;
}
constexpr SoftExtended operator-(SoftExtended a, SoftExtended b) { return soft::Add(a, -b); }
constexpr SoftExtended operator*(SoftExtended a, SoftExtended b) { return soft::Mul(a, b); }
constexpr SoftExtended operator/(SoftExtended a, SoftExtended b) { return soft::Div(a, b); }
constexpr bool operator==(SoftExtended a, SoftExtended b) {
    return !soft::IsNan(a) && !soft::IsNan(b) && soft::Compare(a, b) == 0;
}
constexpr bool operator!=(SoftExtended a, SoftExtended b) { return !(a == b); }
constexpr bool operator<(SoftExtended a, SoftExtended b) {
    return !soft::IsNan(a) && !soft::IsNan(b) && soft::Compare(a, b) < 0;
}
constexpr bool operator>(SoftExtended a, SoftExtended b) { return b < a; }
constexpr bool operator<=(SoftExtended a, SoftExtended b) {
    return !soft::IsNan(a) && !soft::IsNan(b) && soft::Compare(a, b) <= 0;
}
constexpr bool operator>=(SoftExtended a, SoftExtended b) { return b <= a; }

// The operations beside the arithmetic that the extended-precision steps use,
// here and, with the same names, for long double (extended.h).
constexpr bool IsNan(SoftExtended x) { return soft::IsNan(x); }
constexpr SoftExtended Abs(SoftExtended x) {
    x.signExponent &= 0x7FFF;
    return x;
}
// Rounded to the nearest integral value, ties to even; truncated toward zero.
constexpr SoftExtended Nearbyint(SoftExtended x) { return soft::ToIntegral(x, true); }
constexpr SoftExtended Trunc(SoftExtended x) { return soft::ToIntegral(x, false); }
// Truncated toward zero, for |x| < 2^63 (0 <= x < 2^64); beyond, as the
// x87 gives, INT64_MIN (0).
constexpr int64_t TruncToInt64(SoftExtended x) {
    if (soft::Field(x) == 0) return 0;
    const soft::Unpacked u = soft::Unpack(x);
    if (u.exp >= 63 || soft::IsNan(x)) return INT64_MIN;
    const uint64_t m = u.exp < 0 ? 0 : u.sig >> (63 - u.exp);
    return static_cast<int64_t>(u.neg ? uint64_t{0} - m : m);
}
constexpr uint64_t TruncToUInt64(SoftExtended x) {
    if (soft::Field(x) == 0 || soft::Neg(x)) return 0;
    const soft::Unpacked u = soft::Unpack(x);
    if (u.exp > 63) return 0;
    return u.exp < 0 ? 0 : u.sig >> (63 - u.exp);
}
// The exponent of a finite nonzero x: 2^e <= |x| < 2^(e + 1).
constexpr int Ilogb(SoftExtended x) { return soft::Unpack(x).exp; }
// x x 2^n, rounded.
constexpr SoftExtended Ldexp(SoftExtended x, int n) {
    if (soft::Field(x) == soft::InfNanField || soft::IsZero(x)) return x;
    const soft::Unpacked u = soft::Unpack(x);
    return soft::RoundPack(u.neg, u.exp + n, u.sig, 0);
}

// The nearest double, ties to even.
constexpr double ToDouble(SoftExtended x) {
    const uint64_t sign = static_cast<uint64_t>(soft::Neg(x)) << 63;
    if (soft::IsNan(x)) return __builtin_bit_cast(double, sign | 0x7FF8000000000000 | (x.significand << 1 >> 12));
    if (soft::IsInf(x)) return __builtin_bit_cast(double, sign | 0x7FF0000000000000);
    if (soft::IsZero(x)) return __builtin_bit_cast(double, sign);
    const soft::Unpacked u = soft::Unpack(x);
    int32_t exp = u.exp;
    // Bits below the double's last place: 11 for a normal double, more for
    // a subnormal one.
    const int32_t drop = exp >= -1022 ? 11 : 11 + (-1022 - exp);
    if (drop > 64) return __builtin_bit_cast(double, sign);
    uint64_t m = drop == 64 ? 0 : u.sig >> drop;
    const uint64_t rest = drop == 64 ? u.sig : u.sig & ((uint64_t{1} << drop) - 1);
    const uint64_t half = uint64_t{1} << (drop - 1);
    if (rest > half || (rest == half && (m & 1))) ++m;
    if (exp < -1022) return __builtin_bit_cast(double, sign | m);  // m reaches 2^52: the least normal
    if (m >> 53) {
        m >>= 1;
        ++exp;
    }
    if (exp > 1023) return __builtin_bit_cast(double, sign | 0x7FF0000000000000);
    return __builtin_bit_cast(double, sign | static_cast<uint64_t>(exp + 1023) << 52 |
                                          (m & ((uint64_t{1} << 52) - 1)));
}

}  // namespace ukvo2
