#include "ui/ResultModel.h"

#include <QBrush>

#include "base/FixedText.h"
#include "base/LineWrap.h"
#include "base/Punycode.h"
#include "results/ListRefresh.h"
#include "ui/QtText.h"

namespace ip2h {
namespace {

QColor ToQtColour(const Rgb& rgb) {
    return QColor(rgb.Red, rgb.Green, rgb.Blue);
}

// Addresses and names read from the left; the result and domain columns are centred.
int ColumnAlignment(int column) {
    return static_cast<int>(Qt::AlignVCenter | (column >= 2 ? Qt::AlignHCenter : Qt::AlignLeft));
}

}  // namespace

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

ResultModel::~ResultModel() = default;

void ResultModel::ShowRows(const ResultTable& table, bool japanese) {
    beginResetModel();
    m_japanese = japanese;
    m_count = std::clamp(table.OrderedCount, 0, MaxRows);
    m_rows.resize(static_cast<std::size_t>(m_count));
    m_texts.clear();
    for (int i = 0; i < m_count; ++i) {
        const ResultEntry& row = table.Rows[table.RowOrder[i]];
        const std::string_view address = FieldText(row.Address);
        const std::string_view host = FieldText(row.HostName);
        const std::string_view domain = DomainCellText(row);
        m_rows[i] = {m_texts.size(),
                     static_cast<std::uint32_t>(address.size()),
                     static_cast<std::uint32_t>(host.size()),
                     static_cast<std::uint32_t>(domain.size()),
                     {row.Status, row.Answer, row.Confirmed, row.LookupStatus,
                      std::string(FieldText(row.ConfirmingName))}};
        m_texts.append(address).append(host).append(domain);
    }
    endResetModel();
}

void ResultModel::Clear() {
    if (m_count == 0) return;
    beginResetModel();
    m_count = 0;
    std::vector<DisplayRow>().swap(m_rows);
    std::string().swap(m_texts);
    endResetModel();
}

std::array<std::string_view, 4> ResultModel::Cells(int row) const {
    if (row < 0 || row >= m_count) return {};
    const DisplayRow& shown = m_rows[row];
    const std::string_view texts(m_texts);
    const std::size_t host = shown.Begin + shown.AddressLength;
    const std::size_t domain = host + shown.HostNameLength;
    return {texts.substr(shown.Begin, shown.AddressLength),
            texts.substr(host, shown.HostNameLength), StatusText(shown.Facts.Status, m_japanese),
            texts.substr(domain, shown.DomainCellLength)};
}

QString ResultModel::HostNameTooltip(int row, bool cut) const {
    if (row < 0 || row >= m_count) return {};
    const std::string_view name = Cells(row)[1];
    // Broken into lines, a name of up to 255 characters stays on the screen.
    return FromUtf8(
        WrapLongLines(HostNameNote(name, m_rows[row].Facts, cut, UnicodeHostName(name), m_japanese),
                      kTooltipColumns));
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_count) return {};
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return FromUtf8(Cells(index.row())[static_cast<std::size_t>(column)]);
        case Qt::ToolTipRole:
            // The Host name's tooltip depends on the cell's width: the list's delegate asks
            // HostNameTooltip. The Result cell tells how the row was answered.
            if (column == 1) return HostNameTooltip(index.row(), false);
            if (column == 2) return FromUtf8(ResultNote(m_rows[index.row()].Facts, m_japanese));
            return FromUtf8(Cells(index.row())[static_cast<std::size_t>(column)]);
        case Qt::ForegroundRole:
        case Qt::BackgroundRole: {
            const auto text = Cells(index.row())[static_cast<std::size_t>(column)];
            const CellColour colour = CellColours(column, text, m_japanese, m_listColours);
            if (role == Qt::ForegroundRole) return QBrush(ToQtColour(colour.Text));
            if (colour.TransparentBackground) return {};
            return QBrush(ToQtColour(colour.Background));
        }
        case Qt::TextAlignmentRole:
            return ColumnAlignment(column);
        default:
            return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= 4) return {};
    if (role == Qt::DisplayRole && section < m_titles.size()) return m_titles.at(section);
    if (role == Qt::TextAlignmentRole) {
        return ColumnAlignment(section);
    }
    return {};
}

}  // namespace ip2h
