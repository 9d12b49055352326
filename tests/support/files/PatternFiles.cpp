#include "support/files/PatternFiles.h"

#include <QCryptographicHash>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace testsupport {

void WritePattern(const std::filesystem::path& file, std::size_t size, int seed, std::size_t from) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  std::string block(std::size_t{1} << 20, '\0');
  for (std::size_t done = from; done < size;) {
    const std::size_t n = std::min(block.size(), size - done);
    for (std::size_t i = 0; i < n; ++i) {
      const std::size_t at = done + i;
      block[i] = static_cast<char>((at * 7 + at / 251 + static_cast<std::size_t>(seed) * 13) & 0xFF);
    }
    out.write(block.data(), static_cast<std::streamsize>(n));
    done += n;
  }
}

std::string Sha256Of(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "missing " + file.string();
  QCryptographicHash hash(QCryptographicHash::Sha256);
  char block[65536];
  while (in.read(block, sizeof block) || in.gcount() > 0) hash.addData(QByteArrayView(block, in.gcount()));
  return hash.result().toHex().toStdString();
}

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TreeDigest DigestOf(const std::filesystem::path& root) {
  TreeDigest digest;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string relative = std::filesystem::relative(entry.path(), root).string();
    digest[relative] = entry.is_directory() ? "dir" : Sha256Of(entry.path());
  }
  return digest;
}

}  // namespace testsupport
