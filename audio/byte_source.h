#pragma once
// Where the sound readers take their bytes from: an open file or a block of
// memory. The readers see only this interface, so they can be run on bytes in
// memory (tests, fuzzing) exactly as on files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace feltrix {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes at the current place; returns how many it read
    // (fewer only at the end of the data or on a read error).
    virtual std::size_t read(void* buffer, std::size_t size) = 0;
    // whence as for fseek (SEEK_SET, SEEK_CUR, SEEK_END); false when refused.
    virtual bool seek(std::int64_t offset, int whence) = 0;
    virtual std::int64_t tell() = 0;
};

// A view of bytes that the caller keeps alive.
class MemoryByteSource final : public ByteSource {
public:
    MemoryByteSource(const void* data, std::size_t size)
        : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
    std::size_t read(void* buffer, std::size_t size) override;
    bool seek(std::int64_t offset, int whence) override;
    std::int64_t tell() override { return static_cast<std::int64_t>(position_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// A file opened for reading in binary mode; closed when the object goes.
class FileByteSource final : public ByteSource {
public:
    // Null when the file cannot be opened.
    static std::unique_ptr<FileByteSource> open(const char* path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource&) = delete;
    FileByteSource& operator=(const FileByteSource&) = delete;
    std::size_t read(void* buffer, std::size_t size) override;
    bool seek(std::int64_t offset, int whence) override;
    std::int64_t tell() override;

private:
    explicit FileByteSource(std::FILE* file) : file_(file) {}
    std::FILE* file_;
};

// Bytes from the current place to the end, or -1 when the source cannot say.
std::int64_t remainingBytes(ByteSource& source);

}  // namespace feltrix
