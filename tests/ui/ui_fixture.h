// The fixture every end-to-end UI test uses: a fresh folder with the
// databases, a separate current directory for the program, and one running
// program, closed again (and required to end) after the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "resource.h"
#include "ui_driver.h"

namespace uidriver {

// Records built here from the byte layout, independently of the program.
Bytes VorRecord(const std::string& id, const std::string& name, float lat, float lon, float freq,
                float magVar, std::int32_t altitude, const Bytes& typeBlock);
Bytes NdbRecord(const std::string& id, const std::string& name, float lat, float lon, float freq,
                float magVar, const Bytes& typeBlock);
Bytes Join(std::initializer_list<Bytes> parts);

inline const Bytes kVortac = {2, 0, 255, 255, 255, 255};
inline const Bytes kDme = {9, 0, 255, 255, 0, 0};
inline const Bytes kVor = {1, 0, 0, 0, 0, 0};
inline const Bytes kNdb = {'5', ' ', ' '};
inline const Bytes kNdbDme = {'7', ' ', ' '};

// Names a table row's test after its `name` field.
inline constexpr auto kRowName = [](const auto& info) { return std::string(info.param.name); };

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A path in the test's database folder.
    std::string Db(const std::string& name) const { return m_db + "\\" + name; }
    // Lower-cased, as the program stores and derives names.
    static std::string Lower(std::string text);
    static std::string ExePath() { return WindowsPath(NAVAIDEDIT_EXE); }

    // Sends the command and answers the Open dialog with the path; returns
    // once the dialog has gone.
    void RunCommandOn(int command, const std::string& path);
    // Same, but waits for and returns the navaid dialog titled `title`.
    HWND OpenNavaidDialog(int command, const std::string& path, const char* title);
    void ExpectScreen(int expected);
    // No temporary record file in the program's current directory or beside the database.
    void ExpectNoTemporaryFile() const;
    // Saves the desktop as NAME.png in the screenshots folder.
    void Shot(const std::string& name) const;

    std::unique_ptr<App> m_app;
    std::string m_root;
    std::string m_db;
    std::string m_cwd;
};

}  // namespace uidriver
