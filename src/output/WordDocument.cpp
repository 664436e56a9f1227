#include "WordDocument.h"

#include "Protocol.h"
#include "core/History.h"

#include <QXmlStreamWriter>

#include "core/Encoding.h"
#include "core/Errors.h"
#include <zip.h>

namespace prolis::out {

QString Paragraph::text() const {
    QString t;
    for (const Run& r : runs)
        t += r.text;
    return t;
}

WordSession::WordSession() {
    m_doc.paragraphs.append(Paragraph{}); // a new document holds one empty paragraph
}

void WordSession::setLandscape() {
    m_doc.landscape = true;
}

void WordSession::setAlignment(Alignment a) {
    m_doc.paragraphs.last().alignment = a;
}

void WordSession::toggleBold() {
    m_bold = !m_bold;
}

void WordSession::setUnderline(bool single) {
    m_underline = single;
}

void WordSession::setSize(int points) {
    m_size = points;
}

void WordSession::typeText(const QString& text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r') continue;
        const QString piece = text.mid(start, i - start);
        if (!piece.isEmpty()) {
            QList<Run>& runs = m_doc.paragraphs.last().runs;
            const Run run{piece, m_bold, m_underline, m_size};
            if (!runs.isEmpty() && runs.last().bold == run.bold && runs.last().underline == run.underline &&
                runs.last().size == run.size)
                runs.last().text += piece;
            else
                runs.append(run);
        }
        // A CR ends the paragraph; the new one keeps its alignment.
        if (i < text.size()) {
            m_doc.paragraphs.last().mark = Run{QString(), m_bold, m_underline, m_size};
            m_doc.paragraphs.append(Paragraph{m_doc.paragraphs.last().alignment, {}, {}});
        }
        start = i + 1;
    }
}

namespace {

// The title block common to the three documents (steps 6 to 11).
void titleBlock(WordSession& w, const QString& title) {
    w.setAlignment(Alignment::Centre);
    w.toggleBold();
    w.setUnderline(true);
    w.typeText(title);
    w.toggleBold();
    w.setUnderline(false);
    w.typeText(QStringLiteral("\r"));
    w.setAlignment(Alignment::Left);
    w.typeText(QStringLiteral("\r"));
    w.setSize(10);
}

// The protocol lines typed one by one, a separator as an empty paragraph.
void typeLines(WordSession& w, const Lines& lines) {
    for (const Line& l : lines)
        w.typeText((l.separator ? QString() : l.text) + QLatin1Char('\r'));
}

const QString SummaryHeading1 = QStringLiteral(
    "   Ocel            Teplota           SigmaP1           SigmaPc               Aj1                   Ajc  "
    "                  Ac                SigmaP2stř             SigmaZ1stř              F   ");
const QString SummaryHeading2 = QStringLiteral(
    "      -                 [°C]                [MPa]               [MPa]             [J/mm^3]          "
    "[J/mm^3]               [J]                    [MPa]                     [MPa]                [kN] ");

} // namespace

WordDocument WordSession::document() const {
    WordDocument doc = m_doc;
    doc.paragraphs.last().mark = Run{QString(), m_bold, m_underline, m_size};
    return doc;
}

WordDocument forwardDocument(const fwd::Souhrn& r) {
    WordSession w;
    titleBlock(w, ForwardTitle);
    typeLines(w, forwardProtocol(r, Flavour::Word));
    return w.document();
}

WordDocument backwardDocument(const bwd::Souhrn& r) {
    WordSession w;
    titleBlock(w, BackwardTitle);
    typeLines(w, backwardProtocol(r, Flavour::Word));
    return w.document();
}

WordDocument summaryDocument(const QList<bwd::SouhrnVysl>& rows) {
    using enum bwd::SummaryField;
    WordSession w;
    w.setLandscape();
    w.typeText(QStringLiteral("\r"));
    titleBlock(w, BackwardTitle);
    w.typeText(QStringLiteral("Zpětné kvazistatické protlačování  : souhrn\r"));
    w.typeText(QStringLiteral("\r"));
    w.typeText(SummaryHeading1 + QLatin1Char('\r'));
    w.typeText(SummaryHeading2 + QLatin1Char('\r'));
    w.typeText(QStringLiteral("\r"));
    // The runs of blanks between the fields, by the row's temperature (99, not 100).
    static const std::array<int, 9> Below99{12, 17, 13, 13, 14, 14, 15, 19, 14};
    static const std::array<int, 9> From99{11, 16, 14, 13, 14, 14, 15, 19, 14};
    for (const bwd::SouhrnVysl& row : rows) {
        const auto& gaps = temperatureValue(row[Teplota]) < 99 ? Below99 : From99;
        QString line = row.f[0];
        for (size_t i = 1; i < bwd::SummaryFieldCount; ++i)
            line += QString(gaps[i - 1], QLatin1Char(' ')) + row.f[i];
        w.typeText(line + QLatin1Char('\r'));
    }
    return w.document();
}

