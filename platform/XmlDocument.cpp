#include "platform/XmlDocument.h"
#include "platform/XmlCp1252.h"
#include "platform/XmlErrorText.h"
#include "platform/MislabelledUtf8.h"

#include "platform/FileFault.h"
#include "platform/RunError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/entities.h>
#include <libxml/hash.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>
#include <utility>
#include <mutex>
#include <unordered_set>

namespace {

// Text gathered below one node never grows past this. Only entities declared in a document's
// own DTD can make it large (a Séneca file has none); reaching it ends the run.
constexpr size_t MaxTextBytes = 64u * 1024u * 1024u;
constexpr int MaxEntityDepth = 20;
// A file is read and parsed this much at a time.
constexpr qint64 ReadPieceSize = 256 * 1024;
// No network, no DTD loading, no entity substitution (so no external entity is ever read and
// internal ones stay references); blank text between elements is dropped; a short text (most
// Séneca values) is kept inside its node instead of in an allocation of its own. XML_PARSE_HUGE
// stays off, so libxml2's own limits bound nesting depth and entity expansion.
constexpr int ParseOptions = XML_PARSE_NONET | XML_PARSE_NOBLANKS | XML_PARSE_COMPACT;

const xmlChar *X(const char *s) { return reinterpret_cast<const xmlChar *>(s); }
const char *C(const xmlChar *s) { return reinterpret_cast<const char *>(s); }
std::string str(const xmlChar *s) { return s ? std::string(C(s)) : std::string(); }

struct XmlFree {
    void operator()(xmlChar *p) const { xmlFree(p); }
};
struct ParserCtxtFree {
    void operator()(xmlParserCtxt *p) const { xmlFreeParserCtxt(p); }
};
struct XPathCtxtFree {
    void operator()(xmlXPathContext *p) const { xmlXPathFreeContext(p); }
};
struct XPathObjectFree {
    void operator()(xmlXPathObject *p) const { xmlXPathFreeObject(p); }
};

// What this adapter keeps beside a libxml2 document (hung on doc->_private): whether the
// parsed bytes began with a declaration, and the elements created and not yet freed, so that
// one created but never appended is freed with its document.
struct DocState {
    bool hasDeclaration = false;
    std::unordered_set<xmlNode *> created;
};

DocState *state(const xmlDoc *doc) { return doc ? static_cast<DocState *>(doc->_private) : nullptr; }

// External resources are never fetched, whatever asks for them (DTDs, external entities).
xmlParserInputPtr refuseExternal(const char *, const char *, xmlParserCtxtPtr) { return nullptr; }

void initLibxml() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternal);
        RegisterCp1252WithLibxml();
    });
}

xmlDoc *newDoc(bool hasDeclaration) {
    initLibxml();
    xmlDoc *doc = xmlNewDoc(X("1.0"));
    if (!doc)
        throw std::bad_alloc();
    doc->_private = new DocState{hasDeclaration, {}};
    return doc;
}

void freeDoc(xmlDoc *doc) {
    if (!doc)
        return;
    if (DocState *st = state(doc)) {
        // Collect first: freeing a detached element frees its created descendants too.
        std::vector<xmlNode *> detached;
        for (xmlNode *n : st->created)
            if (n->parent == nullptr)
                detached.push_back(n);
        for (xmlNode *n : detached)
            xmlFreeNode(n);
        delete st;
        doc->_private = nullptr;
    }
    xmlFreeDoc(doc);
}

void forgetSubtree(DocState *st, xmlNode *node) {
    if (!st || st->created.empty())
        return;
    st->created.erase(node);
    if (node->type == XML_ELEMENT_NODE)
        for (xmlNode *c = node->children; c; c = c->next)
            forgetSubtree(st, c);
}

// Captures the first error that libxml2 reports while it lives (warnings only when no error
// follows), and keeps libxml2 from printing anything.
class ErrorCapture {
public:
    ErrorCapture() : m_oldHandler(xmlStructuredError), m_oldContext(xmlStructuredErrorContext) {
        xmlSetStructuredErrorFunc(this, &ErrorCapture::handle);
    }
    ~ErrorCapture() { xmlSetStructuredErrorFunc(m_oldContext, m_oldHandler); }
    ErrorCapture(const ErrorCapture &) = delete;
    ErrorCapture &operator=(const ErrorCapture &) = delete;

