// Helpers shared by the test suites: a scratch folder per test, whole-file
// reads and writes, and records built byte by byte independently of the core.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "navaid_db.h"

namespace navaid::test {

namespace fs = std::filesystem;

// The file's bytes, or nothing when there is no regular file of that name.
std::optional<std::string> ReadAll(const fs::path& path);
void WriteAll(const fs::path& path, std::string_view bytes);
std::set<std::string> Listing(const fs::path& dir);

// Little-endian bytes of a 32-bit value and of a float's bit pattern.
std::string Le32(std::uint32_t value);
std::string F32(float value);
float FloatFromBits(std::uint32_t bits);

inline const std::string kVorBlock("\x01\0\0\0\0\0", 6);
inline const std::string kVortacBlock("\x02\0\xFF\xFF\xFF\xFF", 6);
inline const std::string kTacanBlock("\x03\0\0\0\xFF\xFF", 6);
inline const std::string kVorDmeBlock("\x04\0\xFF\xFF\0\0", 6);
inline const std::string kDmeBlock("\x09\0\xFF\xFF\0\0", 6);
inline const std::string kNdbBlock("5  ", 3);
inline const std::string kNdbDmeBlock("7  ", 3);

struct RecordFields {
    std::string id = "ABC";       // padded with spaces to 10 bytes when shorter
    std::string name = "SAMPLE";  // padded to 20 bytes
    float latitude = 50.1234f, longitude = 8.5678f, frequency = 114.2f, magVar = -1.5f;
    std::int32_t altitude = 0;
    std::string typeBlock = kVorDmeBlock;
};
// A record laid out field by field; its length is 50 + the type block's.
std::string Record(const RecordFields& fields);

// `count` distinct records of `size` bytes each, record i filled with byte 'a'+i.
std::string DistinctRecords(std::size_t count, std::size_t size);

// A record encoded by the core, for tests whose subject is not the encoding.
std::string Encoded(Family family, const NavaidEntry& entry);

// A double-byte code page in the style of Shift-JIS: lead bytes 0x81-0x9F and
// 0xE0-0xFC; only ASCII letters outside double-byte characters change case.
class FakeDoubleByteCase : public CodePageCase {
public:
    void ToUpper(std::string& text) const override { Map(text, 'a', 'z', -32); }
    void ToLower(std::string& text) const override { Map(text, 'A', 'Z', 32); }
    bool IsLeadByte(unsigned char b) const override {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }

private:
    void Map(std::string& text, char from, char to, int delta) const;
};

// Plugs a mapping in for one scope.
struct CodePageScope {
    explicit CodePageScope(const CodePageCase* mapping) { SetCodePageCase(mapping); }
    ~CodePageScope() { SetCodePageCase(nullptr); }
};

// Each test runs in a folder of its own, which is also the current directory
// (the temporary record file lives there), restored and removed afterwards.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Path(std::string_view name) const { return (dir_ / name).string(); }
    const fs::path& Dir() const { return dir_; }

private:
    fs::path dir_;
    fs::path previousCwd_;
};

}  // namespace navaid::test
