#pragma once
// The data list's header, `Cabecera`: six sections drawn by the program, one per column of
// the list. A click on a section asks for the list sorted by it; the sorted section
// carries a grey mark. Its width and place are set by the window, not by a layout.

#include <QHeaderView>

class QStandardItemModel;

namespace quorvan {

class DataListHeader : public QHeaderView {
    Q_OBJECT

public:
    static constexpr int kSectionCount = 6;

    explicit DataListHeader(QWidget* parent = nullptr);

    // Which sort text a section asks for (ClaveOrden's image index).
    static int ImageIndex(int section);

    // The section that carries the sort mark.
    void ShowSortMark(int section);

    // Draws one section: its text ("..." when the section is too narrow for it) and the
    // sort mark when it is the sorted one.
    void CabeceraDrawSection(QPainter& painter, int section, const QRect& rect) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void KeepWithinLargestWidth(int section, int oldSize, int newSize);

    QStandardItemModel* sections_;  // owned as a child
    int sortMark_ = 0;
};

}  // namespace quorvan
