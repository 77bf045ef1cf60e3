// xml_dom.cpp -- the DOM-style XML layer on libxml2: validated parse through
// a guarded entity loader, and node, child and attribute queries.
//
// What the layer delivers as children of a node: elements, text, CDATA
// sections, comments and processing instructions. It never delivers
// whitespace-only text when the parse asked to drop blanks, and it never
// delivers entity references: entities are not expanded into the tree, so
// the text of an external entity cannot reach a caller, and a nest of
// entities that refer to each other cannot multiply the nodes a walk of the
// document visits. Only getElementText reads the text of internal entities,
// bounded in length and depth.
#include "directory/xml_dom.h"

#include "common/console_note.h"
#include "common/data_path.h"

#include <cerrno>   // Required for: errno
#include <cstddef>  // Required for: std::size_t
#include <cstdio>   // Required for: std::snprintf()
#include <cstring>  // Required for: std::strlen(), std::strstr(), strnlen(), std::strerror()
#include <string>   // Required for: std::string, std::to_string()
#include <new>      // Required for: std::nothrow

#include <libxml/globals.h>         // Required for: xmlStructuredError
#include <libxml/parser.h>          // Required for: xmlCtxtReadFile(), options
#include <libxml/parserInternals.h> // Required for: xmlNewInputFromFile()
#include <libxml/SAX2.h>            // Required for: xmlSAX2Characters()
#include <libxml/entities.h>        // Required for: xmlGetDocEntity()
#include <libxml/tree.h>            // Required for: xmlNode, xmlDoc
#include <libxml/xmlerror.h>        // Required for: xmlError, error codes

