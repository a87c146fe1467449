// The simulated desktop's set-up: the desktop window and a private
// temporary folder holding the current directory and the program's folder.
#include "platform/sim/sim_desktop.h"

#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace calorix::sim {

SimDesktop::SimDesktop()
    : platform_{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this} {
  SimWindow desktop;
  desktop.handle = nextHandle_++;
  desktop.className = "#32769";
  desktop.rect = {0, 0, screenWidth_, screenHeight_};
  desktop_ = desktop.handle;
  windows_.emplace(desktop_, std::move(desktop));

  std::string pattern = (std::filesystem::temp_directory_path() / "calorix-sim-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  root_ = pattern;
  cwd_ = root_ / "cwd";
  programFolder_ = root_ / "program";
  std::filesystem::create_directories(cwd_);
  std::filesystem::create_directories(programFolder_);
}

SimDesktop::~SimDesktop() {
  std::error_code ignored;  // a leftover temporary folder is harmless
  std::filesystem::remove_all(root_, ignored);
}

}  // namespace calorix::sim
