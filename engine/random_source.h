// The random source of the draw: reseeded from the clock at each new game.
#pragma once

#include <cstdint>
#include <random>

namespace wordrope {

// The random values are uniform in [0, 1) at single precision: k / 2^24 for a whole k.
inline constexpr int kRandomBits = 24;

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;
    // The next value, as its k in [0, 2^24): the value itself is k / 2^24.
    virtual std::uint32_t next() = 0;
};

// A Mersenne twister; next() keeps its top 24 bits.
class TwisterRandom : public RandomSource {
public:
    void reseed() override;
    std::uint32_t next() override;

private:
    std::mt19937 gen_;
};

}  // namespace wordrope
