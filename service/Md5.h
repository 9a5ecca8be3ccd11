// MD5 message digest (RFC 1321) and its lowercase hexadecimal form.
#pragma once

#include <array>
#include <string>
#include <string_view>

using Md5Hash = std::array<unsigned char, 16>;

// The 16-byte MD5 digest of the given bytes.
Md5Hash Md5Digest(std::string_view bytes);

// 32 lowercase hexadecimal characters, high nibble first, bytes in digest order.
std::string DigestToHex(const Md5Hash& digest);

// DigestToHex(Md5Digest(bytes)).
std::string Md5Hex(std::string_view bytes);
