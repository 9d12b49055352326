#pragma once
// Whether this process runs in a network namespace of its own with nothing but loopback,
// where a lookup of an unknown name fails at once, locally, without a DNS query leaving.
namespace testsupport {

bool OnlyLoopbackNetwork();

}  // namespace testsupport
