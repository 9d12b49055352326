#pragma once
// Files for transfer tests: bytes of a fixed pattern that shows truncation, reordering and
// line-end translation, compared by SHA-256, file by file or as whole trees.
#include <cstddef>
#include <filesystem>
#include <map>
#include <string>

namespace testsupport {

// Writes bytes `from`..size-1 of the pattern of `seed` (a prefix of a longer file is a prefix
// of its pattern; `from` gives its tail).
void WritePattern(const std::filesystem::path& file, std::size_t size, int seed = 0, std::size_t from = 0);

// Hex SHA-256 of the file, read by its own name bytes; "missing <path>" when it cannot be read.
std::string Sha256Of(const std::filesystem::path& file);

std::string ReadAll(const std::filesystem::path& file);

// A tree of files and directories as "relative path" -> the file's SHA-256, or "dir".
using TreeDigest = std::map<std::string, std::string>;
TreeDigest DigestOf(const std::filesystem::path& root);

}  // namespace testsupport
