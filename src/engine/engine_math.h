// Overflow-free helpers for the engine's 32-bit positions and products.
#pragma once

#include <cstdint>

inline int32_t ClampToInt32(int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// a * b, held at the 64-bit limits instead of overflowing.
inline int64_t SaturatingMul(int64_t a, int64_t b) {
    if (a == 0 || b == 0) return 0;
    const bool negative = (a < 0) != (b < 0);
    const uint64_t ua = a < 0 ? 0 - static_cast<uint64_t>(a) : static_cast<uint64_t>(a);
    const uint64_t ub = b < 0 ? 0 - static_cast<uint64_t>(b) : static_cast<uint64_t>(b);
    if (ua > static_cast<uint64_t>(INT64_MAX) / ub) return negative ? INT64_MIN : INT64_MAX;
    const int64_t product = static_cast<int64_t>(ua * ub);
    return negative ? -product : product;
}

// a + b for 32-bit positions moved by a step: held at the 32-bit limits.
inline int32_t AddClamped(int32_t a, int64_t b) {
    if (b > INT32_MAX) b = INT32_MAX;
    if (b < INT32_MIN) b = INT32_MIN;
    return ClampToInt32(static_cast<int64_t>(a) + b);
}

// The remainder of value / modulus in 0..modulus-1 (modulus > 0).
inline int32_t WrapModulo(int64_t value, int32_t modulus) {
    const int64_t r = value % modulus;
    return static_cast<int32_t>(r < 0 ? r + modulus : r);
}
