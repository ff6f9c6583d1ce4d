#pragma once
// Sets a variable for the life of a scope and puts its earlier value back at the end, so that an early
// return (or a handler that ran while messages were let through) cannot leave it set.
//
//   const Scoped_Value no_checks(Flg_Check, false);  // checks wait until this block is done
#include <utility>

template <class T>
class [[nodiscard]] Scoped_Value {
public:
    Scoped_Value(T& variable, T value) : variable_(variable), before_(std::exchange(variable, std::move(value))) {}
    Scoped_Value(const Scoped_Value&) = delete;
    Scoped_Value& operator=(const Scoped_Value&) = delete;
    ~Scoped_Value() { variable_ = std::move(before_); }

private:
    T& variable_;
    T before_;
};
