#pragma once
// A stream's buffer over a system's write call, for the files the program replaces.
#include <array>
#include <cstddef>
#include <streambuf>
#include <utility>

namespace framework {

// Collects what a stream writes and hands it to `Write` a buffer at a time. `Write` takes
// (data, size), writes all of it, and returns the system's error code, 0 when everything was
// written. The first failure is kept; after it the buffer takes nothing more.
template <class Write>
class WriteBuffer : public std::streambuf {
 public:
  using Error = decltype(std::declval<Write&>()(nullptr, std::size_t{0}));

  explicit WriteBuffer(Write write) : m_write(std::move(write)) {
    setp(m_buf.data(), m_buf.data() + m_buf.size());
  }
  Error FirstError() const { return m_err; }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  bool Drain() {
    if (m_err == 0) m_err = m_write(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(m_buf.data(), m_buf.data() + m_buf.size());
    return m_err == 0;
  }

  Write m_write;
  Error m_err{};
  std::array<char, 65536> m_buf{};
};

}  // namespace framework
