#include "infotable/text_forms.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <memory>

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

size_t CountInvalidCharacters(std::string_view line) {
  // Most lines hold none: one pass that only asks whether any byte is suspect.
  static const auto kSuspect = [] {
    std::array<bool, 256> suspect{};
    for (int c = 0; c < 256; ++c)
      suspect[c] = c >= 0x80 || c == '+' || IsXmlControl(static_cast<unsigned char>(c));
    return suspect;
  }();
  bool any = false;
  for (char c : line) any |= kSuspect[static_cast<unsigned char>(c)];
  if (!any) return 0;
  size_t count = 0;
  for (size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    size_t length = 1;
    if (c >= 0x80) {
      length = std::max<size_t>(Utf8SequenceLength(line, i), 1);
      ++count;
    } else if (c == '+' || IsXmlControl(c)) {
      ++count;
    }
    i += length;
  }
  return count;
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

std::string PlainAsciiLine(std::string_view line) {
  // Stray bytes become U+FFFD here and are left out with everything else
  // that has no ASCII form.
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(line.data(), line.size()));
  if (icu::Transliterator* transliterator = LatinAscii()) transliterator->transliterate(text);
  std::string converted;
  text.toUTF8String(converted);
  std::string ascii;
  for (char c : converted)
    if (static_cast<unsigned char>(c) < 0x80 && !IsXmlControl(static_cast<unsigned char>(c))) ascii += c;
  return ascii;
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

std::string UnescapeMarkup(std::string_view text) {
  static const struct {
    std::string_view reference;
    char character;
  } kReferences[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}};
  std::string plain;
  size_t start = 0;
  for (size_t at; (at = text.find('&', start)) != std::string_view::npos;) {
    plain.append(text, start, at - start);
    start = at + 1;
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
