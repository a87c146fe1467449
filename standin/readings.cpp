#include "readings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace standin {

const char* alarmCaption(Alarm a) {
  switch (a) {
    case Alarm::CpuTemp: return "CPU Tempture Alarm !";
    case Alarm::Voltage: return "Voltage Abnormal !";
    case Alarm::CpuFan: return "CPU Fan Alarm!";
    case Alarm::SysTemp: return "System Temperture Alarm !";
    case Alarm::SysFan: return "System Fan Alarm!";
  }
  return "";
}

std::optional<Reading> readingFromName(std::string_view name) {
  static constexpr std::pair<std::string_view, Reading> kNames[] = {
      {"cpu", Reading::CpuTemp}, {"sys", Reading::SysTemp}, {"vcore", Reading::Vcore},
      {"v33", Reading::V33},     {"v5", Reading::V5},       {"v12", Reading::V12},
      {"fan1", Reading::CpuFan}, {"fan2", Reading::SysFan}};
  for (const auto& [n, r] : kNames) {
    if (n == name) return r;
  }
  return std::nullopt;
}

std::optional<double> leadingNumber(std::string_view text) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::nullopt;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;  // from_chars rejects a leading plus
  double value = 0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end == first) return std::nullopt;
  return value;
}

int Readings::slot(Reading r) {
  for (int i = 0; i < kReadingCount; ++i) {
    if (kAllReadings[i] == r) return i;
  }
  return 0;  // Reading::None is never stored; callers pass real readings
}

namespace {

bool above(const std::array<std::string, kReadingCount>& texts, Reading r, double limit) {
  auto v = leadingNumber(texts[Readings::slot(r)]);
  return v && *v > limit;
}

bool below(const std::array<std::string, kReadingCount>& texts, Reading r, double limit) {
  auto v = leadingNumber(texts[Readings::slot(r)]);
  return v && *v < limit;
}

bool outside(const std::array<std::string, kReadingCount>& texts, Reading r, VoltageRange range) {
  return below(texts, r, range.low) || above(texts, r, range.high);
}

}  // namespace

bool alarmRaised(Alarm a, const Limits& limits,
                 const std::array<std::string, kReadingCount>& texts) {
  switch (a) {
    case Alarm::CpuTemp: return above(texts, Reading::CpuTemp, limits.cpuTempMax);
    case Alarm::SysTemp: return above(texts, Reading::SysTemp, limits.sysTempMax);
    case Alarm::CpuFan: return below(texts, Reading::CpuFan, limits.cpuFanMin);
    case Alarm::SysFan: return below(texts, Reading::SysFan, limits.sysFanMin);
    case Alarm::Voltage:
      return outside(texts, Reading::Vcore, limits.vcore) ||
             outside(texts, Reading::V33, limits.v33) || outside(texts, Reading::V5, limits.v5) ||
             outside(texts, Reading::V12, limits.v12);
  }
  return false;
}

Readings::Readings(unsigned seed) : rng_(seed) {
  // value, base, base band, safe band, base walk, noise, pull
  channels_[slot(Reading::CpuTemp)] = {45, 45, 42, 49, 38, 60, 0.3, 0.35, 0.3};
  channels_[slot(Reading::SysTemp)] = {36, 36, 34, 39, 30, 48, 0.15, 0.25, 0.3};
  channels_[slot(Reading::Vcore)] = {1.52, 1.52, 1.51, 1.53, 1.48, 1.56, 0.002, 0.004, 0.5};
  channels_[slot(Reading::V33)] = {3.31, 3.31, 3.30, 3.32, 3.25, 3.37, 0.002, 0.005, 0.5};
  channels_[slot(Reading::V5)] = {5.02, 5.02, 5.00, 5.04, 4.92, 5.12, 0.003, 0.008, 0.5};
  channels_[slot(Reading::V12)] = {12.16, 12.16, 12.10, 12.22, 11.90, 12.40, 0.005, 0.02, 0.5};
  channels_[slot(Reading::CpuFan)] = {4500, 4500, 4400, 4600, 2500, 5500, 10, 12, 0.4};
  channels_[slot(Reading::SysFan)] = {3200, 3200, 3100, 3300, 1800, 4200, 8, 10, 0.4};
  for (Reading r : kAllReadings) {
    texts_[slot(r)] = kControls[readingIndex(r)].text;
  }
}

void Readings::set(Reading r, std::string text) {
  Channel& c = channels_[slot(r)];
  c.pinned = true;
  c.dipTicks = 0;
  if (auto v = leadingNumber(text)) c.value = *v;
  texts_[slot(r)] = std::move(text);
}

void Readings::setDrift(bool on) {
  drift_ = on;
  if (!on) return;
  for (Channel& c : channels_) c.pinned = false;
}

void Readings::step() {
  if (!drift_) return;
  for (Reading r : kAllReadings) {
    Channel& c = channels_[slot(r)];
    if (c.pinned) continue;
    stepChannel(r, c);
    texts_[slot(r)] = format(r, c.value);
  }
}

void Readings::stepChannel(Reading r, Channel& c) {
  std::uniform_real_distribution<double> walk(-c.baseWalk, c.baseWalk);
  std::normal_distribution<double> jitter(0.0, c.noise);
  c.base = std::clamp(c.base + walk(rng_), c.baseLow, c.baseHigh);
  bool wasSafe = c.value >= c.safeLow && c.value <= c.safeHigh;
  stepFanDip(r, c);
  double target = c.dipTicks > 0 ? c.base * 0.72 : c.base;
  c.value += c.pull * (target - c.value) + jitter(rng_);
  // A value set out of the band (say, an alarm test) may drift back in,
  // but normal drift never wanders out of it.
  if (wasSafe) c.value = std::clamp(c.value, c.safeLow, c.safeHigh);
}

void Readings::stepFanDip(Reading r, Channel& c) {
  if (r != Reading::CpuFan && r != Reading::SysFan) return;
  if (c.dipTicks > 0) {
    --c.dipTicks;
    return;
  }
  // Roughly once a minute a fan slows down for a few seconds.
  if (std::uniform_int_distribution<int>(0, 59)(rng_) == 0) {
    c.dipTicks = std::uniform_int_distribution<int>(2, 4)(rng_);
  }
}

std::string Readings::format(Reading r, double value) const {
  char buf[32];
  switch (r) {
    case Reading::Vcore:
    case Reading::V33:
    case Reading::V5:
    case Reading::V12: std::snprintf(buf, sizeof buf, " %.2f ", value); break;
    default: std::snprintf(buf, sizeof buf, "%ld", std::lround(value)); break;
  }
  return buf;
}

}  // namespace standin
