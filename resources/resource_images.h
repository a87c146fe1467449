// The program's pictures, sound, manifest and resource script, drawn in
// code so the build needs nothing but a C++ compiler and windres. Nothing
// depends on time, randomness or the machine's state: the same bytes on every
// run. The sound uses whole numbers only, the pictures only + - * / and sqrt.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "program_version.h"

namespace calorix::resources {

using Bytes = std::vector<std::uint8_t>;

// Resource numbers the program loads (tray/tray_icon.h, alarm/countdown_layout.h,
// platform/win32/win32_system.cpp).
inline constexpr int kAppIconId = 1;
inline constexpr int kFirstNumberIconId = 20;  // tray pictures 20..68 show the number itself
inline constexpr int kLastNumberIconId = 68;
inline constexpr int kSnowflakeIconId = 10;    // 19 degrees and below
inline constexpr int kFlameIconId = 11;        // 69 degrees and above
inline constexpr int kHazardIconId = 12;       // the shutdown countdown's box
inline constexpr int kAlarmSoundId = 99;       // type "SOUND"

// The alarm buzz.
inline constexpr int kSoundRate = 11025;        // samples per second, 8-bit mono
inline constexpr int kSoundSamples = 3302;      // about 0.30 s
inline constexpr int kSoundPitch = 480;         // Hz

// The icon sizes drawn for the tray and the windows, largest first: the
// large icon, and the small icon at 96, 120 and 144 DPI (192 DPI takes the
// 32-pixel one). The shell picks the picture of exactly the size it shows.
inline constexpr std::array<int, 4> kIconSizes = {32, 24, 20, 16};

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

// One picture of an icon in palette form, top row first.
struct IconImage {
  int width = 0;
  int height = 0;
  int bitCount = 4;                        // 1 or 4
  std::vector<Rgb> palette;                // 2 or 16 entries
  std::vector<std::uint8_t> index;         // width * height palette indices
  std::vector<std::uint8_t> transparent;   // width * height, 1 where the background shows
};

// A .ico file holding the given pictures in order.
Bytes EncodeIcon(const std::vector<IconImage>& images);

// The pictures themselves, size one of kIconSizes (the hazard sign: 32 or 16).
IconImage DrawAppImage(int size);
IconImage DrawNumberImage(int number, int size);  // number in 0..99
IconImage DrawSnowflakeImage(int size);
IconImage DrawFlameImage(int size);
IconImage DrawHazardImage(int size);

// Complete files.
Bytes AppIcon();              // every size of kIconSizes, 16 colours
Bytes NumberIcon(int number); // every size of kIconSizes, monochrome; number in 20..68
Bytes SnowflakeIcon();        // as AppIcon
Bytes FlameIcon();            // as AppIcon
Bytes HazardIcon();           // 32x32 and 16x16, 16 colours
Bytes AlarmSound();           // RIFF/WAVE, 8-bit mono PCM
std::string ResourceScript(const ProgramVersion& version);  // calorix.rc
std::string Manifest(const ProgramVersion& version);        // calorix.manifest

struct OutputFile {
  std::string name;
  Bytes contents;
};

// Everything the resource script names, plus the script itself.
std::vector<OutputFile> AllFiles(const ProgramVersion& version);

}  // namespace calorix::resources
