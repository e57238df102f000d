// What the UI tests share: the program, its message boxes, and a fixture that
// starts navaidedit.exe in fresh folders and ends it on Close afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resource.h"
#include "ui_driver.h"

namespace uidriver {

inline const std::string kExe = WindowsPath(NAVAIDEDIT_EXE);
inline const std::string kShots = WindowsPath(UI_SCREENSHOT_DIR);
inline constexpr char kAppName[] = "navaidedit";

// A fresh folder for the databases, another as the program's current
// directory, and one running program, which must end on Close afterwards.
class Ui : public testing::Test {
protected:
    void SetUp() override {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        const std::string root = WindowsPath(UI_WORK_DIR) + "\\" + name;
        m_db = root + "\\db";
        m_cwd = root + "\\cwd";
        fs::remove_all(root);
        fs::create_directories(m_db);
        fs::create_directories(m_cwd);
        m_app = std::make_unique<App>(kExe, m_cwd);
    }
    void TearDown() override {
        EXPECT_TRUE(!m_app || m_app->Close()) << "the program did not end on Close";
    }
    void ExpectScreen(int expected) const {
        EXPECT_EQ(m_app->WaitScreen(expected), expected) << "(the screens' numbers)";
    }
    void Shot(const std::string& name) const {
        fs::create_directories(kShots);
        m_app->Screenshot(kShots + "\\" + name + ".png");
    }
    // The program's message box, checked to contain `parts` and closed.
    void ExpectMessage(const std::vector<std::string>& parts, const std::string& shot) const {
        HWND box = m_app->WaitDialog(kAppName);
        ASSERT_NE(box, nullptr) << "no message about " << parts[0];
        for (const std::string& part : parts) {
            EXPECT_NE(ChildText(box).find(part), std::string::npos) << ChildText(box);
        }
        Shot(shot);
        m_app->Click(box, IDOK);
        ASSERT_TRUE(m_app->WaitGone(box));
    }

    std::unique_ptr<App> m_app;
    std::string m_db, m_cwd;
};

}  // namespace uidriver
