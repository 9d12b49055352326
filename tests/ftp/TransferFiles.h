#pragma once
// Files for transfer tests: written with a pattern that shows truncation, reordering and
// line-end translation, and compared by SHA-256.
#include <QCryptographicHash>
#include <QFile>

#include <filesystem>
#include <fstream>
#include <string>

namespace ftptest {

inline void WritePatternFile(const std::filesystem::path& path, size_t size, size_t skip = 0) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string block(1 << 20, '\0');
  for (size_t done = skip; done < size;) {
    const size_t n = std::min(block.size(), size - done);
    for (size_t i = 0; i < n; ++i) block[i] = static_cast<char>(((done + i) * 7 + (done + i) / 251) & 0xFF);
    out.write(block.data(), static_cast<std::streamsize>(n));
    done += n;
  }
}

inline std::string Sha256(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) return "missing " + path.string();
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(&file);
  return hash.result().toHex().toStdString();
}

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace ftptest