    bool any() const { return m_haveError || m_haveWarning; }
    bool anyError() const { return m_haveError; }
    const XmlDocument::ParseError &first() const { return m_haveError ? m_error : m_warning; }

private:
    static void handle(void *self, xmlErrorPtr error) {
        auto *me = static_cast<ErrorCapture *>(self);
        if (!error)
            return;
        const bool isError = error->level >= XML_ERR_ERROR;
        if (isError ? me->m_haveError : me->m_haveWarning)
            return;
        XmlDocument::ParseError &slot = isError ? me->m_error : me->m_warning;
        slot.line = error->line;
        slot.reason = XmlErrorText(*error);
        (isError ? me->m_haveError : me->m_haveWarning) = true;
    }

    xmlStructuredErrorFunc m_oldHandler;
    void *m_oldContext;
    bool m_haveError = false;
    bool m_haveWarning = false;
    XmlDocument::ParseError m_error;
    XmlDocument::ParseError m_warning;
};

// Text is gathered until `out` holds `limit` bytes (the rest is left out); past MaxTextBytes
// the run ends.
void appendChildrenText(std::string &out, const xmlNode *first, int entityDepth, size_t limit = MaxTextBytes + 1);

void appendNodeText(std::string &out, const xmlNode *node, int entityDepth, size_t limit = MaxTextBytes + 1) {
    if (out.size() >= limit)
        return;
    switch (node->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
        if (node->content)
            out.append(C(node->content), std::min(std::strlen(C(node->content)), limit - out.size()));
        break;
    case XML_ELEMENT_NODE:
        appendChildrenText(out, node->children, entityDepth, limit);
        break;
    case XML_ENTITY_REF_NODE: {
        // Only an entity of the document's own DTD gets here; external ones are never loaded
        // and so have no content.
        const xmlEntity *ent = xmlGetDocEntity(node->doc, node->name);
        if (ent && ent->etype == XML_INTERNAL_GENERAL_ENTITY) {
            if (entityDepth >= MaxEntityDepth)
                throw RunError(QStringLiteral("El documento XML anida entidades a demasiada profundidad."));
            appendChildrenText(out, ent->children, entityDepth + 1, limit);
        }
        break;
    }
    default: // comments, processing instructions
        break;
    }
    if (out.size() > MaxTextBytes)
        throw RunError(QStringLiteral("El texto de un nodo del documento XML supera el límite de %1 bytes.")
                           .arg(MaxTextBytes));
}

void appendChildrenText(std::string &out, const xmlNode *first, int entityDepth, size_t limit) {
    for (const xmlNode *c = first; c && out.size() < limit; c = c->next)
        appendNodeText(out, c, entityDepth, limit);
}

std::string_view view(const xmlChar *s) { return s ? std::string_view(C(s)) : std::string_view(); }

void appendEscaped(std::string &out, std::string_view text, bool inAttribute) {
    const std::string_view special = inAttribute ? std::string_view("&<>\"") : std::string_view("&<>");
    while (!text.empty()) {
        const size_t plain = std::min(text.find_first_of(special), text.size());
        out.append(text.data(), plain);
        text.remove_prefix(plain);
        if (text.empty())
            break;
        const char c = text.front();
        text.remove_prefix(1);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"':
            if (inAttribute) {
                out += "&quot;";
                break;
            }
            [[fallthrough]];
        default: out += c;
        }
    }
}

void appendQualifiedName(std::string &out, const xmlNode *node) {
    if (node->ns && node->ns->prefix) {
        out += view(node->ns->prefix);
        out += ':';
    }
    out += view(node->name);
}

