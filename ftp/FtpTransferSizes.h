#pragma once
// Block sizes of the data connection. Every block costs a round of calls (and a send block a
// round through the event loop), so the sizes bound the transfer rate: blocks of a network
// frame's size (1514 bytes) stall near 100 MB/s over loopback. A received block goes from the
// socket into the file inside the kernel when it can; one readiness serves up to 16 blocks.
// A sent block costs a round through the loop: 256 KiB rather than 64 KiB made uploads to
// pure-ftpd a third faster; on a plain connection it goes from the file to the socket inside
// the kernel. Blocks larger than a core's second-level cache (1 MiB here)
// measured slower.
inline constexpr int kFtpReceiveBlockSize = 256 * 1024;
inline constexpr int kFtpSendBlockSize = 256 * 1024;
static_assert(kFtpSendBlockSize <= kFtpReceiveBlockSize, "one buffer serves both directions");
