#include "ui/DataGrid.h"

#include "store/Query.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Column titles wrap over as many lines as their widths need, two at least; the header grows
// to hold the tallest.
class WrappingHeader : public QHeaderView {
public:
    explicit WrappingHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

    QSize sizeHint() const override {
        QSize size = QHeaderView::sizeHint();
        int height = 2 * fontMetrics().height();
        for (int section = 0; model() && section < count(); ++section) {
            if (isSectionHidden(section))
                continue;
            const QString title = model()->headerData(section, orientation()).toString();
            const QRect room(0, 0, std::max(1, sectionSize(section) - 4), 1000);
            height =
                std::max(height, fontMetrics()
                                     .boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, title)
                                     .height());
        }
        size.setHeight(height + 6);
        return size;
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = rect;
        option.section = logicalIndex;
        style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
        const QString title = model()->headerData(logicalIndex, orientation()).toString();
        const QRect room = rect.adjusted(2, 1, -2, -1);
        // A word longer than the column ends in an ellipsis rather than losing both ends.
        const QStringList words = title.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const bool wordTooLong = std::any_of(words.begin(), words.end(), [&](const QString& w) {
            return fontMetrics().horizontalAdvance(w) > room.width();
        });
        if (wordTooLong)
            painter->drawText(room, Qt::AlignCenter,
                              fontMetrics().elidedText(title, Qt::ElideRight, room.width()));
        else
            painter->drawText(room, Qt::AlignCenter | Qt::TextWordWrap, title);
    }
};

// The least width of a column that shows the largest figure whole (9999999,9999, or with two
// decimals) in the grid's font.
int figureColumnWidth(const QTreeView* view, bool twoDecimals) {
    const QFontMetrics metrics(view->font());
    // The widest digit stands for every digit: fonts need not draw them alike.
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c)
        digit = std::max(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    const int width =
        (twoDecimals ? 9 : 11) * digit + metrics.horizontalAdvance(QLocale().decimalPoint());
    // The inset the cells draw their text with, the style's text margins and the grid line.
    const int textMargin =
        view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return width + 4 + 2 * textMargin + 1;
}

}  // namespace

// Draws a cell's text in one pass, without the line-breaking layout the standard delegate
// builds for every cell: a large tree repaints many. A text longer than its cell (a name, an
// article; a figure only in a column the user made narrower) ends in an ellipsis, and the whole
// text shows as a tip over the cell. Where asked, it draws a row indicator and grid lines too.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool lines = false;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const auto* model = static_cast<const GridModel*>(index.model());
        if (model->columns().at(index.column()).indicator)
            paintIndicator(painter, option);
        else
            paintCell(painter, option, index);
        if (lines) {
            painter->save();
            painter->setPen(option.palette.color(QPalette::Mid));
            painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
            painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
            painter->restore();
        }
    }

private:
    // A button-coloured cell with a black arrowhead on the current row.
    static void paintIndicator(QPainter* painter, const QStyleOptionViewItem& option) {
        painter->fillRect(option.rect, option.palette.button());
        if (!(option.state & QStyle::State_Selected))
            return;
        const QPoint centre = option.rect.center();
        const QPolygon arrow(
            {centre + QPoint(-2, -4), centre + QPoint(2, 0), centre + QPoint(-2, 4)});
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(option.palette.color(QPalette::ButtonText));
        painter->drawPolygon(arrow);
        painter->restore();
    }

public:
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return false;
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        if (cell.fontMetrics.horizontalAdvance(cell.text) <= textArea(cell).width())
            return false;  // whole: the grid's own hint, if it has one
        QToolTip::showText(event->globalPos(), cell.text, view->viewport(), option.rect);
        return true;
    }

private:
    // Where a cell's text goes.
    static QRect textArea(const QStyleOptionViewItem& cell) {
        const QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
        return style->subElementRect(QStyle::SE_ItemViewItemText, &cell, cell.widget)
            .adjusted(2, 0, -2, 0);
    }

    void paintCell(QPainter* painter, const QStyleOptionViewItem& option,
                   const QModelIndex& index) const {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QString text = cell.text;
        cell.text.clear();
        QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
        if (text.isEmpty())
            return;
        const QRect area = textArea(cell);
        const QString shown = cell.fontMetrics.elidedText(text, Qt::ElideRight, area.width());
        painter->save();
        painter->setClipRect(area);
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(
            cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
            cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(area, int(cell.displayAlignment) | Qt::TextSingleLine, shown);
        painter->restore();
    }
};