// Serializes in UTF-8 the same way whether or not the document has a declaration (libxml2's
// own dump turns non-ASCII characters into references in one case and not in the other).
// Once `out` holds `limit` bytes the rest is left out (it then ends anywhere).
void appendMarkup(std::string &out, const xmlNode *node, size_t limit = std::string::npos) {
    if (out.size() >= limit)
        return;
    switch (node->type) {
    case XML_ELEMENT_NODE: {
        out += '<';
        appendQualifiedName(out, node);
        for (const xmlNs *ns = node->nsDef; ns; ns = ns->next) {
            out += ns->prefix ? " xmlns:" + str(ns->prefix) + "=\"" : std::string(" xmlns=\"");
            appendEscaped(out, str(ns->href), true);
            out += '"';
        }
        for (const xmlAttr *a = node->properties; a; a = a->next) {
            out += ' ';
            if (a->ns && a->ns->prefix) {
                out += view(a->ns->prefix);
                out += ':';
            }
            out += view(a->name);
            out += "=\"";
            std::string value;
            appendChildrenText(value, a->children, 0);
            appendEscaped(out, value, true);
            out += '"';
        }
        if (!node->children) {
            out += "/>";
            break;
        }
        out += '>';
        for (const xmlNode *c = node->children; c && out.size() < limit; c = c->next)
            appendMarkup(out, c, limit);
        if (out.size() < limit) {
            out += "</";
            appendQualifiedName(out, node);
            out += '>';
        }
        break;
    }
    case XML_TEXT_NODE:
        appendEscaped(out, view(node->content), false);
        break;
    case XML_CDATA_SECTION_NODE:
        out += "<![CDATA[" + str(node->content) + "]]>";
        break;
    case XML_COMMENT_NODE:
        out += "<!--" + str(node->content) + "-->";
        break;
    case XML_PI_NODE:
        out += "<?" + str(node->name);
        if (node->content && *node->content)
            out += ' ' + str(node->content);
        out += "?>";
        break;
    case XML_ENTITY_REF_NODE:
        out += '&' + str(node->name) + ';';
        break;
    default:
        break;
    }
}

[[noreturn]] void nullNodeError(const char *operation) {
    throw RunError(QStringLiteral("Operación «%1» sobre un nodo XML inexistente.").arg(QString::fromLatin1(operation)));
}

XmlNodeList evaluate(xmlDoc *doc, xmlNode *context, const char *path) {
    if (!doc || !path)
        return {};
    initLibxml();
    std::unique_ptr<xmlXPathContext, XPathCtxtFree> ctxt(xmlXPathNewContext(doc));
    if (!ctxt)
        throw std::bad_alloc();
    ctxt->node = context ? context : reinterpret_cast<xmlNode *>(doc);
    ErrorCapture errors;
    std::unique_ptr<xmlXPathObject, XPathObjectFree> result(xmlXPathEvalExpression(X(path), ctxt.get()));
    if (!result)
        throw RunError(QStringLiteral("La ruta XML «%1» no es válida: %2.")
                           .arg(QString::fromUtf8(path),
                                errors.any() ? errors.first().reason : QStringLiteral("error desconocido")));
    std::vector<XmlNode> nodes;
    if (result->type == XPATH_NODESET && result->nodesetval) {
        const xmlNodeSet *set = result->nodesetval;
        nodes.reserve(static_cast<size_t>(set->nodeNr));
        for (int i = 0; i < set->nodeNr; ++i)
            nodes.emplace_back(set->nodeTab[i]);
    }
    return XmlNodeList(std::move(nodes));
}

// Whether the bytes start with an XML declaration (after a byte-order mark, in UTF-8 or
// UTF-16); libxml2 keeps no trace of it in the tree.
bool startsWithDeclaration(std::string_view bytes) {
    static const std::string utf8 = "<?xml";
    static const std::string utf8Bom = "\xEF\xBB\xBF<?xml";
    static const std::string utf16le("<\0?\0x\0m\0l\0", 10);
    static const std::string utf16be("\0<\0?\0x\0m\0l", 10);
    auto startsWith = [&](const std::string &prefix, size_t offset) {
        return bytes.size() >= offset + prefix.size() && bytes.compare(offset, prefix.size(), prefix) == 0;
    };
    return startsWith(utf8, 0) || startsWith(utf8Bom, 0) || startsWith(utf16le, 2) || startsWith(utf16be, 2);
}

