#pragma once

#include <cstdint>
#include <string>

// Settings in INI files: "[section]" lines, then "key=value" lines. Section and key names are
// compared without case; blanks around names and values are dropped and one pair of quotes around
// a value is removed. Lines that are neither (comments, anything unreadable) are kept through
// every rewrite, and each write replaces the whole file at once.
namespace vq {

// The value of a key, or `defaultValue` when the file, section or key is missing. With a null
// section it lists the section names, with a null key the section's key names, each with its
// terminating zero and one more zero at the end. A text cut to the buffer keeps its terminator.
// Answers the characters copied, terminators not counted (size − 1, or size − 2 for a cut list).
uint32_t GetPrivateProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                 uint32_t size, const std::string& file);
// The value read as a decimal number, 0 when it does not start with one, the default when missing.
uint32_t GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const std::string& file);
// The section's "key=value" lines, each with its terminating zero, then one more zero.
uint32_t GetPrivateProfileSection(const char* section, char* buffer, uint32_t size, const std::string& file);
// Sets a key, creating the section and the file when missing; a null value deletes the key, a
// null key the whole section. A name or value with a line break in it is refused.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& file);
// Replaces the section's keys with `pairs`: "key=value" texts, each with its zero, one more zero.
bool WritePrivateProfileSection(const char* section, const char* pairs, const std::string& file);

// A write batch on one file: while it is open, the writes above change only a copy in memory,
// which the reads above see. Commit puts the copy in place in one write (a temporary file renamed
// over the file) and answers false, the file unchanged, when that fails; abandon drops the copy.
// Begin answers false while a batch is open on the file or when the file exists but cannot be
// read. The batch is the file's, whichever thread writes to it.
bool BeginPrivateProfileBatch(const std::string& file);
bool CommitPrivateProfileBatch(const std::string& file);
void AbandonPrivateProfileBatch(const std::string& file);

} // namespace vq
