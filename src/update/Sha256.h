// SHA-256 (FIPS 180-4), fed in pieces as a download arrives.
//
// Contract:
// - Add() any number of times, then Finish() once; Finish() gives the
//   32-byte digest and leaves the object spent (make a new one for the next).
// - HexToDigest reads 64 hexadecimal digits (either case) into 32 bytes;
//   false for anything else (shorter, longer, another character).
#pragma once

#include <cstddef>
#include <cstdint>

const size_t kSha256Bytes = 32;

class Sha256 {
public:
    Sha256();
    void Add(const void* data, size_t count);
    void Finish(uint8_t (&digest)[kSha256Bytes]);

private:
    void Block(const uint8_t* block);

    uint32_t state_[8];
    uint8_t pending_[64];
    size_t pendingCount_ = 0;
    uint64_t totalBytes_ = 0;
};

bool HexToDigest(const wchar_t* text, uint8_t (&digest)[kSha256Bytes]);
