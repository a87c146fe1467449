#include "resource_images.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string_view>

namespace calorix::resources {

namespace {

// ---------------------------------------------------------------------------
// Little-endian writing.

void Put8(Bytes& out, unsigned value) { out.push_back(static_cast<std::uint8_t>(value & 0xFFu)); }

void Put16(Bytes& out, unsigned value) {
  Put8(out, value);
  Put8(out, value >> 8);
}

void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFFu);
  Put16(out, value >> 16);
}

void PutText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

// ---------------------------------------------------------------------------
// The 16-colour palette every colour icon uses: the classic VGA set.

namespace colour {
constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kMaroon = 1;
constexpr std::uint8_t kNavy = 4;
constexpr std::uint8_t kTeal = 6;
constexpr std::uint8_t kSilver = 7;
constexpr std::uint8_t kRed = 9;
constexpr std::uint8_t kYellow = 11;
constexpr std::uint8_t kCyan = 14;
constexpr std::uint8_t kWhite = 15;
}  // namespace colour

std::vector<Rgb> StandardPalette() {
  return {
      {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
      {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
      {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
      {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
  };
}

// ---------------------------------------------------------------------------
// A tiny painter. Shapes are tests on continuous coordinates, in pixels with
// (0, 0) the top-left corner of the picture; a pixel takes a shape's colour
// when at least half of its 4x4 sample points fall inside the shape.

struct Point {
  double x = 0, y = 0;
};

class Canvas {
 public:
  explicit Canvas(int size)
      : size_(size),
        index_(static_cast<std::size_t>(size * size), colour::kBlack),
        opaque_(static_cast<std::size_t>(size * size), 0) {}

  int Size() const { return size_; }

  template <class Inside>
  void Fill(const Inside& inside, std::uint8_t colour) {
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy) {
          for (int sx = 0; sx < 4; ++sx) {
            if (inside(Point{x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0})) ++hits;
          }
        }
        if (hits >= 8) Set(x, y, colour);
      }
    }
  }

  void Set(int x, int y, std::uint8_t colour) {
    if (x < 0 || y < 0 || x >= size_ || y >= size_) return;
    const auto at = static_cast<std::size_t>(y * size_ + x);
    index_[at] = colour;
    opaque_[at] = 1;
  }

  bool Opaque(int x, int y) const {
    if (x < 0 || y < 0 || x >= size_ || y >= size_) return false;
    return opaque_[static_cast<std::size_t>(y * size_ + x)] != 0;
  }

  // Rims everything drawn so far with a one-pixel border.
  void Outline(std::uint8_t colour, bool diagonals) {
    std::vector<std::pair<int, int>> rim;
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        if (Opaque(x, y)) continue;
        bool touches = Opaque(x - 1, y) || Opaque(x + 1, y) || Opaque(x, y - 1) || Opaque(x, y + 1);
        if (diagonals) {
          touches = touches || Opaque(x - 1, y - 1) || Opaque(x + 1, y - 1) ||
                    Opaque(x - 1, y + 1) || Opaque(x + 1, y + 1);
        }
        if (touches) rim.emplace_back(x, y);
      }
    }
    for (const auto& [x, y] : rim) Set(x, y, colour);
  }

  IconImage Finish() const {
    IconImage image;
    image.width = size_;
    image.height = size_;
    image.bitCount = 4;
    image.palette = StandardPalette();
    image.index = index_;
    image.transparent.resize(opaque_.size());
    for (std::size_t i = 0; i < opaque_.size(); ++i) image.transparent[i] = opaque_[i] ? 0 : 1;
    return image;
  }

 private:
  int size_;
  std::vector<std::uint8_t> index_;
  std::vector<std::uint8_t> opaque_;
};

double Square(double v) { return v * v; }

auto Disc(Point c, double r) {
  return [=](Point p) { return Square(p.x - c.x) + Square(p.y - c.y) <= r * r; };
}

