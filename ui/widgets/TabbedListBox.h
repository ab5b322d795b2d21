#pragma once
// A single-selection list whose rows are TAB-separated columns drawn at
// fixed tab stops, with a horizontal scroll bar.  A row's text, TABs
// included, stays the row's value.

#include <QListWidget>
#include <vector>

namespace corvane {

class TabbedListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TabbedListBox(QWidget* parent = nullptr);

    // Each position p becomes the tab stop trunc(p x factor / b) in units of
    // a quarter of b, b being the font's average character width.
    void setTabStops(const std::vector<int>& positions, double factor);
    const std::vector<int>& tabStopUnits() const { return units_; }
    // The tab stops in pixels from a row's left edge.
    std::vector<int> tabStopPixels() const;
    // The base unit b in pixels.
    int baseUnit() const;

    // Where each column of a row starts, in pixels from its left edge.
    std::vector<int> columnStarts(const QString& row) const;

private:
    std::vector<int> units_;
};

}  // namespace corvane
