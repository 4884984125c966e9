// Writes R11.bin: the engine's 959 random 64-bit hash keys, little-endian, in the order the
// engine reads them (piece keys, en-passant keys, castling keys, material keys, side key).
//
// The keys are splitmix64 outputs from the fixed seed below, so the file is reproducible:
//   g++ -std=c++20 -O2 resources/make_keys.cpp -o make_keys && ./make_keys resources/R11.bin
// A test of the build regenerates the file this way and compares it byte for byte.
#include <cstdint>
#include <cstdio>

namespace {

constexpr uint64_t SEED = 0x54415652494E3131ULL;  // "TAVRIN11" in ASCII
constexpr int KEY_COUNT = 2 * 6 * 64 + 64 + 16 + 2 * 5 * 11 + 1;

uint64_t state = SEED;

// splitmix64: a Weyl sequence through a bijective mixer, so consecutive outputs never repeat.
uint64_t NextKey() {
  uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_keys OUTPUT\n");
    return 2;
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  for (int i = 0; i < KEY_COUNT; ++i) {
    uint64_t key = NextKey();
    unsigned char bytes[8];
    for (int b = 0; b < 8; ++b) bytes[b] = static_cast<unsigned char>(key >> (8 * b));
    std::fwrite(bytes, 1, sizeof bytes, out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
