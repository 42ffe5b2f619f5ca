#include "form/page.h"

#include "form/markup_compiler.h"

// Built in from page_template.html and page_style.html.
extern const char kPageTemplate[];
extern const char kPageStyleSheet[];

const std::string& PageTemplate() {
  static const std::string page = kPageTemplate;
  return page;
}

const std::string& PageStyleSheet() {
  static const std::string sheet = kPageStyleSheet;
  return sheet;
}

std::string BuildMainPage() {
  std::string body = PageTemplate();
  CompileFormMarkup(body);
  return PageStyleSheet() + body;
}
