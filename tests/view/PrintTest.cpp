// Printing of the text view into PDF files: the page layout, the pages and their text (read back
// with pdftotext), the colours on paper (rendered with pdftoppm), the print commands with their
// dialogs answered by a script, and the view's screen layout after a job.

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <climits>
#include <memory>
#include <optional>

#include "CommandIds.h"
#include "Document.h"
#include "PrintInfo.h"
#include "ScriptedModalHost.h"
#include "ViewPaintSupport.h"

namespace {

using viewtest::DominantColor;
using viewtest::InkColor;
using viewtest::NearColor;

// A view that records what the layout gave on each printed page.
class CPrintProbe : public viewtest::CProbeView {
public:
    using CProbeView::CProbeView;

    struct Page {
        int number;
        int linesPerPage;
        int pageCount;
        int lineHeight;
        int charWidth;
        int marginWidth;
        int printerLineHeight;
        QRect textRect;
        std::vector<std::pair<int, int>> margins;  // (line, number) as painted
    };
    std::vector<Page> pages;

    void OnPrint(QPainter& dc, CPrintInfo& info) override {
        marginCalls.clear();
        CProbeView::OnPrint(dc, info);
        pages.push_back({info.currentPage, VisibleLineCount(), PageCount(), LineHeight(),
                         CharWidth(), MarginWidth(), PrinterLineHeight(), TextRect(), marginCalls});
    }
};

// A PDF printer whose device pixels are the page's points at 72 dots per inch (or the given
// resolution), with no margins of its own.
std::unique_ptr<QPrinter> PdfPrinter(const QString& file, QSizeF points, int resolution = 72) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setResolution(resolution);
    printer->setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0));
    return printer;
}

// The text of each page of the PDF, laid out as printed; none without pdftotext.
std::optional<QStringList> PdfPageTexts(const QString& file) {
    QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), file, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(60000));
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The first page of the PDF as an image of the given resolution; a null image without pdftoppm.
QImage PdfPageImage(const QString& file, int resolution) {
    QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (tool.isEmpty())
        return {};
    QString stem = file + QStringLiteral("-page");
    QProcess process;
    process.start(tool, {QStringLiteral("-r"), QString::number(resolution), QStringLiteral("-f"),
                         QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                         QStringLiteral("-singlefile"), QStringLiteral("-png"), file, stem});
    EXPECT_TRUE(process.waitForFinished(60000));
    return QImage(stem + QStringLiteral(".png"));
}

// Whether a line of the page's text is the line number followed by the text of the line. The
// spaces pdftotext reads into the fixed character cells are left out.
bool HasNumberedLine(const QString& page, int number, const QString& text) {
    QString wanted = QString::number(number) + text;
    wanted.remove(QLatin1Char(' '));
    const QStringList lines = page.split(QLatin1Char('\n'));
    return std::any_of(lines.begin(), lines.end(), [&wanted](QString line) {
        return line.remove(QRegularExpression(QStringLiteral("\\s"))) == wanted;
    });
}

const char kNoPdftotext[] =
    "pdftotext (poppler-utils) is not installed: the printed text is not "
    "checked; scripts/install-deps.sh installs it";

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.resize(900, 700);
        view = new CPrintProbe(&host);
        host.show();
        view->show();
        ASSERT_TRUE(folder.isValid());
    }

    void Bind(const std::vector<std::string>& lines) {
        viewtest::FillBuffer(buffer, lines);
        view->BindBuffer(&buffer);
        viewtest::SizeForText(*view, 20, 50);
    }

    QString File(const QString& name) const { return folder.filePath(name); }

    // Prints the pages asked for; the pages the view printed.
    std::vector<CPrintProbe::Page> Print(QPrinter& printer, int toPage = 0) {
        view->pages.clear();
        CPrintInfo info;
        info.toPage = toPage;
        EXPECT_TRUE(view->PrintTo(printer, info));
        return view->pages;
    }

    // The height in points of a page of the given width on which exactly this many lines fit:
    // measured on a first page, then grown or shrunk by whole lines to half a line of room.
    qreal PageHeightFor(int lines, qreal width) {
        const qreal probeHeight = 400;
        auto probe = PdfPrinter(File(QStringLiteral("probe.pdf")), {width, probeHeight});
        std::vector<CPrintProbe::Page> pages = Print(*probe, 1);
        EXPECT_EQ(pages.size(), 1u);
        if (pages.empty())
            return probeHeight;
        const CPrintProbe::Page& page = pages.front();
        return probeHeight - page.textRect.height() + lines * page.lineHeight + page.lineHeight / 2;
    }

    CCorvelTextBuffer buffer;
    QWidget host;
    CPrintProbe* view = nullptr;
    QTemporaryDir folder;
    kivra_test::ScriptedModalHost modal;
};

