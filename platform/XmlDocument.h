#pragma once
// A small DOM over libxml2 with what the two directions use. Text crosses this interface as
// UTF-8 (std::string); the Séneca layer converts it to table text.
//
// Parsing never touches the network, never loads a DTD or an external entity and does not
// substitute entities. Whitespace-only text between elements is dropped on load.

#include <QString>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _xmlNode;
struct _xmlDoc;

class XmlNodeList;
struct MislabelledUtf8;

// A non-owning handle to a node of an XmlDocument; valid while the document lives and the
// node is not removed. A null node answers every question with "nothing".
class XmlNode {
public:
    XmlNode() = default;
    explicit XmlNode(_xmlNode *node) : m_node(node) {}

    bool isNull() const { return m_node == nullptr; }
    std::string name() const;
    // All text below the node, concatenated.
    std::string text() const;
    // A leading part of text(): its first `bytes` bytes (all of it when shorter), cut at an
    // arbitrary byte. Gathering stops there, whatever follows.
    std::string textPrefix(std::size_t bytes) const;
    // The node as the platform's DOM serializes it: "<name" then, for each attribute in
    // document order, " name=\"value\"" (values escaped as XML), then the rest.
    std::string markup() const;
    std::string attribute(const char *name) const;
    // Whether attribute(name) == value, mostly without copying the value.
    bool attributeIs(const char *name, std::string_view value) const;
    bool hasAttribute(const char *name) const;
    XmlNode firstChild() const;
    XmlNode parent() const; // null for the document itself
    // An element of that name in no namespace (what a location path's plain name matches).
    bool isElementNamed(const char *name) const;
    // Nodes selected by an XPath 1.0 location path relative to this node, in document order.
    XmlNodeList select(const char *path) const;
    // The element children named `name` in no namespace, in document order: what select(name)
    // gives for a plain name, without compiling and running a path on every record.
    XmlNodeList childElements(const char *name) const;
    // A leading part of markup(): at least `bytes` bytes of it (all of it when shorter), cut
    // at an arbitrary byte. Serializing stops there, whatever follows.
    std::string markupPrefix(std::size_t bytes) const;

    // Tree building (export). The new element belongs to this node's document.
    XmlNode appendChild(XmlNode child);
    void removeChild(XmlNode child);            // unlinks and frees the child
    void setAttribute(const char *name, const std::string &utf8Value);
    void setAttribute(const char *name, long long value);
    void setText(const std::string &utf8Text);

    _xmlNode *raw() const { return m_node; }

private:
    _xmlNode *m_node = nullptr;
};

class XmlNodeList {
public:
    XmlNodeList() = default;
    explicit XmlNodeList(std::vector<XmlNode> nodes) : m_nodes(std::move(nodes)) {}
    int length() const { return static_cast<int>(m_nodes.size()); }
    // Counted from 0; an index outside the list gives a null node.
    XmlNode item(int index) const;

private:
    std::vector<XmlNode> m_nodes;
};

class XmlDocument {
public:
    struct ParseError {
        int line = 0;
        QString reason;          // the first error in Spanish (XmlErrorText), or why the file could not be read
        bool unreadable = false; // the file could not be read at all (line is then 0)
    };

    XmlDocument();  // an empty document
    ~XmlDocument();
    XmlDocument(XmlDocument &&) noexcept;
    XmlDocument &operator=(XmlDocument &&) noexcept;

    // Reads and parses the whole file. On failure the document stays empty and the first
    // error is returned in parseError().
    [[nodiscard]] bool load(const QString &path);
    // Called while a file loads with every element three levels below the root (a record of
    // a data group, or a value of a group that holds its values directly) once it is complete,
    // in document order. It returns whether the element may go: one let go is freed at once
    // and is not in the loaded document, so a reader that takes its values record by record
    // never holds the whole tree. What the loaded document keeps answers as a full load would.
    using ThirdLevelSink = std::function<bool(XmlNode element)>;
    [[nodiscard]] bool load(const QString &path, const ThirdLevelSink &sink);
    [[nodiscard]] bool loadFromMemory(const std::string &bytes);
    const ParseError &parseError() const { return m_error; }

    XmlNodeList select(const char *path) const;
    XmlNode selectOne(const char *path) const;
    XmlNode documentElement() const;
    XmlNode createElement(const char *name);
    // Top-level nodes (declaration excluded): comments, processing instructions, the root.
    std::vector<XmlNode> topLevelNodes() const;
    // Appends a node as the last top-level node (the new root when there is none).
    void appendTopLevel(XmlNode node);
    // Removes the root element with everything below it; the other top-level nodes stay.
    void removeDocumentElement();
    // Removes the document type declaration with the entities it declares, when there is one.
    void removeDoctype();
    // The encoding the declaration names, empty without a declaration.
    std::string declaredEncoding() const;
    bool hasDeclaration() const;

    // The document in the encoding its declaration names (UTF-8 without one).
    std::string serialize() const;
    // Writes serialize() to a temporary file in the target's folder that then replaces the
    // target, so a failed save leaves any earlier file intact. Throws RunError.
    void save(const QString &path) const;

    _xmlDoc *raw() const { return m_doc; }

private:
    bool parse(std::string_view bytes);
    // Takes a parsed document (null when parsing failed: firstError then says why, when known)
    // unless it declares an external entity or is UTF-8 declared as Latin-1. `head`: the
    // first bytes of the document.
    bool adopt(_xmlDoc *doc, const ParseError *firstError, std::string_view head,
               const std::optional<MislabelledUtf8> &utf8);

    _xmlDoc *m_doc = nullptr;
    ParseError m_error;
};
