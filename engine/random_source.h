// The random source of the draw: reseeded from the clock at each new game.
#pragma once

#include <cstdint>
#include <random>

namespace wordrope {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;
    // Uniform in [0, 1) at single precision.
    virtual float next() = 0;
};

// A Mersenne twister; next() keeps the top 24 bits, so every value is exact in a float.
class TwisterRandom : public RandomSource {
public:
    explicit TwisterRandom(std::uint32_t seed = 0) : gen_(seed) {}
    void reseed() override;
    float next() override;
    void seed(std::uint32_t s) { gen_.seed(s); }

private:
    std::mt19937 gen_;
};

}  // namespace wordrope
