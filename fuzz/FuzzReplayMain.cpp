// Runs a fuzz target without a fuzzing engine: each file named on the command line is fed to the
// target as it is and then in a fixed number of mutated forms (bytes flipped, overwritten with
// boundary values, the file cut short), from a seeded generator so every run is the same.
// A directory stands for every file in it (in name order), so a folder of kept inputs replays as
// a whole. Used where the compiler has no libFuzzer, and as a regression run inside the test suite.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr uint8_t kBoundaryBytes[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& random) {
  if (bytes.empty()) {
    return bytes;
  }
  std::uniform_int_distribution<size_t> anyIndex(0, bytes.size() - 1);
  switch (random() % 3) {
    case 0:  // flip a few bits anywhere
      for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
        bytes[anyIndex(random)] ^= static_cast<uint8_t>(1u << (random() % 8));
      }
      break;
    case 1:  // a boundary value in a length, count or code field
      bytes[anyIndex(random)] = kBoundaryBytes[random() % sizeof kBoundaryBytes];
      break;
    default:  // the file cut short
      bytes.resize(anyIndex(random));
      break;
  }
  return bytes;
}

// The files an argument names: itself, or the regular files of a directory in name order.
std::vector<std::string> ExpandInput(const std::string& argument) {
  std::error_code error;
  if (!std::filesystem::is_directory(argument, error)) {
    return {argument};
  }
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(argument, error)) {
    if (entry.is_regular_file(error)) {
      files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  int mutations = 200;
  std::vector<std::string> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--mutations" && i + 1 < argc) {
      mutations = std::atoi(argv[++i]);
    } else {
      const std::vector<std::string> files = ExpandInput(argument);
      inputs.insert(inputs.end(), files.begin(), files.end());
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: %s [--mutations N] FILE...\n", argv[0]);
    return 2;
  }
  std::mt19937 random(20261208);
  for (const std::string& input : inputs) {
    std::ifstream stream(input, std::ios::binary);
    if (!stream) {
      std::fprintf(stderr, "%s: cannot be read\n", input.c_str());
      return 2;
    }
    const std::vector<uint8_t> original{std::istreambuf_iterator<char>(stream),
                                        std::istreambuf_iterator<char>()};
    LLVMFuzzerTestOneInput(original.data(), original.size());
    for (int run = 0; run < mutations; ++run) {
      const std::vector<uint8_t> mutated = Mutate(original, random);
      LLVMFuzzerTestOneInput(mutated.data(), mutated.size());
    }
    std::printf("%s: %d mutations decoded without a fault\n", input.c_str(), mutations);
  }
  return 0;
}
