#include "framework/qt/qt_tone.h"

#include <QApplication>
#ifdef DENSORA_WITH_MULTIMEDIA
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QByteArray>
#include <QMediaDevices>
#elif defined(_WIN32)
#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>
#endif

#include <chrono>
#include <cstring>

#include "framework/tone_synth.h"

namespace framework {

namespace {

void Beep() {
  if (QCoreApplication::instance() != nullptr) QApplication::beep();
}

}  // namespace

QtTone::QtTone() = default;

#ifdef DENSORA_WITH_MULTIMEDIA

QtTone::~QtTone() {
  QAudioSink* sink = m_sink;
  m_sink = nullptr;  // the state handler ignores a sink that is no longer current
  if (sink != nullptr) {
    sink->stop();
    delete sink;
  }
}

void QtTone::Play(int frequencyHz, int durationMs) {
  if (IsSounding()) return;
  if (QCoreApplication::instance() == nullptr) return;
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  QAudioFormat format;
  format.setSampleRate(kToneSampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (device.isNull() || !device.isFormatSupported(format)) {
    Beep();
    return;
  }

  const std::vector<std::int16_t> pcm = SynthesizeTone(frequencyHz, durationMs, kToneSampleRate);
  auto* sink = new QAudioSink(device, format);
  auto* buffer = new QBuffer(sink);
  buffer->setData(QByteArray(reinterpret_cast<const char*>(pcm.data()),
                             static_cast<qsizetype>(pcm.size() * sizeof(std::int16_t))));
  buffer->open(QIODevice::ReadOnly);
  m_sink = sink;
  QObject::connect(sink, &QAudioSink::stateChanged, sink, [this, sink](QAudio::State state) {
    if (sink != m_sink) return;
    // Idle: every sample was played. Stopped: the output gave up (an error).
    if (state == QAudio::IdleState || state == QAudio::StoppedState) Finish();
  });
  sink->start(buffer);
  if (sink->error() != QAudio::NoError) {
    Finish();
    Beep();
  }
}

void QtTone::Finish() {
  QAudioSink* sink = m_sink;
  if (sink == nullptr) return;
  m_sink = nullptr;
  sink->stop();
  sink->deleteLater();
}

#else
// Without Qt's audio output, the same tone goes to the system's own player as a wave
// image in memory, played in the background; the image lives as long as the program, as
// the player reads it while it plays.
QtTone::~QtTone() = default;

void QtTone::Play(int frequencyHz, int durationMs) {
#ifdef _WIN32
  static std::vector<unsigned char> wave;
  static std::chrono::steady_clock::time_point until;
  // A tone asked for while one still sounds is dropped, and so the image it plays stays.
  const auto now = std::chrono::steady_clock::now();
  if (now < until) return;
  until = now + std::chrono::milliseconds(durationMs);
  const std::vector<std::int16_t> pcm = SynthesizeTone(frequencyHz, durationMs, kToneSampleRate);
  const auto dataBytes = static_cast<std::uint32_t>(pcm.size() * sizeof(std::int16_t));
  auto put32 = [](unsigned char* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(v >> (8 * i));
  };
  // RIFF header, a 16-bit mono PCM format chunk, then the samples.
  unsigned char header[44] = {
      'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16,  0,   0, 0, 1, 0,
      1,   0,   0,   0,   0, 0, 0, 0, 0,   0,   2,   0,   16,  0,   'd', 'a', 't', 'a', 0, 0, 0, 0};
  put32(header + 4, 36 + dataBytes);
  put32(header + 24, static_cast<std::uint32_t>(kToneSampleRate));
  put32(header + 28, static_cast<std::uint32_t>(kToneSampleRate) * 2);
  put32(header + 40, dataBytes);
  wave.assign(header, header + sizeof header);
  wave.resize(sizeof header + dataBytes);
  std::memcpy(wave.data() + sizeof header, pcm.data(), dataBytes);
  if (!::PlaySoundW(reinterpret_cast<LPCWSTR>(wave.data()), nullptr,
                    SND_MEMORY | SND_ASYNC | SND_NODEFAULT)) {
    Beep();
  }
#else
  (void)frequencyHz;
  (void)durationMs;
  Beep();
#endif
}

void QtTone::Finish() {}
#endif

}  // namespace framework
