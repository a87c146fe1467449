// The fonts of the forms' controls, as the views make them; the test
// driver measures captions with the same fonts.
#include "platform/win32/win32_form_resources.h"

#include <cmath>
#include <string>
#include <system_error>

namespace calorix::platform::win32 {

namespace {

constexpr ui::FontSpec kDefaultFont{"MS Sans Serif", 8, false};

}  // namespace

HFONT CreateFormFont(const ui::FontSpec& requested, int dpiY) {
  // The toolkit's default: the font the layouts were measured with.
  const ui::FontSpec spec = requested.face.empty() ? kDefaultFont : requested;
  const int height = -static_cast<int>(std::lround(spec.points * dpiY / 72.0));
  // Where the face is missing the system picks one by pitch and family:
  // the column headings of the data viewer need a fixed-pitch one.
  const bool fixedPitch = spec.face.starts_with("Courier") || spec.face == "Lucida Console";
  const DWORD pitchAndFamily = fixedPitch ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
  HFONT font = CreateFontA(height, 0, 0, 0, spec.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, pitchAndFamily, std::string(spec.face).c_str());
  // Thrown here rather than through ThrowLastError, so that the test
  // driver links this file alone, without the views.
  if (font == nullptr) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateFont");
  return font;
}

}  // namespace calorix::platform::win32
