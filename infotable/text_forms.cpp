#include "infotable/text_forms.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "infotable/byte_words.h"

namespace {

icu::Transliterator* LatinAscii() {
  thread_local std::unique_ptr<icu::Transliterator> transliterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> created(
        icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
    return U_SUCCESS(status) ? std::move(created) : nullptr;
  }();
  return transliterator.get();
}

// Length of the character that starts at `position`: a whole character
// reference, a whole UTF-8 sequence, or one byte.
size_t CharacterLength(std::string_view text, size_t position) {
  if (text[position] == '&') {
    const size_t end = text.find(';', position);
    if (end != std::string_view::npos && end - position <= 8) return end - position + 1;
  }
  const size_t length = Utf8SequenceLength(text, position);
  return length == 0 ? 1 : length;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text, size_t position) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(position);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (position + length > text.size()) return 0;
  if (byte(position + 1) < low || byte(position + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(position + i) & 0xC0) != 0x80) return 0;
  return length;
}

bool NeedsPlainForm(std::string_view line) {
  // Most lines need none: one pass that only asks whether any byte is DEL or
  // above, or a control character but the tab. A byte of 0x80 or above is
  // told by its own high bit, so that what its sums carry into the next
  // byte of the word never matters.
  uint64_t suspect = 0;
  size_t at = 0;
  for (; at + kWordBytes <= line.size(); at += kWordBytes) {
    const uint64_t word = LoadWord(line.data() + at);
    const uint64_t tabsZero = word ^ (kEveryByte * '\t');  // controls stay controls, the tab is 0
    suspect |= (word | (word + kEveryByte)) |              // 0x7F and above
               ((tabsZero + kEveryByte * 0x7F) & ~(tabsZero + kEveryByte * 0x60));  // 1 to 0x1F
  }
  if ((suspect & kHighBits) != 0) return true;
  for (; at < line.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(line[at]);
    if (c >= 0x7F || IsXmlControl(c)) return true;
  }
  return false;
}

std::string LeaveOutNonXmlCharacters(std::string_view line) {
  std::string kept;
  kept.reserve(line.size());
  for (size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c < 0x80) {
      if (!IsXmlControl(c)) kept += static_cast<char>(c);
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceLength(line, i);
    if (length == 0) {
      ++i;
      continue;
    }
    const std::string_view sequence = line.substr(i, length);
    if (sequence != "\xEF\xBF\xBE" && sequence != "\xEF\xBF\xBF") kept.append(sequence);
    i += length;
  }
  return kept;
}

namespace {

// Blanks of every width and kind, which a spreadsheet writes inside and
// around formatted numbers.
bool IsUnicodeBlank(char32_t c) {
  return c == 0xA0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsTypographicApostrophe(char32_t c) { return c == 0x2019 || c == 0x2018 || c == 0x02BC; }

char32_t DecodeUtf8(std::string_view sequence) {
  const auto byte = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(sequence[i])); };
  switch (sequence.size()) {
    case 2: return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    case 3: return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    case 4: return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
    default: return byte(0);
  }
}

std::string CodePoint(char32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

// A character's plain ASCII form, printable characters only; empty when it has none.
std::string PlainForm(std::string_view sequence) {
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(sequence.data(), sequence.size()));
  if (icu::Transliterator* transliterator = LatinAscii()) transliterator->transliterate(text);
  std::string converted;
  text.toUTF8String(converted);
  std::string ascii;
  for (char c : converted)
    if (c >= ' ' && c <= '~') ascii += c;
  return ascii;
}

}  // namespace

