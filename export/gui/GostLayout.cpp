#include "export/gui/GostLayout.h"

#include "export/GostForm.h"
#include "export/gui/PrintLayout.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <numeric>

namespace {

constexpr double formWidth = 395;     // mm, the table of form 1
constexpr double stampWidth = 185;    // mm, both main inscriptions
constexpr double firstStamp = 40;     // mm, the inscription of a text document's first sheet
constexpr double laterStamp = 15;     // mm, the short one of the following sheets
constexpr double headerHeight = 15;   // mm, the column headings
constexpr double minRowHeight = 8;    // mm, a row of the table
constexpr double thinLine = 0.25;     // mm
constexpr double mainLine = 0.5;      // mm, the frame and the main lines of the inscription
constexpr double smallestPoints = 4;  // letters are made smaller down to this, never cut

constexpr std::array<int, GostColumnCount> alignment = {
    Qt::AlignHCenter, Qt::AlignLeft,    Qt::AlignLeft,    Qt::AlignHCenter, Qt::AlignLeft,
    Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignLeft};
// Cells whose text is one number: they get smaller letters rather than a break.
constexpr std::array<bool, GostColumnCount> numeric = {true,  false, false, true, false,
                                                       false, true,  true,  false};

QFont font(double points, bool underline = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setUnderline(underline);
    return f;
}

// A text placed in a cell: the letters it fits with and how it breaks.
struct Fitted {
    QFont font;
    int flags = 0;
    double height = 0;
};

// One cell of the main inscription, in millimetres from the inscription's top left corner.
struct StampCell {
    double x, y, w, h;
    QString text;
    double points;
    int align = Qt::AlignLeft | Qt::AlignVCenter;
};

class Layout {
public:
    Layout(QPagedPaintDevice& device, const GostDocument& doc);
    int pageCount() const { return int(m_pages.size()); }
    void paintPage(QPainter& painter, int page) const;

private:
    double mm(double millimetres) const { return millimetres * m_dpi / 25.4; }
    QFontMetricsF metrics(const QFont& f) const { return QFontMetricsF(f, m_device); }
    // The largest letters up to points with which text fits width (and height, when one is
    // given): words break between them; a number or a word too long even in the smallest
    // letters never breaks, a word does.
    Fitted fit(const QString& text, double width, double height, double points, int align,
               bool number) const;
    // Fits each cell of a table row once, for both its height and its painting.
    double fitRow(const GostRow& row, std::array<Fitted, GostColumnCount>& fits) const;
    double tableBottom(int page) const {
        return m_height - mm(page == 0 ? firstStamp : laterStamp) * m_stampScale;
    }
    void paginate();
    void paintTable(QPainter& painter, int page) const;
    void paintStamp(QPainter& painter, int page) const;
    void paintCell(QPainter& painter, const QRectF& rect, const QString& text, double points,
                   int align, bool number) const;
    QPen pen(double millimetres) const { return QPen(Qt::black, mm(millimetres)); }

