#include "workbook/xml_events.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <cstring>
#include <memory>

namespace {

std::string_view View(const xmlChar* text) {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

XmlHandler& HandlerOf(void* context) {
  return *static_cast<XmlHandler*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void StartElement(void* context, const xmlChar* name, const xmlChar*, const xmlChar*, int, const xmlChar**,
                  int count, int, const xmlChar** attributes) {
  XmlHandler& handler = HandlerOf(context);
  if (!handler.stop) handler.Start(View(name), XmlAttributes(attributes, count));
  if (handler.stop) xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

void EndElement(void* context, const xmlChar* name, const xmlChar*, const xmlChar*) {
  XmlHandler& handler = HandlerOf(context);
  if (!handler.stop) handler.End(View(name));
  if (handler.stop) xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

void Characters(void* context, const xmlChar* text, int length) {
  XmlHandler& handler = HandlerOf(context);
  if (!handler.stop)
    handler.Text(std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(length)));
}

// Entities other than XML's own are never expanded: a workbook has none,
// and a file that declares them is built to do harm.
xmlEntityPtr NoEntity(void*, const xmlChar* name) { return xmlGetPredefinedEntity(name); }

void Quiet(void*, const char*, ...) {}

}  // namespace

std::optional<std::string_view> XmlAttributes::Get(const char* name, const char* prefix) const {
  for (int i = 0; i < count_; ++i) {
    const unsigned char** attribute = attributes_ + 5 * i;
    if (std::strcmp(reinterpret_cast<const char*>(attribute[0]), name) != 0 ||
        (prefix && (!attribute[1] || std::strcmp(reinterpret_cast<const char*>(attribute[1]), prefix) != 0)))
      continue;
    return std::string_view(reinterpret_cast<const char*>(attribute[3]),
                            static_cast<size_t>(attribute[4] - attribute[3]));
  }
  return std::nullopt;
}

Refusal ParseXmlPart(ZipEntries& entries, const std::string& name, XmlHandler& handler) {
  xmlSAXHandler sax;
  std::memset(&sax, 0, sizeof sax);
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = StartElement;
  sax.endElementNs = EndElement;
  sax.characters = Characters;
  sax.cdataBlock = Characters;
  sax.getEntity = NoEntity;
  sax.warning = Quiet;
  sax.error = Quiet;
  std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> parser(
      xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, name.c_str()), xmlFreeParserCtxt);
  if (!parser) return std::string("can't be read: out of memory");
  xmlCtxtUseOptions(parser.get(), XML_PARSE_NONET | XML_PARSE_NOCDATA);
  parser->_private = &handler;
  bool wellFormed = true;
  Refusal refusal = entries.Read(name, [&](std::string_view piece) {
    wellFormed = xmlParseChunk(parser.get(), piece.data(), static_cast<int>(piece.size()), 0) == 0;
    return wellFormed && !handler.stop;
  });
  if (!refusal && wellFormed && !handler.stop) wellFormed = xmlParseChunk(parser.get(), nullptr, 0, 1) == 0;
  if (refusal) return refusal;
  if (handler.stop) return handler.stop;
  if (!wellFormed) {
    const xmlError* error = xmlCtxtGetLastError(parser.get());
    return "is damaged: its part " + name + " is not well-formed XML" +
           (error && error->message
                ? " (line " + std::to_string(error->line) + ": " +
                      std::string(error->message).substr(0, std::strcspn(error->message, "\n")) + ")"
                : std::string());
  }
  return std::nullopt;
}
