// A workbook part's XML as events, parsed as its bytes inflate: elements by
// their local names (generators differ in prefixes), attributes, text. No
// DTD is loaded and no entity but XML's own is expanded.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "infotable/refusal.h"
#include "workbook/zip_entries.h"

// An element's attributes, as the parser hands them over.
class XmlAttributes {
 public:
  XmlAttributes(const unsigned char** attributes, int count) : attributes_(attributes), count_(count) {}
  // The value of the attribute with this local name (and prefix, when given).
  std::optional<std::string_view> Get(const char* name, const char* prefix = nullptr) const;

 private:
  const unsigned char** attributes_;
  int count_;
};

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void Start(std::string_view name, const XmlAttributes& attributes) = 0;
  virtual void End(std::string_view name) = 0;
  virtual void Text(std::string_view text) = 0;
  // A handler that has read all it needs, or found the part wrong, says so
  // here: the parse ends with this refusal.
  Refusal stop;
};

// Parses part `name` of `entries` into `handler`; refused when the part
// can't be read, is no well-formed XML, or the handler stopped it.
Refusal ParseXmlPart(ZipEntries& entries, const std::string& name, XmlHandler& handler);
