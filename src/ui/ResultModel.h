#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <memory>
#include <string>
#include <vector>

#include "results/ResultTable.h"
#include "window/AnswerNotes.h"
#include "window/CellColours.h"

namespace ip2h {

// The result list as the last refresh built it. The table behind it changes between
// refreshes (a registration or paste fills it at once), but the list shows those rows only
// at the next refresh, so the model keeps its own copy of the displayed cells, sized to
// their texts.
class ResultModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultModel)

public:
    explicit ResultModel(QObject* parent = nullptr);
    ~ResultModel() override;

    // Rebuilds the list: BeginRows with its size, ShowRow for every position (in any order),
    // then EndRows. The model keeps copies of what it shows.
    void BeginRows(int count, bool japanese);
    void ShowRow(int position, const ResultEntry& row);
    void EndRows();
    // Removes every item.
    void Clear();

    // The four texts of a displayed row, as shown (UTF-8), by ListColumn.
    std::array<std::string_view, kListColumnCount> Cells(int row) const;

    // The Host name cell's tooltip; `cut` tells whether the cell cuts the name.
    QString HostNameTooltip(int row, bool cut) const;

    void SetListColours(const CellColour& colours) { m_listColours = colours; }
    void SetColumnTitles(const QStringList& titles) { m_titles = titles; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // A displayed row: its answer, and its texts one after the other in m_texts (the three
    // cells that hold texts of their own, then the name that confirmed it).
    struct DisplayRow {
        std::size_t Begin;
        std::uint32_t AddressLength;
        std::uint32_t HostNameLength;
        std::uint32_t DomainCellLength;
        std::uint32_t ConfirmingNameLength;
        RowAnswer Answer;
        bool PrivateAddress;
    };
    std::string_view ConfirmingName(const DisplayRow& shown) const;

    std::vector<DisplayRow> m_rows;
    std::string m_texts;
    int m_count = 0;
    bool m_japanese = false;
    CellColour m_listColours{{0, 0, 0}, {255, 255, 255}, false};
    QStringList m_titles;
};

}  // namespace ip2h
