// The patch form of a fuzz input, beside the whole file: a handful of edits to one of the files
// make_fuzz_seeds writes, so that a target reading whole files of 150-360 KB runs at the speed of its
// reader rather than that of copying and faulting in a large input for every execution.
//
//   "CVP1", a byte choosing the seed (modulo their count, in name order), then edits until the input ends:
//   a little-endian uint32 offset, a count, and that many bytes written over the seed's at the offset
//   (modulo its length, cut at its end); a count of 0 cuts the file at the offset instead.
//
// Any input not starting with the marker is a whole file, as before. The seeds are read once, from
// $CORVANE_FUZZ_SEEDS/<corpus> or else the corpus folder of the build (as scripts/fuzz.sh writes it).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef CORVANE_FUZZ_SEEDS
#define CORVANE_FUZZ_SEEDS "corpus"
#endif

namespace fuzz {

inline constexpr char kPatchMarker[4] = {'C', 'V', 'P', '1'};

// An input that is a patch: the marker and the seed byte.
inline bool IsPatch(const uint8_t* data, size_t size) {
  return size >= sizeof kPatchMarker + 1 && std::memcmp(data, kPatchMarker, sizeof kPatchMarker) == 0;
}

// The seed files of one corpus folder, read on the first call; empty (with a word on stderr) when none.
inline const std::vector<std::vector<uint8_t>>& PatchSeeds(const char* corpus) {
  static const std::vector<std::vector<uint8_t>>* seeds = [&] {
    auto* read = new std::vector<std::vector<uint8_t>>();
    const char* root = std::getenv("CORVANE_FUZZ_SEEDS");
    const std::filesystem::path folder = std::filesystem::path(root ? root : CORVANE_FUZZ_SEEDS) / corpus;
    std::vector<std::filesystem::path> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
      if (entry.is_regular_file()) names.push_back(entry.path());
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
      std::ifstream in(name, std::ios::binary);
      read->emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (read->empty())
      std::fprintf(stderr, "fuzz: no seeds in %s: patch inputs are skipped (run make_fuzz_seeds)\n",
                   folder.string().c_str());
    return read;
  }();
  return *seeds;
}

// The file an input stands for: the input itself, or its seed with its edits applied in one buffer kept
// from input to input (a target reads one corpus). Not usable: a patch when there are no seeds.
struct PatchedInput {
  const uint8_t* Data;
  size_t Size;
  bool Usable = true;
};

inline PatchedInput ApplyPatch(const char* corpus, const uint8_t* data, size_t size) {
  if (!IsPatch(data, size)) return {data, size};
  const auto& seeds = PatchSeeds(corpus);
  if (seeds.empty()) return {nullptr, 0, false};
  static std::vector<uint8_t> file;
  const std::vector<uint8_t>& seed = seeds[data[sizeof kPatchMarker] % seeds.size()];
  file.assign(seed.begin(), seed.end());
  size_t at = sizeof kPatchMarker + 1;
  while (size - at >= 5) {
    uint32_t offset;
    std::memcpy(&offset, data + at, 4);
    const size_t count = data[at + 4];
    at += 5;
    if (count == 0) {
      file.resize(offset % (file.size() + 1));
      continue;
    }
    const size_t taken = std::min(count, size - at);
    if (!file.empty()) {
      const size_t where = offset % file.size();
      std::memcpy(file.data() + where, data + at, std::min(taken, file.size() - where));
    }
    at += taken;
  }
  return {file.data(), file.size()};
}

}  // namespace fuzz
