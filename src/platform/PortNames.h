#pragma once

#include <optional>
#include <string>

namespace karune {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 8;

// Name of the environment variable that redirects COM<n> to another device: "KARUNE_COM<n>".
std::string portEnvironmentName(int portNumber);

// The value of KARUNE_COM<n> as UTF-8, when it is set and not empty.
std::optional<std::string> portOverride(int portNumber);

// What the window shows of the port's mapping: "COM1 = tcp:HOST:PORT" (without a listening
// line's allow list) when KARUNE_COM<n> is set; empty otherwise.
std::string portMappingLabel(int portNumber);

// Device opened for COM<n>: the device `override` names when it is set and not empty, otherwise
// /dev/ttyS<n-1> (COM<n> itself on Windows). Nothing for numbers outside kFirstPort..kLastPort.
std::optional<std::string> portDevicePath(int portNumber, const char* override);

// The system's own device of COM<n>.
std::string systemPortDevice(int portNumber);

// The device a name given in the environment opens: on Windows "COM12" is "\\.\COM12" (the
// plain name reaches COM1 to COM9 only), and a name that already starts with "\\" is kept; on
// Linux the name itself.
std::string deviceNamed(const std::string& name);

}  // namespace karune