// The first entity that the document's DTD declares as external (its content would come from
// a file or an address): empty when there is none.
std::string firstExternalEntity(const xmlDoc *doc) {
    std::string found;
    if (!doc->intSubset || !doc->intSubset->entities)
        return found;
    xmlHashScan(
        static_cast<xmlHashTablePtr>(doc->intSubset->entities),
        [](void *payload, void *data, const xmlChar *name) {
            auto *first = static_cast<std::string *>(data);
            const auto *entity = static_cast<const xmlEntity *>(payload);
            if (first->empty() && entity->etype != XML_INTERNAL_GENERAL_ENTITY &&
                entity->etype != XML_INTERNAL_PARAMETER_ENTITY && entity->etype != XML_INTERNAL_PREDEFINED_ENTITY)
                *first = str(name);
        },
        &found);
    return found;
}

// The line (from 1) where the bytes first hold `text`; 0 when they do not.
int lineOf(std::string_view bytes, const std::string &text) {
    const size_t at = bytes.find(text);
    return at == std::string_view::npos ? 0 : 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + at, '\n'));
}

// Hands the complete third-level elements of a document that is being parsed to a sink and
// frees those it lets go. An element is complete once it is no longer on the parser's stack of
// open elements. The last child of an element still open is left for a later pass: the parser
// appends to that element after its last child, and may merge new text into a text node that
// would become the last child.
class ThirdLevelPruner {
public:
    ThirdLevelPruner(xmlParserCtxt *ctxt, const XmlDocument::ThirdLevelSink &sink) : m_ctxt(ctxt), m_sink(sink) {}

    void prune(int failed) {
        if (!m_sink || failed || !m_ctxt->myDoc)
            return;
        xmlNode *root = xmlDocGetRootElement(m_ctxt->myDoc);
        if (!root)
            return;
        for (xmlNode *a = root->children; a; a = a->next) {
            if (a->type != XML_ELEMENT_NODE)
                continue;
            for (xmlNode *b = a->children; b; b = b->next)
                if (b->type == XML_ELEMENT_NODE)
                    pruneChildren(b);
        }
    }

private:
    bool isOpen(const xmlNode *node, int depth) const {
        return m_ctxt->nodeNr > depth && m_ctxt->nodeTab[depth] == node;
    }

    void pruneChildren(xmlNode *parent) {
        const bool parentOpen = isOpen(parent, 2);
        for (xmlNode *c = parent->children; c;) {
            xmlNode *next = c->next;
            if (c->type == XML_ELEMENT_NODE && !isOpen(c, 3) && !(parentOpen && !next) && !m_kept.count(c)) {
                if (m_sink(XmlNode(c))) {
                    xmlUnlinkNode(c);
                    xmlFreeNode(c);
                } else {
                    m_kept.insert(c);
                }
            }
            c = next;
        }
    }

    xmlParserCtxt *m_ctxt;
    const XmlDocument::ThirdLevelSink &m_sink;
    std::unordered_set<const xmlNode *> m_kept;
};

} // namespace

// ---- XmlNode ----

XmlNode XmlNode::parent() const {
    return XmlNode(m_node && m_node->parent && m_node->parent->type != XML_DOCUMENT_NODE ? m_node->parent : nullptr);
}

bool XmlNode::isElementNamed(const char *name) const {
    return m_node && m_node->type == XML_ELEMENT_NODE && !m_node->ns && name && std::strcmp(C(m_node->name), name) == 0;
}

std::string XmlNode::name() const { return m_node ? str(m_node->name) : std::string(); }

std::string XmlNode::text() const {
    std::string out;
    if (!m_node)
        return out;
    switch (m_node->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
        appendChildrenText(out, m_node->children, 0);
        break;
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        out = str(m_node->content);
        break;
    default:
        appendNodeText(out, m_node, 0);
        break;
    }
    return out;
}