TEST_F(PrintTest, OneHundredTwentyLinesAtFiftyPerPageMakeThreePages) {
    Bind(viewtest::NumberedLines(120, "Xa"));
    const qreal width = 400;
    QString file = File(QStringLiteral("three.pdf"));
    auto printer = PdfPrinter(file, {width, PageHeightFor(50, width)});
    std::vector<CPrintProbe::Page> pages = Print(*printer);

    ASSERT_EQ(pages.size(), 3u);
    for (const CPrintProbe::Page& page : pages) {
        SCOPED_TRACE(page.number);
        EXPECT_EQ(page.linesPerPage, 50);
        EXPECT_EQ(page.pageCount, 3);
    }
    // Each page numbers its own lines, one number above the index.
    const std::pair<int, int> firstAndLast[] = {{0, 49}, {50, 99}, {100, 119}};
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(index + 1);
        const auto& margins = pages[index].margins;
        ASSERT_EQ(static_cast<int>(margins.size()),
                  firstAndLast[index].second - firstAndLast[index].first + 1);
        for (std::size_t row = 0; row < margins.size(); ++row) {
            int line = firstAndLast[index].first + static_cast<int>(row);
            EXPECT_EQ(margins[row], std::make_pair(line, line + 1));
        }
    }

    std::optional<QStringList> texts = PdfPageTexts(file);
    if (!texts)
        GTEST_SKIP() << kNoPdftotext;
    ASSERT_EQ(texts->size(), 3);
    for (int page = 1; page <= 3; ++page) {
        EXPECT_TRUE(texts->at(page - 1).contains(QStringLiteral("Страница %1/3").arg(page)))
            << texts->at(page - 1).toStdString();
    }
    const QString& last = texts->at(2);
    for (int number = 101; number <= 120; ++number) {
        EXPECT_TRUE(HasNumberedLine(last, number, QStringLiteral("Xa%1").arg(number - 1)))
            << number << "\n"
            << last.toStdString();
    }
    EXPECT_FALSE(last.contains(QStringLiteral("Xa99")));
    EXPECT_TRUE(HasNumberedLine(texts->at(0), 1, QStringLiteral("Xa0")));
    EXPECT_TRUE(HasNumberedLine(texts->at(1), 100, QStringLiteral("Xa99")));
}

TEST_F(PrintTest, TheTextKeepsTenMillimetresAndTheBandsFromTheEdges) {
    Bind(viewtest::NumberedLines(5));
    struct Case {
        int resolution;
        int margin;  // 10 mm in device pixels
    };
    for (Case each : {Case{72, 28}, Case{300, 118}, Case{600, 236}}) {
        SCOPED_TRACE(each.resolution);
        auto printer = PdfPrinter(File(QStringLiteral("layout.pdf")), {300, 400}, each.resolution);
        CPrintProbe::Page page = Print(*printer).at(0);
        QRect paper(0, 0, printer->width(), printer->height());
        EXPECT_EQ(view->PageRect(), paper);
        QRect text = page.textRect;
        int band = page.printerLineHeight + page.printerLineHeight / 2;
        EXPECT_GT(page.printerLineHeight, 0);
        EXPECT_EQ(text.left(), each.margin);
        EXPECT_EQ(paper.right() - text.right(), each.margin);
        EXPECT_EQ(text.top(), each.margin + band);
        EXPECT_EQ(paper.bottom() - text.bottom(), each.margin + band);
        EXPECT_EQ(page.linesPerPage, text.height() / page.lineHeight);
    }
}

TEST_F(PrintTest, APageTooLowForALinePrintsOneLinePerPage) {
    Bind({"first", "second", "third"});
    QString file = File(QStringLiteral("low.pdf"));
    // 20 mm of margins and the two bands leave no room for a line.
    auto printer = PdfPrinter(file, {300, 60});
    std::vector<CPrintProbe::Page> pages = Print(*printer);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_LT(pages[0].textRect.height(), pages[0].lineHeight);
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(pages[index].linesPerPage, 1);
        EXPECT_EQ(pages[index].pageCount, 3);
        ASSERT_EQ(pages[index].margins.size(), 1u);
        EXPECT_EQ(pages[index].margins[0], std::make_pair(index, index + 1));
    }
    std::optional<QStringList> texts = PdfPageTexts(file);
    if (!texts)
        GTEST_SKIP() << kNoPdftotext;
    EXPECT_EQ(texts->size(), 3);
}

