// Writes the alert sounds that ship beside the program: one short chime for each
// alert kind that has a default wave file, under that default name, into each
// folder given. The chimes are our own: a few decaying sine notes, each kind with
// its own notes, as 16-bit mono PCM WAV files.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "store/corvane3_data.h"
#include "store/fixed_text.h"

namespace {

constexpr int kRate = 22050;
constexpr double kNoteSeconds = 0.16;
constexpr double kPi = 3.14159265358979323846;

// Semitones above A4 (440 Hz) of each kind's notes, in alert-slot order; a kind
// without a default wave file has none. Rising figures announce, falling ones warn.
const std::vector<std::vector<int>> kNotes = {
    {3, 7, 10},    // train arrived
    {10, 5},       // stopped at a signal
    {12, 6, 12},   // detector alarm
    {},            // train problem: no default file
    {0, -5, -10},  // derailed
    {5, 9},        // block permit active
    {7, 7, 2},     // late departure
    {-2, -7},      // locomotive problem
    {9, 5},        // block permit complete
    {2, 5, 9},     // slow order active
    {},            // detector alarm's own slot: no default file
    {14, 10, 14},  // crew two-hour warning
    {-3, -3, -8},  // crew expired
};

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<uint16_t>(v >> 16));
}

std::string Chime(const std::vector<int>& notes) {
  const int perNote = static_cast<int>(kRate * kNoteSeconds);
  std::string samples;
  for (int semitone : notes) {
    const double frequency = 440.0 * std::pow(2.0, semitone / 12.0);
    for (int i = 0; i < perNote; ++i) {
      const double t = static_cast<double>(i) / kRate;
      // A short attack, then a decay, so the notes do not click against each other.
      const double envelope = std::min(1.0, i / 200.0) * std::exp(-t * 14.0);
      const double value = envelope * (std::sin(2 * kPi * frequency * t) + 0.3 * std::sin(4 * kPi * frequency * t));
      Put16(samples, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 0.6 * 32767 / 1.3))));
    }
  }
  std::string wav = "RIFF";
  Put32(wav, static_cast<uint32_t>(36 + samples.size()));
  wav += "WAVEfmt ";
  Put32(wav, 16);
  Put16(wav, 1);  // PCM
  Put16(wav, 1);  // mono
  Put32(wav, kRate);
  Put32(wav, kRate * 2);
  Put16(wav, 2);
  Put16(wav, 16);
  wav += "data";
  Put32(wav, static_cast<uint32_t>(samples.size()));
  return wav + samples;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s folder...\n", argv[0]);
    return 2;
  }
  // The names are the alert settings' own defaults.
  Corvane3Data store;
  store.SetDefaultOptions();
  const AlertData alerts = store.GetAlertData();
  for (int folder = 1; folder < argc; ++folder) {
    for (size_t slot = 0; slot < kNotes.size(); ++slot) {
      const std::string name = FieldText(alerts.WaveFiles[slot], sizeof alerts.WaveFiles[slot]);
      if (name.empty() || kNotes[slot].empty()) continue;
      const std::string path = std::string(argv[folder]) + "/" + name;
      const std::string wav = Chime(kNotes[slot]);
      std::FILE* file = std::fopen(path.c_str(), "wb");
      bool written = file && std::fwrite(wav.data(), 1, wav.size(), file) == wav.size();
      if (file) written = std::fclose(file) == 0 && written;
      if (!written) {
        std::fprintf(stderr, "could not write %s\n", path.c_str());
        return 1;
      }
    }
  }
  return 0;
}
