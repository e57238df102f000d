// A database in memory as a library job's RecordSource, and a sink that
// logs what the job did with its output, for the jobs' own tests.
#pragma once

#include <string>

#include "record_job.h"

namespace navaid::test {

// Records of `recordSize` bytes, then a trailing piece. Read number `failAt`
// (counting from 1) fails after `failAfter` records; read number `shortAt`
// stops one record early, as a file that shrank between reads.
struct MemoryDatabase {
    std::string bytes;
    std::size_t recordSize;
    int calls = 0, failAt = 0, shortAt = 0;
    std::size_t failAfter = 0;

    RecordSource Source() {
        return [this](const RecordVisitor& visit) {
            ++calls;
            std::size_t count = bytes.size() / recordSize;
            if (calls == shortAt && count > 0) --count;
            for (std::size_t i = 0; i < count; ++i) {
                if (calls == failAt && i == failAfter) return Outcome::Failure("db", "read failed");
                visit(i, reinterpret_cast<const std::uint8_t*>(bytes.data()) + i * recordSize);
            }
            if (calls == failAt) return Outcome::Failure("db", "read failed");
            return Outcome::Success();
        };
    }
    DatabaseInput Input(std::string name) {
        const std::size_t whole = bytes.size() / recordSize * recordSize;
        return {Source(), std::make_shared<std::string>(bytes.substr(whole)), std::move(name)};
    }
};

// Logs "open", "close" and "discard"; keeps the text written.
class LogSink final : public TextSink {
public:
    Outcome Open() override { return Log("open"), Outcome::Success(); }
    void Write(std::string_view written) override { text += written; }
    Outcome Close() override { return Log("close"), Outcome::Success(); }
    void Discard() override { Log("discard"); }
    std::string log, text;

private:
    void Log(const char* what) { log += log.empty() ? what : std::string(" ") + what; }
};

}  // namespace navaid::test
