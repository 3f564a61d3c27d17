// The front end's dealings with the system: the battery and opening an
// address with the program configured for it.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

struct BatteryStatus {
  bool hasBattery = false;
  int percent = 0;
  bool onMains = true;
};
// Reads a power-supply tree laid out as /sys/class/power_supply.
BatteryStatus readBatteryStatus(const std::string& root = "/sys/class/power_supply");

// What opening an address starts: a program and its parameter (none when
// empty). An empty program means the system's opener gets the text.
struct AddressLaunch {
  std::string program;
  std::string parameter;
};
AddressLaunch planAddress(std::string_view address, const std::string& currentDirectory);

}  // namespace varlo
