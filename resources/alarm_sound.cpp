// The alarm's buzz as a RIFF/WAVE file.
#include <algorithm>

#include "byte_writer.h"
#include "resource_images.h"

namespace calorix::resources {

Bytes AlarmSound() {
  // A square-ish buzz: a triangle wave clipped at a quarter of its height,
  // so its edges are steep but not instant. The loudness falls in a straight
  // line from full scale to about 40%, and the last few milliseconds taper to
  // silence so the sound ends without a click. Whole numbers throughout, so
  // the bytes never depend on the maths library.
  constexpr std::int64_t kPhaseSteps = 65536;
  constexpr std::int64_t kHalfScale = 16384;
  constexpr std::int64_t kStartLevel = 127;
  constexpr std::int64_t kEndLevel = 48;
  constexpr std::int64_t kTaper = 44;  // 4 ms
  constexpr std::int64_t n = kSoundSamples;

  Bytes samples;
  samples.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int64_t phase = (i * kSoundPitch * kPhaseSteps / kSoundRate) % kPhaseSteps;
    std::int64_t triangle;  // -kHalfScale..kHalfScale
    if (phase < kPhaseSteps / 4) triangle = phase;
    else if (phase < 3 * kPhaseSteps / 4) triangle = kPhaseSteps / 2 - phase;
    else triangle = phase - kPhaseSteps;
    const std::int64_t wave = std::clamp<std::int64_t>(triangle * 4, -kHalfScale, kHalfScale);

    std::int64_t level = (kStartLevel * (n - 1) - (kStartLevel - kEndLevel) * i) / (n - 1);
    const std::int64_t left = n - 1 - i;
    if (left < kTaper) level = level * left / kTaper;

    const std::int64_t product = wave * level;
    const std::int64_t value = product >= 0 ? (product + kHalfScale / 2) / kHalfScale
                                            : -((-product + kHalfScale / 2) / kHalfScale);
    samples.push_back(static_cast<std::uint8_t>(128 + value));
  }

  Bytes out;
  PutText(out, "RIFF");
  Put32(out, static_cast<std::uint32_t>(4 + (8 + 16) + (8 + samples.size())));
  PutText(out, "WAVE");
  PutText(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);                     // PCM
  Put16(out, 1);                     // mono
  Put32(out, kSoundRate);            // samples per second
  Put32(out, kSoundRate);            // bytes per second
  Put16(out, 1);                     // bytes per sample frame
  Put16(out, 8);                     // bits per sample
  PutText(out, "data");
  Put32(out, static_cast<std::uint32_t>(samples.size()));
  out.insert(out.end(), samples.begin(), samples.end());
  return out;
}

}  // namespace calorix::resources
