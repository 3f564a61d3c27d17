// The front end's dealings with the system: the battery and opening an
// address with the program configured for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

struct BatteryStatus {
  bool hasBattery = false;
  int percent = 0;
  bool onMains = true;
};
// Reads a power-supply tree laid out as /sys/class/power_supply.
BatteryStatus readBatteryStatus(const std::string& root = "/sys/class/power_supply");

// What opening an address starts: a program with its own parameters (a
// configured command cut by splitCommand) and the parameter (none when
// empty). No program means the system's opener gets the text.
struct AddressLaunch {
  std::vector<std::string> command;
  std::string parameter;
};
AddressLaunch planAddress(std::string_view address, const std::string& currentDirectory);

}  // namespace varlo
