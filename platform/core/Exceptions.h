#pragma once

#include <exception>
#include <string>

// The project's exceptions. Running out of memory stays std::bad_alloc.
namespace vq {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

class FileException : public Exception {
public:
    enum class Cause { Generic, NotFound, AccessDenied, DiskFull, EndOfFile };

    FileException(Cause cause, std::string path, std::string message)
        : Exception(std::move(message)), cause_(cause), path_(std::move(path)) {}
    Cause GetCause() const { return cause_; }
    const std::string& GetPath() const { return path_; }

private:
    Cause cause_;
    std::string path_;
};

class ArchiveException : public Exception {
public:
    enum class Cause { Generic, EndOfFile, BadFormat };

    // The message names the cause, followed by the detail when there is one.
    explicit ArchiveException(Cause cause, const std::string& detail = {});
    Cause GetCause() const { return cause_; }

private:
    Cause cause_;
};

class ResourceException : public Exception {
public:
    explicit ResourceException(std::string message = "resource not found") : Exception(std::move(message)) {}
};

// A failure the user has already been told about.
class UserException : public Exception {
public:
    explicit UserException(std::string message = "cancelled by the user") : Exception(std::move(message)) {}
};

class NotSupportedException : public Exception {
public:
    explicit NotSupportedException(std::string message = "operation not supported")
        : Exception(std::move(message)) {}
};

} // namespace vq