std::string PlainAsciiLine(std::string_view line, std::string& plain) {
  plain.clear();
  plain.reserve(line.size());
  std::vector<std::string> changes;
  const auto note = [&](std::string change) {
    if (std::find(changes.begin(), changes.end(), change) == changes.end())
      changes.push_back(std::move(change));
  };
  for (size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    if (c < 0x80) {
      if (c == '\t' || (c >= ' ' && c < 0x7F))
        plain += static_cast<char>(c);
      else
        note("control character " + CodePoint(c) + " left out");
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceLength(line, i);
    if (length == 0) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", c);
      note(std::string("byte ") + byte + ", which is no UTF-8, left out");
      ++i;
      continue;
    }
    const std::string_view sequence = line.substr(i, length);
    const char32_t character = DecodeUtf8(sequence);
    i += length;
    const bool betweenDigits = !plain.empty() && IsDigit(plain.back()) && i < line.size() && IsDigit(line[i]);
    if (IsUnicodeBlank(character)) {
      plain += ' ';
    } else if (IsTypographicApostrophe(character) && betweenDigits) {
      plain += '\'';
    } else if (const std::string ascii = PlainForm(sequence); !ascii.empty()) {
      plain += ascii;
      note("\"" + std::string(sequence) + "\" as \"" + ascii + "\"");
    } else {
      note("\"" + std::string(sequence) + "\" (" + CodePoint(character) + ") left out, having no plain form");
    }
  }
  std::string words;
  for (const std::string& change : changes) words += (words.empty() ? "" : ", ") + change;
  return words;
}

bool NeedsEscape(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c == '&' || c == '<' || c == '>'; });
}

std::string EscapeMarkup(std::string_view text) {
  std::string escaped;
  AppendEscaped(escaped, text);
  return escaped;
}

void AppendEscaped(std::string& out, std::string_view text) {
  if (!NeedsEscape(text)) {
    out.append(text);
    return;
  }
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
}

namespace {

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The character a numeric reference ("&#233;", "&#xE9;") at the start of
// `text` stands for, and the reference's length; 0 when it is none or
// names no character XML allows.
size_t ReadNumericReference(std::string_view text, uint32_t& code) {
  if (text.size() < 4 || text[0] != '&' || text[1] != '#') return 0;
  const bool hex = text[2] == 'x';
  size_t at = hex ? 3 : 2;
  code = 0;
  const size_t digitsFrom = at;
  for (; at < text.size() && at - digitsFrom < 8; ++at) {
    const char c = text[at];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else break;
    code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
  }
  if (at == digitsFrom || at >= text.size() || text[at] != ';') return 0;
  const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code < 0xD800) ||
                       (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
  return allowed ? at + 1 : 0;
}

}  // namespace

std::string UnescapeMarkup(std::string_view text) {
  static const struct {
    std::string_view reference;
    char character;
  } kReferences[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string plain;
  size_t start = 0;
  for (size_t at; (at = text.find('&', start)) != std::string_view::npos;) {
    plain.append(text, start, at - start);
    start = at + 1;
    uint32_t code;
    if (const size_t length = ReadNumericReference(text.substr(at), code)) {
      AppendUtf8(plain, code);
      start = at + length;
      continue;
    }
    plain += '&';
    for (const auto& known : kReferences) {
      if (text.compare(at, known.reference.size(), known.reference) == 0) {
        plain.back() = known.character;
        start = at + known.reference.size();
        break;
      }
    }
  }
  return plain.append(text.substr(start));
}

std::string_view CutLongText(std::string_view text, size_t limit) {
  size_t position = 0;
  for (size_t count = 0; count < limit && position < text.size(); ++count)
    position += CharacterLength(text, position);
  return text.substr(0, position);
}

size_t CountCharacters(std::string_view text) {
  size_t count = 0;
  for (size_t position = 0; position < text.size(); ++count) position += CharacterLength(text, position);
  return count;
}

std::string GroupThousands(std::string_view number) {
  size_t start = 0;
  while (start < number.size() &&
         (number[start] == ' ' || number[start] == '\t' || number[start] == '\r' || number[start] == '\n'))
    ++start;
  const bool negative = start < number.size() && number[start] == '-';
  if (negative) ++start;
  const std::string_view rest = number.substr(start);
  const size_t period = rest.find('.');
  const std::string_view integer = rest.substr(0, period);
  std::string grouped;
  grouped.reserve(rest.size() + integer.size() / 3 + 1);
  if (negative) grouped += '-';
  for (size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) grouped += ',';
    grouped += integer[i];
  }
  if (period != std::string_view::npos) grouped += rest.substr(period);
  return grouped;
}