namespace dom {

// Longest entity path the loader accepts, in bytes.
constexpr std::size_t max_entity_name_length = 255;
// Internal entities met inside one another that getElementText follows.
constexpr int max_entity_nesting = 16;
// Room for the first error message of a parse, terminating zero included.
constexpr std::size_t error_text_size = 160;

// Cursors over child lists, so that a walk over a node's children in order
// steps once per child instead of once per earlier child. A depth-first walk
// keeps one cursor busy per nesting level; deeper walks than this many
// levels stay correct and only walk from the first child more often.
constexpr int child_cursor_count = 8;

// Where the last getChildNode call on one parent stopped.
struct ChildCursor {
    const xmlNode* parent = nullptr;  // the node whose children are walked
    unsigned index = 0;               // index of child among the delivered children
    xmlNode* child = nullptr;         // the delivered child at that index
    unsigned long last_use = 0;       // use stamp, to replace the least recently used
};

struct XmlContext {
    xmlParserCtxtPtr parser = nullptr; // libxml2's parser, reused per parse
    xmlDocPtr document = nullptr;      // the parsed document, or null
    unsigned flags = 0;                // flags of the parse that made document
    int entity_refused = 0;            // flag: the loader refused an entity
    unsigned first_error = 0;          // code of the first error of a parse
    int first_error_line = 0;          // its line in the file, 0 if unknown
    char first_error_text[error_text_size] = {};   // its message, cut to fit
    const char* file_name = "";        // file of the running parse
    ChildCursor cursors[child_cursor_count]; // child-list cursors into document
    unsigned long cursor_uses = 0;     // use stamps handed out so far
};

namespace {

// The context whose parse is running; the loader and the error handler are
// process-wide callbacks of libxml2 and find their context here.
XmlContext* active_context = nullptr;

xmlNode* as_lib(const XmlNode* node) { return reinterpret_cast<xmlNode*>(const_cast<XmlNode*>(node)); }
XmlNode* as_dom(xmlNode* node) { return reinterpret_cast<XmlNode*>(node); }

// True when a name may be opened as a file of the working directory or of a
// folder below it: names of letters, digits, '.', '_' and '-' joined by '/',
// none empty, and no "..". This rules out absolute paths, climbing out, URLs
// (':'), and escapes ('%') that libxml2 would undo.
bool is_plain_local_path(const char* name)
{
    if (name == nullptr || name[0] == '\0' || std::strstr(name, "..") != nullptr)
        return false;
    std::size_t length = 0;
    char previous = '/';
    for (const char* c = name; *c != '\0'; previous = *c++, ++length) {
        bool letter_or_digit = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') ||
                               (*c >= '0' && *c <= '9');
        if (*c == '/' && previous == '/')
            return false;  // a leading '/' or an empty folder name
        if (!letter_or_digit && *c != '.' && *c != '_' && *c != '-' && *c != '/')
            return false;
    }
    return previous != '/' && length <= max_entity_name_length;
}

// Records the first error of the running parse: its code, line and message.
void note_error(XmlContext* context, unsigned code, int line, const char* text)
{
    if (context == nullptr || context->first_error != 0 || code == 0)
        return;
    context->first_error = code;
    context->first_error_line = line;
    std::snprintf(context->first_error_text, sizeof context->first_error_text, "%s",
                  text != nullptr ? text : "");
    std::size_t length = std::strlen(context->first_error_text);
    while (length > 0 && (context->first_error_text[length - 1] == '\n' ||
                          context->first_error_text[length - 1] == '\r'))
        context->first_error_text[--length] = '\0';
}

// libxml2's structured error callback during a parse: keeps the first error
// instead of printing every one of them.
void on_library_error(void* user_data, xmlErrorPtr error)
{
    if (error == nullptr || error->level < XML_ERR_ERROR)
        return;
    note_error(static_cast<XmlContext*>(user_data), static_cast<unsigned>(error->code),
               error->line, error->message);
}

// Entity loader during a parse: opens plain paths below the working
// directory (the document and its DTD) and refuses everything else.
xmlParserInputPtr guarded_entity_loader(const char* url, const char*, xmlParserCtxtPtr parser)
{
    // A document read from a lookup folder names its DTD there; the DTD is
    // then looked up by its own name, file by file like every data file.
    const std::string name = url != nullptr ? data_file_name(url) : "";
    if (!is_plain_local_path(name.c_str())) {
        if (active_context != nullptr)
            active_context->entity_refused = 1;
        char text[error_text_size];
        std::snprintf(text, sizeof text, "refused to load \"%.60s\": not a plain path "
                      "below the working directory", url != nullptr ? url : "");
        note_error(active_context, XML_IO_LOAD_ERROR, 0, text);
        return nullptr;
    }
    errno = 0;
    xmlParserInputPtr input = xmlNewInputFromFile(parser, data_file_path(name).c_str());
    if (input == nullptr) {
        const int error = errno;
        char text[error_text_size];
        std::snprintf(text, sizeof text, "cannot open \"%.60s\": %s", url,
                      error != 0 ? std::strerror(error) : "not readable");
        note_error(active_context, XML_IO_LOAD_ERROR, 0, text);
    }
    return input;
}

// True for text that holds nothing but blanks, tabs and line ends.
bool is_blank_text(const xmlChar* text)
{
    if (text == nullptr)
        return true;
    for (; *text != '\0'; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r')
            return false;
    return true;
}

// True when the layer hands this child node to its callers.
bool is_delivered(const xmlNode* node)
{
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return true;
    case XML_TEXT_NODE: {
        const XmlContext* context =
            node->doc != nullptr ? static_cast<const XmlContext*>(node->doc->_private) : nullptr;
        bool drop_blanks = context != nullptr && (context->flags & parse_discard_blanks) != 0;
        return !(drop_blanks && is_blank_text(node->content));
    }
    default:
        return false;  // entity references, DTD, XInclude markers ...
    }
}

// The error code to report for a failed parse: never 0.
unsigned failure_code(const XmlContext* context)
{
    if (context->first_error != 0)
        return context->first_error;
    if (context->parser->lastError.code != 0)
        return static_cast<unsigned>(context->parser->lastError.code);
    if (context->parser->errNo != 0)
        return static_cast<unsigned>(context->parser->errNo);
    const xmlError* last = xmlGetLastError();
    if (last != nullptr && last->code != 0)
        return static_cast<unsigned>(last->code);
    return XML_ERR_INTERNAL_ERROR;
}

// One short line on the standard error stream saying why a parse failed.
void report_failure(const XmlContext* context, unsigned code)
{
    const char* text = context->first_error_text[0] != '\0' ? context->first_error_text
                                                            : "document rejected";
    report_problem(context->file_name, context->first_error_line, std::string(text) + " (error " + std::to_string(code) + ")", true);
}

// Runs libxml2's parse with the guarded loader and the error callback in
// place, and puts back the previous ones afterwards.
xmlDocPtr read_guarded(XmlContext* context, const char* file_name, const char* encoding,
                       int options)
{
    xmlExternalEntityLoader previous_loader = xmlGetExternalEntityLoader();
    xmlStructuredErrorFunc previous_handler = xmlStructuredError;
    void* previous_handler_context = xmlStructuredErrorContext;
    active_context = context;
    xmlSetExternalEntityLoader(guarded_entity_loader);
    xmlSetStructuredErrorFunc(context, on_library_error);

    xmlDocPtr document = xmlCtxtReadFile(context->parser, data_file_path(file_name).c_str(), encoding, options);

    xmlSetStructuredErrorFunc(previous_handler_context, previous_handler);
    xmlSetExternalEntityLoader(previous_loader);
    active_context = nullptr;
    return document;
}

// The cursor of parent's child list, or the least recently used one to
// take over for it.
ChildCursor& cursor_for(XmlContext& context, const xmlNode* parent)
{
    ChildCursor* oldest = &context.cursors[0];
    for (ChildCursor& cursor : context.cursors) {
        if (cursor.parent == parent)
            return cursor;
        if (cursor.last_use < oldest->last_use)
            oldest = &cursor;
    }
    *oldest = ChildCursor{};
    return *oldest;
}

// Forgets every cursor: their nodes belong to a document that goes away.
void reset_cursors(XmlContext* context)
{
    for (ChildCursor& cursor : context->cursors)
        cursor = ChildCursor{};
    context->cursor_uses = 0;
}

// The context that parsed the node's document, or null.
XmlContext* context_of(const xmlNode* node)
{
    return node->doc != nullptr ? static_cast<XmlContext*>(node->doc->_private) : nullptr;
}

// Releases the document of a context, if it holds one.
void drop_document(XmlContext* context)
{
    reset_cursors(context);
    if (context->document != nullptr) {
        xmlFreeDoc(context->document);
        context->document = nullptr;
    }
}

// Appends the text of a run of sibling nodes to text, up to limit bytes:
// text and CDATA as written, internal entities by their own text, nothing
// from comments, processing instructions, elements or external entities.
// True when any piece of text was met.
bool append_text(const xmlNode* first, std::size_t limit, int nesting, std::string& text)
{
    bool any = false;
    for (const xmlNode* n = first; n != nullptr && text.size() < limit; n = n->next) {
        if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
            any = true;
            const char* piece = n->content != nullptr ? reinterpret_cast<const char*>(n->content) : "";
            text.append(piece, strnlen(piece, limit - text.size()));
        } else if (n->type == XML_ENTITY_REF_NODE && nesting < max_entity_nesting) {
            const xmlEntity* entity = xmlGetDocEntity(n->doc, n->name);
            if (entity != nullptr && entity->etype == XML_INTERNAL_GENERAL_ENTITY)
                any = append_text(entity->children, limit, nesting + 1, text) || any;
        }
    }
    return any;
}

} // namespace

