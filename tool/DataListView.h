#pragma once
// The data list, `ListaVisibles`: one row per record of the data list, drawn by the
// program in the header's columns. Each entry pairs a sort text (never shown) with a
// record it does not own; the entries stay in ascending order of their texts, compared
// without regard to case.

#include <QListView>
#include <QString>

#include "ProjectFile.h"

namespace quorvan {

class DataListHeader;
class DataListModel;

class DataListView : public QListView {
    Q_OBJECT

public:
    explicit DataListView(QWidget* parent = nullptr);
    ~DataListView() override;

    // The header whose sections give the columns' widths, and whose left edge the first
    // column starts at.
    void SetHeader(const DataListHeader* header) { header_ = header; }

    // Replaces the entries by one per record, sorted by the record's sort text for
    // `imageIndex`, in one update. The entry with the keyboard focus is then the first.
    void Rebuild(const RecordList& records, int imageIndex);
    void Clear();

    int Count() const;
    // The sort text and the record of an entry, 0 to Count() - 1.
    QString Text(int entry) const;
    const TRegistro* Record(int entry) const;
    // The record of the entry with the keyboard focus, selected or not; none in an empty list.
    const TRegistro* FocusedRecord() const;

    // Draws entry `index` in `rect`: six cells, the k-th as wide as header section k.
    void ListaVisiblesDrawItem(QPainter& painter, int index, const QRect& rect,
                               bool selected) const;

signals:
    // The list itself, not only its viewport, has taken a new size.
    void Resized();

protected:
    bool event(QEvent* event) override;

private:
    DataListModel* entries_;  // owned as a child
    const DataListHeader* header_ = nullptr;
};

}  // namespace quorvan
