// The generated files, read back the way Windows reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "resource_images.h"

namespace calorix::resources {
namespace {

std::uint32_t Read16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b.at(at) | (b.at(at + 1) << 8));
}
std::uint32_t Read32(const Bytes& b, std::size_t at) { return Read16(b, at) | (Read16(b, at + 2) << 16); }
std::string ReadTag(const Bytes& b, std::size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

// One picture of a .ico file, decoded.
struct Picture {
  int width = 0, height = 0, bitCount = 0, paletteSize = 0, directoryColours = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<int> index;              // top row first
  std::vector<bool> transparent;       // top row first
  bool Ink(int x, int y) const { return !transparent[static_cast<std::size_t>(y * width + x)]; }
};

// Reads a .ico file, failing the test on anything malformed.
std::vector<Picture> ParseIcon(const Bytes& file) {
  std::vector<Picture> pictures;
  EXPECT_GE(file.size(), 6u);
  if (file.size() < 6) return pictures;
  EXPECT_EQ(Read16(file, 0), 0u);
  EXPECT_EQ(Read16(file, 2), 1u);
  const std::uint32_t count = Read16(file, 4);
  std::size_t expectedOffset = 6 + 16 * count;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * i;
    Picture p;
    p.width = file.at(entry) == 0 ? 256 : file.at(entry);
    p.height = file.at(entry + 1) == 0 ? 256 : file.at(entry + 1);
    p.directoryColours = file.at(entry + 2);
    EXPECT_EQ(file.at(entry + 3), 0);
    EXPECT_EQ(Read16(file, entry + 4), 1u);  // planes
    const std::uint32_t entryBits = Read16(file, entry + 6);
    const std::uint32_t size = Read32(file, entry + 8);
    const std::uint32_t offset = Read32(file, entry + 12);
    EXPECT_EQ(offset, expectedOffset) << "pictures follow the directory back to back";
    expectedOffset = offset + size;
    EXPECT_LE(static_cast<std::size_t>(offset) + size, file.size());

    const std::size_t dib = offset;
    EXPECT_EQ(Read32(file, dib), 40u);
    EXPECT_EQ(static_cast<int>(Read32(file, dib + 4)), p.width);
    EXPECT_EQ(static_cast<int>(Read32(file, dib + 8)), 2 * p.height);
    EXPECT_EQ(Read16(file, dib + 12), 1u);
    p.bitCount = static_cast<int>(Read16(file, dib + 14));
    EXPECT_EQ(static_cast<std::uint32_t>(p.bitCount), entryBits);
    EXPECT_EQ(Read32(file, dib + 16), 0u);  // uncompressed
    const std::uint32_t used = Read32(file, dib + 32);
    p.paletteSize = used != 0 ? static_cast<int>(used) : (1 << p.bitCount);
    std::size_t at = dib + 40;
    for (int c = 0; c < p.paletteSize; ++c, at += 4) {
      p.palette.push_back((static_cast<std::uint32_t>(file.at(at + 2)) << 16) |
                          (static_cast<std::uint32_t>(file.at(at + 1)) << 8) | file.at(at));
    }
    const std::size_t colourRow = static_cast<std::size_t>(((p.width * p.bitCount + 31) / 32) * 4);
    const std::size_t maskRow = static_cast<std::size_t>(((p.width + 31) / 32) * 4);
    const std::size_t colourBits = at;
    const std::size_t maskBits = at + colourRow * static_cast<std::size_t>(p.height);
    EXPECT_EQ(maskBits + maskRow * static_cast<std::size_t>(p.height), static_cast<std::size_t>(offset) + size);
    if (maskBits + maskRow * static_cast<std::size_t>(p.height) > file.size()) return pictures;
    p.index.resize(static_cast<std::size_t>(p.width * p.height));
    p.transparent.resize(p.index.size());
    for (int y = 0; y < p.height; ++y) {
      const std::size_t stored = static_cast<std::size_t>(p.height - 1 - y);  // bottom-up
      for (int x = 0; x < p.width; ++x) {
        const std::size_t bit = static_cast<std::size_t>(x * p.bitCount);
        const int byte = file.at(colourBits + stored * colourRow + bit / 8);
        const int shift = 8 - p.bitCount - static_cast<int>(bit % 8);
        p.index[static_cast<std::size_t>(y * p.width + x)] = (byte >> shift) & ((1 << p.bitCount) - 1);
        const int maskByte = file.at(maskBits + stored * maskRow + static_cast<std::size_t>(x / 8));
        p.transparent[static_cast<std::size_t>(y * p.width + x)] = ((maskByte >> (7 - x % 8)) & 1) != 0;
      }
    }
    pictures.push_back(p);
  }
  EXPECT_EQ(expectedOffset, file.size()) << "no stray bytes after the last picture";
  return pictures;
}

