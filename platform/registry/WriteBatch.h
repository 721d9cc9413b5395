#pragma once

#include <string>

// One write batch held open by its owner: on the current user's registry branch or on one INI
// file. It is committed by its owner or abandoned when it goes, on every path out, so that a
// settings store reaches its file whole or not at all.
namespace vq {

class WriteBatch {
public:
    static WriteBatch UserRegistry();
    static WriteBatch Profile(const std::string& file);
    // For a store that takes no batch: never open, so nothing can be committed to it.
    static WriteBatch Refused();

    WriteBatch(WriteBatch&& other) noexcept;
    WriteBatch& operator=(WriteBatch&&) = delete;
    WriteBatch(const WriteBatch&) = delete;
    ~WriteBatch();

    // False when the batch could not begin: another one is open on the store, or the store's file
    // exists but cannot be read.
    bool IsOpen() const { return m_Open; }
    // True when everything written in the batch is now in the file; false leaves the file as it
    // was. The batch is closed either way.
    bool Commit();
    void Abandon();

private:
    enum class Store { UserRegistry, Profile };
    WriteBatch(Store store, std::string file, bool open);

    Store m_Store;
    std::string m_File;
    bool m_Open;
};

} // namespace vq