DataGrid::DataGrid(QWidget* parent)
    : QWidget(parent), m_model(new GridModel(this)), m_view(new QTreeView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    m_view->setHeader(new WrappingHeader(m_view));
    m_view->setModel(m_model);
    m_view->setRootIsDecorated(false);
    m_view->setUniformRowHeights(true);
    m_delegate = new CellDelegate(m_view);
    m_view->setItemDelegate(m_delegate);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setMouseTracking(true);
    m_view->setItemsExpandable(true);
    m_view->header()->setSectionsMovable(false);
    m_view->header()->setStretchLastSection(false);
    m_view->installEventFilter(this);
    m_view->viewport()->installEventFilter(this);
    setFocusProxy(m_view);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
    connect(m_view, &QTreeView::doubleClicked, this, [this] { emit doubleClicked(); });
    // A narrower column may need another line of title.
    connect(m_view->header(), &QHeaderView::sectionResized, m_view,
            [this] { QMetaObject::invokeMethod(m_view, "updateGeometries"); });
    connect(m_view, &QTreeView::clicked, this, [this] { emit cellClicked(); });
}

void DataGrid::setColumns(const QList<GridColumn>& columns) {
    QList<GridColumn> all = columns;
    if (m_delegate->lines) {
        GridColumn indicator;
        indicator.indicator = true;
        indicator.width = 11;
        all.prepend(indicator);
    }
    m_model->setColumns(all);
    for (int c = 0; c < all.size(); ++c) {
        m_view->setColumnWidth(c, all[c].width);
        m_view->setColumnHidden(c, !all[c].visible);
    }
}

void DataGrid::setRowIndicatorAndLines() {
    if (m_delegate->lines)
        return;
    m_delegate->lines = true;
    setColumns(m_model->columns());
}

void DataGrid::setTreeFields(const QString& keyField, const QString& parentField) {
    m_model->setTreeFields(keyField, parentField);
    m_view->setRootIsDecorated(true);
    m_view->setIndentation(12);  // two levels only: keep the article column readable
}

void DataGrid::setFooter(const QString& sumField, const QString& underField) {
    m_sumField = sumField;
    m_footerUnder = underField;
    if (!m_footer) {
        m_footerStrip = new QWidget(this);
        m_footerStrip->setFixedHeight(m_view->fontMetrics().height() + 8);
        m_footerStrip->installEventFilter(this);
        m_footer = new QLabel(m_footerStrip);
        m_footer->setObjectName(QStringLiteral("footer"));
        m_footer->setAutoFillBackground(true);
        m_footer->setAlignment(Qt::AlignCenter);
        static_cast<QVBoxLayout*>(layout())->addWidget(m_footerStrip);
        connect(m_view->header(), &QHeaderView::sectionResized, this, [this] { placeFooter(); });
        connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
                [this] { placeFooter(); });
    }
    updateFooter();
}

void DataGrid::takeRoomFrom(const QString& field) {
    m_roomField = field;
}

void DataGrid::makeRoom() {
    const auto& columns = m_model->columns();
    int room = -1;
    for (int c = 0; c < columns.size(); ++c)
        if (columns[c].field == m_roomField)
            room = c;
    if (room < 0)
        return;
    int roomWidth = m_view->columnWidth(room);
    for (int c = 0; c < columns.size(); ++c) {
        if (!columns[c].figure || m_view->isColumnHidden(c))
            continue;
        const int needed = figureColumnWidth(m_view, columns[c].twoDecimals);
        if (needed > m_view->columnWidth(c)) {
            roomWidth -= needed - m_view->columnWidth(c);
            m_view->setColumnWidth(c, needed);
        }
    }
    int total = 0;
    for (int c = 0; c < columns.size(); ++c)
        if (!m_view->isColumnHidden(c) && c != room)
            total += m_view->columnWidth(c);
    const int viewRoom = m_view->width() - 2 * m_view->frameWidth() -
                         m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view);
    roomWidth = std::min(roomWidth, viewRoom - total);
    m_view->setColumnWidth(room, std::max(40, roomWidth));
}

