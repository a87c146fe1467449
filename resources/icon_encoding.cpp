// The .ico layout: a directory of pictures, each a bottom-up DIB of twice
// the picture's height (the colour rows, then the 1-bit transparency mask).
#include <stdexcept>

#include "byte_writer.h"
#include "resource_images.h"

namespace calorix::resources {

namespace {

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

}  // namespace calorix::resources
