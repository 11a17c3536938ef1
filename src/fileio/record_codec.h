// Bytes of the fixed-size parts of a record, from and to the field tables of
// model/record_layout.h: the decoder and encoder walk a table in file order,
// so their offsets are the table's.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#include "fileio/byte_io.h"
#include "model/record_layout.h"

namespace rebound::records {

template <class F>
struct is_value : std::false_type {};
template <class R, class T>
struct is_value<Value<R, T>> : std::true_type {};
template <class F>
struct is_fixed_text : std::false_type {};
template <class R>
struct is_fixed_text<FixedText<R>> : std::true_type {};
template <class F>
struct is_area_count : std::false_type {};
template <class T>
struct is_area_count<AreaCount<T>> : std::true_type {};

template <class T>
inline T load_value(const unsigned char* p) {
    if constexpr (std::is_same_v<T, std::uint8_t>) {
        return *p;
    } else if constexpr (std::is_same_v<T, std::uint32_t>) {
        return load_u32(p);
    } else if constexpr (std::is_same_v<T, float>) {
        return load_f32(p);
    } else {
        static_assert(std::is_same_v<T, Readings>);
        T v;
        std::memcpy(v.data(), p, v.size());
        return v;
    }
}

template <class T>
inline void store_value(unsigned char* p, const T& v) {
    if constexpr (std::is_same_v<T, std::uint8_t>) {
        *p = v;
    } else if constexpr (std::is_same_v<T, std::uint32_t>) {
        store_u32(p, v);
    } else if constexpr (std::is_same_v<T, float>) {
        store_f32(p, v);
    } else {
        static_assert(std::is_same_v<T, Readings>);
        std::memcpy(p, v.data(), v.size());
    }
}

// Fills `record` from the bytes of a table's fields at `p`; the area count,
// when the table has one, goes to `count`. Reserved values read as 0 and
// fixed-width texts end at their first zero byte.
template <class Table, class R>
inline void decode(const Table& table, const unsigned char* p, R& record, std::uint32_t* count = nullptr) {
    for_each(table, [&](const auto& f) {
        using F = std::decay_t<decltype(f)>;
        if constexpr (is_value<F>::value) {
            using T = std::decay_t<decltype(record.*f.member)>;
            if (f.rule == Rule::Kept) {
                const T v = load_value<T>(p);
                record.*f.member = v;
                if (f.also != nullptr) record.*f.also = v;
            } else {
                record.*f.member = T{};
            }
        } else if constexpr (is_fixed_text<F>::value) {
            const void* zero = std::memchr(p, '\0', f.width);
            const std::size_t n = zero != nullptr
                                      ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - p)
                                      : f.width;
            (record.*f.member).assign(reinterpret_cast<const char*>(p), n);
        } else if constexpr (is_area_count<F>::value) {
            if (count != nullptr) *count = load_value<typename F::type>(p);
        }
        p += width_of(f);
    });
}

// The bytes of a table's fields, from `record`, at `p`. `count` fills the area
// count and `date_stamp` the device's date stamp; skipped bytes are 0 and
// fixed-width texts are cut or padded with zero bytes.
template <class Table, class R>
inline void encode(const Table& table, const R& record, unsigned char* p, std::uint32_t count = 0,
                   std::uint32_t date_stamp = 0) {
    for_each(table, [&](const auto& f) {
        using F = std::decay_t<decltype(f)>;
        if constexpr (is_value<F>::value) {
            store_value(p, record.*f.member);
        } else if constexpr (is_fixed_text<F>::value) {
            // The field has no terminator of its own: a text that fills it
            // ends with the field, a shorter one is padded with zero bytes.
            const std::size_t n = (record.*f.member).copy(reinterpret_cast<char*>(p), f.width);
            std::memset(p + n, 0, f.width - n);
        } else if constexpr (is_area_count<F>::value) {
            // The writers refuse a record with more areas than its count
            // field holds before they encode it; a count that still does not
            // fit is refused here rather than written cut to its low bytes.
            using T = typename F::type;
            if (count > std::numeric_limits<T>::max()) {
                FileError error;
                error.kind = FileError::Kind::WriteFailed;
                error.field = f.name;
                error.say("area_count_too_large", {std::to_string(count)},
                          "the area count " + std::to_string(count) + " does not fit its field");
                throw WriteError(std::move(error));
            }
            store_value(p, static_cast<T>(count));
        } else if constexpr (std::is_same_v<F, DateStamp>) {
            store_u32(p, date_stamp);
        } else {
            static_assert(std::is_same_v<F, Skip>);
            std::memset(p, 0, f.width);
        }
        p += width_of(f);
    });
}

}  // namespace rebound::records
