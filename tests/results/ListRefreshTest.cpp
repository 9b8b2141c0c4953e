#include "results/ListRefresh.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "results/CellColours.h"
#include "results/FixedText.h"
#include "results/ResultTable.h"
#include "results/Sorting.h"

namespace ip2h {
namespace {

class ListRefreshTest : public ::testing::Test {
protected:
    void Add(const std::string& address) {
        m_table->WriteNewRow(m_table->RowCount, address);
        ++m_table->RowCount;
    }

    // Answers from the map, or the pending text, recording the order of the requests.
    RefreshOutcome Refresh(bool japanese = false, SortState sort = {0, 0, 0}) {
        return RefreshRows(
            *m_table, sort,
            [this](std::string_view address) {
                m_requests.emplace_back(address);
                const auto it = m_answers.find(std::string(address));
                return it != m_answers.end() ? it->second : "(" + std::string(address) + ")";
            },
            japanese, m_listHadItems);
    }

    const ResultEntry& Shown(int item) { return m_table->Rows[m_table->RowOrder[item]]; }

    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
    std::map<std::string, std::string> m_answers;
    std::vector<std::string> m_requests;
    bool m_listHadItems = false;
};

TEST_F(ListRefreshTest, DecidesStatusAndDomainInformation) {
    for (const char* a : {"8.8.8.1", "8.8.8.2", "8.8.8.3", "8.8.8.4", "10.1.1.1", "8.8.8.5"}) {
        Add(a);
    }
    m_answers = {{"8.8.8.1", "Mail.Example.CO.JP"},
                 {"8.8.8.2", "8.8.8.2"},
                 {"8.8.8.3", "printer.example.local"},
                 {"8.8.8.4", "4.8.8.8.in-addr.arpa"},
                 {"10.1.1.1", "gateway.example.com"}};
    EXPECT_EQ(Refresh(), RefreshOutcome::Rebuilt);

    struct Expect {
        const char* host;
        std::int32_t status;
        std::int32_t index;
        const char* cell;
    };
    const Expect expected[] = {
        {"Mail.Example.CO.JP", Success, 12, "Japan: General Company"},
        {"8.8.8.2", Failure, DomainIndexFailure, "?"},
        {"printer.example.local", Success, DomainIndexNoMatch, ""},
        {"4.8.8.8.in-addr.arpa", Success, 0, "Infrastructure"},
        // A private address shows no description but sorts among its domain.
        {"gateway.example.com", Success, 1, "-"},
        {"(8.8.8.5)", Pending, 0, "-"},
    };
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(Shown(i).HostName, expected[i].host);
        EXPECT_EQ(Shown(i).Status, expected[i].status);
        EXPECT_EQ(Shown(i).DomainIndex, expected[i].index);
        EXPECT_EQ(DomainCellText(Shown(i)), expected[i].cell);
    }
    // Addresses are asked for from the last row shown to the first.
    EXPECT_EQ(m_requests.front(), "8.8.8.5");
    EXPECT_EQ(m_requests.back(), "8.8.8.1");

    Refresh(true);
    EXPECT_EQ(StatusText(Shown(0).Status, true), "成功");
    // Classified once: the stored description stays until the row is pending again.
    EXPECT_EQ(DomainCellText(Shown(0)), "Japan: General Company");
    m_answers.erase("8.8.8.1");
    Refresh(true);
    EXPECT_EQ(Shown(0).Status, Pending);
    m_answers["8.8.8.1"] = "host.example.de";
    Refresh(true);
    EXPECT_EQ(DomainCellText(Shown(0)), "ドイツ");
}

TEST_F(ListRefreshTest, FailedRowAnsweredLaterIsClassified) {
    Add("8.8.4.4");
    m_answers["8.8.4.4"] = "8.8.4.4";
    Refresh();
    ASSERT_EQ(Shown(0).Status, Failure);
    m_answers["8.8.4.4"] = "dns.example.net";
    Refresh();
    EXPECT_EQ(Shown(0).Status, Success);
    EXPECT_EQ(Shown(0).DomainIndex, 2);
    EXPECT_EQ(DomainCellText(Shown(0)), "Network");
}

TEST_F(ListRefreshTest, LongAnswersAreCutAndEmptyTablesReportTheirList) {
    Add("8.8.8.8");
    m_answers["8.8.8.8"] = std::string(1024, 'a') + ".example.com";
    Refresh();
    EXPECT_EQ(FieldText(Shown(0).HostName).size(), 319u);
    EXPECT_EQ(Shown(0).Status, Success);

    m_table->ResetRows();
    m_listHadItems = true;
    EXPECT_EQ(Refresh(), RefreshOutcome::Cleared);
    EXPECT_EQ(m_table->OrderedCount, 0);
    m_listHadItems = false;
    EXPECT_EQ(Refresh(), RefreshOutcome::Unchanged);
}

TEST(CellColoursTest, ColoursFollowTheCellText) {
    const CellColour list{{0, 0, 0}, {255, 255, 255}, false};
    struct Case {
        int column;
        const char* text;
        bool japanese;
        Rgb textColour;
        Rgb background;
    };
    const Case cases[] = {
        {0, "10.0.0.1", false, {0, 0, 0}, {255, 255, 255}},
        {1, "10.0.0.1", false, {0, 0, 0}, {255, 255, 255}},
        {1, "host.example.com", false, {0, 150, 0}, {255, 255, 255}},
        {1, "(10.0.0.1)", false, {192, 192, 192}, {255, 255, 255}},
        {2, "-", false, {192, 192, 192}, {255, 255, 255}},
        {2, "Success", false, {0, 140, 0}, {230, 255, 230}},
        {2, "Failure", false, {210, 0, 0}, {255, 238, 238}},
        {2, "成功", true, {0, 140, 0}, {230, 255, 230}},
        {2, "失敗", true, {210, 0, 0}, {255, 238, 238}},
        {2, "Success", true, {0, 0, 0}, {255, 255, 255}},  // English word in Japanese list
        {3, "-", false, {192, 192, 192}, {255, 255, 255}},
        {3, "Commercial", false, {0, 0, 0}, {255, 255, 255}},
        {3, "?", false, {0, 0, 0}, {255, 255, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in column " + std::to_string(c.column));
        const CellColour colour = CellColours(c.column, c.text, c.japanese, list);
        EXPECT_EQ(colour.Text, c.textColour);
        EXPECT_EQ(colour.Background, c.background);
    }
}

}  // namespace
}  // namespace ip2h