// Every point within r of the segment a-b.
auto Capsule(Point a, Point b, double r) {
  return [=](Point p) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return Square(p.x - (a.x + t * dx)) + Square(p.y - (a.y + t * dy)) <= r * r;
  };
}

auto Box(double left, double top, double right, double bottom) {
  return [=](Point p) { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; };
}

// A flame-shaped drop: round below centre c, narrowing to a point `height`
// above it, the tip pushed sideways by `lean`.
auto Drop(Point c, double r, double height, double lean) {
  return [=](Point p) {
    if (p.y >= c.y) return Square(p.x - c.x) + Square(p.y - c.y) <= r * r;
    const double t = (c.y - p.y) / height;  // 0 at the widest, 1 at the tip
    if (t >= 1.0) return false;
    const double middle = c.x + lean * t * t;
    const double halfWidth = r * std::sqrt(1.0 - t) * (1.0 - 0.25 * t);
    return std::abs(p.x - middle) <= halfWidth;
  };
}

const double kSqrt3 = std::sqrt(3.0);

// Hand-placed pixels, for the 16x16 pictures where shapes drawn by formula
// turn to mush. '.' is transparent.
Canvas ArtCanvas(const std::array<std::string_view, 16>& rows) {
  Canvas canvas(16);
  for (int y = 0; y < 16; ++y) {
    const std::string_view row = rows[static_cast<std::size_t>(y)];
    if (row.size() != 16) throw std::logic_error("pixel art row length");
    for (int x = 0; x < 16; ++x) {
      std::uint8_t colour;
      switch (row[static_cast<std::size_t>(x)]) {
        case '.': continue;
        case 'K': colour = colour::kBlack; break;
        case 'r': colour = colour::kMaroon; break;
        case 'N': colour = colour::kNavy; break;
        case 'T': colour = colour::kTeal; break;
        case 'S': colour = colour::kSilver; break;
        case 'R': colour = colour::kRed; break;
        case 'Y': colour = colour::kYellow; break;
        case 'C': colour = colour::kCyan; break;
        case 'W': colour = colour::kWhite; break;
        default: throw std::logic_error("pixel art colour");
      }
      canvas.Set(x, y, colour);
    }
  }
  return canvas;
}

IconImage FromArt(const std::array<std::string_view, 16>& rows) { return ArtCanvas(rows).Finish(); }

// ---------------------------------------------------------------------------
// The application: a thermometer with a red column and bulb.

IconImage Thermometer(int size) {
  if (size < 24) {
    return FromArt({
        ".......KK.......",
        "......KWWK......",
        "......KWSK.KK...",
        "......KWSK......",
        "......KWSK.K....",
        "......KRSK......",
        "......KRRK.KK...",
        "......KRRK......",
        "......KRRK.K....",
        ".....KKRRKK.....",
        "....KRRRRRRK....",
        "...KRWWRRRRRK...",
        "...KRWRRRRRRK...",
        "...KRRRRRRRRK...",
        "....KRRRRRRK....",
        ".....KKKKKK.....",
    });
  }
  Canvas canvas(size);
  const double cx = 16;
  const Point tubeTop{cx, 5.5};
  const Point tubeBottom{cx, 21};
  const Point bulb{cx, 25};
  canvas.Fill(Capsule(tubeTop, tubeBottom, 4.5), colour::kBlack);
  canvas.Fill(Disc(bulb, 6.5), colour::kBlack);
  canvas.Fill(Capsule(tubeTop, tubeBottom, 3.0), colour::kWhite);
  canvas.Fill(Disc(bulb, 5.0), colour::kRed);
  // A shade down the glass, then the column standing a little above the
  // middle of the scale, and a glint on the bulb.
  canvas.Fill(Box(cx + 1.5, tubeTop.y - 1.0, cx + 3.0, tubeBottom.y + 1.0), colour::kSilver);
  canvas.Fill(Capsule(Point{cx, 12}, Point{cx, bulb.y}, 1.5), colour::kRed);
  canvas.Fill(Disc(Point{bulb.x - 2.2, bulb.y - 2.0}, 1.2), colour::kWhite);
  // Scale marks to the right of the tube.
  for (int mark = 0; mark < 5; ++mark) {
    const double y = 7 + 3 * mark;
    const double length = mark % 2 == 0 ? 4.0 : 2.5;
    canvas.Fill(Box(cx + 5.0, y, cx + 5.0 + length, y + 1.0), colour::kBlack);
  }
  return canvas.Finish();
}