// A new parser context, or null with *error_code set.
XmlContext* xmlinit(unsigned* error_code)
{
    xmlInitParser();
    XmlContext* context = new (std::nothrow) XmlContext;
    if (context != nullptr)
        context->parser = xmlNewParserCtxt();
    if (context == nullptr || context->parser == nullptr) {
        delete context;
        if (error_code != nullptr)
            *error_code = XML_ERR_NO_MEMORY;
        return nullptr;
    }
    if (error_code != nullptr)
        *error_code = 0;
    return context;
}

// Parses a file into the context; 0 on success, else libxml2's error code.
// Validation needs a DTD: a document without one is rejected. Entities are
// never substituted, nothing is fetched from the network, and the default
// limits on entity amplification and nesting depth stay in force.
unsigned xmlparse(XmlContext* context, const char* file_name, const char* encoding, unsigned flags)
{
    if (context == nullptr || file_name == nullptr)
        return XML_ERR_INTERNAL_ERROR;
    drop_document(context);
    context->flags = flags;
    context->entity_refused = 0;
    context->first_error = 0;
    context->first_error_line = 0;
    context->first_error_text[0] = '\0';
    context->file_name = file_name;

    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    if (flags & parse_validate)
        options |= XML_PARSE_DTDVALID;
    // Blank text that is never delivered need not be built at all: libxml2
    // leaves out what it can prove to be blank layout, the filter the rest.
    if (flags & parse_discard_blanks)
        options |= XML_PARSE_NOBLANKS;
    else  // the reused parser keeps the dropping handler of an earlier parse
        context->parser->sax->ignorableWhitespace = xmlSAX2Characters;
    xmlDocPtr document = read_guarded(context, file_name, encoding, options);

    // A refused entity rejects the document even where libxml2 would go on
    // without it: the document asked for a file it may not have.
    bool rejected = document == nullptr || context->parser->wellFormed == 0 ||
                    ((flags & parse_validate) && context->parser->valid == 0) ||
                    context->entity_refused;
    if (rejected) {
        unsigned code = failure_code(context);
        report_failure(context, code);
        if (document != nullptr)
            xmlFreeDoc(document);
        return code;
    }
    document->_private = context;  // lets child queries see the flags
    context->document = document;
    return 0;
}

// The document element of the parsed document, or null.
XmlNode* getDocumentElement(XmlContext* context)
{
    if (context == nullptr || context->document == nullptr)
        return nullptr;
    return as_dom(xmlDocGetRootElement(context->document));
}

// A node's name: the element name, or "#text", "#cdata-section" ...
const char* getNodeName(const XmlNode* node)
{
    const xmlNode* n = as_lib(node);
    if (n == nullptr)
        return "";
    switch (n->type) {
    case XML_TEXT_NODE: return "#text";
    case XML_CDATA_SECTION_NODE: return "#cdata-section";
    case XML_COMMENT_NODE: return "#comment";
    case XML_DOCUMENT_NODE: return "#document";
    default: return n->name != nullptr ? reinterpret_cast<const char*>(n->name) : "";
    }
}

