// EDGAR's limits for a Form 13F information table, as the SEC publishes them
// (the information table schema, version 1.7, and the SEC's Form 13F XML
// technical specification), and the names the filing uses.
// Every check, cut and message takes them from here.
#pragma once

#include <cstddef>
#include <cstdint>

// The document a capture writes into the filing folder.
constexpr const char* kDocumentFileName = "tev_13f.xml";

// nameOfIssuer and titleOfClass: at most this many characters.
constexpr size_t kEdgarTextLimit = 150;
// otherManager: at most this many characters.
constexpr size_t kEdgarOtherManagerLimit = 100;
// cusip: exactly this many letters or digits.
constexpr size_t kCusipLength = 9;
// figi: exactly this many letters or digits.
constexpr size_t kFigiLength = 12;
// value, sshPrnamt and the voting amounts: 1 to this many digits; the cover
// page's information table total too.
constexpr size_t kEdgarDigitLimit = 16;
// infoTable entries in one document.
constexpr uint32_t kEdgarEntryLimit = 250000;
