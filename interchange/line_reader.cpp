#include "line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace navaid {

struct LineReader::Inflate {
    z_stream stream{};
    bool ok = false;
    Inflate() { ok = inflateInit2(&stream, 15 + 32) == Z_OK; }
    ~Inflate() { inflateEnd(&stream); }
};

namespace {
constexpr std::size_t kChunk = 1 << 16;
// How much a peek holds at most while it passes over blank lines.
constexpr std::size_t kPeekBytes = 1 << 20;
}  // namespace

LineReader::LineReader(std::string kind) : kind_(std::move(kind)), raw_(kChunk) {}
LineReader::~LineReader() = default;

Outcome LineReader::Fail(const std::string& why) const { return Outcome::Failure(path_, why); }

void LineReader::Reset() {
    gzip_ = started_ = atEnd_ = inflateEnded_ = peeking_ = padded_ = false;
    rawBegin_ = rawEnd_ = textBegin_ = number_ = 0;
    text_.clear();
    inflate_.reset();
}

Outcome LineReader::Open(const std::string& path) {
    Reset();
    if (path == io::kStandardInputPath) {
        Outcome opened = file_.OpenStandardInput();
        path_ = file_.Path();
        return opened;
    }
    path_ = path;
    return file_.Open(path, io::OpenMode::Read);
}

Outcome LineReader::Restart() {
    if (Outcome rewound = file_.Rewind(); !rewound) {
        if (rewound.reason != io::ErrorText(ESPIPE)) return rewound;
        return Fail("it is read twice, which a pipe cannot be: name the file itself");
    }
    Reset();
    return Outcome::Success();
}

Outcome LineReader::PeekBytes(std::size_t size, std::string_view& bytes) {
    while (text_.size() < size && !atEnd_)
        if (Outcome filled = Fill(); !filled) return filled;
    bytes = text_;
    return Outcome::Success();
}

Outcome LineReader::PeekLines(std::size_t count, std::vector<std::string>& lines) {
    lines.clear();
    peeking_ = true;
    Outcome result;
    std::string_view line;
    bool got = true;
    // Blank lines before a header are no lines of it.
    while (result && lines.size() < count && text_.size() <= kPeekBytes &&
           (result = Next(line, got)) && got)
        if (line.find_first_not_of(" \t") != std::string_view::npos) lines.emplace_back(line);
    peeking_ = false;
    textBegin_ = number_ = 0;
    return result;
}

Outcome LineReader::NextBytes(std::string_view& bytes) {
    bytes = {};
    if (textBegin_ == text_.size()) {
        text_.clear();
        textBegin_ = 0;
        while (text_.empty() && !atEnd_)
            if (Outcome filled = Fill(); !filled) return filled;
    }
    bytes = std::string_view(text_).substr(textBegin_);
    textBegin_ = text_.size();
    return Outcome::Success();
}

Outcome LineReader::PassPadding() {
    // Zero bytes after a member pad it, as gzip takes them, to the end.
    padded_ = true;
    const auto end = raw_.begin() + rawEnd_;
    if (std::find_if(raw_.begin() + rawBegin_, end, [](char c) { return c != '\0'; }) != end)
        return Fail("data after the zero bytes that pad the gzip data");
    rawBegin_ = rawEnd_;
    return Outcome::Success();
}

Outcome LineReader::Fill() {
    if (rawBegin_ == rawEnd_) {
        std::size_t got = 0;
        if (Outcome read = file_.Read(raw_.data(), raw_.size(), got); !read) return read;
        rawBegin_ = 0;
        rawEnd_ = got;
        if (!started_) {
            // By its content, not its name: a renamed gzip file is still one.
            started_ = true;
            gzip_ = got >= 2 && static_cast<unsigned char>(raw_[0]) == 0x1f &&
                    static_cast<unsigned char>(raw_[1]) == 0x8b;
            if (gzip_) inflate_ = std::make_unique<Inflate>();
        }
        if (got == 0) {
            atEnd_ = true;
            if (gzip_ && !inflateEnded_) return Fail("the gzip data is cut short");
            return Outcome::Success();
        }
    }
    if (!gzip_) {
        text_.append(raw_.data() + rawBegin_, rawEnd_ - rawBegin_);
        rawBegin_ = rawEnd_;
        return Outcome::Success();
    }
    if (!inflate_->ok) return Fail("cannot start decompression");
    z_stream& z = inflate_->stream;
    if (inflateEnded_) {
        if (padded_ || raw_[rawBegin_] == '\0') return PassPadding();
        // Concatenated gzip members are read on.
        if (inflateReset(&z) != Z_OK) return Fail("cannot restart decompression");
        inflateEnded_ = false;
    }
    char out[kChunk];
    z.next_in = reinterpret_cast<Bytef*>(raw_.data() + rawBegin_);
    z.avail_in = static_cast<uInt>(rawEnd_ - rawBegin_);
    z.next_out = reinterpret_cast<Bytef*>(out);
    z.avail_out = sizeof out;
    const int status = inflate(&z, Z_NO_FLUSH);
    rawBegin_ = rawEnd_ - z.avail_in;
    text_.append(out, sizeof out - z.avail_out);
    if (status == Z_STREAM_END) {
        inflateEnded_ = true;
    } else if (status != Z_OK && status != Z_BUF_ERROR) {
        return Fail(std::string("not gzip data or damaged (") + (z.msg ? z.msg : "zlib error") +
                    ")");
    }
    return Outcome::Success();
}

namespace {

// The first CR or LF of `text` from `from`; npos when none.
std::size_t LineEnd(const std::string& text, std::size_t from) {
    const auto end = std::find_if(text.begin() + from, text.end(),
                                  [](char c) { return c == '\n' || c == '\r'; });
    return end == text.end() ? std::string::npos : static_cast<std::size_t>(end - text.begin());
}

}  // namespace

Outcome LineReader::Next(std::string_view& line, bool& got) {
    got = false;
    std::size_t end;
    // A CR ends a line too (CR LF as one end), once the byte after it is known.
    while ((end = LineEnd(text_, textBegin_)) == std::string::npos ||
           (end + 1 == text_.size() && text_[end] == '\r' && !atEnd_)) {
        if (text_.size() - textBegin_ > kMaxLine) {
            return Outcome::FailureAt(path_, number_ + 1,
                                      "a line of more than 64 KiB: not " + kind_);
        }
        if (atEnd_) break;
        if (textBegin_ > 0 && !peeking_) {
            text_.erase(0, textBegin_);
            textBegin_ = 0;
        }
        if (Outcome filled = Fill(); !filled) return filled;
    }
    if (end == std::string::npos) {
        if (textBegin_ == text_.size()) return Outcome::Success();
        end = text_.size();
    }
    if (end - textBegin_ > kMaxLine) {
        return Outcome::FailureAt(path_, number_ + 1,
                                  "a line of more than 64 KiB: not " + kind_);
    }
    line = std::string_view(text_).substr(textBegin_, end - textBegin_);
    const bool crLf = end + 1 < text_.size() && text_[end] == '\r' && text_[end + 1] == '\n';
    textBegin_ = std::min(text_.size(), end + (crLf ? 2 : 1));
    ++number_;
    got = true;
    return Outcome::Success();
}

Outcome LineReader::Close() { return file_.Close(); }

}  // namespace navaid
