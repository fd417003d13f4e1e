// Wave sounds, played once and without waiting, and the system beep.
#pragma once

#include <QObject>
#include <memory>
#include <string>

class QSoundEffect;

class SoundPlayer : public QObject {
 public:
  explicit SoundPlayer(QObject* parent = nullptr);
  ~SoundPlayer() override;
  // Starts the sound and returns at once; a new sound replaces the one playing. False, and
  // nothing played, for a missing or unreadable file.
  bool PlayWave(const std::string& path);
  void Beep();

 private:
  std::unique_ptr<QSoundEffect> effect_;
};