namespace {

void runProperties(QXmlStreamWriter& x, const QString& w, const Run& r) {
    if (!r.bold && !r.underline && !r.size) return;
    x.writeStartElement(w, QStringLiteral("rPr"));
    if (r.bold) x.writeEmptyElement(w, QStringLiteral("b"));
    if (r.underline) {
        x.writeEmptyElement(w, QStringLiteral("u"));
        x.writeAttribute(w, QStringLiteral("val"), QStringLiteral("single"));
    }
    if (r.size) {
        for (const char* name : {"sz", "szCs"}) {
            x.writeEmptyElement(w, QLatin1String(name));
            x.writeAttribute(w, QStringLiteral("val"), QString::number(r.size * 2)); // half points
        }
    }
    x.writeEndElement();
}

QByteArray documentXml(const WordDocument& doc) {
    QByteArray out;
    QXmlStreamWriter x(&out);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    const QString w = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
    x.writeNamespace(w, QStringLiteral("w"));
    x.writeStartElement(w, QStringLiteral("document"));
    x.writeStartElement(w, QStringLiteral("body"));
    for (const Paragraph& p : doc.paragraphs) {
        x.writeStartElement(w, QStringLiteral("p"));
        const bool mark = p.mark.bold || p.mark.underline || p.mark.size;
        if (p.alignment == Alignment::Centre || mark) {
            x.writeStartElement(w, QStringLiteral("pPr"));
            if (p.alignment == Alignment::Centre) {
                x.writeEmptyElement(w, QStringLiteral("jc"));
                x.writeAttribute(w, QStringLiteral("val"), QStringLiteral("center"));
            }
            runProperties(x, w, p.mark);
            x.writeEndElement();
        }
        for (const Run& r : p.runs) {
            x.writeStartElement(w, QStringLiteral("r"));
            runProperties(x, w, r);
            x.writeStartElement(w, QStringLiteral("t"));
            x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            x.writeCharacters(xmlSafe(r.text));
            x.writeEndElement(); // t
            x.writeEndElement(); // r
        }
        x.writeEndElement(); // p
    }
    // The section: A4, portrait or landscape (width and height swapped).
    x.writeStartElement(w, QStringLiteral("sectPr"));
    x.writeEmptyElement(w, QStringLiteral("pgSz"));
    x.writeAttribute(w, QStringLiteral("w"),
                     doc.landscape ? QStringLiteral("16838") : QStringLiteral("11906"));
    x.writeAttribute(w, QStringLiteral("h"),
                     doc.landscape ? QStringLiteral("11906") : QStringLiteral("16838"));
    if (doc.landscape) x.writeAttribute(w, QStringLiteral("orient"), QStringLiteral("landscape"));
    x.writeEmptyElement(w, QStringLiteral("pgMar"));
    for (const char* side : {"top", "right", "bottom", "left"})
        x.writeAttribute(w, QLatin1String(side), QStringLiteral("1134")); // 2 cm
    x.writeEndElement();                                                  // sectPr
    x.writeEndElement();                                                  // body
    x.writeEndElement();                                                  // document
    x.writeEndDocument();
    if (x.hasError()) throw Error(QStringLiteral("Dokument nelze vytvořit: chyba zápisu XML."));
    return out;
}

// The styles part: the document defaults a new document has.
QByteArray stylesXml() {
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:docDefaults><w:rPrDefault><w:rPr>"
        "<w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\" w:cs=\"Times New Roman\"/>"
        "<w:sz w:val=\"24\"/><w:szCs w:val=\"24\"/><w:lang w:val=\"cs-CZ\"/>"
        "</w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" "
        "w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
        "w:val=\"Normal\"/></w:style>"
        "</w:styles>\n");
}

const QByteArray ContentTypes = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "</Types>\n");

const QByteArray PackageRels = QByteArrayLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>\n");

const QByteArray DocumentRels =
    QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" "
                      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                      "Target=\"styles.xml\"/></Relationships>\n");

} // namespace

namespace {
constexpr time_t FixedTime = 315532800; // 1980-01-01, the zip format's first day
}

QByteArray docxBytes(const WordDocument& doc) {
    const QList<QPair<const char*, QByteArray>> parts{{"[Content_Types].xml", ContentTypes},
                                                      {"_rels/.rels", PackageRels},
                                                      {"word/document.xml", documentXml(doc)},
                                                      {"word/_rels/document.xml.rels", DocumentRels},
                                                      {"word/styles.xml", stylesXml()}};
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* zip = memory ? zip_open_from_source(memory, ZIP_TRUNCATE, &error) : nullptr;
    if (!zip) {
        if (memory) zip_source_free(memory);
        zip_error_fini(&error);
        return {};
    }
    // The parts' buffers stay alive until the archive is closed.
    for (const auto& [name, bytes] : parts) {
        zip_source_t* src =
            zip_source_buffer(zip, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
        const zip_int64_t index = src ? zip_file_add(zip, name, src, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (src) zip_source_free(src);
            zip_discard(zip);
            zip_error_fini(&error);
            return {};
        }
        // The same document gives the same bytes, whenever it is written.
        zip_file_set_mtime(zip, static_cast<zip_uint64_t>(index), FixedTime, 0);
    }
    zip_source_keep(memory);
    QByteArray out;
    if (zip_close(zip) != 0) {
        zip_discard(zip);
    } else if (zip_source_open(memory) == 0) {
        zip_source_seek(memory, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(memory);
        zip_source_seek(memory, 0, SEEK_SET);
        out.resize(static_cast<qsizetype>(size));
        if (zip_source_read(memory, out.data(), static_cast<zip_uint64_t>(size)) != size) out.clear();
        zip_source_close(memory);
    }
    zip_source_free(memory);
    zip_error_fini(&error);
    return out;
}

} // namespace prolis::out
