#include "basics/game_random.h"

namespace {

// The generator's lags: each word is the sum of the words 3 and 31 draws back.
constexpr int kDegree = 31;
constexpr int kSeparation = 3;
// Draws thrown away after seeding, while the seed's linear start mixes out.
constexpr int kWarmUpDraws = kDegree * 10;

struct tRandomState {
    uint32_t words[kDegree];
    int front; // the slot the next sum goes into
    int rear;  // the slot added to it
};

tRandomState State;
bool Seeded = false;

int32_t Draw() {
    uint32_t& word = State.words[State.front];
    word += State.words[State.rear];
    State.front = State.front + 1 == kDegree ? 0 : State.front + 1;
    State.rear = State.rear + 1 == kDegree ? 0 : State.rear + 1;
    return static_cast<int32_t>(word >> 1);
}

} // namespace

void SeedGameRandom(uint32_t seed) {
    if (seed == 0) {
        seed = 1;
    }
    // The start is the Park-Miller sequence x * 16807 mod (2^31 - 1), worked on the seed read
    // as a signed 32-bit number (Schrage's split keeps the products in range), so seeds of 2^31
    // and above give the same words as they always have.
    int32_t word = static_cast<int32_t>(seed);
    State.words[0] = seed;
    for (int i = 1; i < kDegree; ++i) {
        const int64_t hi = word / 127773;
        const int64_t lo = word % 127773;
        word = static_cast<int32_t>(16807 * lo - 2836 * hi);
        if (word < 0) {
            word += kGameRandomMax;
        }
        State.words[i] = static_cast<uint32_t>(word);
    }
    State.front = kSeparation;
    State.rear = 0;
    for (int i = 0; i < kWarmUpDraws; ++i) {
        Draw();
    }
    Seeded = true;
}

int32_t GameRandom() {
    if (!Seeded) {
        SeedGameRandom(1);
    }
    return Draw();
}
