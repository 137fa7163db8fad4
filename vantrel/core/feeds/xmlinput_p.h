#pragma once
// The first step of reading an XML document from the network: its encoding is found and
// decoded, and a cheap scan bounds the work that the XML reader will do on it and mends the
// faults that sloppy feeds commonly have.

#include "vantrel/core/feeds/feeds.h"

#include <QXmlStreamReader>

namespace vantrel::feeds
{

// Limits that keep a hostile document from making the XML reader slow: its work on one
// element grows with the square of the element's attributes, and with the nesting depth.
constexpr int kMaxAttributes = 128;
constexpr int kMaxDepth = 256;
constexpr int kMaxDoctypeBytes = 16 * 1024;

struct XmlInput {
    // The document to read: text when it had to be decoded (or mended), else its bytes,
    // which are UTF-8 then.
    QString text;
    QByteArray bytes;
    bool isText = false;
    // The document cannot be read at all ("line 1, column 1: unknown encoding ...").
    QString fatal;
    // A limit refused the rest of the document: it ends where the fault is, and this names
    // the fault ("line L, column C: an element has more than 128 attributes").
    QString fault;
    bool cancelled = false;
};

// Finds the encoding as XML says (byte-order mark, then the encoding declaration, then the
// transport's charset, else UTF-8), reading a document that claims UTF-8 but is not with
// Windows-1252 for the bytes that are no UTF-8. Leading white space is dropped. Bare "&" and
// "<" that start no markup are escaped, and control characters XML forbids become spaces.
XmlInput prepareXml(const QByteArray& data, const QString& contentType,
                    const CancelCheck& cancelled);

// A stream reader over the prepared document that reads every HTML entity (undeclared in
// XML) and keeps unknown ones as text, with entity expansion bounded.
class XmlReader
{
public:
    explicit XmlReader(const XmlInput& input, const CancelCheck& cancelled);
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    QXmlStreamReader& reader() { return m_reader; }

    // The next token; every few hundred tokens the cancel check is asked, and when it says
    // stop the reader gets an error and cancelled() is true.
    QXmlStreamReader::TokenType next();
    // Like QXmlStreamReader's functions of the same names, through next().
    bool nextStartElement();
    void skipElement();

    bool cancelled() const { return m_cancelled; }
    // "line L, column C: what went wrong" for the reader's error.
    QString errorText() const;

private:
    class Resolver : public QXmlStreamEntityResolver
    {
    public:
        QString resolveUndeclaredEntity(const QString& name) override;
    };

    QXmlStreamReader m_reader;
    Resolver m_resolver;
    const CancelCheck& m_cancel;
    int m_untilCheck = 0;
    bool m_cancelled = false;
};

} // namespace vantrel::feeds
