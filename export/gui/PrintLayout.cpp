#include "export/gui/PrintLayout.h"

#include "export/PrintContent.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <array>

namespace {

// Shares of the table's width: room for a long article on one line and a name on one or two.
constexpr std::array<double, printColumnCount> columnShares = {4.5, 14, 35, 8, 6.5, 6.5, 12, 12.5};
constexpr std::array<int, printColumnCount> columnAlignment = {
    Qt::AlignHCenter, Qt::AlignLeft,    Qt::AlignLeft,  Qt::AlignHCenter,
    Qt::AlignRight,   Qt::AlignHCenter, Qt::AlignRight, Qt::AlignRight};
constexpr int sumColumn = printColumnCount - 1;

const QColor headerBackground(217, 217, 217);
const QColor groupBackground(226, 239, 226);
const QColor titleColour(192, 0, 0);

enum class RowKind { Header, Group, Line, Total };

constexpr std::array<double, printColumnCount> unmeasured() {
    std::array<double, printColumnCount> widths{};
    for (double& width : widths)
        width = -1;
    return widths;
}

// A row of the table: a line fills the eight cells; a group row and the total row hold a
// text across the first seven columns and a sum in the last.
struct Row {
    RowKind kind;
    std::array<QString, printColumnCount> cells;
    double height = 0;
    int group = -1;  // the group a line belongs to, for its heading on a continued page
    // Point size of a cell whose text was shrunk to keep a figure or a word on one line; 0
    // for the row's own font.
    std::array<double, printColumnCount> points{};
    // Each text is measured once for the columns and the fonts, and once more for its height
    // and how it breaks, which the painting then takes as it is.
    std::array<double, printColumnCount> widest = unmeasured();  // in the row's own font
    std::array<int, printColumnCount> flags{};
    std::array<bool, printColumnCount> overflows{};  // wider than its cell even so: clipped
};

constexpr int nameColumn = 2;
constexpr double smallestPoints = 4;

// Figures and the numbers of lines never break; other texts, the column titles among them,
// break between words only.
bool isFigure(RowKind kind, int column) {
    return kind != RowKind::Header &&
           (column == 0 || column == 4 || column == 6 || column == sumColumn);
}

QFont font(double points, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

class Layout {
public:
    Layout(QPagedPaintDevice& device, const PrintDocument& doc);
    int pageCount() const { return int(m_pages.size()); }
    void paintPage(QPainter& painter, int page) const;

private:
    double mm(double millimetres) const { return millimetres * m_dpi / 25.4; }
    // Fonts are measured for the device, so what is measured here is what gets painted.
    QFontMetricsF metrics(const QFont& font) const { return QFontMetricsF(font, m_device); }
    const QFontMetricsF& rowMetrics(RowKind kind) const {
        return kind == RowKind::Line ? m_bodyMetrics : m_boldMetrics;
    }
    const QFont& fontOf(RowKind kind) const { return kind == RowKind::Line ? m_body : m_bold; }
    QFont cellFont(const Row& row, int column) const;
    // The widest piece of a cell's text that may not break: a figure whole, a word otherwise.
    double widestPiece(const Row& row, int column, const QFontMetricsF& fm) const;
    // The same in the row's own font, measured once.
    double widestPiece(Row& row, int column) const;
    void fitColumns();
    void fitFonts(Row& row) const;
    // Fits the cells' texts into their widths: how each breaks, and the row's height.
    void measure(Row& row) const;
    // A line taller than what a sheet holds, cut into rows of whole text lines.
    std::vector<Row> splitTall(const Row& row, double tallest) const;
    bool spans(const Row& row, int column) const {
        return (row.kind == RowKind::Group || row.kind == RowKind::Total) && column != sumColumn;
    }
    QRectF cellRect(const Row& row, int column, double y) const;
    int alignmentOf(const Row& row, int column) const;
    // The project's name cut to what leaves room for the text beside it.
    QString elidedProject(const QFont& font, const QString& beside) const;
    // The heading a page repeats when it begins inside a group, or null.
    const Row* continuedGroup(int firstRow) const;
    void paginate();
    void paintRow(QPainter& painter, const Row& row, double y) const;

    const QPaintDevice* m_device;
    const PrintDocument& m_doc;
    double m_dpi;
    double m_width;
    double m_height;
    QFont m_body;
    QFont m_bold;
    QFont m_title;
    QFont m_small;
    QFontMetricsF m_bodyMetrics;
    QFontMetricsF m_boldMetrics;
    double m_padX;
    double m_padY;
    std::array<double, printColumnCount + 1> m_columnX{};
    Row m_header{RowKind::Header, {}, 0};
    std::vector<Row> m_rows;
    std::vector<Row> m_continued;  // per group: its heading on a page it continues on
    double m_titleHeight = 0;
    double m_noticeHeight = 0;
    double m_footerHeight = 0;
    std::vector<std::pair<int, int>> m_pages;  // rows [first, last) of each page
};

Layout::Layout(QPagedPaintDevice& device, const PrintDocument& doc)
    : m_device(&device),
      m_doc(doc),
      m_dpi(device.logicalDpiY()),
      m_width(device.width()),
      m_height(device.height()),
      m_body(font(9, false)),
      m_bold(font(9, true)),
      m_title(font(13, true)),
      m_small(font(8, false)),
      m_bodyMetrics(metrics(m_body)),
      m_boldMetrics(metrics(m_bold)),
      m_padX(mm(1.2)),
      m_padY(mm(0.8)) {
    for (int c = 0; c < printColumnCount; ++c)
        m_header.cells[std::size_t(c)] = printColumnTitle(c);
    for (const PrintGroup& group : doc.groups) {
        const int index = int(m_continued.size());
        Row heading{RowKind::Group, {}, 0, index};
        heading.cells[0] = group.name + QStringLiteral(" (продолжение)");
        m_continued.push_back(heading);
        heading.cells[0] = group.name;
        heading.cells[sumColumn] = russianMoney(group.sum);
        m_rows.push_back(heading);
        for (const PrintLine& line : group.lines)
            m_rows.push_back(Row{RowKind::Line,
                                 {QString::number(line.number), line.article, line.name,
                                  line.coating, russianQuantity(line.quantity), line.unit,
                                  russianMoney(line.price), russianMoney(line.sum)},
                                 0,
                                 index});
    }
    Row total{RowKind::Total, {}, 0};
    total.cells[0] = printTotalLabel();
    total.cells[sumColumn] = russianMoney(doc.total);
    m_rows.push_back(total);

    fitColumns();
    m_titleHeight = metrics(m_title).height() + mm(1.5) + metrics(m_body).height() + mm(3);
    m_noticeHeight = mm(2) + metrics(m_body)
                                 .boundingRect(QRectF(0, 0, m_width, 1e9),
                                               Qt::AlignLeft | Qt::TextWordWrap, printNotice())
                                 .height();
    m_footerHeight = mm(2) + metrics(m_small).height();
    fitFonts(m_header);
    measure(m_header);
    double tallestHeading = 0;
    for (Row& row : m_continued) {
        fitFonts(row);
        measure(row);
        tallestHeading = std::max(tallestHeading, row.height);
    }
    // A line may take a whole sheet but for the header, its group's heading, and the total
    // with the notice that may have to come along with it.
    const double tallest = m_height - m_footerHeight - m_header.height - tallestHeading -
                           m_rows.back().height - m_noticeHeight;
    std::vector<Row> rows;
    for (Row& row : m_rows) {
        fitFonts(row);
        measure(row);
        if (row.kind == RowKind::Line && row.height > tallest) {
            for (Row& part : splitTall(row, tallest))
                rows.push_back(std::move(part));
        } else {
            rows.push_back(std::move(row));
        }
    }
    m_rows = std::move(rows);
    paginate();
}

double Layout::widestPiece(const Row& row, int column, const QFontMetricsF& fm) const {
    const QString& text = row.cells[std::size_t(column)];
    if (isFigure(row.kind, column))
        return fm.horizontalAdvance(text);
    double widest = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, fm.horizontalAdvance(word));
    return widest;
}

double Layout::widestPiece(Row& row, int column) const {
    double& widest = row.widest[std::size_t(column)];
    if (widest < 0)
        widest = widestPiece(row, column, rowMetrics(row.kind));
    return widest;
}

// The columns start from their shares of the width; a column whose largest figure or longest
// word does not fit grows, and the name column, which wraps, gives up the room. Only when the
// name would become too narrow do all the other columns shrink, and their texts with them.
void Layout::fitColumns() {
    double shares = 0;
    for (double share : columnShares)
        shares += share;
    std::array<double, printColumnCount> widths{};
    for (int c = 0; c < printColumnCount; ++c)
        widths[std::size_t(c)] = m_width * columnShares[std::size_t(c)] / shares;
    auto grow = [&](Row& row) {
        for (int c = 0; c < printColumnCount; ++c) {
            const QString& text = row.cells[std::size_t(c)];
            if (c == nameColumn || spans(row, c) || text.isEmpty())
                continue;
            double& width = widths[std::size_t(c)];
            width = std::max(width, widestPiece(row, c) + 2 * m_padX + 1);
        }
    };
    grow(m_header);
    for (Row& row : m_rows)
        grow(row);
    double others = 0;
    for (int c = 0; c < printColumnCount; ++c)
        others += c == nameColumn ? 0 : widths[std::size_t(c)];
    const double narrowestName = m_width * 0.2;
    const double squeeze = std::min(1.0, (m_width - narrowestName) / others);
    double x = 0;
    for (int c = 0; c < printColumnCount; ++c) {
        m_columnX[std::size_t(c)] = x;
        x += c == nameColumn ? std::max(narrowestName, m_width - others)
                             : widths[std::size_t(c)] * squeeze;
    }
    m_columnX[printColumnCount] = m_width;
}

// A figure or a word still wider than its cell is drawn smaller, never broken or cut.
void Layout::fitFonts(Row& row) const {
    for (int c = 0; c < printColumnCount; ++c) {
        const QString& text = row.cells[std::size_t(c)];
        if (text.isEmpty() || c == nameColumn || (spans(row, c) && c != 0))
            continue;
        const double room = cellRect(row, c, 0).width() - 2 * m_padX;
        double wide = widestPiece(row, c);
        if (wide <= room)
            continue;
        QFont f = fontOf(row.kind);
        double points = std::max(smallestPoints, f.pointSizeF() * room / wide);
        for (;;) {
            f.setPointSizeF(points);
            wide = widestPiece(row, c, metrics(f));
            if (wide <= room || points <= smallestPoints)
                break;
            points = std::max(smallestPoints, points - 0.25);
        }
        row.points[std::size_t(c)] = points;
    }
}

QFont Layout::cellFont(const Row& row, int column) const {
    QFont f = fontOf(row.kind);
    if (const double points = row.points[std::size_t(column)]; points > 0)
        f.setPointSizeF(points);
    return f;
}

std::vector<Row> Layout::splitTall(const Row& row, double tallest) const {
    std::array<QStringList, printColumnCount> parts;
    std::size_t count = 1;
    for (int c = 0; c < printColumnCount; ++c) {
        const QString& text = row.cells[std::size_t(c)];
        const QFont f = cellFont(row, c);
        const double width = cellRect(row, c, 0).width() - 2 * m_padX;
        // Whole text lines a part holds, one kept spare against rounding in the drawing.
        const int perPart = std::max(1, int((tallest - 2 * m_padY) / metrics(f).lineSpacing()) - 1);
        QTextLayout layout(text, f, m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        std::vector<int> starts;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            starts.push_back(line.textStart());
        }
        layout.endLayout();
        for (std::size_t at = 0; at < starts.size(); at += std::size_t(perPart)) {
            const int end = at + std::size_t(perPart) < starts.size()
                                ? starts[at + std::size_t(perPart)]
                                : int(text.size());
            parts[std::size_t(c)] << text.mid(starts[at], end - starts[at]).trimmed();
        }
        count = std::max(count, std::size_t(parts[std::size_t(c)].size()));
    }
    std::vector<Row> rows;
    for (std::size_t p = 0; p < count; ++p) {
        Row part = row;
        for (int c = 0; c < printColumnCount; ++c)
            part.cells[std::size_t(c)] = parts[std::size_t(c)].value(qsizetype(p));
        part.widest = unmeasured();
        measure(part);
        rows.push_back(part);
    }
    return rows;
}

QRectF Layout::cellRect(const Row& row, int column, double y) const {
    const double left = m_columnX[std::size_t(column)];
    const double right =
        spans(row, column) ? m_columnX[sumColumn] : m_columnX[std::size_t(column) + 1];
    return QRectF(left, y, right - left, row.height);
}

int Layout::alignmentOf(const Row& row, int column) const {
    if (row.kind == RowKind::Header)
        return Qt::AlignCenter;
    if (row.kind == RowKind::Group && column != sumColumn)
        return Qt::AlignLeft | Qt::AlignVCenter;
    if (row.kind == RowKind::Total && column != sumColumn)
        return Qt::AlignRight | Qt::AlignVCenter;
    return columnAlignment[std::size_t(column)] | Qt::AlignVCenter;
}

// Text breaks between words; a word of a name wider than its cell breaks anywhere rather than
// being cut off at the cell's edge (other cells were fitted by fitFonts). A text narrower than
// its cell stands on one line, and its height is that line's.
void Layout::measure(Row& row) const {
    double tallest = rowMetrics(row.kind).height();
    for (int c = 0; c < printColumnCount; ++c) {
        const QString& text = row.cells[std::size_t(c)];
        const int align = alignmentOf(row, c);
        row.flags[std::size_t(c)] = align | Qt::TextWordWrap;
        row.overflows[std::size_t(c)] = false;
        if (text.isEmpty())
            continue;
        const double width = cellRect(row, c, 0).width() - 2 * m_padX;
        const bool ownFont = row.points[std::size_t(c)] == 0;
        const QFontMetricsF fm = ownFont ? rowMetrics(row.kind) : metrics(cellFont(row, c));
        const bool onePiece = isFigure(row.kind, c) || !text.contains(QLatin1Char(' '));
        const double advance = ownFont && onePiece && row.widest[std::size_t(c)] >= 0
                                   ? row.widest[std::size_t(c)]
                                   : fm.horizontalAdvance(text);
        // Half a point spare, so no rounding in the drawing breaks what was measured whole.
        if (advance <= width - 0.5 && !text.contains(QLatin1Char('\n'))) {
            tallest = std::max(tallest, fm.height());
            continue;
        }
        const QRectF area(0, 0, width, 1e9);
        QRectF bounds = fm.boundingRect(area, align | Qt::TextWordWrap, text);
        if (bounds.width() > width) {
            row.flags[std::size_t(c)] = align | Qt::TextWrapAnywhere;
            bounds = fm.boundingRect(area, row.flags[std::size_t(c)], text);
            row.overflows[std::size_t(c)] = bounds.width() > width;
        }
        tallest = std::max(tallest, bounds.height());
    }
    row.height = tallest + 2 * m_padY;
}

const Row* Layout::continuedGroup(int firstRow) const {
    const Row& row = m_rows[std::size_t(firstRow)];
    return row.kind == RowKind::Line && row.group >= 0 ? &m_continued[std::size_t(row.group)]
                                                       : nullptr;
}

// Rows go on a page while they fit. A group's heading moves on with its first line, and the
// total with the notice under it, so neither ends a page alone.
// The total takes the last line along rather than stand on a sheet of its own (and that
// line's heading, when it is the group's only line on the sheet).
void Layout::paginate() {
    const int count = int(m_rows.size());
    int first = 0;
    double used = 0;
    for (int r = 0; r < count; ++r) {
        const Row& row = m_rows[std::size_t(r)];
        const double room =
            m_height - m_footerHeight - m_header.height - (m_pages.empty() ? m_titleHeight : 0);
        double needed = row.height;
        if (row.kind == RowKind::Group && r + 1 < count)
            needed += m_rows[std::size_t(r) + 1].height;
        if (row.kind == RowKind::Total)
            needed += m_noticeHeight;
        if (r > first && used + needed > room) {
            int next = r;
            if (row.kind == RowKind::Total && next - 1 > first &&
                m_rows[std::size_t(next) - 1].kind == RowKind::Line) {
                --next;
                if (next - 1 > first && m_rows[std::size_t(next) - 1].kind == RowKind::Group)
                    --next;
            }
            m_pages.emplace_back(first, next);
            first = next;
            const Row* heading = continuedGroup(next);
            used = heading ? heading->height : 0;
            for (int moved = next; moved < r; ++moved)
                used += m_rows[std::size_t(moved)].height;
        }
        used += row.height;
    }
    m_pages.emplace_back(first, count);
}

void Layout::paintRow(QPainter& painter, const Row& row, double y) const {
    painter.setFont(fontOf(row.kind));
    if (row.kind == RowKind::Header || row.kind == RowKind::Group)
        painter.fillRect(QRectF(0, y, m_width, row.height),
                         row.kind == RowKind::Header ? headerBackground : groupBackground);
    for (int c = 0; c < printColumnCount; ++c) {
        if (c > 0 && spans(row, c))
            continue;  // covered by the first cell of the span
        const QRectF cell = cellRect(row, c, y);
        painter.drawRect(cell);
        const QString& text = row.cells[std::size_t(c)];
        if (text.isEmpty())
            continue;
        const QRectF inner = cell.adjusted(m_padX, m_padY, -m_padX, -m_padY);
        const bool clipped = row.overflows[std::size_t(c)];
        if (clipped) {
            painter.save();
            painter.setClipRect(cell);
        }
        painter.setFont(cellFont(row, c));
        painter.drawText(inner, row.flags[std::size_t(c)], text);
        if (clipped)
            painter.restore();
    }
}

void Layout::paintPage(QPainter& painter, int page) const {
    const auto [first, last] = m_pages[std::size_t(page)];
    painter.setPen(QPen(Qt::black, mm(0.2)));
    double y = 0;
    if (page == 0) {
        painter.setFont(m_title);
        painter.setPen(titleColour);
        const double titleLine = metrics(m_title).height();
        painter.drawText(QRectF(0, 0, m_width, titleLine), Qt::AlignCenter, printTitle());
        painter.setFont(m_body);
        painter.setPen(QPen(Qt::black, mm(0.2)));
        const QRectF subject(0, titleLine + mm(1.5), m_width, metrics(m_body).height());
        const QString date =
            QStringLiteral("Дата: ") + m_doc.date.toString(QStringLiteral("dd.MM.yyyy"));
        painter.drawText(subject, Qt::AlignLeft | Qt::AlignVCenter, elidedProject(m_body, date));
        painter.drawText(subject, Qt::AlignRight | Qt::AlignVCenter, date);
        y = m_titleHeight;
    }
    paintRow(painter, m_header, y);
    y += m_header.height;
    if (const Row* heading = continuedGroup(first); heading && page > 0) {
        paintRow(painter, *heading, y);
        y += heading->height;
    }
    for (int r = first; r < last; ++r) {
        paintRow(painter, m_rows[std::size_t(r)], y);
        y += m_rows[std::size_t(r)].height;
    }
    if (page + 1 == pageCount()) {
        painter.setFont(m_body);
        painter.drawText(QRectF(0, y + mm(2), m_width, m_noticeHeight),
                         Qt::AlignLeft | Qt::TextWordWrap, printNotice());
    }
    painter.setFont(m_small);
    const double footerLine = metrics(m_small).height();
    const QRectF footer(0, m_height - footerLine, m_width, footerLine);
    // The price list the prices come from stands before the sheet number; the project's name
    // gives way to both.
    QString sheet = QStringLiteral("Лист %1 из %2").arg(page + 1).arg(pageCount());
    if (!m_doc.priceSource.isEmpty())
        sheet = m_doc.priceSource + QStringLiteral("     ") + sheet;
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, elidedProject(m_small, sheet));
    painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, sheet);
}

QString Layout::elidedProject(const QFont& font, const QString& beside) const {
    const QFontMetricsF fm = metrics(font);
    return fm.elidedText(m_doc.projectLine, Qt::ElideRight,
                         m_width - fm.horizontalAdvance(beside) - mm(5));
}

}  // namespace

QPageLayout printPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(15, 10, 10, 10),
                       QPageLayout::Millimeter);
}

int paintSpecification(QPagedPaintDevice& device, const PrintDocument& doc) {
    return paintSheets<Layout>(device, doc);
}

QByteArray specificationPdf(const PrintDocument& doc) {
    return paintedPdf(printPageLayout(), doc.projectLine,
                      [&doc](QPagedPaintDevice& device) { paintSpecification(device, doc); });
}

QByteArray paintedPdf(const QPageLayout& layout, const QString& title,
                      const std::function<void(QPagedPaintDevice&)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(layout);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Улмар"));
        paint(writer);
    }
    return buffer.data();
}
