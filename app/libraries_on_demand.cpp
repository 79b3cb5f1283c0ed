// The entry points of libxml2, libzip and cmark-gfm that the readers call,
// each loading its library on first use. Linked into the command-line program
// only: an RTF or plain-text book then never maps these libraries, nor ICU and
// libcrypto behind them (the figure is in CMakeLists.txt beside it). glibc
// offers no lazily loaded dependency, so the forwarding is written here; each
// definition must match the library's own declaration, which the compiler checks.
#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm.h>
#include <dlfcn.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <zip.h>

#include <cstddef>
#include <stdexcept>
#include <string>

namespace {

// The library `soname`, loaded once; a missing library stops the command with its reason.
void* Library(const char* soname) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    throw std::runtime_error("no se puede cargar / cannot load " + std::string(soname) + ": " +
                             (reason != nullptr ? reason : ""));
  }
  return library;
}

void* Symbol(void* library, const char* name) {
  void* symbol = dlsym(library, name);
  if (symbol == nullptr) {
    throw std::runtime_error("no se encuentra / cannot find " + std::string(name));
  }
  return symbol;
}

constexpr const char* kSonames[] = {QUILLET_LIBXML2_SONAME, QUILLET_LIBZIP_SONAME,
                                    QUILLET_CMARK_GFM_SONAME, QUILLET_CMARK_GFM_EXTENSIONS_SONAME};

// Library `kIndex` of kSonames, loaded on the first call.
template <std::size_t kIndex>
void* Loaded() {
  static void* const library = Library(kSonames[kIndex]);
  return library;
}

constexpr auto Libxml2 = Loaded<0>;
constexpr auto Libzip = Loaded<1>;
constexpr auto CmarkGfm = Loaded<2>;
constexpr auto CmarkGfmExtensions = Loaded<3>;

// libxml2's own xmlFree, whatever it has been set to.
void FreeThroughLibxml2(void* memory) {
  static auto* const free = static_cast<xmlFreeFunc*>(Symbol(Libxml2(), "xmlFree"));
  (*free)(memory);
}

}  // namespace

// Defines `name` with `parameters` to call the same function of `library`, found once.
#define QUILLET_FORWARD(library, result, name, parameters, arguments)                      \
  result name parameters {                                                                 \
    static auto* const real = reinterpret_cast<decltype(&name)>(Symbol(library(), #name)); \
    return real arguments;                                                                 \
  }

extern "C" {

xmlFreeFunc xmlFree = &FreeThroughLibxml2;

QUILLET_FORWARD(Libxml2, void, xmlInitParser, (void), ())
QUILLET_FORWARD(Libxml2, void, xmlSetExternalEntityLoader, (xmlExternalEntityLoader loader),
                (loader))
QUILLET_FORWARD(Libxml2, xmlParserCtxtPtr, xmlNewParserCtxt, (void), ())
QUILLET_FORWARD(Libxml2, void, xmlFreeParserCtxt, (xmlParserCtxtPtr context), (context))
QUILLET_FORWARD(Libxml2, void, xmlStopParser, (xmlParserCtxtPtr context), (context))
QUILLET_FORWARD(Libxml2, xmlDocPtr, xmlCtxtReadMemory,
                (xmlParserCtxtPtr context, const char* buffer, int size, const char* url,
                 const char* encoding, int options),
                (context, buffer, size, url, encoding, options))
QUILLET_FORWARD(Libxml2, xmlErrorPtr, xmlCtxtGetLastError, (void* context), (context))
QUILLET_FORWARD(Libxml2, void, xmlFreeDoc, (xmlDocPtr document), (document))
QUILLET_FORWARD(Libxml2, xmlNodePtr, xmlDocGetRootElement, (const xmlDoc* document), (document))
QUILLET_FORWARD(Libxml2, xmlChar*, xmlGetProp, (const xmlNode* node, const xmlChar* name),
                (node, name))
QUILLET_FORWARD(Libxml2, xmlChar*, xmlNodeGetContent, (const xmlNode* node), (node))

QUILLET_FORWARD(Libzip, zip_source_t*, zip_source_buffer_create,
                (const void* data, zip_uint64_t length, int freep, zip_error_t* error),
                (data, length, freep, error))
QUILLET_FORWARD(Libzip, void, zip_source_free, (zip_source_t * source), (source))
QUILLET_FORWARD(Libzip, zip_t*, zip_open_from_source,
                (zip_source_t * source, int flags, zip_error_t* error), (source, flags, error))
QUILLET_FORWARD(Libzip, void, zip_discard, (zip_t * archive), (archive))
QUILLET_FORWARD(Libzip, const char*, zip_strerror, (zip_t * archive), (archive))
QUILLET_FORWARD(Libzip, void, zip_error_init, (zip_error_t * error), (error))
QUILLET_FORWARD(Libzip, void, zip_error_fini, (zip_error_t * error), (error))
QUILLET_FORWARD(Libzip, const char*, zip_error_strerror, (zip_error_t * error), (error))
QUILLET_FORWARD(Libzip, zip_int64_t, zip_name_locate,
                (zip_t * archive, const char* name, zip_flags_t flags), (archive, name, flags))
QUILLET_FORWARD(Libzip, int, zip_stat_index,
                (zip_t * archive, zip_uint64_t index, zip_flags_t flags, zip_stat_t* stat),
                (archive, index, flags, stat))
QUILLET_FORWARD(Libzip, zip_file_t*, zip_fopen_index,
                (zip_t * archive, zip_uint64_t index, zip_flags_t flags), (archive, index, flags))
QUILLET_FORWARD(Libzip, zip_int64_t, zip_fread,
                (zip_file_t * file, void* buffer, zip_uint64_t length), (file, buffer, length))
QUILLET_FORWARD(Libzip, int, zip_fclose, (zip_file_t * file), (file))
QUILLET_FORWARD(Libzip, const char*, zip_file_strerror, (zip_file_t * file), (file))

QUILLET_FORWARD(CmarkGfm, cmark_mem*, cmark_get_default_mem_allocator, (), ())
QUILLET_FORWARD(CmarkGfm, cmark_parser*, cmark_parser_new, (int options), (options))
QUILLET_FORWARD(CmarkGfm, void, cmark_parser_free, (cmark_parser * parser), (parser))
QUILLET_FORWARD(CmarkGfm, void, cmark_parser_feed,
                (cmark_parser * parser, const char* buffer, size_t length),
                (parser, buffer, length))
QUILLET_FORWARD(CmarkGfm, cmark_node*, cmark_parser_finish, (cmark_parser * parser), (parser))
QUILLET_FORWARD(CmarkGfm, int, cmark_parser_attach_syntax_extension,
                (cmark_parser * parser, cmark_syntax_extension* extension), (parser, extension))
QUILLET_FORWARD(CmarkGfm, cmark_llist*, cmark_parser_get_syntax_extensions, (cmark_parser * parser),
                (parser))
QUILLET_FORWARD(CmarkGfm, cmark_syntax_extension*, cmark_find_syntax_extension, (const char* name),
                (name))
QUILLET_FORWARD(CmarkGfm, char*, cmark_render_html,
                (cmark_node * root, int options, cmark_llist* extensions),
                (root, options, extensions))
QUILLET_FORWARD(CmarkGfm, void, cmark_node_free, (cmark_node * node), (node))
QUILLET_FORWARD(CmarkGfmExtensions, void, cmark_gfm_core_extensions_ensure_registered, (void), ())

}  // extern "C"
