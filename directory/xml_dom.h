// xml_dom.h -- a small DOM-style XML layer on libxml2: context, validated
// parse, document element, node name, value, parent, children, attributes.
//
// Text nodes are named "#text"; whitespace-only text between elements is
// never delivered. Error codes are libxml2's own.
#pragma once

#include <cstddef>  // Required for: std::size_t
#include <string>   // Required for: std::string

namespace dom {

struct XmlContext;   // one parser context with at most one document
struct XmlNode;      // a node of the parsed document
struct XmlNodeList;  // the children of one node
struct XmlAttrList;  // the attributes of one node

constexpr unsigned parse_validate = 1;          // validate against the declared DTD
constexpr unsigned parse_discard_blanks = 2;    // drop whitespace-only text

// A new parser context, or null with *error_code set.
XmlContext* xmlinit(unsigned* error_code);
// Parses a file into the context; 0 on success, else libxml2's error code.
unsigned xmlparse(XmlContext* context, const char* file_name, const char* encoding, unsigned flags);
// The document element of the parsed document, or null.
XmlNode* getDocumentElement(XmlContext* context);
// A node's name: the element name, or "#text", "#cdata-section" ...
const char* getNodeName(const XmlNode* node);
// A node's value: the text of text nodes, null for elements.
const char* getNodeValue(const XmlNode* node);
// Non-zero when the node has (non-blank) children.
int hasChildNodes(const XmlNode* node);
XmlNodeList* getChildNodes(const XmlNode* node);
unsigned numChildNodes(const XmlNodeList* list);
// The child at index (0 first), in document order; null past the end.
XmlNode* getChildNode(const XmlNodeList* list, unsigned index);
// The parent node, or null at the top.
XmlNode* getParentNode(const XmlNode* node);
int hasAttributes(const XmlNode* node);
XmlAttrList* getAttributes(const XmlNode* node);
unsigned numAttributes(const XmlAttrList* list);
// The name of the node's first attribute, or "" when it has none.
const char* getAttrName(const XmlNode* node);
// The text an element holds: its text and CDATA pieces and the text of the
// internal entities it names, joined in document order and cut at limit
// bytes. Comments, processing instructions and external entities add
// nothing. False when the element holds no piece of text.
bool getElementText(const XmlNode* node, std::size_t limit, std::string& text);
// The line of the file on which the node starts, or 0 when it is not known.
long getLineNumber(const XmlNode* node);
// Releases the context and its document.
void xmlterm(XmlContext* context);

} // namespace dom
