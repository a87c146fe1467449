#include "painter.h"

#include <stdexcept>

namespace calorix::resources {

std::vector<Rgb> StandardPalette() {
  return {
      {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
      {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
      {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
      {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
  };
}

Canvas::Canvas(int size)
    : size_(size),
      index_(static_cast<std::size_t>(size * size), colour::kBlack),
      opaque_(static_cast<std::size_t>(size * size), 0) {}

void Canvas::Set(int x, int y, std::uint8_t colour) {
  if (x < 0 || y < 0 || x >= size_ || y >= size_) return;
  const auto at = static_cast<std::size_t>(y * size_ + x);
  index_[at] = colour;
  opaque_[at] = 1;
}

bool Canvas::Opaque(int x, int y) const {
  if (x < 0 || y < 0 || x >= size_ || y >= size_) return false;
  return opaque_[static_cast<std::size_t>(y * size_ + x)] != 0;
}

void Canvas::Outline(std::uint8_t colour, bool diagonals) {
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

IconImage Canvas::Finish() const {
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

Canvas ArtCanvas(std::span<const std::string_view> rows) {
  const int size = static_cast<int>(rows.size());
  Canvas canvas(size);
  for (int y = 0; y < size; ++y) {
    const std::string_view row = rows[static_cast<std::size_t>(y)];
    if (row.size() != rows.size()) throw std::logic_error("pixel art row length");
    for (int x = 0; x < size; ++x) {
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

}  // namespace calorix::resources
