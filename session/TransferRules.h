#pragma once
// The rules of file transfers that need no state: the transfer type of a file, the entries
// of the transfer queues, and how the paths of a tree walk are formed.
#include <cstdint>
#include <string>
#include <string_view>

namespace session {

// What to send before a file transfer: nothing, TYPE I or TYPE A.
enum class TypeSwitch { None, Binary, Ascii };

// With TransferMode 0 every file goes binary (TYPE I only when not binary already). Else a
// file whose extension (without its dot) occurs anywhere in the AsciiExtensions text goes
// ASCII with TransferMode 1 and binary otherwise (each only when not set already); a file
// whose extension does not occur there, or that has none, goes binary with TYPE I always
// sent. So "htm" occurs in "html" and goes ASCII; "html" does not occur in "htm".
TypeSwitch ChooseTransferType(int transferMode, std::string_view asciiExtensions, std::string_view localFileName,
                              bool binaryNow);

// A file queue entry: the path, a tab, the size in decimal.
std::string QueueEntry(std::string_view path, std::string_view size);

struct QueuedFile {
  std::string path;
  std::int64_t size = 0;  // 0 when the size text is not a plain decimal number
  bool sizeKnown = false;
};

// Without a tab the whole entry is the path and the size 0.
QueuedFile SplitQueueEntry(std::string_view entry);

// Where a directory walked by a tree download lies relative to the batch's start directory:
// both without their leading "/", the common leading part is cut from the walked one, and a
// trailing "/" is ensured on what remains (nothing stays nothing).
std::string RelativeWalkPath(std::string_view walkedDirectory, std::string_view baseDirectory);

// The part of a path after its last "/" (all of it without one).
std::string_view FileNamePart(std::string_view path);

}  // namespace session
