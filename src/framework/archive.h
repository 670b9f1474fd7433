#pragma once
// The serialization archive: a little-endian byte stream of 32-bit integers, doubles and
// length-prefixed 8-bit texts, read from or written to memory. Files are read whole into
// memory before loading and written from memory after storing, so the archive itself never
// touches the file system.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace framework {

// Raised when the data ends before a value is complete. The document's open reports it
// as "Unexpected file format.".
class CArchiveException : public std::runtime_error {
 public:
  enum Cause { endOfFile };
  explicit CArchiveException(Cause cause);
  Cause m_cause;
};

class CArchive {
 public:
  enum Mode { load, store };

  // A loading archive over bytes that outlive it.
  CArchive(const unsigned char* data, std::size_t size);
  // A storing archive appending to `*out`.
  explicit CArchive(std::vector<unsigned char>* out);

  bool IsStoring() const { return m_mode == store; }

  void WriteInt32(std::int32_t value);
  void WriteDouble(double value);
  // Writes the length prefix (1, 3 or 7 bytes) and the bytes of an 8-bit text.
  void WriteString(const std::string& text);

  void WriteByte(std::uint8_t value);

  std::int32_t ReadInt32();
  double ReadDouble();
  std::uint8_t ReadByte();
  // Reads an 8-bit text, or a wide text (prefix FF FE FF) converted to Windows-1252.
  std::string ReadString();

  std::size_t Position() const { return m_pos; }
  std::size_t Remaining() const { return m_size - m_pos; }
  // True when the data still to be read begins with `bytes`.
  bool NextBytesAre(const std::string& bytes) const;

 private:
  void Need(std::size_t bytes) const;
  std::uint16_t ReadUInt16();
  std::uint32_t ReadUInt32();
  std::uint32_t ReadLengthPrefix(bool& wide);
  void Append(const void* bytes, std::size_t count);

  Mode m_mode;
  const unsigned char* m_data = nullptr;
  std::size_t m_size = 0;
  std::size_t m_pos = 0;
  std::vector<unsigned char>* m_out = nullptr;
};

}  // namespace framework