std::string XmlNode::textPrefix(std::size_t bytes) const {
    std::string out;
    if (m_node && m_node->type == XML_ELEMENT_NODE)
        appendChildrenText(out, m_node->children, 0, bytes);
    else if (m_node)
        out = text().substr(0, bytes);
    return out;
}

std::string XmlNode::markup() const {
    std::string out;
    if (m_node)
        appendMarkup(out, m_node);
    return out;
}

std::string XmlNode::attribute(const char *name) const {
    if (!m_node || m_node->type != XML_ELEMENT_NODE)
        return {};
    const xmlAttr *attr = xmlHasProp(m_node, X(name));
    std::string out;
    if (attr && attr->type == XML_ATTRIBUTE_NODE)
        appendChildrenText(out, attr->children, 0);
    return out;
}

bool XmlNode::attributeIs(const char *name, std::string_view value) const {
    if (!m_node || m_node->type != XML_ELEMENT_NODE)
        return value.empty();
    const xmlAttr *attr = xmlHasProp(m_node, X(name));
    if (!attr || attr->type != XML_ATTRIBUTE_NODE)
        return value.empty();
    // A value of plain text is one text node; one with entity references is gathered whole.
    const xmlNode *only = attr->children;
    if (!only)
        return value.empty();
    if (only->type == XML_TEXT_NODE && !only->next)
        return view(only->content) == value;
    return attribute(name) == value;
}

bool XmlNode::hasAttribute(const char *name) const {
    if (!m_node || m_node->type != XML_ELEMENT_NODE)
        return false;
    const xmlAttr *attr = xmlHasProp(m_node, X(name));
    return attr && attr->type == XML_ATTRIBUTE_NODE; // not a default from a DTD

}

std::string XmlNode::markupPrefix(std::size_t bytes) const {
    std::string out;
    out.reserve(std::min<std::size_t>(bytes, 256)); // the usual record value fits at once
    if (m_node)
        appendMarkup(out, m_node, bytes);
    return out;
}

XmlNode XmlNode::firstChild() const { return XmlNode(m_node ? m_node->children : nullptr); }

XmlNodeList XmlNode::select(const char *path) const {
    if (!m_node)
        return {};
    return evaluate(m_node->doc, m_node, path);
}

XmlNodeList XmlNode::childElements(const char *name) const {
    std::vector<XmlNode> nodes;
    if (!m_node || !m_node->doc || !name)
        return XmlNodeList(std::move(nodes));
    // The nodes whose child axis can hold elements; an attribute's children, for one, are
    // text only, and a path finds none there.
    switch (m_node->type) {
    case XML_ELEMENT_NODE:
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_ENTITY_NODE:
        break;
    default:
        return XmlNodeList(std::move(nodes));
    }
    for (xmlNode *c = m_node->children; c; c = c->next)
        if (c->type == XML_ELEMENT_NODE && c->ns == nullptr && xmlStrEqual(c->name, X(name)))
            nodes.emplace_back(c);
    return XmlNodeList(std::move(nodes));
}

XmlNode XmlNode::appendChild(XmlNode child) {
    if (!m_node || child.isNull())
        nullNodeError("appendChild");
    if (child.m_node->doc != m_node->doc)
        throw RunError(QStringLiteral("No se puede añadir un nodo de otro documento XML."));
    for (const xmlNode *p = m_node; p; p = p->parent)
        if (p == child.m_node)
            throw RunError(QStringLiteral("No se puede añadir un nodo XML dentro de sí mismo."));
    xmlUnlinkNode(child.m_node);
    return XmlNode(xmlAddChild(m_node, child.m_node));
}

void XmlNode::removeChild(XmlNode child) {
    if (!m_node || child.isNull())
        nullNodeError("removeChild");
    if (child.m_node->parent != m_node)
        throw RunError(QStringLiteral("El nodo XML «%1» no es hijo de «%2».")
                           .arg(QString::fromStdString(child.name()), QString::fromStdString(name())));
    xmlUnlinkNode(child.m_node);
    forgetSubtree(state(m_node->doc), child.m_node);
    xmlFreeNode(child.m_node);
}

