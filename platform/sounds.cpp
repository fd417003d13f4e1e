#include "platform/sounds.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}
SoundPlayer::~SoundPlayer() = default;

bool SoundPlayer::PlayWave(const std::string& path) {
  const QFileInfo file(QString::fromStdString(path));
  if (path.empty() || !file.isFile() || !file.isReadable()) return false;
  if (!effect_) effect_ = std::make_unique<QSoundEffect>();
  effect_->stop();
  effect_->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
  effect_->play();
  return effect_->status() != QSoundEffect::Error;
}

void SoundPlayer::Beep() { QApplication::beep(); }
