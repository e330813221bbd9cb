#pragma once
// The checked byte reader and writer: the only way file formats touch bytes.
// Both work on a span with a byte order and an offset. A read or write that
// does not fit fails, the failure is sticky, reads past the end give 0 and
// leave the position where it was, and every further call is a no-op until
// the caller checks Ok().
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "support/ByteOrder.h"

namespace sup {

class ByteReader {
 public:
  ByteReader(std::span<const std::byte> data, ByteOrder order) : data_(data), order_(order) {}

  bool Ok() const { return ok_; }
  std::size_t Offset() const { return offset_; }
  std::size_t Size() const { return data_.size(); }
  std::size_t Remaining() const { return data_.size() - offset_; }
  ByteOrder Order() const { return order_; }
  void SetOrder(ByteOrder order) { order_ = order; }

  /// Moves to OFFSET; beyond the end fails.
  void Seek(std::size_t offset) {
    if (ok_ && offset <= data_.size()) {
      offset_ = offset;
    } else {
      ok_ = false;
    }
  }
  void Skip(std::size_t count) {
    if (Take(count)) offset_ += count;
  }

  std::uint8_t U8() {
    if (!Take(1)) return 0;
    return static_cast<std::uint8_t>(data_[offset_++]);
  }
  std::int8_t I8() { return static_cast<std::int8_t>(U8()); }
  std::uint16_t U16() {
    if (!Take(2)) return 0;
    const std::uint16_t v = LoadU16(data_.data() + offset_, order_);
    offset_ += 2;
    return v;
  }
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32() {
    if (!Take(4)) return 0;
    const std::uint32_t v = LoadU32(data_.data() + offset_, order_);
    offset_ += 4;
    return v;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  std::uint64_t U64() {
    if (!Take(8)) return 0;
    const std::uint64_t v = LoadU64(data_.data() + offset_, order_);
    offset_ += 8;
    return v;
  }
  std::int64_t I64() { return static_cast<std::int64_t>(U64()); }
  float F32() { return std::bit_cast<float>(U32()); }
  double F64() { return std::bit_cast<double>(U64()); }

  /// Copies OUT.size() bytes; on failure OUT is zero-filled.
  void Bytes(std::span<std::byte> out) {
    if (!Take(out.size())) {
      std::memset(out.data(), 0, out.size());
      return;
    }
    std::memcpy(out.data(), data_.data() + offset_, out.size());
    offset_ += out.size();
  }
  /// COUNT bytes as text (empty on failure).
  std::string Text(std::size_t count) {
    if (!Take(count)) return {};
    std::string s(reinterpret_cast<const char*>(data_.data() + offset_), count);
    offset_ += count;
    return s;
  }
  /// A view of the next COUNT bytes (empty on failure).
  std::span<const std::byte> View(std::size_t count) {
    if (!Take(count)) return {};
    const auto v = data_.subspan(offset_, count);
    offset_ += count;
    return v;
  }

 private:
  bool Take(std::size_t count) {
    if (ok_ && count <= data_.size() - offset_) return true;
    ok_ = false;
    return false;
  }

  std::span<const std::byte> data_;
  ByteOrder order_;
  std::size_t offset_ = 0;
  bool ok_ = true;
};

class ByteWriter {
 public:
  ByteWriter(std::span<std::byte> data, ByteOrder order) : data_(data), order_(order) {}

  bool Ok() const { return ok_; }
  std::size_t Offset() const { return offset_; }
  std::size_t Size() const { return data_.size(); }
  std::size_t Remaining() const { return data_.size() - offset_; }
  ByteOrder Order() const { return order_; }
  void SetOrder(ByteOrder order) { order_ = order; }

  void Seek(std::size_t offset) {
    if (ok_ && offset <= data_.size()) {
      offset_ = offset;
    } else {
      ok_ = false;
    }
  }
  /// Writes COUNT zero bytes.
  void Zeros(std::size_t count) {
    if (!Take(count)) return;
    std::memset(data_.data() + offset_, 0, count);
    offset_ += count;
  }

  void U8(std::uint8_t v) {
    if (!Take(1)) return;
    data_[offset_++] = static_cast<std::byte>(v);
  }
  void I8(std::int8_t v) { U8(static_cast<std::uint8_t>(v)); }
  void U16(std::uint16_t v) {
    if (!Take(2)) return;
    StoreU16(data_.data() + offset_, v, order_);
    offset_ += 2;
  }
  void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
  void U32(std::uint32_t v) {
    if (!Take(4)) return;
    StoreU32(data_.data() + offset_, v, order_);
    offset_ += 4;
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void U64(std::uint64_t v) {
    if (!Take(8)) return;
    StoreU64(data_.data() + offset_, v, order_);
    offset_ += 8;
  }
  void I64(std::int64_t v) { U64(static_cast<std::uint64_t>(v)); }
  void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
  void F64(double v) { U64(std::bit_cast<std::uint64_t>(v)); }

  void Bytes(std::span<const std::byte> in) {
    if (!Take(in.size())) return;
    std::memcpy(data_.data() + offset_, in.data(), in.size());
    offset_ += in.size();
  }
  /// TEXT cut or blank-padded to exactly COUNT bytes.
  void Text(std::string_view text, std::size_t count) {
    if (!Take(count)) return;
    const std::size_t n = std::min(text.size(), count);
    std::memcpy(data_.data() + offset_, text.data(), n);
    std::memset(data_.data() + offset_ + n, ' ', count - n);
    offset_ += count;
  }

 private:
  bool Take(std::size_t count) {
    if (ok_ && count <= data_.size() - offset_) return true;
    ok_ = false;
    return false;
  }

  std::span<std::byte> data_;
  ByteOrder order_;
  std::size_t offset_ = 0;
  bool ok_ = true;
};

}  // namespace sup
