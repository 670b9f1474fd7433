#include "framework/qt/qt_tone.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QByteArray>
#include <QMediaDevices>

#include "framework/tone_synth.h"

namespace framework {

namespace {

void Beep() {
  if (QCoreApplication::instance() != nullptr) QApplication::beep();
}

}  // namespace

QtTone::QtTone() = default;

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

}  // namespace framework
