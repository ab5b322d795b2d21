#include "ui/widgets/TabbedListBox.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include "logic/text/TabStops.h"

namespace corvane {
namespace {

class TabDelegate : public QStyledItemDelegate {
public:
    explicit TabDelegate(TabbedListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o(option);
        initStyleOption(&o, index);
        const QString row = o.text;
        o.text.clear();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, painter, o.widget);
        painter->save();
        painter->setPen(o.state & QStyle::State_Selected ? o.palette.highlightedText().color()
                                                         : o.palette.text().color());
        const QStringList columns = row.split('\t');
        const std::vector<int> starts = list_->columnStarts(row);
        for (int i = 0; i < columns.size(); ++i) {
            const QRect r = o.rect.adjusted(2 + starts[static_cast<std::size_t>(i)], 0, 0, 0);
            painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, columns[i]);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        const QString row = index.data().toString();
        const QStringList columns = row.split('\t');
        const std::vector<int> starts = list_->columnStarts(row);
        s.setWidth(starts.back() + list_->fontMetrics().horizontalAdvance(columns.back()) + 6);
        return s;
    }

private:
    TabbedListBox* list_;
};

}  // namespace

TabbedListBox::TabbedListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setItemDelegate(new TabDelegate(this));
}

int TabbedListBox::baseUnit() const { return std::max(1, fontMetrics().averageCharWidth()); }

void TabbedListBox::setTabStops(const std::vector<int>& positions, double factor) {
    units_ = ConvertTabStops(positions, factor, baseUnit());
    viewport()->update();
}

std::vector<int> TabbedListBox::tabStopPixels() const {
    std::vector<int> px;
    for (int u : units_) px.push_back(TabStopPixels(u, baseUnit()));
    return px;
}

std::vector<int> TabbedListBox::columnStarts(const QString& row) const {
    // A TAB advances to the next tab stop beyond the text so far; past the
    // last stop, to the next multiple of eight characters.
    const std::vector<int> stops = tabStopPixels();
    const QStringList columns = row.split('\t');
    std::vector<int> starts{0};
    int x = 0;
    for (int i = 0; i + 1 < columns.size(); ++i) {
        x += fontMetrics().horizontalAdvance(columns[i]);
        int next = -1;
        for (int s : stops)
            if (s > x) {
                next = s;
                break;
            }
        if (next < 0) {
            const int step = 8 * baseUnit();
            next = (x / step + 1) * step;
        }
        x = next;
        starts.push_back(x);
    }
    return starts;
}

}  // namespace corvane