// ---------------------------------------------------------------------------
// The tray numbers: two thick block digits filling the whole square.

// Digits on a 3 x 5 grid of blocks, '#' inked.
constexpr std::array<std::array<std::string_view, 5>, 10> kDigitBlocks = {{
    {"###", "#.#", "#.#", "#.#", "###"},  // 0
    {"##.", ".#.", ".#.", ".#.", "###"},  // 1
    {"###", "..#", "###", "#..", "###"},  // 2
    {"###", "..#", ".##", "..#", "###"},  // 3
    {"#.#", "#.#", "###", "..#", "..#"},  // 4
    {"###", "#..", "###", "..#", "###"},  // 5
    {"###", "#..", "###", "#.#", "###"},  // 6
    {"###", "..#", "..#", "..#", "..#"},  // 7
    {"###", "#.#", "###", "#.#", "###"},  // 8
    {"###", "#.#", "###", "..#", "###"},  // 9
}};

// Block sizes in pixels: strokes 4 thick both ways, the holes as roomy as
// the square allows. Two digits of 14 plus a gap of 4 make 32. Every size is
// even, so a picture halved to 16x16 by dropping every other pixel keeps
// strokes of 2 and a gap of 2.
constexpr std::array<int, 3> kBlockWidths = {4, 6, 4};
constexpr std::array<int, 5> kBlockHeights = {4, 10, 4, 10, 4};
constexpr int kDigitWidth = 14;
constexpr int kDigitGap = 4;

void DrawDigit(std::vector<std::uint8_t>& ink, int size, int left, int digit) {
  int top = 0;
  for (int row = 0; row < 5; ++row) {
    int x = left;
    for (int col = 0; col < 3; ++col) {
      if (kDigitBlocks[static_cast<std::size_t>(digit)][static_cast<std::size_t>(row)]
                      [static_cast<std::size_t>(col)] == '#') {
        for (int dy = 0; dy < kBlockHeights[static_cast<std::size_t>(row)]; ++dy) {
          for (int dx = 0; dx < kBlockWidths[static_cast<std::size_t>(col)]; ++dx) {
            ink[static_cast<std::size_t>((top + dy) * size + x + dx)] = 1;
          }
        }
      }
      x += kBlockWidths[static_cast<std::size_t>(col)];
    }
    top += kBlockHeights[static_cast<std::size_t>(row)];
  }
}

// ---------------------------------------------------------------------------
// The cold picture: a six-armed cyan snowflake.

