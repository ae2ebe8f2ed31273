// Prints the help pages as the user guide, an A4 PDF: a title page, the contents with page
// numbers, then every topic of the help's table of contents from a new page, in its order.
//
//   kivra-userguide --contents Kivra.hhc --title-page guide-title.html --style-sheet kivra.css
//                   [--image-path DIR]... OUTPUT.pdf
//
// The pages are read as UTF-8 from the folder of the table of contents. Links between pages mean
// nothing on paper and are printed as plain text. Runs at build time without a display.

#include <QAbstractTextDocumentLayout>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

struct Topic {
    QString title;
    QString file;
    int firstPage = 0;  // index of its first page among the body pages
};

// Page geometry in the writer's device pixels.
struct Sheet {
    QRectF paint;  // the part of the page inside its margins
    QRectF body;   // the text, between the header and footer bands
    qreal millimetre = 1;
};

const char* const kFontFamilies[] = {"Liberation Sans", "DejaVu Sans"};
const char* const kGuideName = "Kivra. Руководство пользователя";

void Fail(const QString& message) {
    std::fprintf(stderr, "kivra-userguide: %s\n", qPrintable(message));
}

std::optional<QString> ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(QStringLiteral("cannot read %1").arg(path));
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

QString PlainText(const QString& html) {
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

// The topics of a table of contents in its order, one per page file: an entry that points into
// a page already listed (a "#" anchor) adds nothing.
QList<Topic> ReadContents(const QString& contents) {
    static const QRegularExpression object(
        QStringLiteral("<object[^>]*type=\"text/sitemap\"[^>]*>(.*?)</object>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression name(
        QStringLiteral("<param\\s+name=\"Name\"\\s+value=\"([^\"]*)\""),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression local(
        QStringLiteral("<param\\s+name=\"Local\"\\s+value=\"([^\"#]*)"),
        QRegularExpression::CaseInsensitiveOption);
    QList<Topic> topics;
    for (const QRegularExpressionMatch& entry : object.globalMatch(contents)) {
        QRegularExpressionMatch title = name.match(entry.captured(1));
        QRegularExpressionMatch file = local.match(entry.captured(1));
        if (!title.hasMatch() || !file.hasMatch())
            continue;
        bool listed = std::any_of(topics.begin(), topics.end(), [&](const Topic& topic) {
            return topic.file == file.captured(1);
        });
        if (!listed)
            topics.push_back({PlainText(title.captured(1)), file.captured(1)});
    }
    return topics;
}

QString BodyOf(const QString& page) {
    static const QRegularExpression body(
        QStringLiteral("<body[^>]*>(.*)</body>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QRegularExpressionMatch match = body.match(page);
    return match.hasMatch() ? match.captured(1) : page;
}

QString WithoutLinks(QString html) {
    static const QRegularExpression link(
        QStringLiteral("<a\\s[^>]*href=[^>]*>(.*?)</a>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return html.replace(link, QStringLiteral("\\1"));
}

QFont TextFont(qreal points) {
    QFont font;
    font.setFamilies(
        {QString::fromLatin1(kFontFamilies[0]), QString::fromLatin1(kFontFamilies[1])});
    font.setPointSizeF(points);
    return font;
}

// A document laid out for the writer, whose pictures come from the image folders.
class CGuideDocument : public QTextDocument {
public:
    CGuideDocument(QPagedPaintDevice& device, QSizeF pageSize, QStringList imageFolders,
                   const QString& styleSheet)
        : imageFolders(std::move(imageFolders)) {
        documentLayout()->setPaintDevice(&device);
        setPageSize(pageSize);
        setDocumentMargin(0);
        setDefaultFont(TextFont(10));
        setDefaultStyleSheet(styleSheet);
    }

    // Whether a page asked for a picture that none of the folders holds.
    bool PictureMissing() const { return pictureMissing; }

protected:
    QVariant loadResource(int type, const QUrl& name) override {
        if (type == QTextDocument::ImageResource) {
            for (const QString& folder : imageFolders) {
                QString path = QDir(folder).filePath(name.path());
                if (QFileInfo::exists(path))
                    return QImage(path);
            }
            Fail(QStringLiteral("no picture %1").arg(name.toString()));
            pictureMissing = true;
        }
        return QTextDocument::loadResource(type, name);
    }

private:
    QStringList imageFolders;
    bool pictureMissing = false;
};

// Draws one page of a laid-out document into the rectangle.
void DrawPage(QPainter& painter, QTextDocument& document, int page, const QRectF& area) {
    const qreal height = document.pageSize().height();
    painter.save();
    painter.translate(area.left(), area.top() - page * height);
    QAbstractTextDocumentLayout::PaintContext context;
    // A line that touches the page's edge belongs to the page beside it: the layout is told a
    // hair less, so that it does not draw the line here as well, where the clip would hide it
    // but the PDF would still carry its text.
    const QRectF pageRect(0, page * height, area.width(), height);
    context.clip = pageRect.adjusted(0, 0.5, 0, -0.5);
    context.palette.setColor(QPalette::Text, Qt::black);
    painter.setClipRect(pageRect);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
}

void DrawHeader(QPainter& painter, const Sheet& sheet, const QString& left, const QString& right) {
    painter.save();
    painter.setFont(TextFont(8));
    painter.setPen(QColor(96, 96, 96));
    QRectF band(sheet.paint.left(), sheet.paint.top(), sheet.paint.width(),
                sheet.body.top() - sheet.paint.top() - 3 * sheet.millimetre);
    painter.drawText(band, Qt::AlignLeft | Qt::AlignBottom, left);
    painter.drawText(band, Qt::AlignRight | Qt::AlignBottom, right);
    painter.setPen(QPen(QColor(160, 160, 160), 0.3 * sheet.millimetre));
    qreal y = band.bottom() + 1.5 * sheet.millimetre;
    painter.drawLine(QPointF(sheet.paint.left(), y), QPointF(sheet.paint.right(), y));
    painter.restore();
}

void DrawPageNumber(QPainter& painter, const Sheet& sheet, int number) {
    painter.save();
    painter.setFont(TextFont(9));
    painter.setPen(Qt::black);
    QRectF band(sheet.paint.left(), sheet.body.bottom(), sheet.paint.width(),
                sheet.paint.bottom() - sheet.body.bottom());
    painter.drawText(band, Qt::AlignHCenter | Qt::AlignBottom, QString::number(number));
    painter.restore();
}

// Lays the topics out one after another, each from a new page, and notes where each begins.
// Every page must open with its one top-level heading.
bool LayOutTopics(CGuideDocument& document, QList<Topic>& topics, const QString& folder) {
    static const QRegularExpression heading(QStringLiteral("<h1(?=[\\s>])"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString html;
    for (const Topic& topic : topics) {
        std::optional<QString> page = ReadText(QDir(folder).filePath(topic.file));
        if (!page)
            return false;
        QString body = WithoutLinks(BodyOf(*page));
        // The first topic begins the document, and so its first page, already. The break goes
        // into the HTML: changing the blocks of a laid-out document leaves parts unlaid.
        QRegularExpressionMatch first = heading.match(body);
        if (first.hasMatch() && !html.isEmpty())
            body.insert(first.capturedEnd(),
                        QStringLiteral(" style=\"page-break-before: always\""));
        html += body;
    }
    document.setHtml(html);

    QList<QTextBlock> headings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 1)
            headings.push_back(block);
    }
    if (headings.size() != topics.size()) {
        Fail(QStringLiteral("%1 topics but %2 top-level headings: each page needs one <h1>")
                 .arg(topics.size())
                 .arg(headings.size()));
        return false;
    }
    const qreal pageHeight = document.pageSize().height();
    document.pageCount();  // lays the whole document out
    for (qsizetype i = 0; i < topics.size(); ++i) {
        QRectF place = document.documentLayout()->blockBoundingRect(headings[i]);
        topics[i].firstPage = static_cast<int>((place.top() + 1) / pageHeight);
    }
    return true;
}

QString ContentsHtml(const QList<Topic>& topics, int firstBodyNumber) {
    QString rows;
    for (const Topic& topic : topics) {
        rows += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td></tr>")
                    .arg(topic.title.toHtmlEscaped())
                    .arg(firstBodyNumber + topic.firstPage);
    }
    return QStringLiteral("<h1>Содержание</h1><table width=\"100%\" cellpadding=\"4\">") + rows +
           QStringLiteral("</table>");
}

}  // namespace

int main(int argc, char* argv[]) {
    // A build step: it never shows a window, and needs no display. Qt's note that a build
    // machine has no runtime folder is no news to anybody building.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (!message.startsWith(QLatin1String("QStandardPaths:")))
                std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        });
    QGuiApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints the help pages as the user guide."));
    parser.addHelpOption();
    QCommandLineOption contentsOption(QStringLiteral("contents"),
                                      QStringLiteral("The help's table of contents (.hhc)."),
                                      QStringLiteral("file"));
    QCommandLineOption titleOption(QStringLiteral("title-page"),
                                   QStringLiteral("The page printed as the title page."),
                                   QStringLiteral("file"));
    QCommandLineOption styleOption(QStringLiteral("style-sheet"),
                                   QStringLiteral("The pages' style sheet."),
                                   QStringLiteral("file"));
    QCommandLineOption imageOption(QStringLiteral("image-path"),
                                   QStringLiteral("A folder to take pictures from."),
                                   QStringLiteral("folder"));
    parser.addOptions({contentsOption, titleOption, styleOption, imageOption});
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("The PDF to write."));
    parser.process(application);
    if (parser.positionalArguments().size() != 1 || !parser.isSet(contentsOption) ||
        !parser.isSet(titleOption)) {
        parser.showHelp(2);
    }

    const QString contentsPath = parser.value(contentsOption);
    const QString folder = QFileInfo(contentsPath).absolutePath();
    std::optional<QString> contents = ReadText(contentsPath);
    std::optional<QString> titlePage = ReadText(parser.value(titleOption));
    std::optional<QString> styleSheet =
        parser.isSet(styleOption) ? ReadText(parser.value(styleOption)) : QString();
    if (!contents || !titlePage || !styleSheet)
        return 1;
    QList<Topic> topics = ReadContents(*contents);
    if (topics.isEmpty()) {
        Fail(QStringLiteral("no topics in %1").arg(contentsPath));
        return 1;
    }
    QStringList imageFolders = parser.values(imageOption);
    imageFolders.prepend(folder);

    const QString outputPath = parser.positionalArguments().first();
    QPdfWriter writer(outputPath);
    writer.setResolution(300);
    writer.setTitle(QString::fromUtf8(kGuideName));
    writer.setCreator(QStringLiteral("Kivra"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 15, 20, 15), QPageLayout::Millimeter));

    Sheet sheet;
    sheet.millimetre = writer.resolution() / 25.4;
    sheet.paint =
        QRectF(QPointF(0, 0), writer.pageLayout().paintRectPixels(writer.resolution()).size());
    sheet.body = sheet.paint.adjusted(0, 10 * sheet.millimetre, 0, -10 * sheet.millimetre);
    const QSizeF pageSize = sheet.body.size();

    CGuideDocument body(writer, pageSize, imageFolders, *styleSheet);
    if (!LayOutTopics(body, topics, folder) || body.PictureMissing())
        return 1;
    // The contents come after the title page; their own length decides where the topics begin.
    CGuideDocument contentsPages(writer, pageSize, imageFolders, *styleSheet);
    contentsPages.setHtml(ContentsHtml(topics, 2));
    const int contentsCount = contentsPages.pageCount();
    contentsPages.setHtml(ContentsHtml(topics, 2 + contentsCount));
    const QRectF titleArea = sheet.body.adjusted(0, sheet.body.height() / 4, 0, 0);
    CGuideDocument title(writer, titleArea.size(), imageFolders, *styleSheet);
    title.setHtml(BodyOf(*titlePage));

    QPainter painter;
    if (!painter.begin(&writer)) {
        Fail(QStringLiteral("cannot write %1").arg(outputPath));
        return 1;
    }
    const QString guideName = QString::fromUtf8(kGuideName);
    DrawPage(painter, title, 0, titleArea);

    int number = 1;
    for (int page = 0; page < contentsPages.pageCount(); ++page) {
        writer.newPage();
        ++number;
        DrawHeader(painter, sheet, guideName, QStringLiteral("Содержание"));
        DrawPage(painter, contentsPages, page, sheet.body);
        DrawPageNumber(painter, sheet, number);
    }
    qsizetype topic = 0;
    for (int page = 0; page < body.pageCount(); ++page) {
        writer.newPage();
        ++number;
        while (topic + 1 < topics.size() && topics[topic + 1].firstPage <= page)
            ++topic;
        DrawHeader(painter, sheet, guideName, topics[topic].title);
        DrawPage(painter, body, page, sheet.body);
        DrawPageNumber(painter, sheet, number);
    }
    if (!painter.end()) {
        Fail(QStringLiteral("cannot finish %1").arg(outputPath));
        return 1;
    }
    return 0;
}
