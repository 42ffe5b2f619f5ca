// Lists of 13(f) securities in the SEC's published layout, written by the
// tests: the real list may not be redistributed.
#pragma once

#include <string>

// One line of the list, exactly 80 characters: the CUSIP in columns 1-9, "*"
// in 10 for listed options, the issuer in 11-38, the description in 41-67,
// the status ("*A*", "*D*" or blanks) in 68-70, a code in 80.
inline std::string ListLine(const std::string& cusip, bool options, const std::string& issuer,
                            const std::string& description, const std::string& status = "   ") {
  std::string line(80, ' ');
  line.replace(0, 9, cusip.substr(0, 9));
  line[9] = options ? '*' : ' ';
  line.replace(10, std::min<size_t>(issuer.size(), 28), issuer.substr(0, 28));
  line.replace(40, std::min<size_t>(description.size(), 27), description.substr(0, 27));
  line.replace(67, 3, status.substr(0, 3));
  line[79] = 'S';
  return line;
}