void DataGrid::reload() {
    m_programMove = true;
    m_model->reload(m_query);
    m_view->expandToDepth(0);  // the group rows; lines have no children
    syncToQuery();
    m_programMove = false;
    updateFooter();
}

void DataGrid::editRows(const std::function<void()>& edit) {
    m_programMove = true;
    // New groups open as those of a reload do; the others keep what the user made of them.
    QList<QPersistentModelIndex> added;
    const auto watch = connect(m_model, &QAbstractItemModel::rowsInserted, this,
                               [&](const QModelIndex& parent, int first) {
                                   if (!parent.isValid())
                                       added << QPersistentModelIndex(m_model->index(first, 0));
                               });
    try {
        edit();
    } catch (...) {
        disconnect(watch);
        m_programMove = false;
        throw;
    }
    disconnect(watch);
    for (const QPersistentModelIndex& group : added)
        m_view->expand(group);
    syncToQuery();
    m_programMove = false;
    updateFooter();
}

void DataGrid::reopen(const QString& sql) {
    m_query->close();
    reload();
    m_query->setSql(sql);
    m_query->open();
    reload();
}

void DataGrid::syncToQuery() {
    const bool wasProgramMove = m_programMove;
    m_programMove = true;
    const int recNo = m_query && m_query->isOpen() ? m_query->recNo() : 0;
    const QModelIndex index = m_model->indexOfRecNo(recNo);
    if (index.isValid()) {
        m_view->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(index);
    } else {
        m_view->selectionModel()->clear();
    }
    m_programMove = wasProgramMove;
}

void DataGrid::onCurrentChanged(const QModelIndex& current) {
    if (m_programMove || !m_query || !m_query->isOpen())
        return;
    const int recNo = m_model->recNoOf(current);
    if (recNo < 1 || recNo == m_query->recNo())
        return;
    m_query->setRecNo(recNo);
    emit currentRowChanged();
}

void DataGrid::updateFooter() {
    if (!m_footer)
        return;
    m_total = Fixed4();
    if (m_query && m_query->isOpen()) {
        const int column = m_query->columnIndex(m_sumField);
        try {
            for (int r = 0; column >= 0 && r < m_query->recordCount(); ++r)
                m_total += m_query->value(r, column).toFixed();
        } catch (const AmountTooLarge&) {
            m_total = Fixed4();
            m_footer->clear();
            throw;
        }
    }
    m_footer->setText(m_total.toString().replace(QLatin1Char('.'), QLocale().decimalPoint()));
    placeFooter();
}

void DataGrid::placeFooter() {
    if (!m_footer)
        return;
    // The total stands under its column, as in a grid footer, but is never cut: a total wider
    // than the column reaches over its neighbours, and the grid is never narrower than it.
    const int needed = m_footer->fontMetrics().horizontalAdvance(m_footer->text()) + 8;
    m_footerStrip->setMinimumWidth(needed);
    const auto& columns = m_model->columns();
    for (int c = 0; c < columns.size(); ++c) {
        if (columns[c].field.compare(m_footerUnder, Qt::CaseInsensitive) != 0)
            continue;
        const int left = m_view->header()->sectionViewportPosition(c) + m_view->frameWidth();
        const int width = std::max(needed, m_view->header()->sectionSize(c));
        const int right = std::min(left + m_view->header()->sectionSize(c), m_footerStrip->width());
        m_footer->setGeometry(std::max(0, right - width), 0, width, m_footerStrip->height());
    }
}

bool DataGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_footerStrip && event->type() == QEvent::Resize)
        placeFooter();
    if (watched == m_view && event->type() == QEvent::Show && !m_roomField.isEmpty()) {
        makeRoom();
        m_roomField.clear();
    }
    if (watched == m_view) {
        switch (event->type()) {
            case QEvent::FocusIn:
                emit focusEntered();
                break;
            case QEvent::FocusOut:
                emit focusLeft();
                break;
            case QEvent::KeyRelease:
                emit keyReleased();
                break;
            case QEvent::KeyPress: {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    emit returnPressed();
                    return true;
                }
                if (key == Qt::Key_Delete) {
                    emit deletePressed();
                    return true;
                }
                break;
            }
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
