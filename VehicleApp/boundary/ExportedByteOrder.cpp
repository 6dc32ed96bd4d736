#include "VehicleApp/boundary/ExportedByteOrder.h"

#include <cstring>

namespace {

constexpr unsigned kBitsPerByte = 8;
constexpr size_t kBytesIn16 = 2;
constexpr size_t kBytesIn32 = 4;
constexpr size_t kBytesIn64 = 8;
constexpr uint32_t kByteMask = 0xFF;

template <typename Value, size_t kBytes>
Value ReadBigEndian(const unsigned char* bytes) {
    Value value = 0;
    for (size_t i = 0; i < kBytes; ++i) {
        value = static_cast<Value>((value << kBitsPerByte) | bytes[i]);
    }
    return value;
}

template <typename Value, size_t kBytes>
Value ReadLittleEndian(const unsigned char* bytes) {
    Value value = 0;
    for (size_t i = kBytes; i > 0; --i) {
        value = static_cast<Value>((value << kBitsPerByte) | bytes[i - 1]);
    }
    return value;
}

template <typename Value, size_t kBytes>
void WriteLittleEndian(unsigned char* bytes, Value value) {
    for (size_t i = 0; i < kBytes; ++i) {
        bytes[i] = static_cast<unsigned char>((value >> (i * kBitsPerByte)) & kByteMask);
    }
}

template <typename Value, size_t kBytes>
void WriteBigEndian(unsigned char* bytes, Value value) {
    for (size_t i = 0; i < kBytes; ++i) {
        bytes[kBytes - 1 - i] = static_cast<unsigned char>((value >> (i * kBitsPerByte)) & kByteMask);
    }
}

uint32_t Swap32(uint32_t value) {
    unsigned char bytes[kBytesIn32];
    WriteBigEndian<uint32_t, kBytesIn32>(bytes, value);
    return ReadLittleEndian<uint32_t, kBytesIn32>(bytes);
}

// The bytes of a value in this machine's own memory order.
uint32_t FromMemory(const unsigned char* bytes) {
    uint32_t value = 0;
    std::memcpy(&value, bytes, kBytesIn32);
    return value;
}

long AsHostLong(uint32_t value) { return static_cast<long>(static_cast<int32_t>(value)); }

}  // namespace

void GetBigEndian(unsigned short* value, const unsigned char* bytes) {
    if (value != nullptr && bytes != nullptr) {
        *value = ReadBigEndian<uint16_t, kBytesIn16>(bytes);
    }
}

void GetBigEndian(unsigned long* value, const unsigned char* bytes) {
    if (value != nullptr && bytes != nullptr) {
        *value = ReadBigEndian<uint32_t, kBytesIn32>(bytes);
    }
}

void GetLittleEndian(unsigned short* value, const unsigned char* bytes) {
    if (value != nullptr && bytes != nullptr) {
        *value = ReadLittleEndian<uint16_t, kBytesIn16>(bytes);
    }
}

void GetLittleEndian(unsigned long* value, const unsigned char* bytes) {
    if (value != nullptr && bytes != nullptr) {
        *value = ReadLittleEndian<uint32_t, kBytesIn32>(bytes);
    }
}

void GetLittleEndian(double* value, const unsigned char* bytes) {
    static_assert(sizeof(double) == kBytesIn64, "the host's doubles are IEEE 754 binary64");
    if (value != nullptr && bytes != nullptr) {
        const uint64_t bits = ReadLittleEndian<uint64_t, kBytesIn64>(bytes);
        std::memcpy(value, &bits, sizeof(bits));
    }
}

void Reorder(unsigned long& value) { value = Swap32(static_cast<uint32_t>(value)); }

void Reorder(unsigned short& value) {
    unsigned char bytes[kBytesIn16];
    WriteBigEndian<uint16_t, kBytesIn16>(bytes, value);
    value = ReadLittleEndian<uint16_t, kBytesIn16>(bytes);
}

// Network order is the value's bytes most significant first in memory, whatever this
// machine's own order is.
long MYHTONL(long value) {
    unsigned char network[kBytesIn32];
    WriteBigEndian<uint32_t, kBytesIn32>(network, static_cast<uint32_t>(value));
    return AsHostLong(FromMemory(network));
}

long MYNTOHL(long value) {
    const uint32_t raw = static_cast<uint32_t>(value);
    unsigned char network[kBytesIn32];
    std::memcpy(network, &raw, kBytesIn32);
    return AsHostLong(ReadBigEndian<uint32_t, kBytesIn32>(network));
}

extern "C" void PutBigEndian(unsigned char* bytes, uint32_t value) {
    if (bytes != nullptr) {
        WriteLittleEndian<uint32_t, kBytesIn32>(bytes, value);
    }
}