void XmlNode::setAttribute(const char *name, const std::string &utf8Value) {
    if (!m_node || m_node->type != XML_ELEMENT_NODE)
        nullNodeError("setAttribute");
    // xmlSetProp stores the value as given (no entity parsing).
    if (!xmlSetProp(m_node, X(name), X(utf8Value.c_str())))
        throw std::bad_alloc();
}

void XmlNode::setAttribute(const char *name, long long value) { setAttribute(name, std::to_string(value)); }

void XmlNode::setText(const std::string &utf8Text) {
    if (!m_node || m_node->type != XML_ELEMENT_NODE)
        nullNodeError("setText");
    DocState *st = state(m_node->doc);
    for (xmlNode *c = m_node->children; c; c = c->next)
        forgetSubtree(st, c);
    xmlNodeSetContent(m_node, nullptr); // frees the children
    // An empty text leaves an empty element, written as <name/>.
    if (!utf8Text.empty()) {
        xmlNode *text = xmlNewDocTextLen(m_node->doc, X(utf8Text.c_str()), static_cast<int>(utf8Text.size()));
        if (!text || !xmlAddChild(m_node, text))
            throw std::bad_alloc();
    }
}

// ---- XmlNodeList ----

XmlNode XmlNodeList::item(int index) const {
    if (index < 0 || index >= length())
        return {};
    return m_nodes[static_cast<size_t>(index)];
}

// ---- XmlDocument ----

XmlDocument::XmlDocument() : m_doc(newDoc(false)) {}

XmlDocument::~XmlDocument() { freeDoc(m_doc); }

XmlDocument::XmlDocument(XmlDocument &&other) noexcept
    : m_doc(std::exchange(other.m_doc, nullptr)), m_error(std::move(other.m_error)) {}

XmlDocument &XmlDocument::operator=(XmlDocument &&other) noexcept {
    if (this != &other) {
        freeDoc(m_doc);
        m_doc = std::exchange(other.m_doc, nullptr);
        m_error = std::move(other.m_error);
    }
    return *this;
}

bool XmlDocument::load(const QString &path) { return load(path, {}); }

bool XmlDocument::load(const QString &path, const ThirdLevelSink &sink) {
    initLibxml();
    freeDoc(std::exchange(m_doc, newDoc(false)));
    m_error = {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = {0, DescribeFileError(file), true};
        return false;
    }
    // Fed to the parser piece by piece: neither the file's bytes nor libxml2's decoded copy
    // of them are ever held whole, only the tree they make.
    ErrorCapture errors;
    Utf8Scan scan;
    QByteArray piece = file.read(ReadPieceSize);
    const std::string head(piece.constData(), static_cast<size_t>(piece.size()));
    const int first = static_cast<int>(std::min<qsizetype>(piece.size(), 4)); // tells the encoding's family
    std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(
        xmlCreatePushParserCtxt(nullptr, nullptr, piece.constData(), first, nullptr));
    if (!ctxt)
        throw std::bad_alloc();
    xmlCtxtUseOptions(ctxt.get(), ParseOptions);
    scan.feed(std::string_view(piece.constData(), static_cast<size_t>(piece.size())));
    ThirdLevelPruner pruner(ctxt.get(), sink);
    int failed = xmlParseChunk(ctxt.get(), piece.constData() + first, static_cast<int>(piece.size() - first), 0);
    pruner.prune(failed);
    while (!failed && !file.atEnd()) {
        piece = file.read(ReadPieceSize);
        if (file.error() != QFileDevice::NoError) {
            m_error = {0, DescribeFileError(file), true};
            if (ctxt->myDoc)
                xmlFreeDoc(std::exchange(ctxt->myDoc, nullptr));
            return false;
        }
        scan.feed(std::string_view(piece.constData(), static_cast<size_t>(piece.size())));
        failed = xmlParseChunk(ctxt.get(), piece.constData(), static_cast<int>(piece.size()), 0);
        pruner.prune(failed);
    }
    const bool erredBefore = errors.anyError();
    if (!failed) {
        failed = xmlParseChunk(ctxt.get(), nullptr, 0, 1);
        pruner.prune(failed);
    }
    xmlDoc *doc = std::exchange(ctxt->myDoc, nullptr);
    if (failed || !ctxt->wellFormed) {
        if (doc)
            xmlFreeDoc(doc);
        doc = nullptr;
    }
    if (!doc && !erredBefore) {
        // Only the end of the file was wrong, which libxml2's push parser reports as content
        // after the root element: what is wrong is what the file lacks.
        const int line = ctxt->input ? ctxt->input->line : 0;
        m_error = ctxt->nameNr > 0 && ctxt->name
                      ? ParseError{line,
                                   QStringLiteral("el documento se acaba sin cerrar el elemento «%1»")
                                       .arg(QString::fromUtf8(C(ctxt->name))),
                                   false}
                      : ParseError{line, QStringLiteral("el documento está vacío o no empieza con un elemento"), false};
        return false;
    }
    std::optional<MislabelledUtf8> utf8;
    if (doc && IsSingleByteLatin(str(doc->encoding)) && scan.allUtf8WithMultibyte()) {
        // The words around the first UTF-8 character, read again for the message.
        const qint64 from = std::max<qint64>(0, scan.firstOffset() - 160);
        file.seek(from);
        const QByteArray window = file.read(320);
        utf8 = MislabelledUtf8{scan.firstLine(),
                               SampleAround(std::string_view(window.constData(), static_cast<size_t>(window.size())),
                                            static_cast<size_t>(scan.firstOffset() - from))};
    }
    return adopt(doc, errors.any() ? &errors.first() : nullptr, head, utf8);
}

