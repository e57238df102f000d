// Reading an import's input file whole, inflating a gzip file as it is read.
#include <zlib.h>

#include "code_page.h"
#include "file_io.h"
#include "interchange.h"

namespace navaid {

namespace {

bool EndsWithGz(const std::string& path) {
    return path.size() > 3 && LowerCase(path.substr(path.size() - 3)) == ".gz";
}

// Feeds the file's bytes through zlib; concatenated gzip members are read on.
class Inflater {
public:
    Inflater() { ok_ = inflateInit2(&stream_, 15 + 32) == Z_OK; }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Empty on success, else what is wrong with the data.
    std::string Feed(const char* data, std::size_t size, std::string& text) {
        if (!ok_) return "cannot start decompression";
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        stream_.avail_in = static_cast<uInt>(size);
        while (stream_.avail_in > 0) {
            if (ended_) {
                if (inflateReset(&stream_) != Z_OK) return "cannot restart decompression";
                ended_ = false;
            }
            char out[1 << 16];
            stream_.next_out = reinterpret_cast<Bytef*>(out);
            stream_.avail_out = sizeof out;
            const int status = inflate(&stream_, Z_NO_FLUSH);
            text.append(out, sizeof out - stream_.avail_out);
            if (status == Z_STREAM_END) {
                ended_ = true;
            } else if (status != Z_OK && status != Z_BUF_ERROR) {
                return std::string("not gzip data or damaged (") +
                       (stream_.msg ? stream_.msg : "zlib error") + ")";
            }
        }
        return {};
    }
    bool Ended() const { return ended_; }

private:
    z_stream stream_{};
    bool ok_ = false, ended_ = false;
};

}  // namespace

Outcome ReadInputFile(const std::string& path, std::string& text) {
    io::File file;
    if (Outcome opened = file.Open(path, io::OpenMode::Read); !opened) return opened;
    const bool gz = EndsWithGz(path);
    Inflater inflater;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        std::size_t got = 0;
        if (Outcome read = file.Read(buffer.data(), buffer.size(), got); !read) {
            file.Close();
            return read;
        }
        if (got == 0) break;
        if (!gz) {
            text.append(buffer.data(), got);
        } else if (std::string error = inflater.Feed(buffer.data(), got, text); !error.empty()) {
            file.Close();
            return Outcome::Failure(path, error);
        }
    }
    if (Outcome closed = file.Close(); !closed) return closed;
    if (gz && !inflater.Ended()) return Outcome::Failure(path, "the gzip data is cut short");
    return Outcome::Success();
}

}  // namespace navaid
