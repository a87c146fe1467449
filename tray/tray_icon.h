// The tray icon: the one record that describes it to the shell, its
// picture chosen from the temperature, and the mouse events it sends back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace calorix {
class App;
}

namespace calorix::tray {

inline constexpr std::uint32_t kTrayRecordSize = 88;  // the record's 32-bit layout
inline constexpr std::uint32_t kTrayIconId = 2;
inline constexpr std::uint32_t kTrayFlags = 7;        // message, icon and tip
inline constexpr std::uint32_t kTrayCallbackMessage = 512;
inline constexpr int kMouseLeftButtonUp = 514;
inline constexpr int kMouseRightButtonUp = 517;

inline constexpr int kAppIconId = 1;
inline constexpr int kSnowflakeIconId = 10;
inline constexpr int kFlameIconId = 11;
// Temperatures outside the digits' range show a picture instead: the
// snowflake at and below the first, the flame at and above the second.
inline constexpr int kSnowflakeUpToDegrees = 19;
inline constexpr int kFlameFromDegrees = 69;

// The tip field: the text left-justified and padded with blanks (or cut) to
// exactly 64 characters.
std::string PadTip(std::string_view text);

class TrayIcon {
 public:
  explicit TrayIcon(App& app);

  const platform::TrayRecord& Record() const { return record_; }
  // Fills the whole record and adds the icon with the application picture.
  void UpdateIcons();
  // Puts the application picture back and forces the next picture update.
  void ResetTray();
  // Picks the picture from the temperature; sends it only when the whole
  // degree differs from the one shown.
  void UpdatePicture();
  void UpdateTip(std::string_view text);
  // Removes the icon (exit, power-off, a failed start).
  void Remove();
  // The shell's callback, arriving as the main window's mouse move.
  void OnMouseMove(int x);
  // The "TaskbarCreated" announcement: the shell lost every icon.
  void OnTaskbarCreated();

  std::int32_t LastIconTemp = 0;
  std::int16_t ShowSystemTemp = 0;

 private:
  void ShowPopupMenu();
  platform::IconHandle ApplicationIcon();

  App& app_;
  platform::TrayRecord record_;
  platform::IconHandle image1_ = 0;  // the picture the icon shows
};

}  // namespace calorix::tray
