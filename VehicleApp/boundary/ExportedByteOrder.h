// Byte-order helpers the plug-in exports. GetBigEndian, GetLittleEndian, Reorder,
// MYHTONL and MYNTOHL keep C++ linkage: the host links them by their overload-encoded
// names. PutBigEndian is a plain C export.
//
// The host's unsigned long and long are 32 bits. Where they are 64 bits (Linux) the
// signatures keep the same types, since they are what the host passes, but the
// functions still deal in 32-bit quantities: readers store the 32-bit number (upper bits
// zero), Reorder works on the low 32 bits and clears the rest, and MYHTONL/MYNTOHL read
// the low 32 bits and return the result as a signed 32-bit number, the value the host's
// long would hold.
#pragma once

#include <cstdint>

#include "VehicleApp/boundary/PluginExport.h"

// Readers take the destination first and the bytes second; null pointers do nothing.
MARL_EXPORT void GetBigEndian(unsigned short* value, const unsigned char* bytes);
MARL_EXPORT void GetBigEndian(unsigned long* value, const unsigned char* bytes);
MARL_EXPORT void GetLittleEndian(unsigned short* value, const unsigned char* bytes);
MARL_EXPORT void GetLittleEndian(unsigned long* value, const unsigned char* bytes);
// The 8 bytes of an IEEE 754 double, least significant first.
MARL_EXPORT void GetLittleEndian(double* value, const unsigned char* bytes);

// Reverses the bytes of a 32-bit or 16-bit value in place.
MARL_EXPORT void Reorder(unsigned long& value);
MARL_EXPORT void Reorder(unsigned short& value);

// Host to network (big-endian) order and back, as htonl and ntohl.
MARL_EXPORT long MYHTONL(long value);
MARL_EXPORT long MYNTOHL(long value);

extern "C" {

// Despite its name it writes least significant byte first, the order GetLittleEndian
// reads back. The host relies on the order as it is, so the name and the order both stay.
MARL_EXPORT void PutBigEndian(unsigned char* bytes, uint32_t value);

}  // extern "C"
