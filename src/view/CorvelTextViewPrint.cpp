// Printing of CCorvelTextView: the screen painting, page by page, with the screen font scaled to
// the printer's resolution, between a header with the document's title and a footer with the page
// number. Also the print commands and the page setup command.

#include <QAbstractPrintDialog>
#include <QFontInfo>
#include <QMargins>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>
#include <climits>

#include "CorvelTextView.h"
#include "Document.h"
#include "ModalHost.h"
#include "PageSetupDlg.h"
#include "PrintInfo.h"
#include "SettingsStore.h"

namespace {

// The printed text keeps this far from the edges of the printable area, in hundredths of a
// millimetre. The margins of the page setup are only stored, never applied.
constexpr int kPageMargin = 1000;
constexpr int kHundredthsPerInch = 2540;
constexpr int kDefaultSetupMargin = 1000;
const QString kPageSetupSection = QStringLiteral("CorvelEdit/PageSetup");

std::function<QPrinter*()>& PrinterSource() {
    static std::function<QPrinter*()> source;
    return source;
}

// The printer of the application, or else one made for this job and kept in own.
QPrinter* JobPrinter(std::unique_ptr<QPrinter>& own) {
    if (QPrinter* shared = PrinterSource() ? PrinterSource()() : nullptr)
        return shared;
    own = CCorvelTextView::MakePrinter();
    return own.get();
}

// a * b / c rounded to the nearest integer, halves away from zero; c > 0.
int MulDiv(int a, int b, int c) {
    long long product = static_cast<long long>(a) * b;
    long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

std::unique_ptr<QPrinter> CCorvelTextView::MakePrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The drawing rectangle is all the printer can print on; the view keeps its own margins.
    QPageLayout layout = printer->pageLayout();
    printer->setPageMargins(layout.minimumMargins(), layout.units());
    return printer;
}

void CCorvelTextView::SetPrinterSource(std::function<QPrinter*()> source) {
    PrinterSource() = std::move(source);
}

// --- The print protocol

bool CCorvelTextView::OnPreparePrinting(CPrintInfo& info) {
    if (info.direct || info.preview)
        return true;
    // The number of pages is not known before printing: any range may be asked for.
    QPrintDialog dialog(info.printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintShowPageSize);
    if (ModalHost().RunModal(dialog) != QDialog::Accepted)
        return false;
    if (info.printer->printRange() == QPrinter::PageRange) {
        info.fromPage = std::max(1, info.printer->fromPage());
        info.toPage = info.printer->toPage();
    }
    return true;
}

void CCorvelTextView::OnBeginPrinting(QPainter& dc, CPrintInfo&) {
    LogFont scaled = logFontOfView;
    scaled.weight = LogFont::kNormalWeight;
    scaled.italic = 0;
    if (scaled.height == 0)
        scaled.height = -QFontInfo(FontFor(false, false)).pixelSize();
    const QPaintDevice* printer = dc.device();
    int height = MulDiv(scaled.height, printer->logicalDpiY(), logicalDpiY());
    // A zero height would mean the default size, not a tiny one.
    scaled.height = height != 0 ? height : (scaled.height < 0 ? -1 : 1);
    scaled.width = MulDiv(scaled.width, printer->logicalDpiX(), logicalDpiX());
    printerFont = scaled.ToQFont();
    savedLogFont = logFontOfView;
    // LineHeight, CharWidth and MarginWidth now describe the printer font.
    ApplyFont(scaled);
    pageCount = 0;
}

void CCorvelTextView::OnPrepareDC(QPainter& dc, CPrintInfo& info) {
    info.continuePrinting = true;
    // A job that begins past the first page learns the page count before printing anything, so
    // that a range beyond the last page prints nothing.
    if (pageCount == 0 && info.currentPage > 1 && printerFont) {
        dc.setFont(*printerFont);
        ComputePageLayout(dc, info);
        int perPage = VisibleLineCount();
        pageCount = (LineTotal() + perPage - 1) / perPage;
    }
    if (pageCount != 0 && info.currentPage > pageCount)
        info.continuePrinting = false;
}

void CCorvelTextView::ComputePageLayout(QPainter& dc, CPrintInfo& info) {
    pageRect = info.drawRect.normalized();
    printerLineHeight = dc.fontMetrics().height();

    const QPaintDevice* device = dc.device();
    int marginX = MulDiv(kPageMargin, device->logicalDpiX(), kHundredthsPerInch);
    int marginY = MulDiv(kPageMargin, device->logicalDpiY(), kHundredthsPerInch);
    textRect = pageRect.adjusted(marginX, marginY, -marginX, -marginY);
    textRect.setTop(textRect.top() + printerLineHeight + printerLineHeight / 2);
    textRect.setBottom(textRect.bottom() - (printerLineHeight / 2 + printerLineHeight));

    visibleColumnsCache = std::max(0, (textRect.width() - MarginWidth()) / CharWidth());
    // A page too low for one line still prints one line: the count of pages stays finite.
    visibleLinesCache = std::max(1, textRect.height() / LineHeight());
}

void CCorvelTextView::OnPrint(QPainter& dc, CPrintInfo& info) {
    if (printerFont)
        dc.setFont(*printerFont);
    ComputePageLayout(dc, info);
    int perPage = VisibleLineCount();
    int total = LineTotal();
    pageCount = (total + perPage - 1) / perPage;
    int page = info.currentPage;
    int first = perPage * (page - 1);
    int last = std::min(first + perPage - 1, total - 1);

    dc.setPen(Qt::black);
    dc.setBackground(Qt::white);
    PrintHeader(dc, page);
    PrintFooter(dc, page);

    int margin = MarginWidth();
    int height = LineHeight();
    dc.setClipRect(QRect(textRect.left(), textRect.top(),
                         margin + VisibleColumnCount() * CharWidth(), perPage * height));
    // The selection and the horizontal scroll are the screen's: the paper shows the text alone,
    // from its first column.
    bool wasFocused = focused;
    bool wasShownUnfocused = selectionShownUnfocused;
    int screenOffset = horizontalOffset;
    focused = selectionShownUnfocused = false;
    horizontalOffset = 0;
    marginTextBackground = Qt::white;
    int top = textRect.top();
    for (int line = first; line <= last; ++line, top += height) {
        PaintMargin(dc, QRect(textRect.left(), top, margin, height), line, line + 1);
        int textLeft = textRect.left() + margin;
        PaintLine(dc, QRect(textLeft, top, textRect.right() + 1 - textLeft, height), line);
    }
    focused = wasFocused;
    selectionShownUnfocused = wasShownUnfocused;
    horizontalOffset = screenOffset;
    dc.setClipping(false);
}

void CCorvelTextView::OnEndPrinting(QPainter&, CPrintInfo&) {
    bool began = printerFont.has_value();
    printerFont.reset();
    pageCount = 0;
    printerLineHeight = 0;
    // Drops the page values of the visible-size caches and repaints with the screen font.
    if (began)
        ApplyFont(savedLogFont);
}

void CCorvelTextView::PrintHeader(QPainter& dc, int page) {
    QString text = HeaderText(page);
    if (text.isEmpty())
        return;
    int band = printerLineHeight + printerLineHeight / 2;
    dc.drawText(QRect(textRect.left(), textRect.top() - band, textRect.width(), band),
                Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
}

void CCorvelTextView::PrintFooter(QPainter& dc, int page) {
    int band = printerLineHeight / 2 + printerLineHeight;
    dc.drawText(QRect(textRect.left(), textRect.bottom() + 1, textRect.width(), band),
                Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, FooterText(page));
}

QString CCorvelTextView::HeaderText(int) {
    CDocument* document = GetDocument();
    return document != nullptr ? document->GetTitle() : QString();
}

QString CCorvelTextView::FooterText(int page) {
    return QStringLiteral("Страница %1/%2").arg(page).arg(pageCount);
}

bool CCorvelTextView::PrintTo(QPrinter& printer, CPrintInfo& info) {
    QPainter dc;
    if (!dc.begin(&printer)) {
        AfxMessageBox(QStringLiteral("Не удалось начать печать."));
        return false;
    }
    info.printer = &printer;
    info.drawRect = QRect(0, 0, printer.width(), printer.height());
    OnBeginPrinting(dc, info);
    int lastPage = info.toPage > 0 ? info.toPage : INT_MAX;
    bool pagePrinted = false;
    for (int page = std::max(1, info.fromPage); page <= lastPage; ++page) {
        info.currentPage = page;
        OnPrepareDC(dc, info);
        if (!info.continuePrinting)
            break;
        // The painter began on the first page.
        if (pagePrinted && !printer.newPage())
            break;
        OnPrint(dc, info);
        pagePrinted = true;
    }
    OnEndPrinting(dc, info);
    dc.end();
    return true;
}

// --- Commands

void CCorvelTextView::OnFilePrint() {
    PrintJob(false);
}

void CCorvelTextView::OnFilePrintDirect() {
    PrintJob(true);
}

void CCorvelTextView::PrintJob(bool direct) {
    std::unique_ptr<QPrinter> own;
    QPrinter* printer = JobPrinter(own);
    CPrintInfo info;
    info.printer = printer;
    info.direct = direct;
    if (OnPreparePrinting(info))
        PrintTo(*printer, info);
}

void CCorvelTextView::OnFilePrintPreview() {
    std::unique_ptr<QPrinter> own;
    QPrinter* printer = JobPrinter(own);
    // A range left from the last print job would leave pages out of the preview.
    printer->setPrintRange(QPrinter::AllPages);
    printer->setFromTo(0, 0);
    QPrintPreviewDialog dialog(printer, this);
    dialog.setWindowTitle(QStringLiteral("Предварительный просмотр"));
    // The preview asks for the pages whenever it needs them again: each time a whole job runs.
    // Its own Print button asks for a range first, which the job then keeps to.
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        CPrintInfo info;
        info.preview = true;
        if (target->printRange() == QPrinter::PageRange) {
            info.fromPage = std::max(1, target->fromPage());
            info.toPage = target->toPage();
        }
        PrintTo(*target, info);
    });
    ModalHost().RunModal(dialog);
}

void CCorvelTextView::OnFilePageSetup() {
    CPageSetupDlg dialog(this);
    {
        CSettingsStore settings;
        settings.beginGroup(kPageSetupSection);
        auto read = [&settings](const char* key) {
            return settings.value(QLatin1String(key), kDefaultSetupMargin).toInt();
        };
        dialog.SetMargins(QMargins(read("LeftMargin"), read("TopMargin"), read("RightMargin"),
                                   read("BottomMargin")));
    }
    if (ModalHost().RunModal(dialog) != QDialog::Accepted)
        return;
    QMargins margins = dialog.Margins();
    CSettingsStore settings;
    settings.beginGroup(kPageSetupSection);
    settings.setValue(QStringLiteral("LeftMargin"), margins.left());
    settings.setValue(QStringLiteral("RightMargin"), margins.right());
    settings.setValue(QStringLiteral("TopMargin"), margins.top());
    settings.setValue(QStringLiteral("BottomMargin"), margins.bottom());
}
