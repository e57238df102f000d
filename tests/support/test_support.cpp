#include "test_support.h"

#include <atomic>
#include <bit>
#include <cctype>
#include <chrono>
#include <fstream>
#include <iterator>

namespace navaid::test {

std::optional<std::string> ReadAll(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

std::string Le32(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string F32(float value) { return Le32(std::bit_cast<std::uint32_t>(value)); }

float FloatFromBits(std::uint32_t bits) { return std::bit_cast<float>(bits); }

std::string Record(const RecordFields& f) {
    std::string id = f.id, name = f.name;
    if (id.size() < 10) id.resize(10, ' ');
    if (name.size() < 20) name.resize(20, ' ');
    return id + name + F32(f.latitude) + F32(f.longitude) + F32(f.frequency) + F32(f.magVar) +
           Le32(static_cast<std::uint32_t>(f.altitude)) + f.typeBlock;
}

std::string DistinctRecords(std::size_t count, std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) bytes.append(size, static_cast<char>('a' + i));
    return bytes;
}

std::string Encoded(Family family, const NavaidEntry& entry) {
    std::string record;
    const Outcome outcome = EncodeRecord(family, entry, record);
    EXPECT_TRUE(outcome.ok) << outcome.Message();
    return record;
}

void FakeDoubleByteCase::Map(std::string& text, char from, char to, int delta) const {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (text[i] >= from && text[i] <= to) {
            text[i] = static_cast<char>(text[i] + delta);
        }
    }
}

void ScratchTest::SetUp() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    // Parameterised test names hold '/', which must not become a subfolder.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    dir_ = fs::temp_directory_path() / ("navaid-test-" + name.substr(0, 40) + "-" +
                                        std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(dir_);
    previousCwd_ = fs::current_path();
    fs::current_path(dir_);
    io::faults::Reset();
    SetCodePageCase(nullptr);
}

void ScratchTest::TearDown() {
    io::faults::Reset();
    SetCodePageCase(nullptr);
    fs::current_path(previousCwd_);
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
}

}  // namespace navaid::test