std::vector<int> Sizes(const std::vector<Picture>& pictures) {
  std::vector<int> sizes;
  for (const Picture& p : pictures) {
    EXPECT_EQ(p.width, p.height);
    sizes.push_back(p.width);
  }
  return sizes;
}

const std::vector<int> kEverySize(kIconSizes.begin(), kIconSizes.end());

void ExpectColourIcon(const Bytes& file, const char* name, const std::vector<int>& sizes) {
  SCOPED_TRACE(name);
  const auto pictures = ParseIcon(file);
  EXPECT_EQ(Sizes(pictures), sizes);
  for (const Picture& p : pictures) {
    EXPECT_EQ(p.bitCount, 4);
    EXPECT_EQ(p.paletteSize, 16);
    EXPECT_EQ(p.directoryColours, 16);
    const auto shown = std::count(p.transparent.begin(), p.transparent.end(), false);
    // A picture, not a blank and not a solid square.
    EXPECT_GT(shown, p.width * p.height / 5);
    EXPECT_LT(shown, p.width * p.height);
    // The screen shows through unchanged where the mask says so.
    for (std::size_t i = 0; i < p.index.size(); ++i) {
      if (p.transparent[i]) {
        EXPECT_EQ(p.palette[static_cast<std::size_t>(p.index[i])], 0u);
      }
    }
  }
}

// How many of a picture's shown pixels have the given colour.
int Count(const Picture& p, std::uint32_t rgb) {
  int n = 0;
  for (std::size_t i = 0; i < p.index.size(); ++i) {
    if (!p.transparent[i] && p.palette[static_cast<std::size_t>(p.index[i])] == rgb) ++n;
  }
  return n;
}

TEST(ResourceIcons, TrayAndAppIconsHoldEverySmallIconSizeIn16Colours) {
  ExpectColourIcon(AppIcon(), "app", kEverySize);
  ExpectColourIcon(SnowflakeIcon(), "snowflake", kEverySize);
  ExpectColourIcon(FlameIcon(), "flame", kEverySize);
  ExpectColourIcon(HazardIcon(), "hazard", {32, 16});
}

TEST(ResourceIcons, PicturesUseTheirColours) {
  for (const Picture& p : ParseIcon(SnowflakeIcon())) EXPECT_GT(Count(p, 0x00FFFF), p.width * p.height / 10);
  for (const Picture& p : ParseIcon(HazardIcon())) {
    EXPECT_GT(Count(p, 0xFFFF00), p.width * p.height / 5);
    EXPECT_GT(Count(p, 0x000000), p.width * p.height / 5);
  }
  for (const Picture& p : ParseIcon(FlameIcon())) {
    EXPECT_GT(Count(p, 0xFF0000), 0);
    EXPECT_GT(Count(p, 0xFFFF00), 0);
  }
  for (const Picture& p : ParseIcon(AppIcon())) EXPECT_GT(Count(p, 0xFF0000), 0);
}

TEST(ResourceIcons, FileHoldsExactlyWhatWasDrawn) {
  const auto pictures = ParseIcon(FlameIcon());
  ASSERT_EQ(pictures.size(), kIconSizes.size());
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const IconImage drawn = DrawFlameImage(kIconSizes[i]);
    for (std::size_t at = 0; at < drawn.index.size(); ++at) {
      ASSERT_EQ(pictures[i].transparent[at], drawn.transparent[at] != 0) << kIconSizes[i] << " at " << at;
      if (!drawn.transparent[at]) {
        ASSERT_EQ(pictures[i].index[at], drawn.index[at]) << kIconSizes[i];
      }
    }
  }
}

// Every tray number picture of the icon with the given size.
std::vector<Picture> NumberPictures(int size) {
  std::vector<Picture> pictures;
  for (int n = kFirstNumberIconId; n <= kLastNumberIconId; ++n) {
    for (const Picture& p : ParseIcon(NumberIcon(n))) {
      if (p.width == size) pictures.push_back(p);
    }
  }
  EXPECT_EQ(pictures.size(), static_cast<std::size_t>(kLastNumberIconId - kFirstNumberIconId + 1)) << size;
  return pictures;
}