TEST_F(PrintTest, APageRangeBeyondTheLastPagePrintsNothingMore) {
    Bind(viewtest::NumberedLines(8));
    auto printer = PdfPrinter(File(QStringLiteral("range.pdf")), {300, 400});
    view->pages.clear();
    CPrintInfo info;
    info.fromPage = 2;
    info.toPage = 5;
    ASSERT_TRUE(view->PrintTo(*printer, info));
    EXPECT_TRUE(view->pages.empty());
}

// The paper shows every line from its first column, however far the screen is scrolled.
TEST_F(PrintTest, AHorizontallyScrolledViewPrintsItsLinesWhole) {
    const std::string longLine = "Begin of a long line" + std::string(80, 'x') + "End";
    Bind({longLine, "Second line"});
    view->ScrollToColumn(12, true);
    ASSERT_EQ(view->HorizontalOffset(), 12);
    QString file = File(QStringLiteral("scrolled.pdf"));
    auto printer = PdfPrinter(file, {500, 300});
    Print(*printer);
    EXPECT_EQ(view->HorizontalOffset(), 12);

    std::optional<QStringList> texts = PdfPageTexts(file);
    if (!texts)
        GTEST_SKIP() << kNoPdftotext;
    ASSERT_FALSE(texts->isEmpty());
    // The page is narrower than the line: the start of the line is what must be there.
    QString page = texts->at(0);
    page.remove(QLatin1Char(' '));
    EXPECT_TRUE(page.contains(QStringLiteral("1Beginofalongline"))) << texts->at(0).toStdString();
}

TEST_F(PrintTest, AUtf8ViewPrintsTheCharactersOfItsBytes) {
    // "* Привет 10µF", then a stray byte, which prints as a replacement character.
    Bind({"title",
          "* \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 10\xC2\xB5"
          "F",
          "x\xB5y"});
    view->SetEncoding(TextEncoding::Utf8);
    QString file = File(QStringLiteral("utf8.pdf"));
    auto printer = PdfPrinter(file, {400, 300});
    Print(*printer);
    std::optional<QStringList> texts = PdfPageTexts(file);
    if (!texts)
        GTEST_SKIP() << kNoPdftotext;
    ASSERT_EQ(texts->size(), 1);
    const QString& page = texts->at(0);
    EXPECT_TRUE(HasNumberedLine(page, 2, QString::fromUtf8("*Привет10µF"))) << page.toStdString();
    EXPECT_TRUE(HasNumberedLine(page, 3, QStringLiteral("x\uFFFDy"))) << page.toStdString();
}

TEST_F(PrintTest, TheHeaderShowsTheDocumentTitleAsItIs) {
    Bind({"alpha", "beta"});
    CDocument document;
    struct Case {
        const char* name;
        bool withDocument;
        QString title;
    };
    const Case cases[] = {
        {"titled document", true, QStringLiteral("R&D filter.cir")},
        {"no document", false, QString()},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        if (each.withDocument) {
            document.AddView(view);
            document.SetTitle(each.title);
        } else {
            document.RemoveView(view);
        }
        EXPECT_EQ(view->HeaderText(1), each.title);
        QString file = File(QStringLiteral("header.pdf"));
        auto printer = PdfPrinter(file, {300, 400});
        Print(*printer);
        std::optional<QStringList> texts = PdfPageTexts(file);
        if (!texts)
            GTEST_SKIP() << kNoPdftotext;
        ASSERT_EQ(texts->size(), 1);
        // The title stands first, above the lines; the page without one begins with line 1.
        QString first = texts->at(0).trimmed().section(QLatin1Char('\n'), 0, 0);
        if (each.withDocument)
            EXPECT_EQ(first.trimmed(), each.title);
        else
            EXPECT_TRUE(HasNumberedLine(first, 1, QStringLiteral("alpha"))) << first.toStdString();
    }
}

