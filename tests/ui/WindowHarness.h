#pragma once

// Set-up shared by the tests that drive the real main window.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <memory>

#include "base/Language.h"
#include "resolver/ResolutionEngine.h"
#include "resolver/ReverseLookup.h"
#include "results/ResultTable.h"
#include "support/JoinedWorkers.h"
#include "support/TempDir.h"
#include "ui/MainDialog.h"
#include "ui/MessageBox.h"

namespace ip2h::test {

template <class T>
T* Child(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

inline QString Pane(const MainDialog& dialog, const char* name) {
    return Child<QLabel>(dialog, name)->text();
}

inline void Register(MainDialog& dialog, const char* range) {
    Child<QComboBox>(dialog, "rangeComboBox")->setEditText(QString::fromLatin1(range));
    dialog.Dispatch(Command::Register);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetLanguageCode("EN");
        MessageBox::ResetForTest();
        MessageBox::SetRecordOnly(true);
        m_paths.SettingsFile = m_dir / "ip2hostname_u@h.ini";
        m_paths.HistoryFile = m_dir / "ip2hostname_history.txt";
    }
    void TearDown() override {
        m_dialog.reset();
        SetResolverEntry(nullptr);
        SetLanguageCode("EN");
        MessageBox::ResetForTest();
    }

    // Opens a fresh window (closing the last one) with `engine`, active and shown; without
    // one, with an engine of the platform resolver whose lookups the test waits for.
    MainDialog& Open(std::shared_ptr<ResolutionEngine> engine = nullptr) {
        m_dialog.reset();
        m_engine = engine ? std::move(engine) : m_workers.Engine();
        m_dialog = std::make_unique<MainDialog>(m_paths, *m_table, m_engine);
        m_dialog->Open();
        m_dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
        return *m_dialog;
    }

    TempDir m_dir;
    SettingsPaths m_paths;
    JoinedWorkers m_workers;
    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
    std::shared_ptr<ResolutionEngine> m_engine;
    std::unique_ptr<MainDialog> m_dialog;
};

}  // namespace ip2h::test