TEST(ResourceIcons, NumberIconsHoldEverySizeInMonochrome) {
  for (int n = kFirstNumberIconId; n <= kLastNumberIconId; ++n) {
    SCOPED_TRACE(n);
    const auto pictures = ParseIcon(NumberIcon(n));
    EXPECT_EQ(Sizes(pictures), kEverySize);
    for (const Picture& p : pictures) {
      EXPECT_EQ(p.bitCount, 1);
      EXPECT_EQ(p.paletteSize, 2);
      EXPECT_EQ(p.directoryColours, 2);
      // Black ink on a see-through ground.
      for (std::size_t i = 0; i < p.index.size(); ++i) {
        EXPECT_EQ(p.palette[static_cast<std::size_t>(p.index[i])], 0u);
      }
    }
  }
}

TEST(ResourceIcons, NumberIconsShowTwoDigitsFillingTheSquareAtEverySize) {
  for (const int size : kIconSizes) {
    int n = kFirstNumberIconId;
    for (const Picture& p : NumberPictures(size)) {
      SCOPED_TRACE(::testing::Message() << n++ << " at " << size << " px");
      int left = 0, right = 0, top = size, bottom = -1;
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          if (!p.Ink(x, y)) continue;
          (x < size / 2 ? left : right)++;
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
      }
      // A 1 is the lightest digit.
      EXPECT_GT(left, size * size / 16);
      EXPECT_GT(right, size * size / 24);
      // Full height: as tall as the tray shows anything.
      EXPECT_EQ(top, 0);
      EXPECT_EQ(bottom, size - 1);
      // The two digits stand apart: a clear column between them.
      bool gap = false;
      for (int x = size * 3 / 8; x < size * 5 / 8 && !gap; ++x) {
        bool empty = true;
        for (int y = 0; y < size; ++y) empty = empty && !p.Ink(x, y);
        gap = empty;
      }
      EXPECT_TRUE(gap);
    }
  }
}

// The lengths of the runs of ink along a row (across) or a column (down).
std::vector<int> InkRuns(const Picture& p, int line, bool across) {
  std::vector<int> runs;
  int run = 0;
  for (int i = 0; i <= p.width; ++i) {
    if (i < p.width && (across ? p.Ink(i, line) : p.Ink(line, i))) {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  return runs;
}

TEST(ResourceIcons, DigitStrokesAreWholePixelsAnEighthOfTheSquareThick) {
  // Shown at exactly its size, a picture keeps every stroke as drawn: no
  // stray pixel or hairline, across or down, for the shell to smudge.
  for (const int size : kIconSizes) {
    int n = kFirstNumberIconId;
    for (const Picture& p : NumberPictures(size)) {
      SCOPED_TRACE(::testing::Message() << n++ << " at " << size << " px");
      for (int line = 0; line < size; ++line) {
        for (const int run : InkRuns(p, line, true)) EXPECT_GE(run, size / 8) << "row " << line;
        for (const int run : InkRuns(p, line, false)) EXPECT_GE(run, size / 8) << "column " << line;
      }
    }
  }
}

TEST(ResourceIcons, EveryNumberLooksDifferentAtEverySize) {
  for (const int size : kIconSizes) {
    SCOPED_TRACE(size);
    const auto pictures = NumberPictures(size);
    std::set<std::vector<bool>> seen;
    for (const Picture& p : pictures) EXPECT_TRUE(seen.insert(p.transparent).second);
    // Same tens digit, same left half; same units digit, same right half.
    auto half = [&](int n, bool right) {
      const Picture& p = pictures.at(static_cast<std::size_t>(n - kFirstNumberIconId));
      std::vector<bool> bits;
      for (int y = 0; y < size; ++y) {
        for (int x = right ? size / 2 : 0; x < (right ? size : size / 2); ++x) bits.push_back(p.Ink(x, y));
      }
      return bits;
    };
    EXPECT_EQ(half(41, false), half(47, false));
    EXPECT_EQ(half(27, true), half(57, true));
    EXPECT_NE(half(38, false), half(48, false));
    EXPECT_NE(half(68, true), half(66, true));
  }
}

TEST(ResourceIcons, SmallDigitsAreDrawnForTheirGridNotShrunk) {
  // Dropping pixels from the 32-pixel picture gives strokes of uneven width
  // at 20 and 24 pixels; the pictures for those sizes are designed anew.
  for (const int size : {20, 24}) {
    const IconImage big = DrawNumberImage(38, 32);
    const IconImage small = DrawNumberImage(38, size);
    std::vector<std::uint8_t> shrunk;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        shrunk.push_back(big.transparent[static_cast<std::size_t>((y * 32 / size) * 32 + x * 32 / size)]);
      }
    }
    EXPECT_NE(shrunk, small.transparent) << size;
  }
}