TEST_F(PrintTest, APrintedNetlistShowsTheMarginTheIconsAndTheColours) {
    view->colouring = viewtest::Colouring::Netlist;
    const std::vector<std::string> lines = {"Bandpass", "* input stage", "R1 in mid 10k",
                                            ".tran 1u 1m", ".end"};
    Bind(lines);
    buffer.ChangeLineFlag(2, Bookmark, true, false);
    QString file = File(QStringLiteral("colours.pdf"));
    const int resolution = 192;  // twice the screen's: the icons grow to 32 pixels
    auto printer = PdfPrinter(file, {400, 300}, resolution);
    CPrintProbe::Page page = Print(*printer).at(0);
    QImage image = PdfPageImage(file, resolution);
    if (image.isNull())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed: the printed colours are not "
                        "checked; scripts/install-deps.sh installs it";

    auto row = [&](int line, int left, int width) {
        return QRect(left, page.textRect.top() + line * page.lineHeight, width, page.lineHeight);
    };
    const QColor white(255, 255, 255);
    LineScanState state = 0;
    for (int line = 0; line < static_cast<int>(lines.size()); ++line) {
        SCOPED_TRACE(line);
        QRect margin = row(line, page.textRect.left(), page.marginWidth);
        EXPECT_TRUE(NearColor(DominantColor(image, margin), view->RoleColor(MarginBackground), 8))
            << viewtest::Describe(DominantColor(image, margin));
        // The number stands in white cells that reach the margin's edge (on the screen they stop
        // 4 pixels short of it).
        QRect edge(margin.right() - 2, margin.top(), 2, margin.height());
        EXPECT_TRUE(NearColor(DominantColor(image, edge), white, 8))
            << viewtest::Describe(DominantColor(image, edge));
        // The first run's colour: the netlist colouring as on the screen, the title line teal.
        QColor expected(0, 128, 128);
        if (line > 0) {
            std::vector<ColorRun> runs(3 * lines[line].size());
            int count = 0;
            ClassifyNetlistLine(state, lines[line].c_str(), static_cast<int>(lines[line].size()),
                                runs.data(), count);
            // The first character takes the last run that starts at it; runs may be empty.
            int role = NormalText;
            for (int run = 0; run < count && runs[run].start == 0; ++run)
                role = runs[run].role;
            expected = view->RoleColor(role);
        }
        int ignored = 0;
        state = ClassifyNetlistLine(state, lines[line].c_str(),
                                    static_cast<int>(lines[line].size()), nullptr, ignored);
        // The first character's cell.
        QRect cell = row(line, page.textRect.left() + page.marginWidth, page.charWidth);
        QColor ink = InkColor(image, cell, white);
        EXPECT_TRUE(NearColor(ink, expected, 40))
            << viewtest::Describe(ink) << " against " << viewtest::Describe(expected);
    }
    // The bookmark's disc, as wide on paper as on the screen.
    QRect bookmarked = row(2, page.textRect.left(), page.marginWidth);
    int discLeft = INT_MAX, discRight = -1;
    for (int y = bookmarked.top(); y <= bookmarked.bottom(); ++y) {
        for (int x = bookmarked.left(); x <= bookmarked.right(); ++x) {
            if (NearColor(image.pixelColor(x, y), QColor(0, 200, 220), 30)) {
                discLeft = std::min(discLeft, x);
                discRight = std::max(discRight, x);
            }
        }
    }
    EXPECT_GE(discRight - discLeft + 1, 20);
}

// --- The commands

class PrintCommandTest : public PrintTest {
protected:
    struct Screen {
        LogFont font;
        int lineHeight, charWidth, marginWidth, visibleLines, visibleColumns, topLine, offset;
        QImage picture;
    };

    Screen Look() {
        return {view->ViewLogFont(), view->LineHeight(),       view->CharWidth(),
                view->MarginWidth(), view->VisibleLineCount(), view->VisibleColumnCount(),
                view->TopLine(),     view->HorizontalOffset(), view->grab().toImage()};
    }

    static void ExpectSame(const Screen& before, const Screen& after) {
        EXPECT_EQ(after.font, before.font);
        EXPECT_EQ(after.lineHeight, before.lineHeight);
        EXPECT_EQ(after.charWidth, before.charWidth);
        EXPECT_EQ(after.marginWidth, before.marginWidth);
        EXPECT_EQ(after.visibleLines, before.visibleLines);
        EXPECT_EQ(after.visibleColumns, before.visibleColumns);
        EXPECT_EQ(after.topLine, before.topLine);
        EXPECT_EQ(after.offset, before.offset);
        EXPECT_TRUE(after.picture == before.picture);
    }

