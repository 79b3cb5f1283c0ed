#include "richtext/formats/html_encoding.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "richtext/ascii.h"
#include "richtext/formats/gumbo_tree.h"
#include "richtext/text_encoding.h"

namespace quillet {
namespace {

// A little past the 1,024 bytes browsers scan, for word processors' long headers.
constexpr std::size_t kPrescanBytes = 4096;
constexpr std::string_view kUtf8 = "UTF-8";
constexpr std::string_view kWindows1252 = "WINDOWS-1252";

// Labels that browsers read as another (larger) character set than the one they name.
constexpr std::pair<std::string_view, std::string_view> kCharsetAliases[] = {
    {"utf8", kUtf8},
    {"unicode-1-1-utf-8", kUtf8},
    {"utf-16", kUtf8},
    {"utf-16le", kUtf8},
    {"utf-16be", kUtf8},
    {"utf-32", kUtf8},
    {"utf-32le", kUtf8},
    {"utf-32be", kUtf8},
    {"ucs-2", kUtf8},
    {"ucs-4", kUtf8},
    {"unicode", kUtf8},
    {"iso-10646-ucs-2", kUtf8},
    {"iso-8859-1", kWindows1252},
    {"iso8859-1", kWindows1252},
    {"iso_8859-1", kWindows1252},
    {"latin1", kWindows1252},
    {"l1", kWindows1252},
    {"ascii", kWindows1252},
    {"us-ascii", kWindows1252},
    {"cp1252", kWindows1252},
    {"x-cp1252", kWindows1252},
    {"cp819", kWindows1252},
    {"iso-8859-9", "CP1254"},
    {"latin5", "CP1254"},
    {"tis-620", "CP874"},
    {"iso-8859-11", "CP874"},
    {"gb2312", "GB18030"},
    {"gbk", "GB18030"},
    {"x-gbk", "GB18030"},
    {"chinese", "GB18030"},
    {"shift_jis", "CP932"},
    {"sjis", "CP932"},
    {"x-sjis", "CP932"},
    {"ms_kanji", "CP932"},
    {"windows-31j", "CP932"},
    {"euc-kr", "CP949"},
    {"ks_c_5601-1987", "CP949"},
    {"big5", "BIG5-HKSCS"},
    {"x-mac-roman", "MACINTOSH"},
    {"mac", "MACINTOSH"}};

// The iconv name for a charset label as a document writes it.
std::string IconvName(std::string_view label) {
  label = TrimHtmlSpace(label);
  if (label.size() >= 2 && (label.front() == '"' || label.front() == '\'')) {
    label = TrimHtmlSpace(label.substr(1, label.size() - 2));
  }
  const std::string lower = AsciiLower(label);
  if (lower.empty()) return {};
  for (const auto& [alias, name] : kCharsetAliases) {
    if (lower == alias) return std::string(name);
  }
  std::string name = lower;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
  return name == "WINDOWS-1252" ? std::string(kWindows1252) : name;
}

// Whether the charset reads ASCII as ASCII, as the markup around the text must
// be: a document in any other (UTF-7, EBCDIC) could not have declared it in
// ASCII, so the declaration is not believed. "+ADw-" is "<" in UTF-7; "\\" and
// "~" are left out, as Japanese code pages may read them as a yen sign and an overline.
bool ReadsAsciiAsAscii(const std::string& charset) {
  constexpr std::string_view kProbe =
      "\t\n\r !\"#$%&'()*,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`"
      "abcdefghijklmnopqrstuvwxyz{|}+ADw-";
  const std::optional<std::string> read = ConvertToUtf8(kProbe, charset);
  return read && *read == kProbe;
}

// A declared charset, or "" when it cannot be the document's.
std::string Believed(std::string charset) {
  if (charset.empty() || charset == kUtf8 || charset == kWindows1252) return charset;
  return ReadsAsciiAsAscii(charset) ? charset : std::string();
}

std::string ByteOrderMarkCharset(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) return std::string(kUtf8);
  if (bytes.starts_with("\xFF\xFE")) return "UTF-16LE";
  if (bytes.starts_with("\xFE\xFF")) return "UTF-16BE";
  return {};
}

// <?xml version="1.0" encoding="windows-1251"?>
std::string XmlDeclarationCharset(std::string_view bytes) {
  if (!bytes.starts_with("<?xml")) return {};
  const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
  const std::size_t key = declaration.find("encoding");
  if (key == std::string_view::npos) return {};
  const std::size_t quote = declaration.find_first_of("\"'", key);
  if (quote == std::string_view::npos) return {};
  const std::size_t end = declaration.find(declaration[quote], quote + 1);
  if (end == std::string_view::npos) return {};
  return IconvName(declaration.substr(quote + 1, end - quote - 1));
}

const GumboAttribute* Attribute(const GumboElement& element, const char* name) {
  return gumbo_get_attribute(&element.attributes, name);
}

// The charset of a <meta charset> or <meta http-equiv="content-type" content="...; charset=...">.
std::string MetaCharset(const GumboElement& meta) {
  if (const GumboAttribute* charset = Attribute(meta, "charset")) return IconvName(charset->value);
  const GumboAttribute* equiv = Attribute(meta, "http-equiv");
  const GumboAttribute* content = Attribute(meta, "content");
  if (equiv == nullptr || content == nullptr ||
      AsciiLower(TrimHtmlSpace(equiv->value)) != "content-type") {
    return {};
  }
  const std::string value = AsciiLower(content->value);
  const std::size_t key = value.find("charset");
  if (key == std::string::npos) return {};
  std::string_view rest = TrimHtmlSpace(std::string_view(value).substr(key + 7));
  if (!rest.starts_with('=')) return {};
  rest = TrimHtmlSpace(rest.substr(1));
  return IconvName(rest.substr(0, rest.find_first_of("; \t")));
}

std::string MetaCharset(std::string_view bytes) {
  const GumboTree tree(bytes.substr(0, kPrescanBytes), HtmlLimits{});
  if (tree.document() == nullptr) return {};
  std::vector<const GumboNode*> pending = {tree.document()};
  while (!pending.empty()) {
    const GumboNode* node = pending.back();
    pending.pop_back();
    const GumboVector* children = nullptr;
    if (node->type == GUMBO_NODE_DOCUMENT) {
      children = &node->v.document.children;
    } else if (node->type == GUMBO_NODE_ELEMENT) {
      if (node->v.element.tag == GUMBO_TAG_META) {
        std::string charset = MetaCharset(node->v.element);
        if (!charset.empty()) return charset;
      }
      children = &node->v.element.children;
    }
    if (children == nullptr) continue;
    for (unsigned i = children->length; i > 0; --i) {
      pending.push_back(static_cast<const GumboNode*>(children->data[i - 1]));
    }
  }
  return {};
}

}  // namespace

std::string DeclaredHtmlCharset(std::string_view bytes) {
  std::string charset = ByteOrderMarkCharset(bytes);
  if (charset.empty()) charset = Believed(XmlDeclarationCharset(bytes));
  if (charset.empty()) charset = Believed(MetaCharset(bytes));
  return charset;
}

std::string HtmlToUtf8(std::string_view bytes) {
  const std::string charset = DeclaredHtmlCharset(bytes);
  if (bytes.starts_with(kUtf8ByteOrderMark)) {
    bytes = SkipUtf8ByteOrderMark(bytes);
  } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    bytes.remove_prefix(2);
  }
  if (charset == kUtf8) return std::string(bytes);  // gumbo replaces invalid sequences itself
  if (charset == kWindows1252) return ToUtf8(DecodeWindows1252(bytes));
  if (!charset.empty()) {
    if (std::optional<std::string> converted = ConvertToUtf8(bytes, charset)) return *converted;
  }
  return Utf8OrWindows1252ToUtf8(bytes);
}

}  // namespace quillet