// A node's value: the text of text nodes, null for elements.
const char* getNodeValue(const XmlNode* node)
{
    const xmlNode* n = as_lib(node);
    if (n == nullptr)
        return nullptr;
    switch (n->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return n->content != nullptr ? reinterpret_cast<const char*>(n->content) : "";
    default:
        return nullptr;
    }
}

// Non-zero when the node has (non-blank) children.
int hasChildNodes(const XmlNode* node)
{
    return numChildNodes(getChildNodes(node)) > 0 ? 1 : 0;
}

// The children of a node; the list is the node itself, seen through the filter.
XmlNodeList* getChildNodes(const XmlNode* node)
{
    return reinterpret_cast<XmlNodeList*>(const_cast<XmlNode*>(node));
}

// The number of children the layer delivers.
unsigned numChildNodes(const XmlNodeList* list)
{
    const xmlNode* parent = reinterpret_cast<const xmlNode*>(list);
    if (parent == nullptr || parent->type != XML_ELEMENT_NODE)
        return 0;
    unsigned count = 0;
    for (const xmlNode* child = parent->children; child != nullptr; child = child->next)
        if (is_delivered(child))
            ++count;
    return count;
}

// The child at index (0 first), in document order; null past the end.
XmlNode* getChildNode(const XmlNodeList* list, unsigned index)
{
    const xmlNode* parent = reinterpret_cast<const xmlNode*>(list);
    if (parent == nullptr || parent->type != XML_ELEMENT_NODE)
        return nullptr;
    XmlContext* context = context_of(parent);
    ChildCursor* cursor = context != nullptr ? &cursor_for(*context, parent) : nullptr;
    xmlNode* child = parent->children;
    unsigned skip = index;
    // Go on from the cursor when it stands at or before the child asked for.
    if (cursor != nullptr && cursor->child != nullptr && cursor->index <= index) {
        child = cursor->child;
        skip = index - cursor->index;
    }
    for (; child != nullptr; child = child->next) {
        if (!is_delivered(child))
            continue;
        if (skip == 0) {
            if (cursor != nullptr)
                *cursor = ChildCursor{parent, index, child, ++context->cursor_uses};
            return as_dom(child);
        }
        --skip;
    }
    return nullptr;
}

// The parent node, or null at the top (the document element has none).
XmlNode* getParentNode(const XmlNode* node)
{
    const xmlNode* n = as_lib(node);
    if (n == nullptr || n->parent == nullptr || n->parent->type != XML_ELEMENT_NODE)
        return nullptr;
    return as_dom(n->parent);
}

// Non-zero when the node is an element with attributes.
int hasAttributes(const XmlNode* node)
{
    const xmlNode* n = as_lib(node);
    return n != nullptr && n->type == XML_ELEMENT_NODE && n->properties != nullptr ? 1 : 0;
}

// The attributes of a node; the list is the node itself.
XmlAttrList* getAttributes(const XmlNode* node)
{
    return reinterpret_cast<XmlAttrList*>(const_cast<XmlNode*>(node));
}

// The number of attributes in the list.
unsigned numAttributes(const XmlAttrList* list)
{
    const XmlNode* node = reinterpret_cast<const XmlNode*>(list);
    if (!hasAttributes(node))
        return 0;
    unsigned count = 0;
    for (const xmlAttr* attribute = as_lib(node)->properties; attribute != nullptr;
         attribute = attribute->next)
        ++count;
    return count;
}

// The name of the node's first attribute, or "" when it has none.
const char* getAttrName(const XmlNode* node)
{
    if (!hasAttributes(node))
        return "";
    const xmlAttr* first = as_lib(node)->properties;
    return first->name != nullptr ? reinterpret_cast<const char*>(first->name) : "";
}

// The line of the file on which the node starts, or 0 when it is not known.
long getLineNumber(const XmlNode* node)
{
    const xmlNode* n = as_lib(node);
    if (n == nullptr)
        return 0;
    const long line = xmlGetLineNo(n);
    return line > 0 ? line : 0;
}

// The text an element holds, pieces joined in document order, at most limit
// bytes; false when it holds no text at all.
bool getElementText(const XmlNode* node, std::size_t limit, std::string& text)
{
    text.clear();
    const xmlNode* n = as_lib(node);
    if (n == nullptr || n->type != XML_ELEMENT_NODE)
        return false;
    return append_text(n->children, limit, 0, text);
}

// Releases the context and its document.
void xmlterm(XmlContext* context)
{
    if (context == nullptr)
        return;
    drop_document(context);
    xmlFreeParserCtxt(context->parser);
    delete context;
}

} // namespace dom
