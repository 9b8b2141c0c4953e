#include "ui/ResultModel.h"

#include <QBrush>

#include "address/IpAddress.h"
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
int ColumnAlignment(ListColumn column) {
    const bool centred = column == ListColumn::Result || column == ListColumn::DomainInfo;
    return static_cast<int>(Qt::AlignVCenter | (centred ? Qt::AlignHCenter : Qt::AlignLeft));
}

}  // namespace

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

ResultModel::~ResultModel() = default;

void ResultModel::BeginRows(int count, bool japanese) {
    beginResetModel();
    m_japanese = japanese;
    m_count = std::clamp(count, 0, MaxRows);
    m_rows.resize(static_cast<std::size_t>(m_count));
    m_texts.clear();
}

void ResultModel::EndRows() {
    endResetModel();
}

void ResultModel::ShowRow(int position, const ResultEntry& row) {
    if (position < 0 || position >= m_count) return;
    // The texts lie in the order the rows come, which need not be the list's.
    const std::size_t begin = m_texts.size();
    m_texts.append(FieldText(row.Address));
    const std::size_t host = m_texts.size();
    AppendHostNameCell(m_texts, row);
    const std::size_t domain = m_texts.size();
    m_texts.append(DomainCellText(row, m_japanese));
    const std::size_t confirming = m_texts.size();
    m_texts.append(FieldText(row.ConfirmingName));
    m_rows[position] = {begin,
                        static_cast<std::uint32_t>(host - begin),
                        static_cast<std::uint32_t>(domain - host),
                        static_cast<std::uint32_t>(confirming - domain),
                        static_cast<std::uint32_t>(m_texts.size() - confirming),
                        row.Answer,
                        IsPrivate(row.Value)};
}

void ResultModel::Clear() {
    if (m_count == 0) return;
    beginResetModel();
    m_count = 0;
    std::vector<DisplayRow>().swap(m_rows);
    std::string().swap(m_texts);
    endResetModel();
}

std::array<std::string_view, kListColumnCount> ResultModel::Cells(int row) const {
    if (row < 0 || row >= m_count) return {};
    const DisplayRow& shown = m_rows[row];
    const std::string_view texts(m_texts);
    const std::size_t host = shown.Begin + shown.AddressLength;
    const std::size_t domain = host + shown.HostNameLength;
    return {texts.substr(shown.Begin, shown.AddressLength),
            texts.substr(host, shown.HostNameLength), StatusText(shown.Answer.Status, m_japanese),
            texts.substr(domain, shown.DomainCellLength)};
}

std::string_view ResultModel::ConfirmingName(const DisplayRow& shown) const {
    const std::size_t at =
        shown.Begin + shown.AddressLength + shown.HostNameLength + shown.DomainCellLength;
    return std::string_view(m_texts).substr(at, shown.ConfirmingNameLength);
}

QString ResultModel::HostNameTooltip(int row, bool cut) const {
    if (row < 0 || row >= m_count) return {};
    const DisplayRow& shown = m_rows[row];
    const std::string_view name = Cells(row)[static_cast<std::size_t>(ListColumn::HostName)];
    // Broken into lines, a name of up to 255 characters stays on the screen.
    return FromUtf8(WrapLongLines(HostNameNote(name, shown.Answer, ConfirmingName(shown), cut,
                                               UnicodeHostName(name), m_japanese),
                                  kTooltipColumns));
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_count;
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kListColumnCount;
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_count || index.column() < 0 ||
        index.column() >= kListColumnCount) {
        return {};
    }
    const auto column = static_cast<ListColumn>(index.column());
    const DisplayRow& shown = m_rows[index.row()];
    switch (role) {
        case Qt::DisplayRole:
            return FromUtf8(Cells(index.row())[static_cast<std::size_t>(column)]);
        case Qt::ToolTipRole:
            // The Host name's tooltip depends on the cell's width: the list's delegate asks
            // HostNameTooltip. The Result cell tells how the row was answered.
            if (column == ListColumn::HostName) return HostNameTooltip(index.row(), false);
            if (column == ListColumn::Result) return FromUtf8(ResultNote(shown.Answer, m_japanese));
            return FromUtf8(Cells(index.row())[static_cast<std::size_t>(column)]);
        case Qt::ForegroundRole:
        case Qt::BackgroundRole: {
            const CellColour colour =
                CellColours(column, shown.Answer, shown.PrivateAddress, m_listColours);
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
    if (orientation != Qt::Horizontal || section < 0 || section >= kListColumnCount) return {};
    if (role == Qt::DisplayRole && section < m_titles.size()) return m_titles.at(section);
    if (role == Qt::TextAlignmentRole) return ColumnAlignment(static_cast<ListColumn>(section));
    return {};
}

}  // namespace ip2h
