// Clock seeding and the [0, 1) draw of the twister.
#include "random_source.h"

#include <chrono>

namespace wordrope {

void TwisterRandom::reseed() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const auto wide = static_cast<std::uint64_t>(ticks);
    gen_.seed(static_cast<std::uint32_t>(wide ^ (wide >> 32)));
}

std::uint32_t TwisterRandom::next() { return gen_() >> (32 - kRandomBits); }

}  // namespace wordrope
