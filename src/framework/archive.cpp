#include "framework/archive.h"

#include <cstring>

#include "framework/codepage.h"

namespace framework {

CArchiveException::CArchiveException(Cause cause)
    : std::runtime_error("archive: unexpected end of data"), m_cause(cause) {}

CArchive::CArchive(const unsigned char* data, std::size_t size)
    : m_mode(load), m_data(data), m_size(size) {}

CArchive::CArchive(std::vector<unsigned char>* out) : m_mode(store), m_out(out) {}

void CArchive::Append(const void* bytes, std::size_t count) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  m_out->insert(m_out->end(), p, p + count);
}

void CArchive::WriteInt32(std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  const unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                              static_cast<unsigned char>(u >> 16),
                              static_cast<unsigned char>(u >> 24)};
  Append(b, 4);
}

void CArchive::WriteDouble(double value) {
  std::uint64_t u;
  std::memcpy(&u, &value, 8);
  unsigned char b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(u >> (8 * i));
  Append(b, 8);
}

void CArchive::WriteString(const std::string& text) {
  const std::size_t n = text.size();
  if (n < 255) {
    const unsigned char b = static_cast<unsigned char>(n);
    Append(&b, 1);
  } else if (n < 0xFFFE) {
    const unsigned char b[3] = {0xFF, static_cast<unsigned char>(n),
                                static_cast<unsigned char>(n >> 8)};
    Append(b, 3);
  } else {
    const auto u = static_cast<std::uint32_t>(n);
    const unsigned char b[7] = {0xFF,
                                0xFF,
                                0xFF,
                                static_cast<unsigned char>(u),
                                static_cast<unsigned char>(u >> 8),
                                static_cast<unsigned char>(u >> 16),
                                static_cast<unsigned char>(u >> 24)};
    Append(b, 7);
  }
  Append(text.data(), n);
}

void CArchive::WriteByte(std::uint8_t value) { Append(&value, 1); }

bool CArchive::NextBytesAre(const std::string& bytes) const {
  return Remaining() >= bytes.size() &&
         std::memcmp(m_data + m_pos, bytes.data(), bytes.size()) == 0;
}

void CArchive::Need(std::size_t bytes) const {
  if (m_size - m_pos < bytes) throw CArchiveException(CArchiveException::endOfFile);
}

std::uint8_t CArchive::ReadByte() {
  Need(1);
  return m_data[m_pos++];
}

std::uint16_t CArchive::ReadUInt16() {
  Need(2);
  const std::uint16_t v = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
  m_pos += 2;
  return v;
}

std::uint32_t CArchive::ReadUInt32() {
  Need(4);
  const std::uint32_t v = static_cast<std::uint32_t>(m_data[m_pos]) |
                          (static_cast<std::uint32_t>(m_data[m_pos + 1]) << 8) |
                          (static_cast<std::uint32_t>(m_data[m_pos + 2]) << 16) |
                          (static_cast<std::uint32_t>(m_data[m_pos + 3]) << 24);
  m_pos += 4;
  return v;
}

std::int32_t CArchive::ReadInt32() { return static_cast<std::int32_t>(ReadUInt32()); }

double CArchive::ReadDouble() {
  Need(8);
  std::uint64_t u = 0;
  for (int i = 0; i < 8; ++i) u |= static_cast<std::uint64_t>(m_data[m_pos + i]) << (8 * i);
  m_pos += 8;
  double d;
  std::memcpy(&d, &u, 8);
  return d;
}

// The prefix: one byte below 0xFF; else a 16-bit length below 0xFFFF; else a 32-bit length.
// A 16-bit 0xFFFE after the first 0xFF marks a wide text, whose own length follows in the
// same form.
std::uint32_t CArchive::ReadLengthPrefix(bool& wide) {
  wide = false;
  std::uint8_t b = ReadByte();
  if (b < 0xFF) return b;
  std::uint16_t w = ReadUInt16();
  if (w == 0xFFFE) {
    wide = true;
    b = ReadByte();
    if (b < 0xFF) return b;
    w = ReadUInt16();
  }
  if (w < 0xFFFF) return w;
  return ReadUInt32();
}

std::string CArchive::ReadString() {
  bool wide = false;
  const std::uint32_t n = ReadLengthPrefix(wide);
  // Check the announced length against what is left before allocating anything, so a
  // damaged prefix is an early end of data, never a huge allocation.
  const std::uint64_t bytes = wide ? std::uint64_t{n} * 2 : std::uint64_t{n};
  if (bytes > Remaining()) throw CArchiveException(CArchiveException::endOfFile);
  if (!wide) {
    std::string s(reinterpret_cast<const char*>(m_data + m_pos), n);
    m_pos += n;
    return s;
  }
  std::u16string u(n, u'\0');
  for (std::uint32_t i = 0; i < n; ++i) u[i] = static_cast<char16_t>(ReadUInt16());
  return Utf16ToCp1252(u);
}

}  // namespace framework
