// What the fuzz targets share: one store for the whole run and a private
// folder that each input is written into under the name its reader expects.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace fuzz {

// The folder, made on first use and removed when the run ends. It is never freed: the removal at exit
// runs after the destructors of function statics.
inline const std::string& Folder() {
  static const std::string* folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    auto* made = new std::string(pattern + "/");
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(*folder, ignored);
    });
    return made;
  }();
  return *folder;
}

inline std::string WriteFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = Folder() + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

// The store, with its settings files in the private folder.
inline Corvane3Data& Store() {
  static Corvane3Data* store = [] {
    auto* s = new Corvane3Data();
    SetFieldText(s->ProgramFolder, kPathChars, Folder());
    return s;
  }();
  return *store;
}

}  // namespace fuzz
