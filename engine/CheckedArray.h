// Fixed-size array whose element access is checked: an index out of range is a programming
// error and stops a debug build; release builds clamp it so nothing outside is touched.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>

template <typename T, std::size_t N>
class CheckedArray
{
public:
    static constexpr std::size_t size() { return N; }

    T& operator[](std::size_t i)
    {
        assert(i < N);
        return items[i < N ? i : N - 1];
    }
    const T& operator[](std::size_t i) const
    {
        assert(i < N);
        return items[i < N ? i : N - 1];
    }

    T* begin() { return items.data(); }
    T* end() { return items.data() + N; }
    const T* begin() const { return items.data(); }
    const T* end() const { return items.data() + N; }

private:
    std::array<T, N> items{};
};