    const QPaintDevice* m_device;
    const GostDocument& m_doc;
    double m_dpi;
    double m_width;
    double m_height;
    double m_scale;       // of the table's columns to the frame's width
    double m_stampScale;  // of the inscription, when the frame is narrower than it
    double m_pad;
    std::array<double, GostColumnCount + 1> m_columnX{};
    std::vector<double> m_heights;                            // of each row
    std::vector<std::array<Fitted, GostColumnCount>> m_fits;  // of each row's cells
    std::vector<std::pair<int, int>> m_pages;                 // rows [first, last) of each sheet
};

Layout::Layout(QPagedPaintDevice& device, const GostDocument& doc)
    : m_device(&device),
      m_doc(doc),
      m_dpi(device.logicalDpiY()),
      m_width(device.width()),
      m_height(device.height()),
      m_scale(m_width / mm(formWidth)),
      m_stampScale(std::min(1.0, m_width / mm(stampWidth))),
      m_pad(mm(1)) {
    double x = 0;
    for (int c = 0; c < GostColumnCount; ++c) {
        m_columnX[std::size_t(c)] = x;
        x += mm(gostColumnWidths[std::size_t(c)]) * m_scale;
    }
    m_columnX[GostColumnCount] = m_width;
    m_fits.resize(doc.rows.size());
    for (std::size_t r = 0; r < doc.rows.size(); ++r)
        m_heights.push_back(fitRow(doc.rows[r], m_fits[r]));
    paginate();
}

Fitted Layout::fit(const QString& text, double width, double height, double points, int align,
                   bool number) const {
    Fitted f;
    for (double size = points;; size -= 0.5) {
        f.font = font(size, f.font.underline());
        const QFontMetricsF m = metrics(f.font);
        f.flags = align | (number ? 0 : Qt::TextWordWrap);
        const QRectF bounds = m.boundingRect(QRectF(0, 0, width, 1e9), f.flags, text);
        f.height = bounds.height();
        const bool fits = bounds.width() <= width && (height <= 0 || f.height <= height);
        if (fits)
            return f;
        if (size - 0.5 < smallestPoints) {
            if (!number) {
                f.flags = align | Qt::TextWrapAnywhere;
                f.height = m.boundingRect(QRectF(0, 0, width, 1e9), f.flags, text).height();
            }
            return f;
        }
    }
}

// The cell's room below the row's height is at least its padding, so the letters that fit its
// width fit the painted cell too.
double Layout::fitRow(const GostRow& row, std::array<Fitted, GostColumnCount>& fits) const {
    double tallest = 0;
    for (int c = 0; c < GostColumnCount; ++c) {
        const QString& text = row.cells[std::size_t(c)];
        if (text.isEmpty())
            continue;
        const double width = m_columnX[std::size_t(c) + 1] - m_columnX[std::size_t(c)] - 2 * m_pad;
        Fitted& f = fits[std::size_t(c)];
        f = fit(text, width, 0, 9, alignment[std::size_t(c)],
                numeric[std::size_t(c)] && !row.section);
        tallest = std::max(tallest, f.height);
    }
    return std::max(mm(minRowHeight), tallest + 2 * m_pad);
}

// Rows go on a sheet while they fit above its inscription; a section heading moves on with its
// first line.
void Layout::paginate() {
    const int count = int(m_heights.size());
    int first = 0;
    double used = 0;
    for (int r = 0; r < count; ++r) {
        double needed = m_heights[std::size_t(r)];
        if (m_doc.rows[std::size_t(r)].section && r + 1 < count)
            needed += m_heights[std::size_t(r) + 1];
        const double room = tableBottom(int(m_pages.size())) - mm(headerHeight);
        if (r > first && used + needed > room) {
            m_pages.emplace_back(first, r);
            first = r;
            used = 0;
        }
        used += m_heights[std::size_t(r)];
    }
    m_pages.emplace_back(first, count);
}

void Layout::paintCell(QPainter& painter, const QRectF& rect, const QString& text, double points,
                       int align, bool number) const {
    if (text.isEmpty())
        return;
    const QRectF inner = rect.adjusted(m_pad, m_pad / 2, -m_pad, -m_pad / 2);
    const Fitted f = fit(text, inner.width(), inner.height(), points, align, number);
    painter.setFont(f.font);
    painter.drawText(inner, f.flags, text);
}

void Layout::paintTable(QPainter& painter, int page) const {
    const double bottom = tableBottom(page);
    const double header = mm(headerHeight);
    painter.setPen(pen(mainLine));
    for (int c = 1; c < GostColumnCount; ++c)
        painter.drawLine(QPointF(m_columnX[std::size_t(c)], 0),
                         QPointF(m_columnX[std::size_t(c)], bottom));
    painter.drawLine(QPointF(0, header), QPointF(m_width, header));
    painter.drawLine(QPointF(0, bottom), QPointF(m_width, bottom));
    for (int c = 0; c < GostColumnCount; ++c)
        paintCell(painter,
                  QRectF(m_columnX[std::size_t(c)], 0,
                         m_columnX[std::size_t(c) + 1] - m_columnX[std::size_t(c)], header),
                  gostColumnTitle(c), 8, Qt::AlignCenter, false);

    painter.setPen(pen(thinLine));
    const auto [first, last] = m_pages[std::size_t(page)];
    double y = header;
    for (int r = first; r < last; ++r) {
        const GostRow& row = m_doc.rows[std::size_t(r)];
        const double height = m_heights[std::size_t(r)];
        for (int c = 0; c < GostColumnCount; ++c) {
            const QRectF cell(m_columnX[std::size_t(c)], y,
                              m_columnX[std::size_t(c) + 1] - m_columnX[std::size_t(c)], height);
            const QString& text = row.cells[std::size_t(c)];
            if (text.isEmpty())
                continue;
            const QRectF inner = cell.adjusted(m_pad, m_pad / 2, -m_pad, -m_pad / 2);
            QFont font = m_fits[std::size_t(r)][std::size_t(c)].font;
            const int wrap = m_fits[std::size_t(r)][std::size_t(c)].flags &
                             ~int(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask);
            // A section's name is underlined in the name column.
            font.setUnderline(row.section);
            painter.setFont(font);
            painter.drawText(inner,
                             wrap | Qt::AlignVCenter |
                                 (row.section ? Qt::AlignHCenter : alignment[std::size_t(c)]),
                             text);
        }
        y += height;
        if (y < bottom - 1)
            painter.drawLine(QPointF(0, y), QPointF(m_width, y));
    }
}

// The inscriptions as the standard draws them: the change table on the left, then the
// document's code, on the first sheet also the signatures, the object and the document's
// name, stage and sheets and the organisation.
void Layout::paintStamp(QPainter& painter, int page) const {
    const ProjectProperties& p = m_doc.properties;
    const double height = page == 0 ? firstStamp : laterStamp;
    const double s = m_stampScale;
    const QPointF origin(m_width - mm(stampWidth) * s, m_height - mm(height) * s);
    auto rect = [&](double x, double y, double w, double h) {
        return QRectF(origin.x() + mm(x) * s, origin.y() + mm(y) * s, mm(w) * s, mm(h) * s);
    };
    auto line = [&](double x1, double y1, double x2, double y2) {
        painter.drawLine(rect(x1, y1, 0, 0).topLeft(), rect(x2, y2, 0, 0).topLeft());
    };
    // The change table: Изм. 7, Кол.уч. 10, Лист 10, № док. 10, Подп. 15, Дата 10.
    constexpr std::array<double, 7> changeX = {0, 7, 17, 27, 37, 52, 62};
    const QStringList changeTitles = {QStringLiteral("Изм."),  QStringLiteral("Кол.уч."),
                                      QStringLiteral("Лист"),  QStringLiteral("№ док."),
                                      QStringLiteral("Подп."), QStringLiteral("Дата")};
    std::vector<StampCell> cells;
    for (int c = 0; c < 6; ++c)
        cells.push_back({changeX[std::size_t(c)], 10,
                         changeX[std::size_t(c) + 1] - changeX[std::size_t(c)], 5,
                         changeTitles.at(c), 7, Qt::AlignCenter});

    painter.setPen(pen(thinLine));
    line(0, 5, 62, 5);
    painter.setPen(pen(mainLine));
    line(0, 10, 62, 10);
    line(0, 15, 62, 15);
    for (int c = 1; c < 6; ++c)
        line(changeX[std::size_t(c)], 0, changeX[std::size_t(c)], page == 0 ? 15 : 15);
    line(62, 0, 62, height);

    if (page == 0) {
        // Signatures: the role over Изм. and Кол.уч., the name over Лист and № док.
        const std::array<std::pair<QString, ProjectProperties::Field>, 5> roles = {{
            {QStringLiteral("Разраб."), ProjectProperties::Developer},
            {QStringLiteral("Пров."), ProjectProperties::Checker},
            {QString(), ProjectProperties::FieldCount},
            {QStringLiteral("Н. контр."), ProjectProperties::NormControl},
            {QStringLiteral("ГИП"), ProjectProperties::Chief},
        }};
        for (std::size_t r = 0; r < roles.size(); ++r) {
            const double y = 15 + 5 * double(r);
            cells.push_back({0, y, 17, 5, roles[r].first, 7});
            if (roles[r].second != ProjectProperties::FieldCount)
                cells.push_back({17, y, 20, 5, p[roles[r].second], 7});
        }
        painter.setPen(pen(thinLine));
        for (int r = 1; r < 5; ++r)
            line(0, 15 + 5 * r, 62, 15 + 5 * r);
        painter.setPen(pen(mainLine));
        for (double x : {17.0, 37.0, 52.0})
            line(x, 15, x, 40);

        cells.push_back({62, 0, 123, 15, p[ProjectProperties::Code], 12, Qt::AlignCenter});
        cells.push_back({62, 15, 70, 10, p[ProjectProperties::Object], 8, Qt::AlignCenter});
        cells.push_back({62, 25, 70, 15, p.documentTitle(), 9, Qt::AlignCenter});
        cells.push_back({132, 15, 15, 5, QStringLiteral("Стадия"), 7, Qt::AlignCenter});
        cells.push_back({147, 15, 15, 5, QStringLiteral("Лист"), 7, Qt::AlignCenter});
        cells.push_back({162, 15, 23, 5, QStringLiteral("Листов"), 7, Qt::AlignCenter});
        cells.push_back({132, 20, 15, 5, p[ProjectProperties::Stage], 8, Qt::AlignCenter});
        cells.push_back({147, 20, 15, 5, QString::number(page + 1), 8, Qt::AlignCenter});
        cells.push_back({162, 20, 23, 5, QString::number(pageCount()), 8, Qt::AlignCenter});
        cells.push_back({132, 25, 53, 15, p[ProjectProperties::Organization], 9, Qt::AlignCenter});
        line(62, 15, 185, 15);
        line(132, 15, 132, 40);
        line(132, 20, 185, 20);
        line(132, 25, 185, 25);
        line(147, 15, 147, 25);
        line(162, 15, 162, 25);
        painter.setPen(pen(thinLine));
        line(62, 25, 132, 25);
    } else {
        cells.push_back({62, 0, 113, 15, p[ProjectProperties::Code], 12, Qt::AlignCenter});
        cells.push_back({175, 0, 10, 7, QStringLiteral("Лист"), 7, Qt::AlignCenter});
        cells.push_back({175, 7, 10, 8, QString::number(page + 1), 8, Qt::AlignCenter});
        painter.setPen(pen(mainLine));
        line(175, 0, 175, 15);
        line(175, 7, 185, 7);
    }
    painter.setPen(pen(mainLine));
    painter.drawRect(rect(0, 0, stampWidth, height));
    for (const StampCell& cell : cells)
        paintCell(painter, rect(cell.x, cell.y, cell.w, cell.h), cell.text, cell.points * s,
                  cell.align, false);
}

void Layout::paintPage(QPainter& painter, int page) const {
    paintTable(painter, page);
    // The inscription covers the table's lines beneath it.
    const double height = mm(page == 0 ? firstStamp : laterStamp) * m_stampScale;
    painter.fillRect(QRectF(m_width - mm(stampWidth) * m_stampScale, m_height - height,
                            mm(stampWidth) * m_stampScale, height),
                     Qt::white);
    paintStamp(painter, page);
    painter.setPen(pen(mainLine));
    const double half = mm(mainLine) / 2;
    painter.drawRect(QRectF(half, half, m_width - 2 * half, m_height - 2 * half));
}

}  // namespace

QPageLayout gostPageLayout(GostPaper paper) {
    return paper == GostPaper::A3 ? QPageLayout(QPageSize(QPageSize::A3), QPageLayout::Landscape,
                                                QMarginsF(20, 5, 5, 5), QPageLayout::Millimeter)
                                  : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                QMarginsF(20, 5, 5, 5), QPageLayout::Millimeter);
}

int paintGostForm(QPagedPaintDevice& device, const GostDocument& doc) {
    return paintSheets<Layout>(device, doc);
}

QByteArray gostFormPdf(const GostDocument& doc, GostPaper paper) {
    const QString code = doc.properties[ProjectProperties::Code];
    return paintedPdf(gostPageLayout(paper), code.isEmpty() ? doc.properties.documentTitle() : code,
                      [&doc](QPagedPaintDevice& device) { paintGostForm(device, doc); });
}