IconImage Snowflake(int size) {
  if (size < 24) {
    Canvas canvas = ArtCanvas({
        "................",
        "................",
        "........C.......",
        "........C.......",
        ".......CCC......",
        "..CC.C..C..C.CC.",
        "....CC..C..CC...",
        "....C.CCCCC.C...",
        ".......CWC......",
        "....C.CCCCC.C...",
        "....CC..C..CC...",
        "..CC.C..C..C.CC.",
        ".......CCC......",
        "........C.......",
        "........C.......",
        "................",
    });
    canvas.Outline(colour::kNavy, false);
    return canvas.Finish();
  }
  Canvas canvas(size);
  const Point c{16, 16};
  const double reach = 13.6;
  const double half = kSqrt3 / 2.0;
  // Twigs: how far along the arm they sprout and how long they are, as
  // fractions of the arm.
  const std::array<std::pair<double, double>, 2> twigs = {{{0.42, 0.30}, {0.72, 0.22}}};
  // Arms at 90 degrees and every 60 from there.
  const std::array<Point, 6> arms = {
      Point{0, -1}, Point{half, -0.5}, Point{half, 0.5}, Point{0, 1}, Point{-half, 0.5}, Point{-half, -0.5},
  };
  for (const Point& d : arms) {
    const Point tip{c.x + reach * d.x, c.y + reach * d.y};
    canvas.Fill(Capsule(c, tip, 1.0), colour::kCyan);
    // Twigs branch off at 60 degrees either side of the arm, pointing outwards.
    const Point left{d.x * 0.5 - d.y * half, d.x * half + d.y * 0.5};
    const Point right{d.x * 0.5 + d.y * half, -d.x * half + d.y * 0.5};
    for (const auto& [along, length] : twigs) {
      const Point root{c.x + reach * along * d.x, c.y + reach * along * d.y};
      for (const Point& side : {left, right}) {
        const Point end{root.x + reach * length * side.x, root.y + reach * length * side.y};
        canvas.Fill(Capsule(root, end, 0.8), colour::kCyan);
      }
    }
  }
  canvas.Fill(Disc(c, 2.4), colour::kCyan);
  canvas.Outline(colour::kNavy, false);
  canvas.Fill(Disc(c, 1.0), colour::kWhite);
  return canvas.Finish();
}

// ---------------------------------------------------------------------------
// The hot picture: a burning match.

IconImage Match(int size) {
  if (size < 24) {
    return FromArt({
        "..........r.....",
        ".........rRr....",
        ".........rRRr...",
        "........rRRRr...",
        ".......rRRYRRr..",
        ".......rRYYYRr..",
        "......rRYYWYRr..",
        "......rRYWWYRr..",
        "......rRYrrYRr..",
        ".......rrrrrr...",
        "......KKrrrK....",
        ".....KYKrrK.....",
        "....KYK.KK......",
        "...KYK..........",
        "..KYK...........",
        "..KK............",
    });
  }
  Canvas canvas(size);
  const Point foot{5.5, 30.0};
  const Point head{16.5, 18.0};
  // Stick, rimmed in black.
  canvas.Fill(Capsule(foot, head, 2.6), colour::kBlack);
  canvas.Fill(Capsule(foot, head, 1.5), colour::kYellow);
  // Flame: dark rim, red, then yellow and white towards the heart.
  const Point base{19.5, 12.0};
  const double radius = 5.8;
  const double height = 10.5;
  const double lean = -2.0;
  canvas.Fill(Drop(base, radius + 1.3, height + 1.8, lean), colour::kMaroon);
  canvas.Fill(Drop(base, radius, height, lean), colour::kRed);
  canvas.Fill(Drop(Point{base.x, base.y + 0.5}, radius * 0.6, height * 0.66, lean * 0.6), colour::kYellow);
  canvas.Fill(Drop(Point{base.x, base.y + 1.5}, 1.6, 4.0, 0), colour::kWhite);
  // The head, burning at the foot of the flame.
  canvas.Fill(Disc(head, 3.6), colour::kBlack);
  canvas.Fill(Disc(head, 2.6), colour::kMaroon);
  return canvas.Finish();
}

// ---------------------------------------------------------------------------
// The countdown's picture: a black trefoil on a yellow disc.

IconImage Trefoil(int size) {
  Canvas canvas(size);
  const bool small = size < 24;
  const double u = size / 32.0;
  const Point c{16 * u, 16 * u};
  canvas.Fill(Disc(c, small ? 8.0 : 15.9), colour::kBlack);
  canvas.Fill(Disc(c, small ? 7.0 : 14.3), colour::kYellow);
  const double inner = small ? 2.6 : 3.7;
  const double outer = small ? 5.9 : 12.2;
  const double half = kSqrt3 / 2.0;  // cos 30: each blade spans 60 degrees
  const std::array<Point, 3> blades = {Point{0, 1}, Point{-half, -0.5}, Point{half, -0.5}};
  canvas.Fill(
      [&](Point p) {
        const double dx = p.x - c.x, dy = p.y - c.y;
        const double r = std::sqrt(dx * dx + dy * dy);
        if (r < inner || r > outer) return false;
        for (const Point& d : blades) {
          if ((dx * d.x + dy * d.y) >= half * r) return true;
        }
        return false;
      },
      colour::kBlack);
  canvas.Fill(Disc(c, small ? 1.1 : 2.3), colour::kBlack);
  return canvas.Finish();
}

