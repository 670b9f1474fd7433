#pragma once
// The warning tone on the desktop: a generated sine played through the default audio
// output without blocking the window. A tone asked for while one is still sounding is
// dropped, so repaints never queue tones. Without an audio output it falls back to the
// system beep.
#include <QPointer>

#include "framework/tone.h"

class QAudioSink;

namespace framework {

class QtTone : public Tone {
 public:
  QtTone();
  ~QtTone() override;
  QtTone(const QtTone&) = delete;
  QtTone& operator=(const QtTone&) = delete;

  // Returns at once; the tone plays on while the event loop runs.
  void Play(int frequencyHz, int durationMs) override;
  // True from a Play that reached the audio output until that tone has played out.
  bool IsSounding() const { return !m_sink.isNull(); }

 private:
  void Finish();

  QPointer<QAudioSink> m_sink;
};

}  // namespace framework
