// The CCC in the desktop's secret store (Secret Service: GNOME Keyring,
// KWallet), by the filer's CIK, only when the filer asks for it; never in a
// file of its own, never in plain text as a fallback.
#pragma once

#include <functional>
#include <optional>
#include <string>

// Gives the CCC kept for `cik`, or none (none kept, or no store to ask).
void ReadKeptCcc(const std::string& cik, std::function<void(std::optional<std::string> ccc)> done);

// Keeps `ccc` for `cik`; `done` gets why it could not, or empty.
void KeepCcc(const std::string& cik, const std::string& ccc, std::function<void(const std::string& problem)> done);

// Takes the CCC kept for `cik` out of the store, if one is there.
void ForgetCcc(const std::string& cik);