// ---------------------------------------------------------------------------

TEST(AlarmSound, HeaderDescribes8BitMonoPcmAt11025) {
  const Bytes wav = AlarmSound();
  ASSERT_EQ(wav.size(), 3346u);
  EXPECT_EQ(ReadTag(wav, 0), "RIFF");
  EXPECT_EQ(Read32(wav, 4), 3338u);
  EXPECT_EQ(ReadTag(wav, 8), "WAVE");
  EXPECT_EQ(ReadTag(wav, 12), "fmt ");
  EXPECT_EQ(Read32(wav, 16), 16u);
  EXPECT_EQ(Read16(wav, 20), 1u);      // PCM
  EXPECT_EQ(Read16(wav, 22), 1u);      // channels
  EXPECT_EQ(Read32(wav, 24), 11025u);  // samples per second
  EXPECT_EQ(Read32(wav, 28), 11025u);  // bytes per second
  EXPECT_EQ(Read16(wav, 32), 1u);      // block align
  EXPECT_EQ(Read16(wav, 34), 8u);      // bits per sample
  EXPECT_EQ(ReadTag(wav, 36), "data");
  EXPECT_EQ(Read32(wav, 40), 3302u);
}

std::vector<double> Samples() {
  const Bytes wav = AlarmSound();
  std::vector<double> s;
  for (std::size_t i = 44; i < wav.size(); ++i) s.push_back(static_cast<double>(wav[i]) - 128.0);
  return s;
}

double Strength(const std::vector<double>& s, double hz) {
  const double pi = std::acos(-1.0);
  double re = 0, im = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double angle = 2 * pi * hz * static_cast<double>(i) / 11025.0;
    re += s[i] * std::cos(angle);
    im += s[i] * std::sin(angle);
  }
  return std::sqrt(re * re + im * im);
}

TEST(AlarmSound, IsALoudBuzzPitchedNear480Hz) {
  const auto s = Samples();
  double strongest = 0, loudest = 0;
  for (double hz = 100; hz <= 3000; hz += 10) {
    const double strength = Strength(s, hz);
    if (strength > loudest) {
      loudest = strength;
      strongest = hz;
    }
  }
  EXPECT_NEAR(strongest, 480, 15);
  double peak = 0;
  for (double v : s) peak = std::max(peak, std::abs(v));
  EXPECT_GE(peak, 120);
  EXPECT_LE(peak, 127);  // never wraps round
}

TEST(AlarmSound, FadesAndEndsQuietly) {
  const auto s = Samples();
  const std::size_t tenth = s.size() / 10;
  double first = 0, last = 0;
  for (std::size_t i = 0; i < tenth; ++i) first += s[i] * s[i];
  for (std::size_t i = s.size() - tenth; i < s.size(); ++i) last += s[i] * s[i];
  EXPECT_LT(last, first * 0.6);
  EXPECT_GT(last, 0);
  EXPECT_LE(std::abs(s.back()), 2) << "no click at the end";
}

// ---------------------------------------------------------------------------

constexpr ProgramVersion kSomeVersion{1, 0, 0, 0};