bool XmlDocument::loadFromMemory(const std::string &bytes) { return parse(bytes); }

bool XmlDocument::parse(std::string_view bytes) {
    initLibxml();
    freeDoc(std::exchange(m_doc, newDoc(false)));
    m_error = {};
    if (bytes.size() > static_cast<size_t>(INT_MAX)) {
        m_error.reason = QStringLiteral("el archivo es demasiado grande");
        return false;
    }
    std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt)
        throw std::bad_alloc();
    ErrorCapture errors;
    xmlDoc *doc = xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                    ParseOptions);
    return adopt(doc, errors.any() ? &errors.first() : nullptr, bytes,
                 doc ? FindMislabelledUtf8(bytes, str(doc->encoding)) : std::nullopt);
}

bool XmlDocument::adopt(_xmlDoc *doc, const ParseError *firstError, std::string_view head,
                        const std::optional<MislabelledUtf8> &utf8) {
    if (!doc) {
        m_error = firstError ? *firstError : ParseError{0, QStringLiteral("documento vacío o ilegible"), false};
        if (m_error.reason.isEmpty())
            m_error.reason = QStringLiteral("error desconocido");
        return false;
    }
    doc->_private = new DocState{startsWithDeclaration(head), {}};
    // An external entity is never read (see refuseExternal), and a value made of one would be
    // lost without a word: such a document is refused.
    if (const std::string external = firstExternalEntity(doc); !external.empty()) {
        m_error = {std::max(1, lineOf(head, external)),
                   QStringLiteral("declara la entidad externa «%1», cuyo contenido está fuera del documento y no se lee")
                       .arg(QString::fromStdString(external)),
                   false};
        freeDoc(doc);
        return false;
    }
    // Read as declared, a UTF-8 text would turn every accented letter into two: refused.
    if (utf8) {
        const QString declared = QString::fromStdString(str(doc->encoding));
        m_error = {utf8->line,
                   QStringLiteral("declara la codificación %1 pero su texto está escrito en UTF-8 («%2»); "
                                  "guárdelo de nuevo en %1 o cambie la declaración a UTF-8")
                       .arg(declared, QString::fromStdString(utf8->sample)),
                   false};
        freeDoc(doc);
        return false;
    }
    freeDoc(std::exchange(m_doc, doc));
    return true;
}

