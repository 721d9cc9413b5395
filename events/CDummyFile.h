#pragma once

#include "platform/core/File.h"

#include <cstdint>
#include <string>

// A file with nothing behind it: positions and lengths are 0 and the file operations do nothing,
// so a connection can be handed to code that writes to files. Reading and writing go to the
// descriptor it holds, as for any file.
class CDummyFile : public vq::File {
public:
    CDummyFile() = default;

    int64_t Seek(int64_t offset, SeekPosition from) override;
    int64_t GetPosition() const override;
    int64_t GetLength() const override;
    void SetLength(int64_t length) override;
    void Flush() override;
    void Abort() override;

    virtual uint32_t GetErrorCode() const { return m_ErrorCode; }
    virtual void WriteString(const std::string& text);

protected:
    uint32_t m_ErrorCode = 0;
};