    // A view scrolled down and right in a document's font, so that a layout left behind by the
    // printer shows.
    void Prepare() {
        std::vector<std::string> lines;
        for (int line = 0; line < 90; ++line)
            lines.push_back("R" + std::to_string(line) + " n1 n2 1k " + std::string(60, 'x'));
        Bind(lines);
        LogFont font = view->ViewLogFont();
        font.height = -13;
        view->ApplyFont(font);
        view->ScrollToTopLine(30, true);
        view->ScrollToColumn(7, true);
        QApplication::processEvents();
    }
};

TEST_F(PrintCommandTest, TheViewHasItsScreenLayoutBackAfterEveryKindOfJob) {
    struct Case {
        const char* name;
        int command;
        bool printsFile;
    };
    const Case cases[] = {
        {"print through the dialog", ID_FILE_PRINT, true},
        {"preview", ID_FILE_PRINT_PREVIEW, false},
        {"print cancelled", ID_FILE_PRINT, false},
    };
    Prepare();
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        Screen before = Look();
        QString file = File(QString::fromUtf8(each.name) + QStringLiteral(".pdf"));
        int previewPages = 0;
        view->pages.clear();
        if (each.command == ID_FILE_PRINT_PREVIEW) {
            // The preview renders its pages, then is closed.
            modal.Then([&](QDialog& dialog) {
                auto* preview = dialog.findChild<QPrintPreviewWidget*>();
                EXPECT_NE(preview, nullptr);
                if (preview != nullptr) {
                    preview->updatePreview();
                    previewPages = preview->pageCount();
                }
                return int(QDialog::Rejected);
            });
        } else if (each.printsFile) {
            // The print dialog's printer is pointed at a PDF file, then the dialog accepted.
            modal.Then([&](QDialog& dialog) {
                auto* print = qobject_cast<QPrintDialog*>(&dialog);
                EXPECT_NE(print, nullptr);
                if (print == nullptr)
                    return int(QDialog::Rejected);
                print->printer()->setOutputFormat(QPrinter::PdfFormat);
                print->printer()->setOutputFileName(file);
                return int(QDialog::Accepted);
            });
        } else {
            modal.ThenCancel();
        }
        EXPECT_TRUE(view->RouteCommand(each.command));
        EXPECT_FALSE(view->IsPrinting());
        QApplication::processEvents();

        if (each.command == ID_FILE_PRINT_PREVIEW) {
            EXPECT_GT(previewPages, 1);
            EXPECT_EQ(static_cast<int>(view->pages.size()), previewPages);
        } else {
            EXPECT_EQ(QFileInfo::exists(file), each.printsFile);
            EXPECT_EQ(view->pages.empty(), !each.printsFile);
        }
        ExpectSame(before, Look());
    }
    EXPECT_EQ(modal.dialogsShown, 3);
}

TEST_F(PrintCommandTest, DirectPrintUsesThePrinterOfTheApplicationWithoutADialog) {
    Prepare();
    QString file = File(QStringLiteral("direct.pdf"));
    auto printer = PdfPrinter(file, {300, 400});
    CCorvelTextView::SetPrinterSource([&printer] { return printer.get(); });
    Screen before = Look();
    EXPECT_TRUE(view->RouteCommand(ID_FILE_PRINT_DIRECT));
    CCorvelTextView::SetPrinterSource({});
    QApplication::processEvents();

    EXPECT_EQ(modal.dialogsShown, 0);
    ASSERT_FALSE(view->pages.empty());
    EXPECT_EQ(static_cast<int>(view->pages.size()), view->pages.front().pageCount);
    EXPECT_TRUE(QFileInfo::exists(file));
    ExpectSame(before, Look());
}

TEST_F(PrintCommandTest, APrinterThatCannotStartIsReportedAndNothingChanges) {
    Prepare();
    auto printer = PdfPrinter(File(QStringLiteral("missing/folder/out.pdf")), {300, 400});
    CCorvelTextView::SetPrinterSource([&printer] { return printer.get(); });
    Screen before = Look();
    EXPECT_TRUE(view->RouteCommand(ID_FILE_PRINT_DIRECT));
    CCorvelTextView::SetPrinterSource({});
    QApplication::processEvents();

    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, QStringLiteral("Не удалось начать печать."));
    EXPECT_TRUE(view->pages.empty());
    ExpectSame(before, Look());
}

}  // namespace