// ---------------------------------------------------------------------------
// Icon file layout.

int RowBytes(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

Bytes EncodeDib(const IconImage& image) {
  const int w = image.width, h = image.height;
  const int colourRow = RowBytes(w, image.bitCount);
  const int maskRow = RowBytes(w, 1);
  const auto colourSize = static_cast<std::uint32_t>(colourRow * h);
  const auto maskSize = static_cast<std::uint32_t>(maskRow * h);

  Bytes out;
  Put32(out, 40);                             // biSize
  Put32(out, static_cast<std::uint32_t>(w));  // biWidth
  Put32(out, static_cast<std::uint32_t>(2 * h));  // biHeight: colour rows and mask rows
  Put16(out, 1);                              // biPlanes
  Put16(out, static_cast<unsigned>(image.bitCount));
  Put32(out, 0);                              // biCompression: BI_RGB
  Put32(out, colourSize + maskSize);          // biSizeImage
  Put32(out, 0);                              // biXPelsPerMeter
  Put32(out, 0);                              // biYPelsPerMeter
  Put32(out, 0);                              // biClrUsed: all 2^bitCount
  Put32(out, 0);                              // biClrImportant
  for (const Rgb& entry : image.palette) {
    Put8(out, entry.b);
    Put8(out, entry.g);
    Put8(out, entry.r);
    Put8(out, 0);
  }

  // Colour bits, bottom row first. Transparent pixels carry index 0 so the
  // screen shows through unchanged.
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(static_cast<std::size_t>(colourRow), 0);
    for (int x = 0; x < w; ++x) {
      const auto at = static_cast<std::size_t>(y * w + x);
      const unsigned value = image.transparent[at] ? 0u : image.index[at];
      const int bit = x * image.bitCount;
      const int shift = 8 - image.bitCount - bit % 8;
      row[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(value << shift);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  // The mask, bottom row first: 1 where the screen shows through.
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(static_cast<std::size_t>(maskRow), 0);
    for (int x = 0; x < w; ++x) {
      if (image.transparent[static_cast<std::size_t>(y * w + x)]) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

Bytes EncodeIcon(const std::vector<IconImage>& images) {
  std::vector<Bytes> dibs;
  for (const IconImage& image : images) {
    if (image.bitCount != 1 && image.bitCount != 4) throw std::invalid_argument("icon depth");
    if (image.palette.size() != (1u << image.bitCount)) throw std::invalid_argument("icon palette");
    const auto pixels = static_cast<std::size_t>(image.width * image.height);
    if (image.index.size() != pixels || image.transparent.size() != pixels) {
      throw std::invalid_argument("icon pixels");
    }
    dibs.push_back(EncodeDib(image));
  }

  Bytes out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // type: icon
  Put16(out, static_cast<unsigned>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = images[i];
    Put8(out, static_cast<unsigned>(image.width % 256));
    Put8(out, static_cast<unsigned>(image.height % 256));
    Put8(out, image.bitCount < 8 ? (1u << image.bitCount) : 0u);  // colour count
    Put8(out, 0);                                                 // reserved
    Put16(out, 1);                                                // planes
    Put16(out, static_cast<unsigned>(image.bitCount));
    Put32(out, static_cast<std::uint32_t>(dibs[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(dibs[i].size());
  }
  for (const Bytes& dib : dibs) out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

IconImage DrawAppImage(int size) { return Thermometer(size); }
IconImage DrawSnowflakeImage(int size) { return Snowflake(size); }
IconImage DrawFlameImage(int size) { return Match(size); }
IconImage DrawHazardImage(int size) { return Trefoil(size); }

IconImage DrawNumberImage(int number) {
  if (number < 0 || number > 99) throw std::out_of_range("two digits only");
  constexpr int kSize = 32;
  std::vector<std::uint8_t> ink(kSize * kSize, 0);
  DrawDigit(ink, kSize, 0, number / 10);
  DrawDigit(ink, kSize, kDigitWidth + kDigitGap, number % 10);

  IconImage image;
  image.width = kSize;
  image.height = kSize;
  image.bitCount = 1;
  image.palette = {Rgb{0, 0, 0}, Rgb{0xFF, 0xFF, 0xFF}};
  image.index.assign(ink.size(), 0);  // ink is palette entry 0, black
  image.transparent.resize(ink.size());
  for (std::size_t i = 0; i < ink.size(); ++i) image.transparent[i] = ink[i] ? 0 : 1;
  return image;
}

Bytes AppIcon() { return EncodeIcon({DrawAppImage(32), DrawAppImage(16)}); }
Bytes NumberIcon(int number) { return EncodeIcon({DrawNumberImage(number)}); }
Bytes SnowflakeIcon() { return EncodeIcon({DrawSnowflakeImage(32), DrawSnowflakeImage(16)}); }
Bytes FlameIcon() { return EncodeIcon({DrawFlameImage(32), DrawFlameImage(16)}); }
Bytes HazardIcon() { return EncodeIcon({DrawHazardImage(32), DrawHazardImage(16)}); }

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

std::string ResourceScript() {
  std::string rc;
  rc += "// Calorix resources. Written by generate_resources; edit that, not this.\n";
  rc += "\n";
  rc += "LANGUAGE 9, 1  // English (United States)\n";
  rc += "\n";
  rc += "1 ICON \"app.ico\"\n";
  rc += "\n";
  rc += "// Tray pictures: the temperature itself, 20 to 68 degrees.\n";
  for (int n = kFirstNumberIconId; n <= kLastNumberIconId; ++n) {
    rc += std::to_string(n) + " ICON \"num" + std::to_string(n) + ".ico\"\n";
  }
  rc += "\n";
  rc += "10 ICON \"snowflake.ico\"  // 19 and below\n";
  rc += "11 ICON \"flame.ico\"      // 69 and above\n";
  rc += "12 ICON \"hazard.ico\"     // shutdown countdown\n";
  rc += "\n";
  rc += "99 SOUND \"alarm.wav\"\n";
  rc += "\n";
  rc += "1 24 \"calorix.manifest\"  // RT_MANIFEST\n";
  return rc;
}

std::string Manifest() {
  return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Calorix" version="1.0.0.0" processorArchitecture="*"/>
  <description>Calorix temperature in the notification area</description>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                        processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>
  <application xmlns="urn:schemas-microsoft-com:asm.v3">
    <windowsSettings>
      <dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>
    </windowsSettings>
  </application>
  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">
    <security>
      <requestedPrivileges>
        <requestedExecutionLevel level="asInvoker" uiAccess="false"/>
      </requestedPrivileges>
    </security>
  </trustInfo>
</assembly>
)";
}

std::vector<OutputFile> AllFiles() {
  auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
  std::vector<OutputFile> files;
  files.push_back({"app.ico", AppIcon()});
  for (int n = kFirstNumberIconId; n <= kLastNumberIconId; ++n) {
    files.push_back({"num" + std::to_string(n) + ".ico", NumberIcon(n)});
  }
  files.push_back({"snowflake.ico", SnowflakeIcon()});
  files.push_back({"flame.ico", FlameIcon()});
  files.push_back({"hazard.ico", HazardIcon()});
  files.push_back({"alarm.wav", AlarmSound()});
  files.push_back({"calorix.manifest", text(Manifest())});
  files.push_back({"calorix.rc", text(ResourceScript())});
  return files;
}

}  // namespace calorix::resources
