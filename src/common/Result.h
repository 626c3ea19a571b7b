#pragma once

#include <cassert>
#include <type_traits>
#include <utility>
#include <variant>

namespace glidra {

// The error half of a Result, so that `return Failure{error};` converts to any
// Result with that error type.
template <typename E>
struct Failure {
    E error;
};
template <typename E>
Failure(E) -> Failure<E>;

// A value or a typed error. GCC 12 has no std::expected; every decoder and
// fallible operation of the program returns one of these instead of throwing.
template <typename T, typename E>
class [[nodiscard]] Result {
public:
    using ValueType = T;
    using ErrorType = E;

    Result(T value) : storage_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
    template <typename F>
    requires std::is_convertible_v<F, E> Result(Failure<F> failure)
        : storage_(std::in_place_index<1>, E(std::move(failure.error))) {}  // NOLINT

    bool ok() const { return storage_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        assert(ok());
        return std::get<0>(storage_);
    }
    T& value() & {
        assert(ok());
        return std::get<0>(storage_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(storage_));
    }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    const E& error() const {
        assert(!ok());
        return std::get<1>(storage_);
    }

    T valueOr(T fallback) const& { return ok() ? value() : std::move(fallback); }

    friend bool operator==(const Result&, const Result&) = default;

private:
    std::variant<T, E> storage_;
};

// The success value of an operation that yields nothing.
struct Done {
    friend bool operator==(Done, Done) = default;
};

}  // namespace glidra
