#pragma once
// Block sizes of the data connection. One block is in the engine's hands at a time and every
// block costs one round through the event loop, so the sizes bound the transfer rate: 64 KiB
// blocks carry several hundred MB/s over loopback, where blocks of a network frame's size
// (1514 bytes) stall near 100 MB/s.
inline constexpr int kFtpReceiveBlockSize = 256 * 1024;
inline constexpr int kFtpSendBlockSize = 64 * 1024;
static_assert(kFtpSendBlockSize <= kFtpReceiveBlockSize, "one buffer serves both directions");