TEST(ResourceFiles, ScriptNamesEveryFileItNeedsAndNothingElse) {
  const std::string rc = ResourceScript(kSomeVersion);
  std::set<std::string> written;
  for (const auto& file : AllFiles(kSomeVersion)) written.insert(file.name);
  EXPECT_EQ(written.size(), AllFiles(kSomeVersion).size()) << "no name written twice";
  for (const auto& name : written) {
    if (name == "calorix.rc") continue;
    EXPECT_NE(rc.find("\"" + name + "\""), std::string::npos) << name;
  }
  EXPECT_NE(rc.find("1 ICON \"app.ico\""), std::string::npos);
  EXPECT_NE(rc.find("20 ICON \"num20.ico\""), std::string::npos);
  EXPECT_NE(rc.find("68 ICON \"num68.ico\""), std::string::npos);
  EXPECT_EQ(rc.find("num69"), std::string::npos);
  EXPECT_EQ(rc.find("num19"), std::string::npos);
  EXPECT_NE(rc.find("10 ICON \"snowflake.ico\""), std::string::npos);
  EXPECT_NE(rc.find("11 ICON \"flame.ico\""), std::string::npos);
  EXPECT_NE(rc.find("12 ICON \"hazard.ico\""), std::string::npos);
  EXPECT_NE(rc.find("99 SOUND \"alarm.wav\""), std::string::npos);
  EXPECT_NE(rc.find("1 24 \"calorix.manifest\""), std::string::npos);
  EXPECT_NE(rc.find("LANGUAGE 9, 1"), std::string::npos);
}

TEST(ResourceFiles, ManifestAsksForCommonControls6DpiAwarenessAndNoElevation) {
  const std::string m = Manifest(kSomeVersion);
  EXPECT_EQ(m.rfind("<?xml", 0), 0u);
  EXPECT_NE(m.find("name=\"Calorix\" version=\"1.0.0.0\""), std::string::npos);
  EXPECT_NE(m.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(m.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
  EXPECT_NE(m.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
            std::string::npos);
  EXPECT_NE(m.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(m.find("</assembly>"), std::string::npos);
}

TEST(ResourceFiles, SameBytesEveryTime) {
  const auto a = AllFiles(kSomeVersion);
  const auto b = AllFiles(kSomeVersion);
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].contents, b[i].contents) << a[i].name;
}

// ---------------------------------------------------------------------------

TEST(Version, ThreeOrFourNumbersEachWithinSixteenBits) {
  const auto three = ParseVersion("1.2.3");
  ASSERT_TRUE(three);
  EXPECT_EQ(DottedVersion(*three), "1.2.3.0");
  const auto four = ParseVersion("10.0.65535.7");
  ASSERT_TRUE(four);
  EXPECT_EQ(DottedVersion(*four), "10.0.65535.7");
  for (const char* bad : {"", "1", "1.2", "1.2.3.4.5", "1..3", "1.2.3.", ".1.2.3", "1.2.x", "1.2.-3",
                          "1.2.65536", " 1.2.3", "1.2.3 "}) {
    EXPECT_FALSE(ParseVersion(bad)) << '"' << bad << '"';
  }
}

TEST(Version, ScriptCarriesTheVersionInNumbersAndStrings) {
  const std::string rc = ResourceScript(ProgramVersion{2, 3, 4, 5});
  EXPECT_NE(rc.find("1 VERSIONINFO\nFILEVERSION 2,3,4,5\nPRODUCTVERSION 2,3,4,5\n"), std::string::npos);
  EXPECT_NE(rc.find("VALUE \"FileVersion\", \"2.3.4.5\""), std::string::npos);
  EXPECT_NE(rc.find("VALUE \"ProductVersion\", \"2.3.4.5\""), std::string::npos);
  EXPECT_NE(rc.find("VALUE \"ProductName\", \"Calorix\""), std::string::npos);
  EXPECT_NE(rc.find("VALUE \"OriginalFilename\", \"calorix.exe\""), std::string::npos);
  EXPECT_NE(rc.find("VALUE \"LegalCopyright\", \"Copyright (c) the Calorix authors\""), std::string::npos);
  EXPECT_NE(rc.find("VALUE \"FileDescription\", \"Calorix, a tray companion for the hardware monitor\""),
            std::string::npos);
  // The string block's name and the translation must agree, or Explorer
  // shows no strings.
  EXPECT_NE(rc.find("BLOCK \"040904b0\""), std::string::npos);
  EXPECT_NE(rc.find("VALUE \"Translation\", 0x409, 1200"), std::string::npos);
}

TEST(Version, TheBuildsVersionIsOneTheGeneratorTakes) {
  const auto version = ParseVersion(CALORIX_VERSION);
  ASSERT_TRUE(version) << CALORIX_VERSION;
  const std::string rc = ResourceScript(*version);
  EXPECT_NE(rc.find("\"FileVersion\", \"" + DottedVersion(*version) + "\""), std::string::npos);
}

}  // namespace
}  // namespace calorix::resources
