#include "ui_fixture.h"

#include <algorithm>
#include <cstring>

namespace uidriver {

Bytes VorRecord(const std::string& id, const std::string& name, float lat, float lon, float freq,
                float magVar, std::int32_t altitude, const Bytes& typeBlock) {
    // Space-padded ID and name, four little-endian floats, the altitude, the type block.
    Bytes record(50, ' ');
    std::copy(id.begin(), id.end(), record.begin());
    std::copy(name.begin(), name.end(), record.begin() + 10);
    const float reals[] = {lat, lon, freq, magVar};
    std::memcpy(record.data() + 30, reals, sizeof reals);
    std::memcpy(record.data() + 46, &altitude, sizeof altitude);
    record.insert(record.end(), typeBlock.begin(), typeBlock.end());
    return record;
}

Bytes NdbRecord(const std::string& id, const std::string& name, float lat, float lon, float freq,
                float magVar, const Bytes& typeBlock) {
    return VorRecord(id, name, lat, lon, freq, magVar, 0, typeBlock);
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

void UiTest::SetUp() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    for (char& c : name) {
        if (c == '/') c = '-';
    }
    m_root = WindowsPath(UI_WORK_DIR) + "\\" + name;
    m_db = m_root + "\\db";
    m_cwd = m_root + "\\cwd";
    RemoveTree(m_root);
    MakeFolder(m_db);
    MakeFolder(m_cwd);
    m_app = std::make_unique<App>(ExePath(), m_cwd);
}

void UiTest::TearDown() {
    if (m_app) {
        EXPECT_TRUE(m_app->Close()) << "the program did not end on Close";
    }
    m_app.reset();
}

std::string UiTest::Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

void UiTest::RunCommandOn(int command, const std::string& path) {
    m_app->Command(command);
    HWND open = m_app->WaitOpenDialog();
    ASSERT_NE(open, nullptr) << "no Open dialog";
    m_app->ChooseFile(open, path);
    ASSERT_TRUE(m_app->WaitGone(open)) << "the Open dialog did not take " << path;
}

HWND UiTest::OpenNavaidDialog(int command, const std::string& path, const char* title) {
    RunCommandOn(command, path);
    HWND dialog = m_app->WaitDialogTitled(title);
    EXPECT_NE(dialog, nullptr) << "no " << title << " dialog";
    return dialog;
}

void UiTest::ExpectScreen(int expected) {
    const int seen = m_app->WaitScreen(expected);
    EXPECT_EQ(seen, expected) << "the window shows " << ScreenName(seen) << ", not "
                              << ScreenName(expected);
}

void UiTest::ExpectNoTemporaryFile() const {
    EXPECT_FALSE(FileExists(m_cwd + "\\navblock.qvz"));
    EXPECT_FALSE(FileExists(m_db + "\\navblock.qvz"));
}

void UiTest::Shot(const std::string& name) const {
    const std::string folder = WindowsPath(UI_SCREENSHOT_DIR);
    MakeFolder(folder);
    m_app->Screenshot(folder + "\\" + name + ".png");
}

}  // namespace uidriver

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    uidriver::UseTestDesktop();
    return RUN_ALL_TESTS();
}
