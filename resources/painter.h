// A tiny painter for the colour pictures. Shapes are tests on continuous
// coordinates in design units, (0, 0) the top-left corner; a pixel takes a
// shape's colour when at least half of its 4x4 sample points fall inside.
// Every picture is designed on a 32-unit square and drawn straight onto the
// grid it is wanted at, so a 20-pixel picture is rendered at 20 pixels, not
// shrunk from 32.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "resource_images.h"

namespace calorix::resources {

// Indices into the 16-colour palette every colour icon uses: the classic VGA set.
namespace colour {
inline constexpr std::uint8_t kBlack = 0;
inline constexpr std::uint8_t kMaroon = 1;
inline constexpr std::uint8_t kNavy = 4;
inline constexpr std::uint8_t kTeal = 6;
inline constexpr std::uint8_t kSilver = 7;
inline constexpr std::uint8_t kRed = 9;
inline constexpr std::uint8_t kYellow = 11;
inline constexpr std::uint8_t kCyan = 14;
inline constexpr std::uint8_t kWhite = 15;
}  // namespace colour

std::vector<Rgb> StandardPalette();

struct Point {
  double x = 0, y = 0;
};

inline constexpr double kDesignSize = 32.0;

class Canvas {
 public:
  explicit Canvas(int size);

  int Size() const { return size_; }
  // Pixels per design unit.
  double Scale() const { return size_ / kDesignSize; }

  template <class Inside>
  void Fill(const Inside& inside, std::uint8_t colour) {
    const double unit = 1.0 / Scale();
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy) {
          for (int sx = 0; sx < 4; ++sx) {
            if (inside(Point{(x + (sx + 0.5) / 4.0) * unit, (y + (sy + 0.5) / 4.0) * unit})) ++hits;
          }
        }
        if (hits >= 8) Set(x, y, colour);
      }
    }
  }

  void Set(int x, int y, std::uint8_t colour);
  bool Opaque(int x, int y) const;
  // Rims everything drawn so far with a one-pixel border.
  void Outline(std::uint8_t colour, bool diagonals);
  IconImage Finish() const;

 private:
  int size_;
  std::vector<std::uint8_t> index_;
  std::vector<std::uint8_t> opaque_;
};

// Hand-placed pixels, for grids too small for shapes drawn by formula: one
// string per row, '.' transparent, letters for colours (K black, r maroon,
// N navy, T teal, S silver, R red, Y yellow, C cyan, W white).
Canvas ArtCanvas(std::span<const std::string_view> rows);

inline double Square(double v) { return v * v; }

inline auto Disc(Point c, double r) {
  return [=](Point p) { return Square(p.x - c.x) + Square(p.y - c.y) <= r * r; };
}

// Every point within r of the segment a-b.
inline auto Capsule(Point a, Point b, double r) {
  return [=](Point p) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return Square(p.x - (a.x + t * dx)) + Square(p.y - (a.y + t * dy)) <= r * r;
  };
}

inline auto Box(double left, double top, double right, double bottom) {
  return [=](Point p) { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; };
}

// A flame-shaped drop: round below centre c, narrowing to a point `height`
// above it, the tip pushed sideways by `lean`.
inline auto Drop(Point c, double r, double height, double lean) {
  return [=](Point p) {
    if (p.y >= c.y) return Square(p.x - c.x) + Square(p.y - c.y) <= r * r;
    const double t = (c.y - p.y) / height;  // 0 at the widest, 1 at the tip
    if (t >= 1.0) return false;
    const double middle = c.x + lean * t * t;
    const double halfWidth = r * std::sqrt(1.0 - t) * (1.0 - 0.25 * t);
    return std::abs(p.x - middle) <= halfWidth;
  };
}

}  // namespace calorix::resources
