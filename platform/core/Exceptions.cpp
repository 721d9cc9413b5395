#include "platform/core/Exceptions.h"

namespace vq {
namespace {

std::string ArchiveMessage(ArchiveException::Cause cause, const std::string& detail) {
    std::string message;
    switch (cause) {
    case ArchiveException::Cause::EndOfFile:
        message = "unexpected end of archive data";
        break;
    case ArchiveException::Cause::BadFormat:
        message = "bad archive format";
        break;
    case ArchiveException::Cause::Generic:
        message = "archive error";
        break;
    }
    if (!detail.empty()) message += ": " + detail;
    return message;
}

} // namespace

ArchiveException::ArchiveException(Cause cause, const std::string& detail)
    : Exception(ArchiveMessage(cause, detail)), cause_(cause) {}

} // namespace vq