XmlNodeList XmlDocument::select(const char *path) const { return evaluate(m_doc, nullptr, path); }

XmlNode XmlDocument::selectOne(const char *path) const { return select(path).item(0); }

XmlNode XmlDocument::documentElement() const { return XmlNode(m_doc ? xmlDocGetRootElement(m_doc) : nullptr); }

XmlNode XmlDocument::createElement(const char *name) {
    if (!m_doc)
        nullNodeError("createElement");
    xmlNode *node = xmlNewDocNode(m_doc, nullptr, X(name), nullptr);
    if (!node)
        throw std::bad_alloc();
    state(m_doc)->created.insert(node);
    return XmlNode(node);
}

std::vector<XmlNode> XmlDocument::topLevelNodes() const {
    std::vector<XmlNode> nodes;
    if (m_doc)
        for (xmlNode *n = m_doc->children; n; n = n->next)
            if (n->type != XML_DTD_NODE)
                nodes.emplace_back(n);
    return nodes;
}

void XmlDocument::removeDoctype() {
    if (!m_doc || !m_doc->intSubset)
        return;
    xmlDtd *dtd = m_doc->intSubset;
    xmlUnlinkNode(reinterpret_cast<xmlNode *>(dtd));
    m_doc->intSubset = nullptr;
    xmlFreeDtd(dtd);
}

void XmlDocument::removeDocumentElement() {
    const XmlNode root = documentElement();
    if (!root.isNull())
        XmlNode(reinterpret_cast<xmlNode *>(m_doc)).removeChild(root);
}

void XmlDocument::appendTopLevel(XmlNode node) {
    if (!m_doc || node.isNull())
        nullNodeError("appendTopLevel");
    xmlNode *n = node.raw();
    if (n->doc != m_doc)
        throw RunError(QStringLiteral("No se puede añadir un nodo de otro documento XML."));
    if (n->type == XML_ELEMENT_NODE) {
        const xmlNode *root = xmlDocGetRootElement(m_doc);
        if (root && root != n)
            throw RunError(QStringLiteral("Un documento XML solo puede tener un elemento raíz."));
    }
    xmlUnlinkNode(n);
    xmlAddChild(reinterpret_cast<xmlNode *>(m_doc), n);
}

std::string XmlDocument::declaredEncoding() const {
    if (!hasDeclaration())
        return {};
    return str(m_doc->encoding);
}

bool XmlDocument::hasDeclaration() const {
    const DocState *st = state(m_doc);
    return st && st->hasDeclaration;
}

std::string XmlDocument::serialize() const {
    if (!m_doc)
        return {};
    // Naming UTF-8 when there is no declaration matters: without an encoding libxml2 writes
    // ASCII with character references.
    std::string encoding = declaredEncoding();
    if (encoding.empty())
        encoding = "UTF-8";
    xmlChar *mem = nullptr;
    int size = 0;
    ErrorCapture errors;
    xmlDocDumpFormatMemoryEnc(m_doc, &mem, &size, encoding.c_str(), 0);
    std::unique_ptr<xmlChar, XmlFree> owned(mem);
    if (!mem)
        throw RunError(QStringLiteral("No se puede escribir el documento XML en la codificación «%1»%2.")
                           .arg(QString::fromStdString(encoding),
                                errors.any() ? QStringLiteral(": ") + errors.first().reason : QString()));
    return std::string(C(mem), static_cast<size_t>(size));
}

void XmlDocument::save(const QString &path) const {
    const std::string bytes = serialize();
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    // Unbuffered, so that a failed write fails here and not unseen inside commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw RunError(QStringLiteral("No se puede crear el archivo «%1»: %2.").arg(shown, DescribeFileError(file)));
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        const QString reason = DescribeFileError(file);
        file.cancelWriting();
        throw RunError(QStringLiteral("No se puede escribir el archivo «%1»: %2.").arg(shown, reason));
    }
    if (!file.commit())
        throw RunError(QStringLiteral("No se puede guardar el archivo «%1»: %2.").arg(shown, DescribeFileError(file)));
}
