#include "export/gui/PrintLayout.h"

#include "export/PrintContent.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
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

// A row of the table: a line fills the eight cells; a group row and the total row hold a
// text across the first seven columns and a sum in the last.
struct Row {
    RowKind kind;
    std::array<QString, printColumnCount> cells;
    double height = 0;
    int group = -1;  // the group a line belongs to, for its heading on a continued page
};

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
    const QFont& fontOf(RowKind kind) const { return kind == RowKind::Line ? m_body : m_bold; }
    bool spans(const Row& row, int column) const {
        return (row.kind == RowKind::Group || row.kind == RowKind::Total) && column != sumColumn;
    }
    QRectF cellRect(const Row& row, int column, double y) const;
    int cellFlags(const Row& row, int column, double width) const;
    double measure(const Row& row) const;
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
      m_padX(mm(1.2)),
      m_padY(mm(0.8)) {
    double shares = 0;
    for (double share : columnShares)
        shares += share;
    double x = 0;
    for (int c = 0; c < printColumnCount; ++c) {
        m_columnX[std::size_t(c)] = x;
        x += m_width * columnShares[std::size_t(c)] / shares;
    }
    m_columnX[printColumnCount] = m_width;

    for (int c = 0; c < printColumnCount; ++c)
        m_header.cells[std::size_t(c)] = printColumnTitle(c);
    for (const PrintGroup& group : doc.groups) {
        const int index = int(m_continued.size());
        Row heading{RowKind::Group, {}, 0, index};
        heading.cells[0] = group.name + QStringLiteral(" (продолжение)");
        m_continued.push_back(heading);
        if (!group.name.isEmpty()) {
            heading.cells[0] = group.name;
            heading.cells[sumColumn] = russianMoney(group.sum);
            m_rows.push_back(heading);
        }
        for (const PrintLine& line : group.lines)
            m_rows.push_back(Row{RowKind::Line,
                                 {QString::number(line.number), line.article, line.name,
                                  line.coating, russianQuantity(line.quantity), line.unit,
                                  russianMoney(line.price), russianMoney(line.sum)},
                                 0,
                                 group.name.isEmpty() ? -1 : index});
    }
    Row total{RowKind::Total, {}, 0};
    total.cells[0] = printTotalLabel();
    total.cells[sumColumn] = russianMoney(doc.total);
    m_rows.push_back(total);
    for (std::vector<Row>* rows : {&m_rows, &m_continued})
        for (Row& row : *rows)
            row.height = measure(row);
    m_header.height = measure(m_header);

    m_titleHeight = metrics(m_title).height() + mm(1.5) + metrics(m_body).height() + mm(3);
    m_noticeHeight = mm(2) + metrics(m_body)
                                 .boundingRect(QRectF(0, 0, m_width, 1e9),
                                               Qt::AlignLeft | Qt::TextWordWrap, printNotice())
                                 .height();
    m_footerHeight = mm(2) + metrics(m_small).height();
    paginate();
}

QRectF Layout::cellRect(const Row& row, int column, double y) const {
    const double left = m_columnX[std::size_t(column)];
    const double right =
        spans(row, column) ? m_columnX[sumColumn] : m_columnX[std::size_t(column) + 1];
    return QRectF(left, y, right - left, row.height);
}

// Text breaks between words; a word wider than its cell (a long article) breaks anywhere
// rather than being cut off at the cell's edge.
int Layout::cellFlags(const Row& row, int column, double width) const {
    int align = columnAlignment[std::size_t(column)] | Qt::AlignVCenter;
    if (row.kind == RowKind::Header)
        align = Qt::AlignCenter;
    else if (row.kind == RowKind::Group && column != sumColumn)
        align = Qt::AlignLeft | Qt::AlignVCenter;
    else if (row.kind == RowKind::Total && column != sumColumn)
        align = Qt::AlignRight | Qt::AlignVCenter;
    const QString& text = row.cells[std::size_t(column)];
    const QRectF words =
        metrics(fontOf(row.kind))
            .boundingRect(QRectF(0, 0, width, 1e9), align | Qt::TextWordWrap, text);
    return align | (words.width() > width ? Qt::TextWrapAnywhere : Qt::TextWordWrap);
}

double Layout::measure(const Row& row) const {
    double tallest = metrics(fontOf(row.kind)).height();
    for (int c = 0; c < printColumnCount; ++c) {
        const QString& text = row.cells[std::size_t(c)];
        if (text.isEmpty())
            continue;
        const double width = cellRect(row, c, 0).width() - 2 * m_padX;
        const QRectF bounds =
            metrics(fontOf(row.kind))
                .boundingRect(QRectF(0, 0, width, 1e9), cellFlags(row, c, width), text);
        tallest = std::max(tallest, bounds.height());
    }
    return tallest + 2 * m_padY;
}

const Row* Layout::continuedGroup(int firstRow) const {
    const Row& row = m_rows[std::size_t(firstRow)];
    return row.kind == RowKind::Line && row.group >= 0 ? &m_continued[std::size_t(row.group)]
                                                       : nullptr;
}

// Rows go on a page while they fit. A group's heading moves on with its first line, and the
// total with the notice under it, so neither ends a page alone.
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
            m_pages.emplace_back(first, r);
            first = r;
            const Row* heading = continuedGroup(r);
            used = heading ? heading->height : 0;
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
        const QRectF inner = cell.adjusted(m_padX, m_padY, -m_padX, -m_padY);
        painter.save();
        painter.setClipRect(cell);
        painter.drawText(inner, cellFlags(row, c, inner.width()), row.cells[std::size_t(c)]);
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
        painter.drawText(subject, Qt::AlignLeft | Qt::AlignVCenter, m_doc.projectLine);
        painter.drawText(
            subject, Qt::AlignRight | Qt::AlignVCenter,
            QStringLiteral("Дата: ") + m_doc.date.toString(QStringLiteral("dd.MM.yyyy")));
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
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, m_doc.projectLine);
    painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Лист %1 из %2").arg(page + 1).arg(pageCount()));
}

}  // namespace

QPageLayout printPageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(15, 10, 10, 10),
                       QPageLayout::Millimeter);
}

int paintSpecification(QPagedPaintDevice& device, const PrintDocument& doc) {
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const Layout layout(device, doc);
    for (int page = 0; page < layout.pageCount(); ++page) {
        if (page > 0)
            device.newPage();
        layout.paintPage(painter, page);
    }
    painter.end();
    return layout.pageCount();
}

QByteArray specificationPdf(const PrintDocument& doc) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(printPageLayout());
        writer.setTitle(doc.projectLine);
        writer.setCreator(QStringLiteral("Улмар"));
        paintSpecification(writer, doc);
    }
    return buffer.data();
}
